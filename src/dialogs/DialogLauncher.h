// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/ClientDatabaseDialog.h"
#include "dialogs/LanguageDialog.h"
#include "dialogs/OptionsDialog.h"

namespace orva {

class ClientDatabase;
class LatencySelfTest;
class ModelessSlot;
class ORVA_Experiment;

/// The dialogs the main window's commands open, one call each; every call returns what the
/// caller needs and changes nothing itself (the caller applies the result). The desktop
/// implementation is QtDialogLauncher; tests fake it. UI thread only.
class DialogLauncher
{
public:
    virtual ~DialogLauncher() = default;

    /// The language dialog, opened on `currentLanguage` (a material language index).
    virtual LanguageChoice chooseLanguage(int currentLanguage) = 0;
    virtual void showAbout() = 0;
    /// The first-steps dialog; returns the new `DoIntro`.
    virtual bool showFirstSteps() = 0;
    /// The notice dialog with resource string `textId`.
    virtual void showNotice(int textId) = 0;
    virtual OptionsChoice editOptions(const OptionValues &values) = 0;
    /// The training settings of the client of `experiment`, written back to its record on OK
    /// (true); own lists made or deleted there are in its lists whichever button closed it.
    virtual bool editTrainingSettings(ORVA_Experiment &experiment) = 0;
    /// The client database over `database`: ClientDatabase::kOpenRun, kContinueWithClient or
    /// kNothingChosen, the record in database.chosen(). `deleteRun` deletes a confirmed run.
    virtual int openClientDatabase(ClientDatabase &database,
                                   const ClientDatabaseDialog::RunDeleter &deleteRun) = 0;
    /// Opens the help of the user-interface language in the desktop's browser; false when the
    /// page is missing or the desktop could not open it (the caller then reports it).
    [[nodiscard]] virtual bool openHelp() = 0;
    /// The latency self-test's window over `test`, until the operator closes it.
    virtual void runLatencyTest(LatencySelfTest &test) = 0;
    /// The one slot of the modeless dialog (the instruction, the audio set-up wizard).
    virtual ModelessSlot &modeless() = 0;
    /// The window the dialogs belong to; none for dialogs of their own.
    virtual QWidget *owner() const { return nullptr; }
};

} // namespace orva
