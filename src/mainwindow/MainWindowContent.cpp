// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainWindowContent.h"

#include "dialogs/DesktopDialogs.h"
#include "engine/StartupChecks.h"
#include "mainwindow/Artwork.h"
#include "mainwindow/CanvasPainter.h"
#include "mainwindow/ChildWindows.h"
#include "mainwindow/MainToolTips.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashScreen.h"
#include "mainwindow/TimerHost.h"
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
    logMessage(1, "END: Constructor MainWindowContent\n");
}

MainWindowContent::~MainWindowContent()
{
    m_sound->stopCapture();
    m_toolTips.reset();
    stopOwnTimers();
    const Status written = m_writesSettings ? m_data->writeSettings() : Status::success();
    // The window is gone by now; the box stands on its own, so the operator still learns that
    // the settings of this session were not kept.
    if (!written.ok())
        reportSaveFailure(m_boxes, strings(), kSettingsNotSaved, written);
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

void MainWindowContent::commentAppended(const QString &note)
{
    m_fields->appendComment(note);
    storeComment();
}

void MainWindowContent::dataFolderChanged()
{
    getProbandList();
    menuSettings();
    repaint(Panel::MainWindow);
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
    m_dialogCommands = std::make_unique<DialogCommands>(m_desktop->dialogs(), m_desktop->programs(),
                                                        *m_data, *m_controller, *m_files, m_boxes,
                                                        static_cast<DialogCommands::View &>(*this));
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
    m_fonts = MainFonts::forScreen(QApplication::font(), window->logicalDpiY());

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
    settings().checkDataDirectory(startup().layout.dataFolder, m_boxes, strings());

    window->setFont(m_fonts.normal);
    createSubWindows();
    windowSettings();
    menuSettings();
    m_timers->setTimer(kLevelMeterTimer, 32);
    getProbandList();
    m_logo = Artwork::render(Artwork::kLogo);
    logMessage(1,
               QStringLiteral("   OC 90: update client for %1, version %2, language %3\n")
                   .arg(startup().trueUpdateDir, ProgramVersion::text(),
                        languageCode(startup().uiLanguage).left(2)));
    logMessage(1, "END: On Create -----------------------------------------\n");
    return true;
}

void MainWindowContent::onShown()
{
    focusMainWindow();
    m_files->offerUnsavedRun(startup().uiLanguage);
    (void)m_sound->startCapture(settings().threshold);
    logMessage(1, "InitInstance READY ***************************************************\n");
}

void MainWindowContent::createSubWindows()
{
    logMessage(1, "BEGIN : createSubWindows\n");
    QWidget *canvas = m_window->canvas();
    m_children = std::make_unique<ChildWindows>(*m_palette, strings(), m_fonts.normal);
    m_children->create(
        canvas,
        mainWindowChildren(
            { [this] { return panelState(); }, [this] { return m_layout.barWidth; },
              [this] { return experiment().client().runDateText(startup().uiLanguage); }, &m_logo,
              [this](DrawingSurface &s) { return m_print && m_print->paintReport(s); } }),
        m_window, [this](int id) { onCommand(id); });
    m_fields->create(canvas, m_window);
    m_print = std::make_unique<PrintCommands>(PrintCommands::Parts {
        m_palette.get(), m_options.printers, &strings(), &m_boxes, &experiment(),
        m_controller.get(), startup().uiLanguage, m_window, canvas, child(kChartId),
        child(kEvaluationId), static_cast<QScrollBar *>(child(kReportScrollBarId)),
        static_cast<QCheckBox *>(child(Command::ShowTests)),
        static_cast<QCheckBox *>(child(Command::ShowSyllables)), [this] { storeComment(); } });
    QSlider *slider = m_children->slider();
    slider->setValue(-settings().threshold);
    QObject::connect(slider, &QSlider::valueChanged, m_window, [this](int value) {
        settings().threshold = -value;
        m_sound->setThreshold(settings().threshold);
        if (QWidget *meter = child(kLevelMeterId))
            meter->update();
    });
    m_toolTips = std::make_unique<MainToolTips>(strings(), *m_timers, m_fonts.normal);
    m_toolTips->setOwner(canvas);
    m_toolTips->addWindows(m_children->toolTips(), m_window);
    m_toolTips->addWindows(m_fields->toolTips(), m_window);
    onSize(canvas->width(), canvas->height());
    resetRun(false);
    logMessage(1, "END : createSubWindows\n");
}

QWidget *MainWindowContent::child(int id) const
{
    QWidget *field = m_fields->field(id);
    return field || !m_children ? field : m_children->child(id);
}

void MainWindowContent::onSize(int width, int height)
{
    logMessage(1, "BEGIN: On Size\n");
    m_layout = MainWindowLayout::calculate(width, height, m_fonts.metrics());
    if (!m_children)
        return;
    m_children->move(m_layout, m_reportView);
    m_fields->move(m_layout);
    m_toolTips->followWindows();
    if (m_print)
        m_print->setReportShown(m_reportView);
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
    if (QSlider *slider = m_children ? m_children->slider() : nullptr)
        slider->setValue(-settings().threshold);
    showClient();
}

void MainWindowContent::showClient()
{
    if (!m_window)
        return;
    m_fields->show(startup().uiLanguage);
    m_window->update();
}

PanelState MainWindowContent::panelState() const
{
    PanelState state;
    state.experiment = &experiment();
    state.strings = &strings();
    state.programState = m_controller->programState();
    state.highlight = m_controller->isHighlighted();
    state.guide = m_guide;
    state.modeName = m_controller->modeLabel();
    state.stateText = m_controller->stateText();
    state.paintOrder = m_paintOrder;
    const qint64 endUs = m_controller->inState(ProgramState::WaitForAudio)
        ? m_clock.nowUs()
        : m_controller->answerTimeUs();
    state.elapsedMs = std::max<qint64>(0, (endUs - m_controller->syllableStartUs()) / 1000);
    state.inputPeak = m_inputPeak;
    state.thresholdDb = m_data->settings().threshold;
    state.largeFont = m_fonts.large;
    state.mediumFont = m_fonts.medium;
    return state;
}

void MainWindowContent::onPaint(QPainter &painter)
{
    logMessage(9, "BEGIN: On Paint\n");
    if (!m_palette)
        return;
    paintCanvas(painter, m_window->canvas()->rect(), *m_palette, m_fonts.normal, m_layout,
                strings(), panelState(), [this](int id) {
                    QWidget *widget = child(id);
                    return widget && widget->isVisible();
                });
}

CommandState MainWindowContent::commandState() const
{
    CommandState state;
    state.programState = m_controller->programState();
    state.runState = m_controller->runState();
    state.reportView = m_reportView;
    state.testMode = experiment().isTestMode();
    state.groupDisplay = experiment().client().displayMode();
    state.mayPrint = m_controller->mayPrint();
    state.maySave = m_controller->maySave();
    return state;
}

void MainWindowContent::menuSettings()
{
    logMessage(7, "BEGIN: menuSettings\n");
    if (m_window)
        m_window->enableMenuItems(orva::menuSettings(commandState()));
}

void MainWindowContent::windowSettings()
{
    logMessage(7, "BEGIN: windowSettings\n");
    if (!m_window || !m_children)
        return;
    m_children->setVisibility(orva::windowSettings(commandState()));
    m_window->canvas()->update();
}

void MainWindowContent::stateChanged()
{
    windowSettings();
    menuSettings();
    repaint(Panel::MainWindow);
}

void MainWindowContent::layoutMainWindow()
{
    if (m_window)
        onSize(m_window->canvas()->width(), m_window->canvas()->height());
}

void MainWindowContent::leaveReportViewAndGuide()
{
    if (m_reportView)
        showMainView();
    m_guide = false;
}

void MainWindowContent::setReportView(bool reportView)
{
    m_reportView = reportView;
    if (!m_children)
        return;
    m_children->setReportView(reportView);
    m_toolTips->setText(child(kChartId), reportView ? Text::kReportChartTip : Text::kChartTip);
    windowSettings();
    menuSettings();
    layoutMainWindow();
}

void MainWindowContent::showFirstRunHelp()
{
    m_timers->stopTimer(WaitTimer);
    if (m_dialogCommands)
        m_dialogCommands->showFirstRunHelp();
}

void MainWindowContent::showReport()
{
    if (!isFree(m_controller->programState()) || !m_files->askToSaveUnsaved())
        return;
    logMessage(1, "START   OSRep\n");
    QString path;
    if (experiment().createLogFileName(path, true) == 0)
        (void)experiment().userLog().loadOrSetAside(path);
    setReportView(true);
    repaint(Panel::MainWindow);
}

void MainWindowContent::stopOwnTimers()
{
    for (int id : { kLevelMeterTimer, int(WaitTimer), kHearingCheckTimer })
        stopTimer(id);
}

void MainWindowContent::focusMainWindow()
{
    if (m_window)
        m_window->canvas()->setFocus();
}

void MainWindowContent::repaint(Panels panels)
{
    if (!m_window || !m_children)
        return;
    m_children->repaint(panels);
    if (panels & Panel::MainWindow)
        m_window->canvas()->update();
}

void MainWindowContent::addResultToolTip(int measurement)
{
    if (!m_toolTips || measurement < 0 || measurement >= experiment().measurementCount())
        return;
    m_toolTips->addBar(
        PanelPainters::barRect(panelState(), m_layout.chart, m_layout.barWidth, measurement),
        PanelPainters::resultToolTipText(experiment(), strings(), measurement));
}

void MainWindowContent::onCommand(int command)
{
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
        return showMainView();
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

bool MainWindowContent::translateAccelerator(QKeyEvent *event)
{
    logMessage(1, "BEGIN : translateAccelerator\n");
    m_fields->markInput();
    const KeyAction action = orva::translateAccelerator(
        event->key(), event->modifiers() & Qt::ShiftModifier, m_controller->programState());
    if (action.tab != 0)
        moveFocus(action.tab < 0);
    if (action.focusMainWindow)
        focusMainWindow();
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
        const bool listening = m_controller->programState() == ProgramState::WaitForAudio;
        m_inputPeak = m_sound->levelTick(listening);
        repaint(listening ? Panels(Panel::Result) : Panels());
        if (QWidget *meter = child(kLevelMeterId))
            meter->update();
        break;
    }
    case MainToolTips::kTimerId:
        if (m_toolTips)
            m_toolTips->timer();
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
    if (isAudioOutputBusy(m_controller->programState())) {
        m_controller->setProgramState(ProgramState::Idle);
        menuSettings();
    }
    m_modelessDialog.clear();
}

} // namespace orva
