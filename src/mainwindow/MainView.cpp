// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainView.h"

#include "engine/ProgramData.h"
#include "engine/RunController.h"
#include "mainwindow/Artwork.h"
#include "mainwindow/CanvasPainter.h"
#include "mainwindow/ClientFields.h"
#include "mainwindow/MainWindow.h"
#include "support/Clock.h"
#include "support/Logger.h"
#include "support/TextIds.h"

#include <QApplication>
#include <QSlider>

namespace orva {

MainView::MainView(MainWindow &window,
                   ProgramData &data,
                   RunController &controller,
                   ClientFields &fields,
                   Palette &palette,
                   TimerService &timers,
                   const Clock &clock,
                   Hooks hooks)
    : m_window(&window)
    , m_data(data)
    , m_controller(controller)
    , m_fields(fields)
    , m_palette(palette)
    , m_timers(timers)
    , m_clock(clock)
    , m_hooks(std::move(hooks))
    , m_fonts(MainFonts::forScreen(QApplication::font(), window.logicalDpiY()))
    , m_logo(Artwork::render(Artwork::kLogo))
{
    window.setFont(m_fonts.normal);
}

MainView::~MainView() = default;

void MainView::create()
{
    logMessage(1, "BEGIN : createSubWindows\n");
    QWidget *canvas = m_window->canvas();
    const int uiLanguage = m_data.startup().uiLanguage;
    m_children = std::make_unique<ChildWindows>(m_palette, m_data.strings(), m_fonts.normal);
    m_children->create(
        canvas,
        mainWindowChildren(
            { [this] { return panelState(); }, [this] { return m_layout.barWidth; },
              [this, uiLanguage] { return m_data.experiment().client().runDateText(uiLanguage); },
              &m_logo, m_hooks.paintReport }),
        m_window, m_hooks.command);
    m_fields.create(canvas, m_window);
    m_children->slider()->setValue(-m_data.settings().threshold);
    QObject::connect(m_children->slider(), &QSlider::valueChanged, m_window, [this](int value) {
        m_hooks.thresholdChanged(-value);
        if (QWidget *meter = child(kLevelMeterId))
            meter->update();
    });
    m_toolTips = std::make_unique<MainToolTips>(m_data.strings(), m_timers, m_fonts.normal);
    m_toolTips->setOwner(canvas);
    m_toolTips->addWindows(m_children->toolTips(), m_window);
    m_toolTips->addWindows(m_fields.toolTips(), m_window);
    onSize(canvas->width(), canvas->height());
    logMessage(1, "END : createSubWindows\n");
}

QWidget *MainView::child(int id) const
{
    QWidget *field = m_fields.field(id);
    return field || !m_children ? field : m_children->child(id);
}

void MainView::onSize(int width, int height)
{
    logMessage(1, "BEGIN: On Size\n");
    m_layout = MainWindowLayout::calculate(width, height, m_fonts.metrics());
    if (!m_children)
        return;
    m_children->move(m_layout, m_reportView);
    m_fields.move(m_layout);
    m_toolTips->followWindows();
    if (m_hooks.laidOut)
        m_hooks.laidOut(m_reportView);
}

void MainView::layoutMainWindow()
{
    if (m_window)
        onSize(m_window->canvas()->width(), m_window->canvas()->height());
}

PanelState MainView::panelState() const
{
    PanelState state;
    state.experiment = &m_data.experiment();
    state.strings = &m_data.strings();
    state.programState = m_controller.programState();
    state.highlight = m_controller.isHighlighted();
    state.guide = m_guide;
    state.modeName = m_controller.modeLabel();
    state.stateText = m_controller.stateText();
    state.paintOrder = m_paintOrder;
    const qint64 endUs = m_controller.inState(ProgramState::WaitForAudio)
        ? m_clock.nowUs()
        : m_controller.answerTimeUs();
    state.elapsedMs = std::max<qint64>(0, (endUs - m_controller.syllableStartUs()) / 1000);
    state.inputPeak = m_inputPeak;
    state.thresholdDb = m_data.settings().threshold;
    state.largeFont = m_fonts.large;
    state.mediumFont = m_fonts.medium;
    return state;
}

void MainView::onPaint(QPainter &painter)
{
    logMessage(9, "BEGIN: On Paint\n");
    if (!m_window)
        return;
    paintCanvas(painter, m_window->canvas()->rect(), m_palette, m_fonts.normal, m_layout,
                m_data.strings(), panelState(), [this](int id) {
                    QWidget *widget = child(id);
                    return widget && widget->isVisible();
                });
}

void MainView::repaint(Panels panels)
{
    if (!m_window || !m_children)
        return;
    m_children->repaint(panels);
    if (panels & Panel::MainWindow)
        m_window->canvas()->update();
}

void MainView::focusMainWindow()
{
    if (m_window)
        m_window->canvas()->setFocus();
}

CommandState MainView::commandState() const
{
    CommandState state;
    state.programState = m_controller.programState();
    state.runState = m_controller.runState();
    state.reportView = m_reportView;
    state.testMode = m_data.experiment().isTestMode();
    state.groupDisplay = m_data.experiment().client().displayMode();
    state.mayPrint = m_controller.mayPrint();
    state.maySave = m_controller.maySave();
    return state;
}

void MainView::menuSettings()
{
    logMessage(7, "BEGIN: menuSettings\n");
    if (m_window)
        m_window->enableMenuItems(orva::menuSettings(commandState()));
}

void MainView::windowSettings()
{
    logMessage(7, "BEGIN: windowSettings\n");
    if (!m_window || !m_children)
        return;
    m_children->setVisibility(orva::windowSettings(commandState()));
    m_window->canvas()->update();
}

void MainView::stateChanged()
{
    windowSettings();
    menuSettings();
    repaint(Panel::MainWindow);
}

void MainView::setReportView(bool reportView)
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

void MainView::showThreshold(int threshold)
{
    if (QSlider *thresholdSlider = slider())
        thresholdSlider->setValue(-threshold);
}

void MainView::showInputPeak(double peak, bool listening)
{
    m_inputPeak = peak;
    repaint(listening ? Panels(Panel::Result) : Panels());
    if (QWidget *meter = child(kLevelMeterId))
        meter->update();
}

void MainView::enableButton(RunButton button, bool enabled)
{
    if (m_children)
        m_children->enableButton(button, enabled);
}

// What a run's events mean for the window. The wrong button opens with the run and closes at the
// end of its first syllable, as it always has; after that it follows the verdict.

void MainView::runStarted()
{
    // The report view gives way and the short guide is no longer shown.
    if (m_reportView)
        setReportView(false);
    m_guide = false;
    m_paintOrder = getPaintOrder(m_data.experiment());
    if (m_toolTips)
        m_toolTips->removeBars();
    windowSettings();
    menuSettings();
    layoutMainWindow();
    enableButton(RunButton::Wrong, true);
    enableButton(RunButton::Abort, true);
}

void MainView::countdownChanged()
{
    enableButton(RunButton::Abort, true);
    repaint(Panel::Status | Panel::MainWindow);
}

void MainView::syllableStarted(int)
{
    enableButton(RunButton::Abort, true);
    repaint(Panel::Syllable | Panel::Result);
}

void MainView::highlightChanged()
{
    repaint(Panel::Syllable);
}

void MainView::answerTaken(int measurement)
{
    const ORVA_Experiment &experiment = m_data.experiment();
    const bool answered = measurement >= 0 && measurement < experiment.measurementCount()
        && experiment.measurement(measurement).result != NoAnswer;
    enableButton(RunButton::Reject, true);
    enableButton(RunButton::Wrong, answered);
    repaint(Panel::Result);
}

void MainView::verdictGiven(int, Verdict verdict)
{
    // The operator's key or button: the keys go back to the main window.
    if (verdict != Verdict::Discarded)
        focusMainWindow();
    enableButton(RunButton::Reject, false);
    enableButton(RunButton::Wrong, false);
    repaint(Panel::Result);
}

void MainView::syllableEnded(int measurement, bool recorded)
{
    const ORVA_Experiment &experiment = m_data.experiment();
    if (recorded && m_toolTips && measurement >= 0 && measurement < experiment.measurementCount())
        m_toolTips->addBar(
            PanelPainters::barRect(panelState(), m_layout.chart, m_layout.barWidth, measurement),
            PanelPainters::resultToolTipText(experiment, m_data.strings(), measurement));
    enableButton(RunButton::Reject, false);
    enableButton(RunButton::Wrong, false);
    enableButton(RunButton::Abort, false);
    repaint(Panel::Syllable | Panel::Result | Panel::Time);
}

void MainView::runEnded()
{
    if (m_controller.runState() == RunState::Aborted)
        focusMainWindow();
    windowSettings();
    menuSettings();
    repaint(Panel::Result | Panel::Chart | Panel::Status);
}

void MainView::commentAppended(const QString &note)
{
    m_fields.appendComment(note);
    m_fields.storeComment();
}

void MainView::startupWaitEnded()
{
    m_hooks.firstRunHelp();
}

} // namespace orva
