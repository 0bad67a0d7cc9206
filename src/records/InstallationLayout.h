// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

class Registry;

/// Where the program finds its recordings and keeps what it writes. A portable installation (its
/// bin/ folder writable) keeps everything in its own folder: bin/ORVA.ini, bin/ORVA.ors, data/.
/// An installation the user may not write (installed by the administrator) keeps the settings
/// and own lists per user in the XDG config folder, and run files and user logs in the data
/// folder the installation values name, or per user in the XDG data folder when there is none
/// the user may write. Worked out once at start-up; a plain value.
struct InstallationLayout
{
    /// The current user's folders for the program.
    struct UserFolders
    {
        QString config; ///< $XDG_CONFIG_HOME/orva (~/.config/orva without it)
        QString data; ///< $XDG_DATA_HOME/orva (~/.local/share/orva without it)
        static UserFolders fromEnvironment();
    };

    /// Optional installation values beside "root": "layout" ("shared" or "portable"; without it
    /// an installation whose bin/ the user may write is portable), "data" names the shared data
    /// folder and "media" the folder of the recordings; relative ones are below "root". The
    /// user's values come before the machine's.
    static QString optionalValue(const Registry &registry, const char *name);

    /// The layout for the installation folder `root`. Folders it picks for the user are made,
    /// a data folder with its language folders, which the program otherwise never makes.
    static InstallationLayout resolve(const QString &root,
                                      const Registry &registry,
                                      const UserFolders &user = UserFolders::fromEnvironment());

    bool portable = true;
    QString settingsFile; ///< ORVA.ini
    QString ownListsFile; ///< ORVA.ors
    QString dataFolder; ///< user logs, and the default folder of the run files
    QString mediaFolder; ///< the recordings
};

} // namespace orva
