// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ErrorReport.h"

#include "support/Logger.h"
#include "support/MessageBoxes.h"

#include <atomic>

namespace orva {

namespace {
std::atomic<MessageBoxes *> s_errorBoxes { nullptr };
}

void reportError(const QString &message, int level, bool showBox)
{
    logMessage(level, QStringLiteral("ERROR: %1\n").arg(message));
    MessageBoxes *boxes = s_errorBoxes.load();
    if (showBox && boxes)
        boxes->show(QStringLiteral("Error"), message, MessageIcon::None, MessageButtons::Ok);
}

void reportError(const char *message, int level, bool showBox)
{
    reportError(QString::fromUtf8(message), level, showBox);
}

MessageBoxes *setErrorBoxes(MessageBoxes *boxes)
{
    return s_errorBoxes.exchange(boxes);
}

} // namespace orva
