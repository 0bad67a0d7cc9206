// SPDX-License-Identifier: GPL-3.0-or-later
#include <QWidget>

int probeSize(QWidget *object)
{
    return object->width();
}
