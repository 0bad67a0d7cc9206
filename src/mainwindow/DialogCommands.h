// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

class DialogLauncher;
class ExternalPrograms;
class MessageBoxes;
class ProgramData;
class RunController;
class RunFileCommands;

/// The main window's commands that open a dialog or start a program outside: language, options,
/// About, help, the mixers, the first-steps dialog at start-up, and the commands not built yet.
/// What the dialogs return is applied here; the window learns of it through its View. UI thread
/// only.
class DialogCommands
{
public:
    /// What the window does after a dialog.
    class View
    {
    public:
        virtual ~View() = default;
        /// Part 4.2's language change to material language `language`.
        virtual void changeLanguage(int language) = 0;
        /// The data folder may be another: client list, enabling rules, the main window redrawn.
        virtual void dataFolderChanged() = 0;
        /// The menu text of `command`, for the box of a command not built yet.
        virtual QString commandText(int command) const = 0;
        virtual void focusMainWindow() = 0;
    };

    DialogCommands(DialogLauncher &dialogs,
                   ExternalPrograms &programs,
                   ProgramData &data,
                   RunController &controller,
                   RunFileCommands &files,
                   MessageBoxes &boxes,
                   View &view);

    /// Runs `command` when it is one of these; false for any other.
    bool onCommand(int command);
    /// The first-run help of the start-up: the first-steps dialog while `DoIntro` is on.
    void showFirstRunHelp();

private:
    void onLanguage();
    void onOptions();
    /// One of the mixers or the sound settings; a box when it cannot be started.
    void startProgram(int command);
    void notAvailable(int command);
    bool isFree() const;

    DialogLauncher &m_dialogs;
    ExternalPrograms &m_programs;
    ProgramData &m_data;
    RunController &m_controller;
    RunFileCommands &m_files;
    MessageBoxes &m_boxes;
    View &m_view;
};

} // namespace orva
