// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SaveFailure.h"

#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/Status.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

namespace orva {

void reportSaveFailure(MessageBoxes &boxes,
                       const StringTable &strings,
                       SaveFailureText what,
                       const Status &failure)
{
    logMessage(1, QStringLiteral("ERROR: %1\n").arg(failure.error()));
    const QString text =
        QStringLiteral("%1\n\n%2\n\n%3")
            .arg(strings.text(what), failure.error(), strings.text(Text::kPreviousFileUnchanged));
    boxes.show(strings.text(Text::kErrorTitle), text, MessageIcon::Error, MessageButtons::Ok);
}

} // namespace orva
