// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/CommandRules.h"
#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/PanelDC.h"
#include "mainwindow/PanelPainters.h"

#include <QFlags>
#include <QPointer>

#include <map>
#include <memory>
#include <vector>

class QFont;
class QImage;
class QObject;
class QSlider;
class QWidget;

namespace orva {

class Palette;
class StringTable;

/// Panels of the main window, to repaint together.
enum class Panel : int {
    Syllable = 0x01,
    Result = 0x02,
    Time = 0x04,
    Status = 0x08,
    Chart = 0x10,
    MainWindow = 0x20,
};
Q_DECLARE_FLAGS(Panels, Panel)
Q_DECLARE_OPERATORS_FOR_FLAGS(Panels)

/// The three run buttons, by command number.
enum class RunButton : int {
    Wrong = 1019,
    Reject = 1020,
    Abort = 1021,
};

/// Child window ids of the main window (the buttons and check boxes have their commands').
enum ChildId : int {
    kSliderId = 1010,
    kAnswerTimeBarId = 1011,
    kChartId = 1012, ///< shares the answer-time bar's id in the window system
    kCurrentSyllableId = 1015,
    kReactionTimeId = 1016,
    kRemainingId = 1017,
    kEvaluationId = 1022,
    kCurrentSyllablesId = 1024,
    kFirstNameId = 1027,
    kLastNameId = 1028,
    kBirthdayId = 1029,
    kRunDateId = 1030,
    kCommentId = 1031,
    kLogoId = 1032,
    kTrainingSettingsId = 1045,
    kLevelMeterId = 1048,
    kStatusLineId = 1049,
    kReportScrollBarId = 1050,
};

/// One child window of the main window: what it is, its tool tip, where the layout puts it
/// (in the report view too, where that differs) and, for a panel, what paints it.
struct ChildEntry
{
    enum class Kind { Panel, PlainPanel, Button, CheckBox, Slider, ScrollBar };
    int id = 0;
    Kind kind = Kind::Panel;
    int toolTip = -1; ///< resource string; -1 none
    QRect MainWindowLayout::*rect = nullptr;
    QRect MainWindowLayout::*reportRect = nullptr; ///< where it is in the report view
    int text = 0; ///< the caption of a button or check box
    PanelDC::Painter painter; ///< of a panel
};

/// The panels, buttons, check boxes, the threshold slider and the report's scroll bar of the
/// main window, made from one table: they are made, placed, shown, hidden and repainted here.
/// The entry fields of the client are ClientFields'. UI thread only.
class ChildWindows
{
public:
    /// Panels paint in `normalFont` unless their painter chooses another.
    ChildWindows(Palette &palette, const StringTable &strings, const QFont &normalFont);
    ~ChildWindows();

    /// Makes the children of `entries` on `canvas`. Buttons give their command to `onCommand`;
    /// `watcher` sees the slider's keys.
    void create(QWidget *canvas,
                std::vector<ChildEntry> entries,
                QObject *watcher,
                const std::function<void(int)> &onCommand);
    bool isCreated() const { return !m_children.empty(); }
    /// The child with `id`; null for an id that is not one of these.
    QWidget *child(int id) const;
    QSlider *slider() const;
    /// Each child with a tool tip, with its text.
    std::vector<std::pair<QWidget *, int>> toolTips() const;

    void move(const MainWindowLayout &layout, bool reportView);
    void setVisibility(const std::map<ChildWindow, bool> &visible);
    void repaint(Panels panels);
    void enableButton(RunButton button, bool enabled);
    /// The report view's buttons enabled, and the abort button becomes its "Beenden"; or back.
    void setReportView(bool reportView);

private:
    struct Child
    {
        ChildEntry entry;
        QPointer<QWidget> widget;
        std::unique_ptr<PanelDC> panel;
    };
    void update(int id) const;

    Palette &m_palette;
    const StringTable &m_strings;
    const QFont &m_normalFont;
    std::vector<Child> m_children;
};

/// What the main window's panels show: the panels' state at paint time, the chart's column
/// width, the run's date, the logo (not owned) and the training report, which the chart panel
/// shows instead of its chart when `report` says it painted it.
struct PanelSource
{
    std::function<PanelState()> state;
    std::function<int()> barWidth;
    std::function<QString()> runDate;
    const QImage *logo = nullptr;
    std::function<bool(DrawingSurface &)> report;
};

/// The child windows of the main window, in the order of their tool tips.
std::vector<ChildEntry> mainWindowChildren(PanelSource source);

} // namespace orva
