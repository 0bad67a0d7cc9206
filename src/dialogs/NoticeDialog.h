// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"

namespace orva {

class DialogRunner;

/// One resource string with an OK button, in the middle of the screen and above every other
/// window (the hearing check's notices). UI thread only.
class NoticeDialog
{
public:
    static constexpr int kTextId = 1154;
    /// Longer notice texts are cut to this many characters.
    static constexpr int kMaxChars = 1024;

    NoticeDialog(const StringTable &strings, int textId, QWidget *owner = nullptr);

    TemplateDialog &dialog() { return m_dialog; }
    /// The dialog's place: centred on the screen, not on its owner.
    QPoint centredPosition() const;
    void run(DialogRunner &runner);

private:
    TemplateDialog m_dialog;
};

} // namespace orva
