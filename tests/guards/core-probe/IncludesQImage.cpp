// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtGui/QImage>

int probeSize(QImage *object)
{
    return object->width();
}
