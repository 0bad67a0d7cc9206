// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"

namespace orva {

class DialogRunner;

/// The first steps, shown at start-up while `DoIntro` is set; its check box turns it off for
/// the next starts. UI thread only.
class FirstStepsDialog
{
public:
    static constexpr int kDoNotShowAgainId = 1109;

    /// The check box opens clear, whatever `DoIntro` was.
    explicit FirstStepsDialog(const StringTable &strings, QWidget *owner = nullptr);

    TemplateDialog &dialog() { return m_dialog; }
    /// The new `DoIntro`: the opposite of the check box, whether OK or the window's close
    /// button ended the dialog.
    bool run(DialogRunner &runner);

private:
    TemplateDialog m_dialog;
};

} // namespace orva
