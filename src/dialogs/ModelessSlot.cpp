// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ModelessSlot.h"

namespace orva {

bool ModelessSlot::open(QDialog *dialog)
{
    if (!dialog)
        return false;
    if (isOpen()) {
        delete dialog;
        return false;
    }
    // Closing by the window's own button only hides it; the owner ends it through close().
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setModal(false);
    m_dialog = dialog;
    dialog->show();
    return true;
}

void ModelessSlot::close()
{
    QDialog *dialog = m_dialog;
    m_dialog.clear();
    if (!dialog)
        return;
    dialog->hide();
    dialog->deleteLater();
}

} // namespace orva
