// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtWidgets/QWidget>

int probeSize(QWidget *object)
{
    return object->width();
}
