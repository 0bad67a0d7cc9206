// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>

namespace orva {

/// The one modeless dialog the main window may have open (the instruction, the audio set-up
/// wizard). The slot owns the dialog from open() until close(), which deletes it once, later,
/// from the event loop, so a dialog may end itself from one of its own slots. UI thread only.
class ModelessSlot
{
public:
    ModelessSlot() = default;
    ModelessSlot(const ModelessSlot &) = delete;
    ModelessSlot &operator=(const ModelessSlot &) = delete;
    ~ModelessSlot() { close(); }

    bool isOpen() const { return !m_dialog.isNull(); }
    QDialog *dialog() const { return m_dialog; }

    /// Takes `dialog` and shows it. When a dialog is open already, `dialog` is deleted at once
    /// and false returned: there is only one slot.
    bool open(QDialog *dialog);
    /// Hides the dialog and deletes it with deleteLater(); the slot is free at once. Calling it
    /// with the slot empty does nothing.
    void close();

private:
    QPointer<QDialog> m_dialog;
};

} // namespace orva
