// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/AudioOutPlayback.h"
#include "engine/AudioSetupWizard.h"

#include <QString>

#include <memory>

namespace orva {

class ClientList;
class Clock;
class DialogLauncher;
class ORVA_Proband;
class ExternalPrograms;
class MessageBoxes;
class ProgramData;
class RunController;
class RunFileCommands;

/// The main window's commands that open a dialog or start a program outside: language, options,
/// About, help, the mixers, the instruction, the hearing check and the audio set-up wizard, the
/// wizard or the first-steps dialog at start-up, and the commands not built yet. What the dialogs
/// return is applied here; the window learns of it through its View. UI thread only.
class DialogCommands final : private AudioOutPlayback::View, private AudioSetupWizard::Output
{
public:
    /// What the window does after a dialog.
    class View
    {
    public:
        virtual ~View() = default;
        /// The material language becomes `language`: material, client list and run model follow.
        virtual void changeLanguage(int language) = 0;
        /// The data folder may be another: client list, enabling rules, the main window redrawn.
        virtual void dataFolderChanged() = 0;
        /// The menu text of `command`, for the box of a command not built yet.
        virtual QString commandText(int command) const = 0;
        virtual void focusMainWindow() = 0;
        /// The comment field's text into the run's comment.
        virtual void storeComment() = 0;
        /// Child windows, menus and the main window after the program state changed.
        virtual void stateChanged() = 0;
        virtual void menuSettings() = 0;
        virtual void setTimer(int id, int ms) = 0;
        virtual void stopTimer(int id) = 0;
        /// The end of the instruction, the hearing check or the wizard, as the window has it.
        virtual void onAudioEnd() = 0;
        /// Empties the run model (keeping the client unless `resetClient`) and the fields.
        virtual void resetRun(bool resetClient) = 0;
        /// The client record and the run's comment from the run model into their fields.
        virtual void showClient() = 0;
        /// The latency self-test's window, from the menu or from the wizard's last step.
        virtual void runLatencyTest(bool fromWizard) = 0;
        /// The clients and runs of the data folder, as last read.
        virtual const ClientList &clientList() const = 0;
    };

    DialogCommands(DialogLauncher &dialogs,
                   ExternalPrograms &programs,
                   ProgramData &data,
                   RunController &controller,
                   RunFileCommands &files,
                   MessageBoxes &boxes,
                   const Clock &clock,
                   View &view);
    ~DialogCommands() override;

    /// Runs `command` when it is one of these; false for any other.
    bool onCommand(int command);
    /// The first-run help of the start-up: the audio set-up wizard while `DoAudioIntro` is on
    /// (which goes off once the wizard was shown), else the first-steps dialog while `DoIntro`
    /// is on.
    void showFirstRunHelp();
    /// The instruction, the hearing check or the wizard ended: its sound and its dialog go.
    void onAudioEnd() { m_playback->onAudioEnd(); }
    const AudioOutPlayback &playback() const { return *m_playback; }
    /// The open wizard's logic, or nullptr.
    const AudioSetupWizard *wizard() const { return m_wizard.get(); }

private:
    void onLanguage();
    void onOptions();
    void onTrainingSettings();
    void onOpenDatabase();
    /// The run of `run`'s file into the run model, shown as loaded; a box when it cannot be read.
    void openRun(const ORVA_Proband &run);
    /// Deletes `run`'s file for the client database, with its messages; true when it is gone.
    bool deleteRun(const ORVA_Proband &run);
    /// The client of `record` becomes the current one, with the user log of that client.
    void takeOverClient(const ORVA_Proband &record);
    QString languageFolder() const;
    /// Opens the audio set-up wizard unless a run, a playback or a modeless dialog is going;
    /// true when it opened.
    bool onSettingsAudioDialog();
    /// One of the mixers or the sound settings; a box when it cannot be started.
    void startProgram(int command);
    bool isFree() const;

    // AudioOutPlayback::View
    void storeComment() override { m_view.storeComment(); }
    void stateChanged() override { m_view.stateChanged(); }
    void menuSettings() override { m_view.menuSettings(); }
    void setTimer(int id, int ms) override { m_view.setTimer(id, ms); }
    void stopTimer(int id) override { m_view.stopTimer(id); }
    void showNotice(int textId) override;
    void openInstructionDialog() override;
    void closeModelessDialog() override;

    // AudioSetupWizard::Output
    bool startMixer(AudioSetupWizard::Mixer mixer) override;
    void endMixer(AudioSetupWizard::Mixer mixer) override;
    void playTestTone() override { m_playback->playTestTone(); }
    void stepShown(int index, const AudioSetupWizard::Step &step) override;

    DialogLauncher &m_dialogs;
    ExternalPrograms &m_programs;
    ProgramData &m_data;
    RunController &m_controller;
    RunFileCommands &m_files;
    MessageBoxes &m_boxes;
    View &m_view;
    std::unique_ptr<AudioOutPlayback> m_playback;
    std::unique_ptr<AudioSetupWizard> m_wizard; // while its dialog is in the modeless slot
};

} // namespace orva
