// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RunEvents.h"
#include "mainwindow/ChildWindows.h"
#include "mainwindow/CommandRules.h"
#include "mainwindow/MainFonts.h"
#include "mainwindow/MainToolTips.h"
#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/PaintOrder.h"
#include "mainwindow/PanelPainters.h"

#include <QImage>
#include <QPointer>

#include <functional>
#include <memory>

class QPainter;
class QWidget;

namespace orva {

class ClientFields;
class Clock;
class DrawingSurface;
class MainWindow;
class Palette;
class ProgramData;
class RunController;
class TimerService;

/// What the main window shows and when: its child windows and their tool tips, the panels'
/// state, the layout, the enabling rules, and the switch between the main view and the training
/// report. It hears what happens in a run and decides what to enable, lay out and paint.
/// UI thread only.
class MainView final : public RunEvents
{
public:
    /// What the view hands back to the object behind the window.
    struct Hooks
    {
        std::function<void(int command)> command; ///< a button was pressed
        std::function<void(int threshold)> thresholdChanged; ///< the slider moved (dB)
        std::function<void()> firstRunHelp; ///< the start-up's wait ran out
        /// Paints the training report into the chart's surface; false when it is not shown.
        std::function<bool(DrawingSurface &)> paintReport;
        /// The children were laid out again, in the report view or not.
        std::function<void(bool reportView)> laidOut;
    };

    MainView(MainWindow &window,
             ProgramData &data,
             RunController &controller,
             ClientFields &fields,
             Palette &palette,
             TimerService &timers,
             const Clock &clock,
             Hooks hooks);
    ~MainView() override;

    /// The child windows, the client fields and the tool tips, laid out for the window's size.
    void create();
    /// The child window or entry field with `id`; null for another id.
    QWidget *child(int id) const;
    const MainWindowLayout &layout() const { return m_layout; }
    QSlider *slider() const { return m_children ? m_children->slider() : nullptr; }
    MainToolTips &toolTips() { return *m_toolTips; }
    bool isGuideShown() const { return m_guide; }
    bool isReportView() const { return m_reportView; }

    void onSize(int width, int height);
    void layoutMainWindow();
    /// The main window's own parts: captions, axis and count strip.
    void onPaint(QPainter &painter);
    void repaint(Panels panels);
    void focusMainWindow();
    /// The enabling rules of the child windows and of the menu.
    void windowSettings();
    void menuSettings();
    /// The program or run state changed outside a run: rules applied, everything repainted.
    void stateChanged();
    /// The training report in place of the main view, or the main view again.
    void setReportView(bool reportView);
    /// The slider shows the threshold of the settings.
    void showThreshold(int threshold);
    /// The level meter's newest peak; the result panels follow it while a syllable is heard.
    void showInputPeak(double peak, bool listening);

    // RunEvents
    void runStarted() override;
    void countdownChanged() override;
    void syllableStarted(int measurement) override;
    void highlightChanged() override;
    void answerTaken(int measurement) override;
    void verdictGiven(int measurement, Verdict verdict) override;
    void syllableEnded(int measurement, bool recorded) override;
    void runEnded() override;
    void commentAppended(const QString &note) override;
    void startupWaitEnded() override;

private:
    CommandState commandState() const;
    PanelState panelState() const;
    void enableButton(RunButton button, bool enabled);

    QPointer<MainWindow> m_window;
    ProgramData &m_data;
    RunController &m_controller;
    ClientFields &m_fields;
    Palette &m_palette;
    TimerService &m_timers;
    const Clock &m_clock;
    Hooks m_hooks;

    MainFonts m_fonts;
    QImage m_logo;
    MainWindowLayout m_layout;
    PaintOrder m_paintOrder;
    double m_inputPeak = 0;
    bool m_guide = true;
    bool m_reportView = false;
    std::unique_ptr<ChildWindows> m_children;
    std::unique_ptr<MainToolTips> m_toolTips;
};

} // namespace orva
