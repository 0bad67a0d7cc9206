// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

class MessageBoxes;

/// Low-level failures (wave files, audio devices, drawing buffers) are reported here: the line
/// "ERROR: <message>" goes to the diagnostic log at `level`, and with `showBox` a box titled
/// "Error" with an OK button shows the message untranslated. Without installed boxes only the log
/// line is written.
void reportError(const QString &message, int level, bool showBox);
void reportError(const char *message, int level, bool showBox);

/// Installs where error boxes go (not owned; nullptr: nowhere). Returns the previous one.
MessageBoxes *setErrorBoxes(MessageBoxes *boxes);

} // namespace orva
