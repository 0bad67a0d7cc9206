// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AboutDialog.h"

#include "dialogs/DialogRunner.h"
#include "support/ProgramVersion.h"

#include <QLabel>

namespace orva {

AboutDialog::AboutDialog(const StringTable &strings, QWidget *owner)
    : m_dialog(DialogTemplates::about(), strings, owner)
{
    m_dialog.controlAs<QLabel>(kVersionId)->setText(ProgramVersion::text());
}

void AboutDialog::run(DialogRunner &runner)
{
    runner.run(m_dialog);
}

} // namespace orva
