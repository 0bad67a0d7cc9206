// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainWindowContent.h"

#include "dialogs/DesktopDialogs.h"
#include "dialogs/DialogLauncher.h"
#include "dialogs/ExternalPrograms.h"
#include "engine/LatencySelfTest.h"
#include "engine/StartupChecks.h"
#include "mainwindow/Artwork.h"
#include "mainwindow/CanvasPainter.h"
#include "mainwindow/ChildWindows.h"
#include "mainwindow/MainToolTips.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashScreen.h"
#include "mainwindow/TimerHost.h"
#include "records/LatencyCalibration.h"
#include "report/Palette.h"
#include "support/Clock.h"
#include "support/ErrorReport.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/ProgramVersion.h"
#include "support/SaveFailure.h"
#include "support/TextIds.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>

namespace orva {

MainWindowContent::MainWindowContent(StartupOptions options,
                                     const Clock &clock,
                                     MessageBoxes &boxes)
    : m_options(std::move(options))
    , m_clock(clock)
    , m_boxes(boxes)
{
    if (m_options.currentDirectory.isEmpty())
        m_options.currentDirectory = QDir::currentPath();
    // The recordings are read below; a damaged one is reported in its own box before the
    // start-up ends, not only in the log.
    m_previousErrorBoxes = setErrorBoxes(&m_boxes);
    startProgramLog(m_options.logFile.isEmpty() ? QStringLiteral("log.txt") : m_options.logFile,
                    m_options.logToStderr);
    logMessage(1, "BEGIN: Constructor MainWindowContent\n");
    m_data = std::make_unique<ProgramData>(m_options.currentDirectory, m_options.registry, m_boxes);
    m_fields = std::make_unique<ClientFields>(experiment());
    m_sound = std::make_unique<RunSound>(m_clock, [this](qint64 us) { onAudioInput(us); });
    m_controller =
        std::make_unique<RunController>(experiment(), *this, m_clock, m_boxes, strings());
    m_controller->setFileRules(m_data->fileRules());
    m_files = std::make_unique<RunFileCommands>(
        experiment(), *m_controller, settings().dataDirectory, m_data->unsavedRunPath(), m_boxes,
        strings(), static_cast<RunFileView &>(*this));
    m_controller->setProgramState(ProgramState::Idle);
    m_controller->setRunState(RunState::Empty);
    m_update = std::make_unique<UpdateManager>(static_cast<UpdateManager::Host &>(*this), m_boxes,
                                               strings());
    logMessage(1, "END: Constructor MainWindowContent\n");
}

MainWindowContent::~MainWindowContent()
{
    m_sound->stopCapture();
    m_view.reset();
    stopOwnTimers();
    const Status written = m_writesSettings ? m_data->writeSettings() : Status::success();
    // The window is gone by now; the box stands on its own, so the operator still learns that
    // the settings of this session were not kept.
    if (!written.ok())
        reportSaveFailure(m_boxes, strings(), kSettingsNotSaved, written);
    // The program has ended and its settings are kept: the update the operator chose may begin.
    if (m_update->patchToStart().isSet())
        (void)UpdateManager::startPatch(m_update->patchToStart(), m_boxes);
    setErrorBoxes(m_previousErrorBoxes);
    logMessage(1, "END: Destructor MainWindowContent\n");
    Logger::instance().close();
}

void MainWindowContent::changeLanguage(int language)
{
    const Status written = m_data->setMaterialLanguage(language, true);
    if (!written.ok())
        reportSaveFailure(m_boxes, strings(), kOwnListsNotSaved, written);
    StartupChecks::reportUnplayableRecordings(experiment(), m_boxes, strings());
    getProbandList();
    resetRun(false);
    m_controller->setProgramState(ProgramState::Idle);
    m_controller->setRunState(RunState::Empty);
    stateChanged();
}

void MainWindowContent::stateChanged()
{
    if (m_view)
        m_view->stateChanged();
}

void MainWindowContent::dataFolderChanged()
{
    getProbandList();
    if (m_view) {
        m_view->menuSettings();
        m_view->repaint(Panel::MainWindow);
    }
}

QString MainWindowContent::commandText(int command) const
{
    return m_window ? m_window->commandText(command) : QString();
}

void MainWindowContent::createDialogs()
{
    m_desktop = std::make_unique<DesktopDialogs>(
        m_window, startup(),
        DesktopDialogs::Parts { m_options.dialogRunner, m_options.dialogs, m_options.programs,
                                m_options.chooseSavePath });
    m_files->setSavePathChooser(&m_desktop->savePaths());
    m_dialogCommands = std::make_unique<DialogCommands>(
        m_desktop->dialogs(), m_desktop->programs(), *m_data, *m_controller, *m_files, m_boxes,
        m_clock, static_cast<DialogCommands::View &>(*this));
}

bool MainWindowContent::onCreate(MainWindow *window)
{
    logMessage(1, "BEGIN: On Create -----------------------------------------\n");
    m_window = window;
    m_palette = std::make_unique<Palette>(QApplication::palette());
    m_timerHost = std::make_unique<TimerHost>([this](int id) { onTimer(id); });
    m_timers = m_options.timers ? m_options.timers : m_timerHost.get();
    createDialogs();

    auto *splash = new QS_SplashScreen(strings(), *m_palette, startup().uiLanguage);
    splash->show();

    if (!StartupChecks::materialComplete(experiment(), m_boxes, strings())) {
        m_exitCode = -1;
        return false;
    }
    if (!StartupChecks::lockDataFolder(m_dataLock, settings().dataDirectory, m_boxes, strings())) {
        m_exitCode = -1;
        // The program that holds the folder keeps its settings; this one writes none at its end.
        m_writesSettings = false;
        return false;
    }
    StartupChecks::reportUnplayableRecordings(experiment(), m_boxes, strings());
    m_timers->setTimer(WaitTimer, 1000);
    if (m_data->settingsMissing())
        m_boxes.show(strings().text(Text::kWarningTitle), strings().text(Text::kSettingsMissing),
                     MessageIcon::Warning, MessageButtons::Ok);
    StartupChecks::dataDirectory(settings(), startup().layout.dataFolder, m_boxes, strings());

    createView();
    m_timers->setTimer(kLevelMeterTimer, 32);
    getProbandList();
    logMessage(1,
               QStringLiteral("   OC 90: update client for %1, version %2, language %3\n")
                   .arg(startup().trueUpdateDir, ProgramVersion::text(),
                        languageCode(startup().uiLanguage).left(2)));
    logMessage(1, "END: On Create -----------------------------------------\n");
    return true;
}

void MainWindowContent::createView()
{
    MainView::Hooks hooks;
    hooks.command = [this](int command) { onCommand(command); };
    hooks.thresholdChanged = [this](int threshold) {
        settings().threshold = threshold;
        m_sound->setThreshold(threshold);
    };
    hooks.firstRunHelp = [this] {
        m_timers->stopTimer(WaitTimer);
        if (m_dialogCommands)
            m_dialogCommands->showFirstRunHelp();
    };
    hooks.paintReport = [this](DrawingSurface &s) { return m_print && m_print->paintReport(s); };
    hooks.laidOut = [this](bool reportView) {
        if (m_print)
            m_print->setReportShown(reportView);
    };
    m_view = std::make_unique<MainView>(*m_window, *m_data, *m_controller, *m_fields, *m_palette,
                                        *m_timers, m_clock, std::move(hooks));
    m_view->create();
    m_print = std::make_unique<PrintCommands>(PrintCommands::Parts {
        m_palette.get(), m_options.printers, &strings(), &m_boxes, &experiment(),
        m_controller.get(), startup().uiLanguage, m_window, m_window->canvas(), child(kChartId),
        child(kEvaluationId), static_cast<QScrollBar *>(child(kReportScrollBarId)),
        static_cast<QCheckBox *>(child(Command::ShowTests)),
        static_cast<QCheckBox *>(child(Command::ShowSyllables)), [this] { storeComment(); } });
    m_controller->setEvents(m_view.get());
    resetRun(false);
    m_view->windowSettings();
    m_view->menuSettings();
}

bool MainWindowContent::closeProgram()
{
    return m_window && m_window->close();
}

bool MainWindowContent::startUpdateProgram(const QString &)
{
    return m_desktop && m_desktop->programs().start(ExternalProgram::UpdateProgram);
}

void MainWindowContent::onShown()
{
    if (m_view)
        m_view->focusMainWindow();
    m_files->offerUnsavedRun(startup().uiLanguage);
    (void)m_sound->startCapture(settings().threshold);
    m_sound->setLatencyCalibration(LatencyCalibration::read(Registry(m_options.registry)));
    // The update starts from the running event loop, so that its question may close the window.
    m_timers->setTimer(kUpdateTimer, 1);
    logMessage(1, "InitInstance READY ***************************************************\n");
}

void MainWindowContent::resetRun(bool resetClient)
{
    logMessage(5, "BEGIN: Reset GUI -----------------------------------------\n");
    const Status saved = experiment().reset(resetClient);
    if (!saved.ok())
        reportSaveFailure(m_boxes, strings(), kUserLogNotSaved, saved);
    m_controller->setModeLabel(QStringLiteral(" "));
    m_controller->setStateText(QStringLiteral(" "));
    if (!m_window)
        return;
    if (m_view)
        m_view->showThreshold(settings().threshold);
    showClient();
}

void MainWindowContent::showClient()
{
    if (!m_window)
        return;
    m_fields->show(startup().uiLanguage);
    m_window->update();
}

void MainWindowContent::showReport()
{
    if (!m_view || !isFree(m_controller->programState()) || !m_files->askToSaveUnsaved())
        return;
    logMessage(1, "START   OSRep\n");
    QString path;
    if (experiment().createLogFileName(path, true) == 0)
        (void)experiment().userLog().loadOrSetAside(path);
    m_view->setReportView(true);
    m_view->repaint(Panel::MainWindow);
}

void MainWindowContent::stopOwnTimers()
{
    for (int id : { kLevelMeterTimer, int(WaitTimer), kHearingCheckTimer, kUpdateTimer })
        stopTimer(id);
}

void MainWindowContent::onCommand(int command)
{
    // F8 and the abort button close the training report.
    if ((command == Command::AbortRun || command == Command::AbortButton) && m_view
        && m_view->isReportView())
        return m_view->setReportView(false);
    // The run's commands, from the menu, the keys and the buttons.
    static const std::pair<int, void (RunController::*)()> runCommands[] = {
        { Command::StartPreTest, &RunController::onStartPreTest },
        { Command::StartMainTest, &RunController::onStartMainTest },
        { Command::StartTraining, &RunController::onStartTraining },
        { Command::StartButton, &RunController::onStart },
        { Command::MarkWrong, &RunController::onWrongReaction },
        { Command::Wrong, &RunController::onWrongReaction },
        { Command::RejectSyllable, &RunController::onReject },
        { Command::Reject, &RunController::onReject },
        { Command::AbortRun, &RunController::onAbort },
        { Command::AbortButton, &RunController::onAbort },
    };
    for (const auto &[id, handler] : runCommands) {
        if (id == command)
            return (m_controller.get()->*handler)();
    }
    switch (command) {
    case Command::MainView:
        if (m_view)
            m_view->setReportView(false);
        return;
    case Command::ReportView:
        return showReport();
    case Command::New:
        return m_files->newRun();
    case Command::Save:
        (void)m_files->save();
        return;
    case Command::SaveAs:
        (void)m_files->saveAs();
        return;
    case Command::Exit:
        if (m_window)
            m_window->close();
        return;
    case Command::LatencyTest:
        return runLatencyTest(false);
    case Command::Nothing:
        return;
    default:
        if (m_print && m_print->onCommand(command))
            return;
        if (!m_dialogCommands || !m_dialogCommands->onCommand(command))
            logMessage(1, "   command %d has no handler\n", command);
        return;
    }
}

void MainWindowContent::runLatencyTest(bool fromWizard)
{
    const bool wizardOpen =
        m_dialogCommands && m_dialogCommands->wizard() && !m_dialogCommands->wizard()->hasEnded();
    if (!m_desktop || !m_sound->session()
        || !(isFree(m_controller->programState()) || (fromWizard && wizardOpen))) {
        logMessage(1, "   latency test: not now\n");
        return;
    }
    const Registry registry(m_options.registry);
    LatencySelfTest test(*m_sound->session(), *m_sound, registry);
    m_desktop->dialogs().runLatencyTest(test);
}

bool MainWindowContent::translateAccelerator(QKeyEvent *event)
{
    logMessage(1, "BEGIN : translateAccelerator\n");
    m_fields->markInput();
    const KeyAction action = orva::translateAccelerator(
        event->key(), event->modifiers() & Qt::ShiftModifier, m_controller->programState());
    if (action.tab != 0)
        moveFocus(action.tab < 0);
    if (action.focusMainWindow && m_view)
        m_view->focusMainWindow();
    if (action.command != 0)
        onCommand(action.command);
    if (action.consumed)
        m_fields->clearInput();
    return action.consumed;
}

bool MainWindowContent::onExit()
{
    logMessage(1, "BEGIN: On Exit\n");
    const bool closing = m_files->closeForExit();
    if (closing)
        stopOwnTimers();
    logMessage(1, closing ? "END: On Exit\n" : "END: On Exit, cancelled\n");
    return closing;
}

void MainWindowContent::onTerminate()
{
    logMessage(1, "BEGIN: On Terminate\n");
    m_files->closeForTermination();
    stopOwnTimers();
    logMessage(1, "END: On Terminate\n");
}

void MainWindowContent::onTimer(int id)
{
    switch (id) {
    case kLevelMeterTimer: {
        const bool listening = m_controller->inState(ProgramState::WaitForAudio);
        const double peak = m_sound->levelTick(listening);
        if (m_view)
            m_view->showInputPeak(peak, listening);
        break;
    }
    case MainToolTips::kTimerId:
        if (m_view)
            m_view->toolTips().timer();
        break;
    case kUpdateTimer:
        if (!m_updateStarted) {
            m_updateStarted = true;
            stopTimer(kUpdateTimer);
            m_update->initialize(startup().trueUpdateDir, ProgramVersion::text(),
                                 languageCode(startup().uiLanguage).left(2));
        } else {
            m_update->onTimer();
        }
        break;
    case kHearingCheckTimer:
        stopTimer(id);
        onAudioEnd();
        break;
    default:
        m_controller->onTimer(id);
        break;
    }
}

void MainWindowContent::onAudioEnd()
{
    if (m_dialogCommands)
        m_dialogCommands->onAudioEnd();
}

} // namespace orva
