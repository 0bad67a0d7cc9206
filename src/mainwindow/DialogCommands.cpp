// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/DialogCommands.h"

#include "dialogs/DialogLauncher.h"
#include "dialogs/ExternalPrograms.h"
#include "engine/ProgramData.h"
#include "engine/RunFileCommands.h"
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
                               View &view)
    : m_dialogs(dialogs)
    , m_programs(programs)
    , m_data(data)
    , m_controller(controller)
    , m_files(files)
    , m_boxes(boxes)
    , m_view(view)
{ }

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
    case Command::PlaybackVolume:
    case Command::RecordingVolume:
    case Command::AudioDevices:
        startProgram(command);
        return true;
    case Command::Instruction:
    case Command::HearingCheck:
    case Command::AudioSetup:
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
    settings.checkDataDirectory(m_data.startup().layout.dataFolder, m_boxes, m_data.strings());
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

void DialogCommands::showFirstRunHelp()
{
    Settings &settings = m_data.settings();
    if (settings.doAudioIntro) {
        // The setting goes off only once the wizard has really been shown; this version has
        // none yet, so it stays on for the version that has.
        logMessage(1, "   First-run help: the audio set-up wizard would open here\n");
    } else if (settings.doIntro) {
        settings.doIntro = m_dialogs.showFirstSteps();
    }
}

} // namespace orva
