// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/QtDialogRunner.h"

#include <QDialog>

namespace orva {

int QtDialogRunner::run(QDialog &dialog)
{
    return dialog.exec();
}

} // namespace orva
