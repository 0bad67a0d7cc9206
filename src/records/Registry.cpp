// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/Registry.h"

#include "records/TextFile.h"
#include "support/Logger.h"

#include <QDir>
#include <QFileInfo>

namespace orva {

namespace {

const QString kLocalMachine = QStringLiteral("HKEY_LOCAL_MACHINE");
const QString kCurrentUser = QStringLiteral("HKEY_CURRENT_USER");
const QString kUsers = QStringLiteral("HKEY_USERS");

// Both separators are accepted in the files; comparisons ignore case.
QString normalisedKey(QString key)
{
    key.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (key.endsWith(QLatin1Char('\\')))
        key.chop(1);
    return key.toCaseFolded();
}

QString unquoted(QString value)
{
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

Registry::Locations Registry::defaultLocations()
{
    Locations locations;
    locations.localMachine = QStringLiteral("/etc/orva/registry.ini");
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!executable.isEmpty()) {
        const QDir bin = QFileInfo(executable).absoluteDir();
        locations.localMachineOverride = bin.filePath(QStringLiteral("registry.ini"));
        locations.localMachineFallback = QDir::cleanPath(
            bin.filePath(QStringLiteral(ORVA_INSTALLED_ROOT_FROM_BIN "/registry.ini")));
    }
    locations.currentUser = userConfigFolder() + QStringLiteral("/orva/registry.ini");
    return locations;
}

QString Registry::userConfigFolder()
{
    // Relative values are to be ignored, as the XDG base directories say.
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.config");
}

Registry::Registry(Locations locations)
    : m_locations(std::move(locations))
{ }

QString Registry::hiveFile(const QString &hive) const
{
    if (hive.compare(kLocalMachine, Qt::CaseInsensitive) == 0) {
        if (!m_locations.localMachineOverride.isEmpty()
            && QFileInfo::exists(m_locations.localMachineOverride))
            return m_locations.localMachineOverride;
        if (!m_locations.localMachineFallback.isEmpty()
            && !QFileInfo::exists(m_locations.localMachine)
            && QFileInfo::exists(m_locations.localMachineFallback))
            return m_locations.localMachineFallback;
        return m_locations.localMachine;
    }
    if (hive.compare(kCurrentUser, Qt::CaseInsensitive) == 0)
        return m_locations.currentUser;
    if (hive.compare(kUsers, Qt::CaseInsensitive) == 0)
        return m_locations.users;
    return QString();
}

int Registry::readStringValue(const QString &keyPath,
                              const QString &valueName,
                              QString &result) const
{
    result.clear();
    QString hive = kLocalMachine;
    QString key = keyPath;
    for (const QString &name : { kLocalMachine, kCurrentUser, kUsers }) {
        if (keyPath.startsWith(name, Qt::CaseInsensitive)) {
            hive = name;
            key = keyPath.mid(name.size() + 1);
            break;
        }
    }
    const QString path = hiveFile(hive);
    if (path.isEmpty())
        return kNotFound;
    TextFile file;
    if (file.openRead(path) != 0 || !file.isOpen())
        return kNotFound;

    const QString wantedSection = normalisedKey(hive + QLatin1Char('\\') + key);
    const QString wantedValue = valueName.trimmed().toCaseFolded();
    bool inSection = false;
    QString line;
    while (file.readLine(line, 4096)) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';'))
            || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
            inSection =
                close > 0 && normalisedKey(trimmed.mid(1, close - 1).trimmed()) == wantedSection;
            continue;
        }
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (!inSection || equals < 0)
            continue;
        if (trimmed.left(equals).trimmed().toCaseFolded() == wantedValue) {
            result = unquoted(trimmed.mid(equals + 1).trimmed());
            return 0;
        }
    }
    logMessage(5, "   Registry: no value %s in %s (%s)\n", valueName.toUtf8().constData(),
               keyPath.toUtf8().constData(), path.toUtf8().constData());
    return kNotFound;
}

Status Registry::writeUserValues(const QString &keyPath,
                                 const QList<std::pair<QString, QString>> &values) const
{
    const QString path = hiveFile(kCurrentUser);
    if (path.isEmpty())
        return Status::failure(QStringLiteral("no file for the user's values"));
    QStringList lines;
    TextFile file;
    if (QFileInfo::exists(path)) {
        if (file.openRead(path) != 0 || !file.isOpen())
            return Status::failure(QStringLiteral("%1 cannot be read").arg(path));
        QString line;
        while (file.readLine(line, 4096))
            lines << line;
    }
    const QString wantedSection = normalisedKey(kCurrentUser + QLatin1Char('\\') + keyPath);
    // Where the key's section is, and the end of its lines.
    qsizetype sectionEnd = -1;
    bool inSection = false;
    QList<std::pair<QString, QString>> missing = values;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines.at(i).trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
            inSection =
                close > 0 && normalisedKey(trimmed.mid(1, close - 1).trimmed()) == wantedSection;
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!trimmed.isEmpty())
            sectionEnd = i + 1;
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (equals < 0 || trimmed.startsWith(QLatin1Char(';'))
            || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const QString name = trimmed.left(equals).trimmed().toCaseFolded();
        for (qsizetype v = 0; v < missing.size(); ++v) {
            if (missing.at(v).first.toCaseFolded() == name) {
                lines[i] = missing.at(v).first + QLatin1Char('=') + missing.at(v).second;
                missing.removeAt(v);
                break;
            }
        }
    }
    if (sectionEnd < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + kCurrentUser + QLatin1Char('\\') + keyPath + QLatin1Char(']');
        sectionEnd = lines.size();
    }
    for (const auto &[name, value] : missing)
        lines.insert(sectionEnd++, name + QLatin1Char('=') + value);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Status::failure(QStringLiteral("the folder of %1 cannot be made").arg(path));
    return TextFile::saveProgramText(path, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

} // namespace orva
