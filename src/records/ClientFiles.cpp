// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ClientFiles.h"

#include "records/ORVA_Proband.h"
#include "support/Logger.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QDir>
#include <QFileInfo>

namespace orva {

QString ClientFiles::safeFileNamePart(const QString &name)
{
    QString safe = name;
    for (QChar &c : safe) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u'_';
    }
    if (safe.startsWith(u'.'))
        safe[0] = u'_';
    // Cut whole characters (a surrogate pair stays together) until the bytes fit.
    while (safe.toUtf8().size() > kMaxNamePartBytes) {
        safe.chop(1);
        if (!safe.isEmpty() && safe.back().isHighSurrogate())
            safe.chop(1);
    }
    return safe;
}

ClientFiles::FileName ClientFiles::constructFileName(bool withFolder,
                                                     const ORVA_Proband &client,
                                                     const Run &run,
                                                     const StringTable &strings)
{
    logMessage(1, "BEGIN: constructFileName\n");
    const std::optional<QString> &lastName = client.lastName();
    if (!lastName || lastName->isEmpty())
        return { QString(), Text::kInvalidName };
    if (!client.birthday().isValid())
        return { QString(), Text::kInvalidBirthday };
    QString name = safeFileNamePart(*lastName);
    const std::optional<QString> &firstName = client.firstName();
    if (firstName && !firstName->isEmpty())
        name += QLatin1Char('-') + safeFileNamePart(*firstName);

    QString kind;
    switch (run.mode) {
    case 1:
        kind = strings.text(Text::kPreTestShort);
        break;
    case 2:
        kind = strings.text(Text::kMainTestShort);
        break;
    case 3:
        kind = strings.text(Text::kTrainingShort);
        break;
    }
    const ORVA_Date &date = client.runDate();
    const int year = ((date.year % 100) + 100) % 100;
    QString fileName = name
        + QString::asprintf("_%02d-%02d-%02d_%02d-%02d-", year, date.month, date.day, date.hour,
                            date.minute)
        + kind + QString::asprintf("%02d.orv", run.currentIndex + 1);
    if (withFolder)
        fileName =
            run.dataDirectory + QLatin1Char('/') + run.languageCode + QLatin1Char('/') + fileName;
    return { fileName, 0 };
}

QString ClientFiles::freeRunPath(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return path;
    const QFileInfo file(path);
    const QString suffix = file.suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    for (int n = 2;; ++n) {
        QString candidate = QStringLiteral("%1-%2").arg(stem).arg(n);
        if (!suffix.isEmpty())
            candidate += QLatin1Char('.') + suffix;
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

QString ClientFiles::findRunFile(const QString &builtPath)
{
    constexpr qsizetype kVariablePart = 8; // kind, number and ".orv"
    if (builtPath.size() <= kVariablePart)
        return QString();
    const QFileInfo prefix(builtPath.left(builtPath.size() - kVariablePart));
    const QString namePrefix = prefix.fileName();
    const QDir folder = prefix.dir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        if (name.size() >= namePrefix.size() + 4 && name.startsWith(namePrefix)
            && name.endsWith(QLatin1String(".orv"), Qt::CaseInsensitive))
            return folder.filePath(name);
    }
    return QString();
}

} // namespace orva
