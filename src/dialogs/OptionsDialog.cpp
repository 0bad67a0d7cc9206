// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/OptionsDialog.h"

#include "dialogs/DialogRunner.h"
#include "records/Settings.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>

namespace orva {

namespace {

// The place of each mode's button in its group.
constexpr int kAlwaysOffset = 0;
constexpr int kCompleteOffset = 1;
constexpr int kNeverOffset = 2;

} // namespace

const OptionsDialog::Group OptionsDialog::kGroups[6] = {
    { kTrainPrintGroup, &OptionValues::trainPrintMode },
    { kPreTestPrintGroup, &OptionValues::preTestPrintMode },
    { kMainTestPrintGroup, &OptionValues::mainTestPrintMode },
    { kTrainSaveGroup, &OptionValues::trainSaveMode },
    { kPreTestSaveGroup, &OptionValues::preTestSaveMode },
    { kMainTestSaveGroup, &OptionValues::mainTestSaveMode },
};

OptionValues OptionValues::fromSettings(const Settings &settings)
{
    OptionValues values;
    values.trainPrintMode = settings.trainPrintMode;
    values.preTestPrintMode = settings.preTestPrintMode;
    values.mainTestPrintMode = settings.mainTestPrintMode;
    values.trainSaveMode = settings.trainSaveMode;
    values.preTestSaveMode = settings.preTestSaveMode;
    values.mainTestSaveMode = settings.mainTestSaveMode;
    values.dataDirectory = settings.dataDirectory;
    return values;
}

void OptionValues::applyTo(Settings &settings) const
{
    settings.trainPrintMode = trainPrintMode;
    settings.preTestPrintMode = preTestPrintMode;
    settings.mainTestPrintMode = mainTestPrintMode;
    settings.trainSaveMode = trainSaveMode;
    settings.preTestSaveMode = preTestSaveMode;
    settings.mainTestSaveMode = mainTestSaveMode;
    settings.dataDirectory = dataDirectory;
}

RunFileRules OptionValues::fileRules() const
{
    RunFileRules rules;
    rules.saveMode = { preTestSaveMode, mainTestSaveMode, trainSaveMode };
    rules.printMode = { preTestPrintMode, mainTestPrintMode, trainPrintMode };
    return rules;
}

OptionsDialog::OptionsDialog(const StringTable &strings, const OptionValues &values, QWidget *owner)
    : m_dialog(DialogTemplates::options(), strings, owner)
    , m_values(values)
{
    for (const Group &group : kGroups) {
        const int mode = values.*group.value;
        int checked = -1; // a value outside 0..2 checks no button of its group
        if (mode == 2)
            checked = group.firstId + kAlwaysOffset;
        else if (mode == 1)
            checked = group.firstId + kCompleteOffset;
        else if (mode == 0)
            checked = group.firstId + kNeverOffset;
        m_dialog.checkInGroup(m_dialog.radioGroup(group.firstId), checked);
    }
    auto *directory = m_dialog.controlAs<QLineEdit>(kDirectoryId);
    // The settings hold no longer folder; a longer one typed here would be lost or cut there.
    directory->setMaxLength(Settings::kMaxDataDirectoryChars);
    directory->setText(values.dataDirectory);
}

OptionValues OptionsDialog::editedValues() const
{
    OptionValues values = m_values;
    for (const Group &group : kGroups) {
        const auto isChecked = [this](int id) {
            const QWidget *button = m_dialog.control(id);
            return button && static_cast<const QAbstractButton *>(button)->isChecked();
        };
        if (isChecked(group.firstId + kCompleteOffset))
            values.*group.value = 1;
        else if (isChecked(group.firstId + kNeverOffset))
            values.*group.value = 0;
        else if (isChecked(group.firstId + kAlwaysOffset))
            values.*group.value = 2;
    }
    values.dataDirectory = m_dialog.controlAs<QLineEdit>(kDirectoryId)->text();
    return values;
}

OptionsChoice OptionsDialog::run(DialogRunner &runner)
{
    OptionsChoice choice;
    choice.accepted = runner.run(m_dialog) == QDialog::Accepted;
    choice.values = choice.accepted ? editedValues() : m_values;
    return choice;
}

} // namespace orva
