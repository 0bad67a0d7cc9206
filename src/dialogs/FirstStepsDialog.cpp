// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/FirstStepsDialog.h"

#include "dialogs/DialogRunner.h"

#include <QCheckBox>

namespace orva {

FirstStepsDialog::FirstStepsDialog(const StringTable &strings, QWidget *owner)
    : m_dialog(DialogTemplates::firstSteps(), strings, owner)
{ }

bool FirstStepsDialog::run(DialogRunner &runner)
{
    runner.run(m_dialog);
    return !m_dialog.controlAs<QCheckBox>(kDoNotShowAgainId)->isChecked();
}

} // namespace orva
