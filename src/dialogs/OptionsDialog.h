// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"
#include "engine/RunController.h"

namespace orva {

class DialogRunner;
class Settings;

/// The values the options dialog edits. Each mode is 0 never, 1 only after a complete run,
/// 2 always; other values may come from a settings file and are kept as they are.
struct OptionValues
{
    static OptionValues fromSettings(const Settings &settings);
    void applyTo(Settings &settings) const;
    /// The save and print rules the run controller applies, in its order of run kinds.
    RunFileRules fileRules() const;
    bool operator==(const OptionValues &other) const = default;

    int trainPrintMode = 1;
    int preTestPrintMode = 1;
    int mainTestPrintMode = 1;
    int trainSaveMode = 1;
    int preTestSaveMode = 1;
    int mainTestSaveMode = 1;
    QString dataDirectory;
};

/// What the options dialog returns: the edited values on OK, the opening values on Abbrechen.
/// The caller checks the data directory afterwards in both cases.
struct OptionsChoice
{
    bool accepted = false;
    OptionValues values;
};

/// When a run of each kind may be printed and saved, and the folder of the client data.
/// UI thread only.
class OptionsDialog
{
public:
    static constexpr int kDirectoryId = 1039;
    /// The first (always) button of each radio group; the next id is "only after a complete
    /// run", the one after "never".
    static constexpr int kTrainPrintGroup = 1115;
    static constexpr int kTrainSaveGroup = 1118;
    static constexpr int kPreTestPrintGroup = 1121;
    static constexpr int kPreTestSaveGroup = 1124;
    static constexpr int kMainTestPrintGroup = 1127;
    static constexpr int kMainTestSaveGroup = 1130;

    OptionsDialog(const StringTable &strings, const OptionValues &values, QWidget *owner = nullptr);

    TemplateDialog &dialog() { return m_dialog; }
    /// The values the controls give now: a group without a checked button keeps its value.
    OptionValues editedValues() const;
    OptionsChoice run(DialogRunner &runner);

private:
    struct Group
    {
        int firstId;
        int OptionValues::*value;
    };
    static const Group kGroups[6];

    TemplateDialog m_dialog;
    OptionValues m_values;
};

} // namespace orva
