// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QList>
#include <QString>

#include <utility>

namespace orva {

/// String values written by the installation, in place of the platform registry. Each hive is an
/// INI file whose section names are key paths with the hive's name, for example
/// "[HKEY_LOCAL_MACHINE\SOFTWARE\Norquell\ORVA\3.1]", and whose lines are "name=value".
/// The files are read anew on every call. The program writes only the current user's hive, and
/// only what it measured there itself (writeUserValues()). Any thread.
class Registry
{
public:
    /// Where the hives are. An empty path means the hive has no values.
    struct Locations
    {
        QString localMachine; ///< normally /etc/orva/registry.ini
        /// When this file exists it is the local-machine hive instead (a portable or demo
        /// installation keeps its own values beside the executable).
        QString localMachineOverride;
        QString currentUser; ///< normally $XDG_CONFIG_HOME/orva/registry.ini
        QString users;
        /// When neither of the local-machine files exists, the values an installed tree carries
        /// for itself: share/orva/registry.ini beside the executable's bin/ folder.
        QString localMachineFallback;
    };

    /// The platform's answer for a key or value that is not there (ERROR_FILE_NOT_FOUND).
    static constexpr int kNotFound = 2;

    /// /etc/orva/registry.ini, overridden by registry.ini beside the executable, and
    /// $XDG_CONFIG_HOME/orva/registry.ini (~/.config without the variable) for the current user.
    static Locations defaultLocations();

    /// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
    static QString userConfigFolder();

    explicit Registry(Locations locations = defaultLocations());

    /// Reads value `valueName` of key `keyPath`: 0 with `result` set, or kNotFound when the hive
    /// file, the key or the value is missing (`result` is then empty). `keyPath` may begin with
    /// "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER" or "HKEY_USERS" and one separator; without a hive
    /// name the local-machine hive is read. Key paths and value names ignore case, as the
    /// platform's do.
    int readStringValue(const QString &keyPath, const QString &valueName, QString &result) const;

    /// Sets values of key `keyPath` (without a hive name) in the current user's hive, creating
    /// the file, its folder and the key's section as needed and keeping every other line as it
    /// is. The file is replaced as a whole, so a reader sees the old values or the new ones.
    [[nodiscard]] Status writeUserValues(const QString &keyPath,
                                         const QList<std::pair<QString, QString>> &values) const;

    /// The file that serves the hive named `hive` ("HKEY_LOCAL_MACHINE", ...); empty for none.
    QString hiveFile(const QString &hive) const;

private:
    Locations m_locations;
};

} // namespace orva
