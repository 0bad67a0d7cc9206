// SPDX-License-Identifier: GPL-3.0-or-later
#include <QString>

QString probeText()
{
    return QStringLiteral("core");
}
