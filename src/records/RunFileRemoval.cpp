// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/RunFileRemoval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orva {

Status RunFileRemoval::checkInside(const QString &path, const QString &languageFolder)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return Status::failure(QStringLiteral("run file %1: it is no longer there").arg(path));
    if (file.isSymLink() || !file.isFile())
        return Status::failure(QStringLiteral("run file %1: not a plain file").arg(path));
    if (file.suffix().compare(QLatin1String("orv"), Qt::CaseInsensitive) != 0)
        return Status::failure(QStringLiteral("run file %1: not a run file").arg(path));
    const QString folder = QFileInfo(languageFolder).canonicalFilePath();
    // The canonical folder of the file itself, so that ".." or a linked folder cannot lead out.
    if (folder.isEmpty() || file.canonicalPath() != folder)
        return Status::failure(
            QStringLiteral("run file %1: not in the data folder %2").arg(path, languageFolder));
    return Status::success();
}

Status RunFileRemoval::remove(const QString &path, const QString &languageFolder)
{
    const Status inside = checkInside(path, languageFolder);
    if (!inside.ok())
        return inside;
    QFile file(path);
    if (!file.remove())
        return Status::failure(
            QStringLiteral("cannot delete run file %1: %2").arg(path, file.errorString()));
    return Status::success();
}

} // namespace orva
