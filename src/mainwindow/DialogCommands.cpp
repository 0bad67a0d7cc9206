// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/DialogCommands.h"

#include "dialogs/AudioSetupDialog.h"
#include "dialogs/DialogLauncher.h"
#include "dialogs/ExternalPrograms.h"
#include "dialogs/InstructionDialog.h"
#include "dialogs/ModelessSlot.h"
#include "engine/ProgramData.h"
#include "engine/RunFileCommands.h"
#include "engine/StartupChecks.h"
#include "mainwindow/CommandRules.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/TextIds.h"

namespace orva {

DialogCommands::DialogCommands(DialogLauncher &dialogs,
                               ExternalPrograms &programs,
                               ProgramData &data,
                               RunController &controller,
                               RunFileCommands &files,
                               MessageBoxes &boxes,
                               const Clock &clock,
                               View &view)
    : m_dialogs(dialogs)
    , m_programs(programs)
    , m_data(data)
    , m_controller(controller)
    , m_files(files)
    , m_boxes(boxes)
    , m_view(view)
    , m_playback(std::make_unique<AudioOutPlayback>(data.startup(),
                                                    data.experiment(),
                                                    controller,
                                                    clock,
                                                    boxes,
                                                    static_cast<AudioOutPlayback::View &>(*this)))
{ }

DialogCommands::~DialogCommands()
{
    // The dialog asks the playback for its progress: it goes first.
    closeModelessDialog();
}

bool DialogCommands::isFree() const
{
    return orva::isFree(m_controller.programState());
}

bool DialogCommands::onCommand(int command)
{
    switch (command) {
    case Command::Language:
        onLanguage();
        return true;
    case Command::Options:
        onOptions();
        return true;
    case Command::About:
        m_dialogs.showAbout();
        m_view.focusMainWindow();
        return true;
    case Command::Help:
        logMessage(1, "BEGIN : OnHelp\n");
        if (!m_dialogs.openHelp())
            m_boxes.show(m_data.strings().text(Text::kErrorTitle),
                         m_data.strings().text(Text::kCannotOpenFile), MessageIcon::Error,
                         MessageButtons::Ok);
        logMessage(1, "END : OnHelp\n");
        return true;
    case Command::Print:
        if (m_controller.mayPrint())
            notAvailable(command);
        return true;
    case Command::PlaybackVolume:
    case Command::RecordingVolume:
    case Command::AudioDevices:
        startProgram(command);
        return true;
    case Command::Instruction:
        m_playback->onStartInstruction();
        return true;
    case Command::HearingCheck:
        m_playback->onStartAuditionTest();
        return true;
    case Command::AudioSetup:
        (void)onSettingsAudioDialog();
        return true;
    case Command::TrainingSettings:
    case Command::OpenDatabase:
        notAvailable(command);
        return true;
    default:
        return false;
    }
}

void DialogCommands::onLanguage()
{
    // An unsaved finished run is offered for saving before its material goes.
    if (m_controller.programState() == ProgramState::ExpCompleted && !m_files.askToSaveUnsaved())
        return;
    if (!isFree())
        return;
    const int current = m_data.experiment().expLanguage();
    const LanguageChoice choice = m_dialogs.chooseLanguage(current);
    // Abbrechen keeps the language, which is applied again all the same.
    m_view.changeLanguage(choice.accepted ? choice.language : current);
}

void DialogCommands::onOptions()
{
    if (!isFree())
        return;
    Settings &settings = m_data.settings();
    const OptionsChoice choice = m_dialogs.editOptions(OptionValues::fromSettings(settings));
    if (choice.accepted) {
        choice.values.applyTo(settings);
        m_controller.setFileRules(choice.values.fileRules());
    }
    // Whichever button closed it: the folder is checked, then the client list read from it.
    StartupChecks::dataDirectory(settings, m_data.startup().layout.dataFolder, m_boxes,
                                 m_data.strings());
    m_view.dataFolderChanged();
}

void DialogCommands::startProgram(int command)
{
    if (!isFree())
        return;
    const ExternalProgram program = command == Command::PlaybackVolume
        ? ExternalProgram::PlaybackMixer
        : command == Command::RecordingVolume ? ExternalProgram::RecordingMixer
                                              : ExternalProgram::SoundSettings;
    if (!m_programs.start(program))
        m_boxes.show(
            m_data.strings().text(Text::kErrorTitle),
            m_data.strings().text(Text::kProgramNotStarted).arg(m_view.commandText(command)),
            MessageIcon::Error, MessageButtons::Ok);
}

void DialogCommands::notAvailable(int command)
{
    // Said only when the command could run, so that no box takes the verdict keys away.
    if (!isFree())
        return;
    m_boxes.show(m_data.strings().text(Text::kNoticeTitle),
                 m_data.strings().text(Text::kNotAvailableYet).arg(m_view.commandText(command)),
                 MessageIcon::Information, MessageButtons::Ok);
}

void DialogCommands::showNotice(int textId)
{
    m_dialogs.showNotice(textId);
}

void DialogCommands::openInstructionDialog()
{
    ModelessSlot &slot = m_dialogs.modeless();
    if (slot.isOpen())
        return;
    auto *dialog = new InstructionDialog( // the slot owns it from open() on
        m_data.strings(), [this] { return m_playback->progressFraction(); }, m_dialogs.owner());
    // Closing the dialog ends the instruction as the window ends it.
    dialog->setEndHandler([this] { m_view.onAudioEnd(); });
    slot.open(dialog);
}

void DialogCommands::closeModelessDialog()
{
    ModelessSlot &slot = m_dialogs.modeless();
    if (auto *instruction = dynamic_cast<InstructionDialog *>(slot.dialog()))
        instruction->detach();
    if (auto *wizard = dynamic_cast<AudioSetupDialog *>(slot.dialog()))
        wizard->detach();
    slot.close();
    // Its mixer goes with it, however the wizard was closed.
    m_wizard.reset();
}

bool DialogCommands::onSettingsAudioDialog()
{
    ModelessSlot &slot = m_dialogs.modeless();
    if (slot.isOpen()) {
        logMessage(1, "   Audio set-up: a modeless dialog is open already\n");
        return false;
    }
    if (!m_playback->onStartAudioSetup())
        return false;
    m_wizard = std::make_unique<AudioSetupWizard>(static_cast<AudioSetupWizard::Output &>(*this));
    AudioSetupDialog::Handlers handlers;
    handlers.next = [this] { m_wizard->next(); };
    handlers.back = [this] { m_wizard->back(); };
    handlers.play = [this] { m_wizard->play(); };
    handlers.ended = [this] {
        // The window's end of the sound closes the dialog and deletes the wizard.
        if (m_wizard && m_wizard->finish())
            m_view.onAudioEnd();
    };
    auto *dialog = new AudioSetupDialog( // the slot owns it from open() on
        m_data.strings(), m_data.startup().uiLanguage, std::move(handlers), m_dialogs.owner());
    dialog->move(0, 0);
    slot.open(dialog);
    m_wizard->start();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

bool DialogCommands::startMixer(AudioSetupWizard::Mixer mixer)
{
    const ExternalProgram program = mixer == AudioSetupWizard::Mixer::Recording
        ? ExternalProgram::RecordingMixer
        : ExternalProgram::PlaybackMixer;
    // A mixer that cannot be started is no reason to stop the wizard; the log says which.
    if (m_programs.start(program))
        return true;
    logMessage(1, "   Audio set-up: the mixer could not be started\n");
    return false;
}

void DialogCommands::endMixer(AudioSetupWizard::Mixer mixer)
{
    m_programs.terminate(mixer == AudioSetupWizard::Mixer::Recording
                             ? ExternalProgram::RecordingMixer
                             : ExternalProgram::PlaybackMixer);
}

void DialogCommands::stepShown(int, const AudioSetupWizard::Step &step)
{
    if (auto *dialog = dynamic_cast<AudioSetupDialog *>(m_dialogs.modeless().dialog()))
        dialog->showStep(step);
}

void DialogCommands::showFirstRunHelp()
{
    Settings &settings = m_data.settings();
    if (settings.doAudioIntro) {
        // The setting goes off only once the wizard has really been shown; with another
        // modeless dialog open it stays on for the next start.
        if (onSettingsAudioDialog())
            settings.doAudioIntro = false;
    } else if (settings.doIntro) {
        settings.doIntro = m_dialogs.showFirstSteps();
    }
}

} // namespace orva
