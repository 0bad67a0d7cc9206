// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orva {

class MessageBoxes;
class Status;
class StringTable;

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

} // namespace orva
