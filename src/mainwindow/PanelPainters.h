// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/PaintOrder.h"
#include "support/ProgramStates.h"

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

namespace orva {

class DrawingSurface;
class ORVA_Experiment;
class StringTable;

/// What the display panels show, taken from the run model and the main window at paint time.
struct PanelState
{
    const ORVA_Experiment *experiment = nullptr;
    const StringTable *strings = nullptr;
    ProgramState programState = ProgramState::Idle;
    bool highlight = false;
    bool guide = false;
    QString modeName;
    QString stateText;
    PaintOrder paintOrder;
    /// Elapsed time of the current answer, ms (the answer-time bar).
    qint64 elapsedMs = 0;
    double inputPeak = 0; ///< 0 … 32768
    int thresholdDb = -40;
    QFont largeFont;
    QFont mediumFont;
};

/// The painters of the main window's panels. Each paints its whole rectangle on `surface`
/// (whose rectangle is the panel) from `state`; the printed report can make the same calls.
namespace PanelPainters {

/// The scale maximum of the chart and the axis (the answer window, ms) and its label step.
int scaleMaximum(const PanelState &state);
int scaleStep(int maximum);

/// The axis labels from 0 up to the maximum: "0ms", "%3d" between, the maximum as "%d".
QList<std::pair<int, QString>> axisLabels(int maximum);
/// Reaction-time labels of the chart's axis.
void paintAxis(DrawingSurface &surface, const PanelState &state);
/// One column per syllable of the sequence under the chart, marks every ten.
void paintCountStrip(DrawingSurface &surface, const PanelState &state, int barWidth);
/// The bars, or the short guide; returns the bars' rectangles (panel coordinates) by
/// measurement, empty rectangles where no bar is drawn.
QList<QRect> paintChart(DrawingSurface &surface, const PanelState &state, int barWidth);
void paintGuide(DrawingSurface &surface, const PanelState &state);
void paintEvaluation(DrawingSurface &surface, const PanelState &state);
void paintCurrentSyllables(DrawingSurface &surface, const PanelState &state);
void paintCurrentSyllable(DrawingSurface &surface, const PanelState &state);
void paintRemainingSyllables(DrawingSurface &surface, const PanelState &state);
void paintReactionTime(DrawingSurface &surface, const PanelState &state);
void paintStatusLine(DrawingSurface &surface, const PanelState &state);
void paintTrainingSettings(DrawingSurface &surface, const PanelState &state);
void paintAnswerTimeBar(DrawingSurface &surface, const PanelState &state);
void paintLevelMeter(DrawingSurface &surface, const PanelState &state);

/// Heights in the level meter of `panelHeight` pixels: the level, -20 dB, -6 dB, the threshold.
struct MeterHeights
{
    int level;
    int green;
    int yellow;
    int threshold;
};
MeterHeights meterHeights(int panelHeight, double peak, int thresholdDb);

/// "[%2d] %s %4dms %s" for measurement `i`.
QString resultToolTipText(const ORVA_Experiment &experiment, const StringTable &strings, int i);
/// Where the bar of measurement `i` stands in `chart` (whose columns are `barWidth` wide), for
/// its tool tip.
QRect barRect(const PanelState &state, const QRect &chart, int barWidth, int i);
/// The status line's text.
QString statusText(const PanelState &state);
/// The training-settings line's text; empty while a test runs.
QString trainingSettingsText(const PanelState &state);

} // namespace PanelPainters

} // namespace orva
