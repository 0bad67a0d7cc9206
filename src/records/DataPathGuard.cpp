// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/DataPathGuard.h"

#include "support/Logger.h"

#include <QDir>
#include <QFileInfo>

namespace orva {

namespace {

bool isBelow(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

void DataPathGuard::setFolders(const QStringList &folders)
{
    m_folders.clear();
    for (const QString &folder : folders) {
        if (!folder.isEmpty())
            m_folders.append(QDir::cleanPath(QDir(folder).absolutePath()));
    }
}

QString DataPathGuard::resolvedPath(const QString &path)
{
    QString current = QDir::cleanPath(QDir(path).absolutePath());
    for (int depth = 0; depth < 40; ++depth) {
        // The folder first, so that a relative link is read from where the link really is.
        const QFileInfo lexical(current);
        const QString folder = QFileInfo(lexical.absolutePath()).canonicalFilePath();
        if (folder.isEmpty())
            return QString();
        current = folder == QLatin1String("/") ? folder + lexical.fileName()
                                               : folder + QLatin1Char('/') + lexical.fileName();
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = QDir::cleanPath(info.symLinkTarget());
    }
    return QString();
}

bool DataPathGuard::allows(const QString &path) const
{
    const QString wanted = QDir::cleanPath(QDir(path).absolutePath());
    for (const QString &folder : m_folders) {
        if (!isBelow(wanted, folder))
            continue;
        const QString realFolder = QFileInfo(folder).canonicalFilePath();
        if (realFolder.isEmpty())
            return true; // no folder, so nothing below it can be opened either
        const QString target = resolvedPath(wanted);
        if (!target.isEmpty() && isBelow(target, realFolder) && target != realFolder)
            return true;
        logMessage(1, "ERROR: %s leads out of the data folder %s (to %s); not opened\n",
                   wanted.toUtf8().constData(), folder.toUtf8().constData(),
                   target.isEmpty() ? "nowhere" : target.toUtf8().constData());
        if (m_reporter && !m_reported.contains(wanted)) {
            m_reported.insert(wanted);
            m_reporter(wanted, target);
        }
        return false;
    }
    return true;
}

} // namespace orva
