// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/InstallationLayout.h"
#include "records/Registry.h"
#include "support/Languages.h"
#include "support/StringTable.h"

#include <QString>

namespace orva {

/// What the program learns before its window opens: where the installation is, its values
/// (user-interface language, update folder, the sound devices), the texts of that language and
/// where the files go. Read once; a plain value.
struct StartupData
{
    /// Reads the installation values of `registry` for a program started in `currentDirectory`
    /// (the installation's bin folder). Without installation values the installation is the
    /// parent of that folder, with the defaults, rather than half set up.
    static StartupData read(const QString &currentDirectory, const Registry::Locations &registry);

    QString baseDirectory; ///< the installation folder
    QString trueUpdateDir;
    /// The installation values "AudioOutput" and "AudioInput" ("system" when missing).
    QString audioOutputSetting = QStringLiteral("system");
    QString audioInputSetting = QStringLiteral("system");
    Language uiLanguage = DE_DE;
    bool installationComplete = false; ///< the installation values were there
    StringTable strings = StringTable::german();
    InstallationLayout layout;
};

} // namespace orva
