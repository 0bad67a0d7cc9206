// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/InstallationLayout.h"

#include "records/InstallationValues.h"
#include "records/Registry.h"
#include "support/Logger.h"

#include <QDir>
#include <QFileInfo>

namespace orva {

namespace {

const char *const kLanguageFolders[] = { "de_de", "en_us", "en_uk", "es_es", "fr_fr", "pl_pl" };

// An XDG base directory from its variable when that is an absolute path, else the default.
QString xdgFolder(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

bool isWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

// The user's own data folder, with the language folders the run files go to.
QString madeDataFolder(const QString &folder)
{
    QDir dir;
    for (const char *code : kLanguageFolders) {
        if (!dir.mkpath(QStringLiteral("%1/%2").arg(folder, QLatin1String(code))))
            logMessage(1, "ERROR: cannot make the data folder %s/%s\n", folder.toUtf8().constData(),
                       code);
    }
    return folder;
}

} // namespace

InstallationLayout::UserFolders InstallationLayout::UserFolders::fromEnvironment()
{
    UserFolders folders;
    folders.config = Registry::userConfigFolder() + QStringLiteral("/orva");
    folders.data = xdgFolder("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"))
        + QStringLiteral("/orva");
    return folders;
}

QString InstallationLayout::optionalValue(const Registry &registry, const char *name)
{
    const QString valueName = QString::fromLatin1(name);
    for (const char *hive : { "HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\" }) {
        QString value;
        if (registry.readStringValue(QLatin1String(hive) + InstallationValues::keyPath(), valueName,
                                     value)
                == 0
            && !value.trimmed().isEmpty())
            return value.trimmed();
    }
    return QString();
}

InstallationLayout
InstallationLayout::resolve(const QString &root, const Registry &registry, const UserFolders &user)
{
    InstallationLayout layout;
    const QString bin = root + QStringLiteral("/bin");
    // An installed tree says so; otherwise an installation the user may write is a portable one.
    const QString kind = optionalValue(registry, "layout");
    if (kind.compare(QLatin1String("shared"), Qt::CaseInsensitive) == 0)
        layout.portable = false;
    else if (kind.compare(QLatin1String("portable"), Qt::CaseInsensitive) == 0)
        layout.portable = true;
    else
        layout.portable = isWritableFolder(bin);
    const QString media = optionalValue(registry, "media");
    layout.mediaFolder = media.isEmpty() ? root + QStringLiteral("/media")
                                         : QDir::cleanPath(QDir(root).absoluteFilePath(media));
    const QString data = optionalValue(registry, "data");
    const QString namedData =
        data.isEmpty() ? QString() : QDir::cleanPath(QDir(root).absoluteFilePath(data));

    if (layout.portable) {
        layout.settingsFile = bin + QStringLiteral("/ORVA.ini");
        layout.ownListsFile = bin + QStringLiteral("/ORVA.ors");
        layout.dataFolder = namedData.isEmpty() ? root + QStringLiteral("/data") : namedData;
    } else {
        if (!QDir().mkpath(user.config))
            logMessage(1, "ERROR: cannot make the folder %s\n", user.config.toUtf8().constData());
        layout.settingsFile = user.config + QStringLiteral("/ORVA.ini");
        layout.ownListsFile = user.config + QStringLiteral("/ORVA.ors");
        if (isWritableFolder(namedData)) {
            layout.dataFolder = namedData;
        } else {
            if (!namedData.isEmpty())
                logMessage(1, "   Layout: the data folder %s is not writable for this user\n",
                           namedData.toUtf8().constData());
            layout.dataFolder = madeDataFolder(user.data);
        }
    }
    logMessage(1, "   Layout: %s installation; settings %s, own lists %s, data %s, media %s\n",
               layout.portable ? "portable" : "shared", layout.settingsFile.toUtf8().constData(),
               layout.ownListsFile.toUtf8().constData(), layout.dataFolder.toUtf8().constData(),
               layout.mediaFolder.toUtf8().constData());
    return layout;
}

} // namespace orva
