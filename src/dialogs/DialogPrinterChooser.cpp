// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogPrinterChooser.h"

#include <QPrintDialog>
#include <QPrinter>

namespace orva {

bool DialogPrinterChooser::choose(QPrinter &printer, QWidget *owner, bool singlePage)
{
    QPrintDialog dialog(&printer, owner);
    if (singlePage) {
        printer.setFromTo(1, 1);
        printer.setCopyCount(1);
        dialog.setMinMax(1, 1);
    }
    return dialog.exec() == QDialog::Accepted;
}

} // namespace orva
