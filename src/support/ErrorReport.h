// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

class MessageBoxes;
class Status;
class StringTable;

/// Low-level failures (wave files, audio devices, drawing buffers) are reported here: the line
/// "ERROR: <message>" goes to the diagnostic log at `level`, and with `showBox` a box titled
/// "Error" with an OK button shows the message untranslated. Without installed boxes only the log
/// line is written.
void reportError(const QString &message, int level, bool showBox);
void reportError(const char *message, int level, bool showBox);

/// Resource strings of the boxes that report a save that failed.
enum SaveFailureText {
    kRunNotSaved = 138, ///< "Fehler beim Erzeugen der Datei"
    kUserLogNotSaved = 902,
    kSettingsNotSaved = 904,
    kOwnListsNotSaved = 905,
};

/// A file of the program that could not be saved: the log line "ERROR: <reason>" and an error
/// box (title 110) that says what was not saved, why, and that the file saved before is still
/// there as it was (string 903), so that the operator can make room and save again.
void reportSaveFailure(MessageBoxes &boxes,
                       const StringTable &strings,
                       SaveFailureText what,
                       const Status &failure);

/// Installs where error boxes go (not owned; nullptr: nowhere). Returns the previous one.
MessageBoxes *setErrorBoxes(MessageBoxes *boxes);

} // namespace orva
