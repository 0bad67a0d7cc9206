// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "records/Registry.h"
#include "records/Settings.h"
#include "records/StartupData.h"
#include "support/Status.h"

namespace orva {

class ClientList;
class MessageBoxes;

/// The program's data for one session: the installation, the settings, and the run model with
/// the material of the chosen language and the client's history. Read at start, written at the
/// end. Headless.
class ProgramData
{
public:
    /// Reads the installation values of `registry` for a program started in `currentDirectory`,
    /// the settings, the material of the settings' language and the client's history. A link in
    /// the data folder that leads out of it is reported in a box.
    ProgramData(const QString &currentDirectory,
                const Registry::Locations &registry,
                MessageBoxes &boxes);

    const StartupData &startup() const { return m_startup; }
    const StringTable &strings() const { return m_startup.strings; }
    ORVA_Experiment &experiment() { return m_experiment; }
    const ORVA_Experiment &experiment() const { return m_experiment; }
    Settings &settings() { return m_settings; }
    const Settings &settings() const { return m_settings; }
    /// The settings file could not be read; the defaults stand.
    bool settingsMissing() const { return m_settingsMissing; }
    /// The save and print rules of the settings.
    RunFileRules fileRules() const;
    /// Where an unsaved run waits for the next start after the program was ended from outside:
    /// beside the settings, per user where a shared data folder serves several operators.
    QString unsavedRunPath() const;

    /// The material of `language` (the user-interface language when it names none); the own
    /// lists of the outgoing language are written first when `writeOwnLists`.
    Status setMaterialLanguage(int language, bool writeOwnLists);
    /// Rebuilds `clients` from the run files of the data folder and the material language.
    void readClientList(ClientList &clients);
    /// The client record into the settings, and the settings into their file.
    Status writeSettings();

private:
    StartupData m_startup;
    ORVA_Experiment m_experiment;
    Settings m_settings;
    bool m_settingsMissing = false;
};

} // namespace orva
