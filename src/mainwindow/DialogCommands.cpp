// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/DialogCommands.h"

#include "dialogs/AudioSetupDialog.h"
#include "dialogs/DialogLauncher.h"
#include "dialogs/ExternalPrograms.h"
#include "dialogs/InstructionDialog.h"
#include "dialogs/ModelessSlot.h"
#include "engine/ClientDatabase.h"
#include "engine/ProgramData.h"
#include "engine/RunFileCommands.h"
#include "engine/StartupChecks.h"
#include "mainwindow/CommandRules.h"
#include "records/RunFileRemoval.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/TextIds.h"

namespace orva {

namespace {

constexpr int kPreTestModeText = 128;
constexpr int kMainTestModeText = 129;
constexpr int kTrainingModeText = 130;
constexpr int kLoadedText = 167;
constexpr int kWrongLanguageText = 273;
constexpr int kNotDeletedText = 305;
constexpr int kDeletedText = 306;

} // namespace

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
        onTrainingSettings();
        return true;
    case Command::OpenDatabase:
        onOpenDatabase();
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

void DialogCommands::onTrainingSettings()
{
    logMessage(1, "BEGIN: onSettingsTraining\n");
    if (!isFree() || !m_files.askToSaveUnsaved()) {
        logMessage(1, "END: onSettingsTraining\n");
        return;
    }
    m_dialogs.editTrainingSettings(m_data.experiment());
    // Whichever button closed it: own lists may have changed, and the window starts afresh.
    m_view.storeComment();
    m_view.resetRun(false);
    m_controller.setProgramState(ProgramState::Idle);
    m_controller.setRunState(RunState::Empty);
    m_view.stateChanged();
    logMessage(1, "END: onSettingsTraining\n");
}

void DialogCommands::onOpenDatabase()
{
    if (!isFree()) {
        m_view.focusMainWindow();
        return;
    }
    if (!m_files.askToSaveUnsaved())
        return;
    ORVA_Experiment &experiment = m_data.experiment();
    const ORVA_Proband kept = experiment.client();
    ClientDatabase database(m_view.clientList(), m_data.strings(), m_data.startup().uiLanguage);
    const int result = m_dialogs.openClientDatabase(
        database, [this](const ORVA_Proband &run) { return deleteRun(run); });
    if (result == ClientDatabase::kOpenRun && database.chosen()) {
        openRun(*database.chosen());
    } else if (result == ClientDatabase::kContinueWithClient && database.chosen()) {
        takeOverClient(*database.chosen());
        m_controller.setProgramState(ProgramState::Idle);
        m_controller.setRunState(RunState::Empty);
        m_view.resetRun(false);
        m_view.stateChanged();
    } else {
        experiment.client() = kept;
        m_view.focusMainWindow();
    }
    logMessage(1, "END  : On OptionsDataBase\n");
}

QString DialogCommands::languageFolder() const
{
    return m_data.settings().dataDirectory + QLatin1Char('/') + m_data.experiment().languageCode();
}

void DialogCommands::takeOverClient(const ORVA_Proband &record)
{
    ORVA_Experiment &experiment = m_data.experiment();
    const Status saved = experiment.reset(true);
    if (!saved.ok())
        logMessage(1, QStringLiteral("ERROR: %1\n").arg(saved.error()));
    experiment.client() = record;
    QString logPath;
    if (experiment.createLogFileName(logPath, true) == 0)
        (void)experiment.userLog().loadOrSetAside(logPath); // no history yet is fine
}

void DialogCommands::openRun(const ORVA_Proband &run)
{
    const StringTable &strings = m_data.strings();
    // Exactly the file the list was read from: another run of the same minute, or a file a
    // pattern would match, is never opened in its place.
    const Status inside = RunFileRemoval::checkInside(run.runFile(), languageFolder());
    const int read = inside.ok() ? m_data.experiment().read(run.runFile()) : -1;
    if (read != 0) {
        if (!inside.ok())
            logMessage(1, QStringLiteral("ERROR: %1\n").arg(inside.error()));
        logMessage(1, read == 1 ? "   OFO 45; END\n" : "   OFO 40; END\n");
        m_boxes.show(strings.text(Text::kErrorTitle),
                     strings.text(read == 1 ? kWrongLanguageText : Text::kCannotOpenFile),
                     MessageIcon::Error, MessageButtons::Ok);
        m_view.stateChanged();
        return;
    }
    const ORVA_Experiment &experiment = m_data.experiment();
    const int modeText = experiment.isTraining() ? kTrainingModeText
        : experiment.mode() == PreTest           ? kPreTestModeText
                                                 : kMainTestModeText;
    m_controller.setModeLabel(strings.text(modeText));
    m_controller.setStateText(strings.text(kLoadedText));
    m_controller.setProgramState(ProgramState::DataLoaded);
    m_controller.setRunState(RunState::Loaded);
    m_view.showClient();
    m_view.stateChanged();
}

bool DialogCommands::deleteRun(const ORVA_Proband &run)
{
    const StringTable &strings = m_data.strings();
    const Status removed = RunFileRemoval::remove(run.runFile(), languageFolder());
    if (!removed.ok()) {
        logMessage(1, QStringLiteral("ERROR: %1\n").arg(removed.error()));
        m_boxes.show(strings.text(Text::kErrorTitle), strings.text(kNotDeletedText),
                     MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    m_boxes.show(strings.text(Text::kNoticeTitle), strings.text(kDeletedText),
                 MessageIcon::Information, MessageButtons::Ok);
    m_view.dataFolderChanged(); // reads the client list again
    return true;
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
    handlers.latencyTest = [this] { m_view.runLatencyTest(true); };
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
