// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/InstallationValues.h"

#include "records/Registry.h"
#include "support/Logger.h"
#include "support/ProgramVersion.h"

#include <QDir>
#include <QFileInfo>

namespace orva {

QString InstallationValues::keyPath()
{
    return QString::asprintf("SOFTWARE\\Norquell\\ORVA\\%d.%d", ProgramVersion::kMajor,
                             ProgramVersion::kMinor);
}

Result<InstallationValues> InstallationValues::read(const Registry &registry)
{
    InstallationValues values;
    const struct
    {
        const char *name;
        QString *value;
    } reads[] = {
        { "root", &values.root },
        { "TrueUpdateDir", &values.trueUpdateDir },
        { "language", &values.language },
    };
    for (const auto &read : reads) {
        const QString name = QString::fromLatin1(read.name);
        const int code = registry.readStringValue(keyPath(), name, *read.value);
        if (code != 0) {
            logMessage(1, "ERROR: installation value %s of %s is missing (%d)\n", read.name,
                       keyPath().toUtf8().constData(), code);
            return Status::failure(
                QStringLiteral(
                    "cannot read the installation value \"%1\" of HKEY_LOCAL_MACHINE\\%2 "
                    "from %3: not found")
                    .arg(name, keyPath(), registry.hiveFile(QStringLiteral("HKEY_LOCAL_MACHINE"))));
        }
    }
    for (const auto &[name, value] : { std::pair { "UpdateServer", &values.updateServer },
                                       std::pair { "UpdatePatch", &values.updatePatch } }) {
        if (registry.readStringValue(keyPath(), QString::fromLatin1(name), *value) != 0)
            value->clear();
    }
    // An installed tree names its folders relative to its own file, so that it can be moved.
    const QDir hiveFolder =
        QFileInfo(registry.hiveFile(QStringLiteral("HKEY_LOCAL_MACHINE"))).absoluteDir();
    for (QString *folder : { &values.root, &values.trueUpdateDir }) {
        if (!folder->isEmpty() && QDir::isRelativePath(*folder))
            *folder = QDir::cleanPath(hiveFolder.absoluteFilePath(*folder));
    }
    return values;
}

} // namespace orva
