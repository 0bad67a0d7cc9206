// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orva::UpdateFolder {

Status check(const QString &folder)
{
    if (folder.isEmpty())
        return Status::failure(QStringLiteral("no update folder is set"));
    if (!QDir::isAbsolutePath(folder))
        return Status::failure(QStringLiteral("the update folder %1 is not absolute").arg(folder));
    if (!QFileInfo(folder).isDir())
        return Status::failure(QStringLiteral("the update folder %1 does not exist").arg(folder));
    return Status::success();
}

void clean(const QString &folder, const char *sub)
{
    const QString path = QDir(folder).filePath(QLatin1String(sub));
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir())
        return;
    const QDir dir(path);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries)
        (void)QFile::remove(entry.filePath()); // a link goes, its target stays
}

QByteArray sha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

Result<QString>
checkedPatch(const QString &folder, const QByteArray &name, const QByteArray &sha256Hex)
{
    const Status usable = check(folder);
    if (!usable.ok())
        return usable;
    const QString fileName = QString::fromLocal8Bit(name);
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String("..")
        || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')))
        return Status::failure(
            QStringLiteral("the patch name \"%1\" is not a plain file name").arg(fileName));
    const QFileInfo extract(QDir(folder).filePath(QLatin1String(kExtract)));
    if (extract.isSymLink() || !extract.isDir())
        return Status::failure(QStringLiteral("%1 is not a folder").arg(extract.filePath()));
    const QString extractPath = extract.canonicalFilePath();
    const QFileInfo patch(QDir(extractPath).filePath(fileName));
    if (patch.isSymLink() || !patch.isFile() || !patch.isExecutable())
        return Status::failure(
            QStringLiteral("%1 is not an executable file").arg(patch.filePath()));
    if (QFileInfo(patch.canonicalFilePath()).path() != extractPath)
        return Status::failure(
            QStringLiteral("%1 lies outside %2").arg(patch.filePath(), extractPath));
    if (sha256Hex.isEmpty())
        return Status::failure(
            QStringLiteral("the update program named no checksum for %1").arg(patch.filePath()));
    const QByteArray actual = sha256(patch.canonicalFilePath());
    if (actual.isEmpty() || actual != sha256Hex.toLower())
        return Status::failure(
            QStringLiteral("the checksum of %1 does not match").arg(patch.filePath()));
    return patch.canonicalFilePath();
}

} // namespace orva::UpdateFolder
