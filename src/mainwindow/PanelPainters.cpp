// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/PanelPainters.h"

#include "engine/ORVA_Experiment.h"
#include "engine/TrainingSettings.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QFontMetrics>

#include <cmath>

namespace orva::PanelPainters {

namespace {

constexpr int kBackground = Palette::kButtonFace;
constexpr int kWorkspace = Palette::kAppWorkspace;
constexpr int kSelection = Palette::kHighlight;
constexpr int kSelectionText = Palette::kHighlightText;

QRect area(const DrawingSurface &surface)
{
    return surface.rect();
}

// A rectangle given by its edges, right and bottom exclusive.
QRect span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QString syllableName(const ORVA_Experiment &experiment, int i)
{
    const ORVA_Syllable *syllable = experiment.syllableOfMeasurement(i);
    return syllable ? syllable->name : QString();
}

void centred(DrawingSurface &surface, const QRect &rect, const QString &text)
{
    surface.drawText(rect, true, true, text);
}

} // namespace

int scaleMaximum(const PanelState &state)
{
    return state.experiment ? std::max(1, state.experiment->answerWindow()) : 2000;
}

int scaleStep(int maximum)
{
    return maximum > 4000 ? 500 : 250;
}

QList<std::pair<int, QString>> axisLabels(int maximum)
{
    QList<std::pair<int, QString>> labels;
    const int step = scaleStep(maximum);
    for (int v = 0; v <= maximum; v += step) {
        if (v == 0)
            labels.append({ v, QStringLiteral("0ms") });
        else if (v < maximum)
            labels.append({ v, QString::asprintf("%3d", v) });
        else
            labels.append({ v, QString::number(v) });
    }
    return labels;
}

void paintAxis(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(kBackground, false, false, r);
    const int m = scaleMaximum(state);
    const int ha = r.height() - 6;
    const int base = r.top() + ha + 3;
    surface.setTextColor(Palette::kNearBlack);
    for (const auto &[v, label] : axisLabels(m)) {
        const int y = base - static_cast<int>(qint64(ha) * v / m);
        centred(surface, span(r.left(), y - 10, r.left() + r.width(), y + 10), label);
    }
}

void paintCountStrip(DrawingSurface &surface, const PanelState &state, int barWidth)
{
    const QRect r = area(surface);
    const int count = state.experiment ? state.experiment->measurementCount() : 0;
    const int x0 = r.left() + 2;
    const int used = x0 + count * barWidth + 1;
    surface.fillRect(kSelection, false, false, span(x0, r.top(), used, r.top() + r.height()));
    surface.fillRect(kBackground, false, false,
                     span(used, r.top(), x0 + r.width() - 5, r.top() + r.height()));
    for (int k = 10; k < count; k += 10) {
        const int x = x0 + k * barWidth;
        surface.fillRect(kBackground, false, false,
                         span(x - 2, r.top() - 1, x, r.top() + r.height() + 1));
    }
}

void paintGuide(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(kBackground, false, false, r);
    if (!state.strings)
        return;
    QStringList lines;
    for (int id = 260; id <= 270; ++id)
        lines.append(state.strings->text(id));
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, surface.measureWrapped(QRect(0, 0, 100000, 1), line).width());
    const int left = r.left() + (r.width() - widest) / 2;
    int y = r.top() + (r.height() - 11 * surface.textHeight()) / 2;
    for (int i = 0; i < lines.size(); ++i) {
        surface.setTextColor(i == 0 ? Palette::red(1) : Palette::kNearBlack);
        surface.textOut(left, y, lines[i]);
        y += surface.textHeight();
    }
}

QList<QRect> paintChart(DrawingSurface &surface, const PanelState &state, int barWidth)
{
    QList<QRect> bars;
    if (state.guide) {
        paintGuide(surface, state);
        return bars;
    }
    const QRect r = area(surface);
    surface.fillRect(kWorkspace, false, false, r);
    const int m = scaleMaximum(state);
    const int step = scaleStep(m);
    const int h = r.height();
    for (int v = step; v < m; v += step) {
        const int y = r.top() + h - static_cast<int>(qint64(h + 1) * v / m);
        surface.horizontal(Palette::grey(0.8), 1, r.left(), r.right(), y);
    }
    if (!state.experiment)
        return bars;
    const ORVA_Experiment &experiment = *state.experiment;
    for (int i = 0; i < experiment.measurementCount(); ++i) {
        const Measurement &measurement = experiment.measurement(i);
        if (measurement.reactionTime == 0) {
            bars.append(QRect());
            continue;
        }
        int height = static_cast<int>(double(measurement.reactionTime) / m * (h + 1));
        if (height < 3)
            height = 2;
        const int left = barWidth / 2 + i * barWidth;
        const int right = left + barWidth - barWidth / 2;
        int colour = Palette::grey(0.8);
        if (measurement.result == Right)
            colour = Palette::green(0.8);
        else if (measurement.result == Wrong || measurement.result == NoAnswer)
            colour = Palette::red(0.8);
        const QRect bar =
            span(r.left() + left, r.top() + h - height, r.left() + right, r.top() + h);
        surface.fillRect(colour, false, false, bar);
        bars.append(bar);
    }
    return bars;
}

void paintEvaluation(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(Palette::kWhite, false, false, r);
    if (!state.experiment || !state.strings)
        return;
    const QList<ORVA_Statistic> &statistics = state.experiment->statistics();
    if (statistics.isEmpty() || statistics[0].count == 0)
        return;
    surface.setTextColor(Palette::kNearBlack);
    if (statistics.size() >= 9) {
        surface.textOut(r.left() + 10, r.top() + 10, state.strings->text(Text::kChartGuide));
        return;
    }
    const int th = surface.textHeight();
    const int cw = surface.averageCharWidth();
    const int rowStep = th + 4;
    const auto rowY = [&](int row) { return r.top() + th / 4 + row * rowStep; };
    const int labelX = r.left() + th / 2;
    const int labels[] = { 116, 117, 118, 124, 119 };
    int longest = 0;
    for (int row = 0; row < 5; ++row) {
        const QString label = state.strings->text(labels[row]);
        longest = std::max<int>(longest, label.size());
        surface.textOut(labelX, rowY(row), label);
    }
    for (int row = 0; row < 4; ++row) {
        const int slot = (row == 0 || row == 3) ? Palette::kNearBlack : Palette::grey(0.7);
        surface.horizontal(slot, 1, r.left(), r.right(), rowY(row) + th + 2);
    }
    const int labelColumn = cw * (longest + 6);
    const int entries = static_cast<int>(statistics.size());
    const int columnWidth = (r.width() - labelColumn - 8 * (th / 2)) / entries;
    const auto columnX = [&](int j) { return labelX + labelColumn + (j - 1) * columnWidth; };
    for (int j = 1; j < entries; ++j) {
        const ORVA_Statistic &s = statistics[j];
        const int x = columnX(j);
        surface.vertical(Palette::grey(0.7), 1, x - cw, r.top(), r.bottom());
        surface.textOut(x, rowY(0),
                        QStringLiteral("%1 (%2)").arg(s.name.value_or(QString())).arg(s.count));
        surface.textOut(x, rowY(1), QString::asprintf("%4dms", int(s.average)));
        surface.textOut(x, rowY(2), QString::asprintf("%3.0f%%", s.percentRight));
        surface.textOut(x, rowY(3), QString::asprintf("%3.0f%%", s.percentWrong));
        surface.textOut(x, rowY(4), QString::asprintf("%3.0f%%", s.percentNone));
    }
    const ORVA_Statistic &total = statistics[0];
    const int lineX = columnX(entries);
    surface.vertical(Palette::kNearBlack, 1, lineX, r.top(), r.bottom());
    const int x = lineX + th / 2;
    surface.textOut(
        x, rowY(0),
        QStringLiteral("%1 (%2)").arg(state.strings->text(Text::kAverage)).arg(total.count));
    surface.textOut(x, rowY(1),
                    QString::asprintf("%4dms (%d)", int(total.average), total.count - total.none));
    surface.textOut(x, rowY(2), QString::asprintf("%3.0f%% (%d)", total.percentRight, total.right));
    surface.textOut(x, rowY(3), QString::asprintf("%3.0f%% (%d)", total.percentWrong, total.wrong));
    surface.textOut(x, rowY(4), QString::asprintf("%.0f%% (%d)", total.percentNone, total.none));
}

void paintCurrentSyllables(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(Palette::kWhite, false, false, r);
    if (!state.experiment || !isRunActive(state.programState) || !state.experiment->isTraining())
        return;
    const ORVA_Experiment &experiment = *state.experiment;
    const int count = experiment.measurementCount();
    const int n = std::max(1, state.paintOrder.groupSize);
    if (count == 0)
        return;
    const QFont previous = surface.setFont(&state.largeFont);
    const int position = std::max(0, experiment.currentIndex());
    const int cell = r.width() / n;
    const int first = position / n * n;
    for (int i = first; i < std::min(first + n, count); ++i) {
        const int column = state.paintOrder.columns.value(i, 0);
        const QRect rect(r.left() + column * cell, r.top(), cell, r.height());
        if (state.highlight && i == experiment.currentIndex()) {
            surface.fillRect(Palette::red(0.2), false, false, rect);
            surface.setTextColor(Palette::kWhite);
        } else {
            surface.setTextColor(Palette::kNearBlack);
        }
        centred(surface, rect, syllableName(experiment, i));
    }
    surface.setFont(&previous);
}

void paintCurrentSyllable(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    const bool judging = isAwaitingAnswer(state.programState);
    const bool shown =
        state.experiment && judging && (state.experiment->isTestMode() || state.highlight);
    if (!shown) {
        surface.fillRect(kBackground, false, false, r);
        return;
    }
    surface.fillRect(Palette::red(0.2), false, false, r);
    const QFont previous = surface.setFont(&state.largeFont);
    surface.setTextColor(Palette::kWhite);
    centred(surface, r, syllableName(*state.experiment, state.experiment->currentIndex()));
    surface.setFont(&previous);
}

void paintRemainingSyllables(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(kBackground, false, false, r);
    // Shown while syllables are played, not once the last one's answer is in.
    const ProgramState s = state.programState;
    if (!state.experiment || !isRunActive(s) || s == ProgramState::StopExp)
        return;
    int remaining = state.experiment->measurementCount() - state.experiment->currentIndex();
    if (s != ProgramState::Delay)
        remaining -= 1;
    surface.setTextColor(Palette::kNearBlack);
    centred(surface, r, QString::number(remaining));
}

void paintReactionTime(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(kBackground, false, false, r);
    const ProgramState s = state.programState;
    if (!state.experiment || s != ProgramState::WaitForKey)
        return;
    const Measurement *current = state.experiment->currentMeasurement();
    if (!current)
        return;
    surface.setTextColor(Palette::kNearBlack);
    centred(surface, r, QStringLiteral("%1ms").arg(current->reactionTime));
}

QString statusText(const PanelState &state)
{
    if (state.experiment) {
        const ORVA_Experiment &experiment = *state.experiment;
        const ORVA_Proband &client = experiment.client();
        const bool judging = isAwaitingAnswer(state.programState);
        if (experiment.isTraining() && !client.displayMode() && client.syllableSelection() == 1
            && judging) {
            const SyllableList *list = experiment.runList(Training);
            return QStringLiteral("%1: \"%2\"")
                .arg(state.modeName, list ? list->displayText() : QString());
        }
    }
    return QStringLiteral("%1 %2").arg(state.modeName, state.stateText);
}

void paintStatusLine(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(kBackground, false, false, r);
    const QFont previous = surface.setFont(&state.mediumFont);
    surface.setTextColor(Palette::kNearBlack);
    surface.drawText(r, true, false, statusText(state));
    surface.setFont(&previous);
}

QString trainingSettingsText(const PanelState &state)
{
    if (!state.experiment || !state.strings)
        return QString();
    const ORVA_Experiment &experiment = *state.experiment;
    if (experiment.isTestMode() && isRunActive(state.programState))
        return QString();
    const StringTable &s = *state.strings;
    const ORVA_Proband &client = experiment.client();
    const QString shiftWord = s.text(Text::kTimeShift).section(QLatin1Char(' '), 0, 0);
    return QStringLiteral("%1: (%2)   %3: %4,   %5: %6ms,   %7: %8db,   %9: %10, %11")
        .arg(s.text(Text::kTrainingTitle), experiment.languageCode(), s.text(Text::kSyllableCount),
             QString::asprintf("%2d",
                               TrainingSettings::runLength(client, experiment.trainSyllableList(),
                                                           experiment.expLanguage())),
             shiftWord, QString::asprintf("%4d", client.timeShift()), s.text(Text::kNoiseLevel),
             QString::number(client.noiseLevel()), s.text(Text::kSyllableChoice))
        .arg(client.syllableSelection() == 2 ? s.text(Text::kRandomChoice)
                                             : s.text(Text::kStandardChoice),
             client.repeat() ? s.text(Text::kRepeat) : s.text(Text::kNoRepeat));
}

void paintTrainingSettings(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(kBackground, false, false, r);
    surface.setTextColor(Palette::kNearBlack);
    centred(surface, r, trainingSettingsText(state));
}

void paintAnswerTimeBar(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    const ProgramState s = state.programState;
    if (!isRunActive(s) || s == ProgramState::Delay) {
        surface.fillRect(kWorkspace, false, false, r);
        return;
    }
    const double f = double(state.elapsedMs) / scaleMaximum(state);
    const int filled = std::clamp(static_cast<int>(r.height() * f), 0, r.height());
    surface.fillRect(kWorkspace, false, false,
                     span(r.left(), r.top(), r.left() + r.width(), r.top() + r.height() - filled));
    surface.fillRect(
        kSelection, false, false,
        span(r.left(), r.top() + r.height() - filled, r.left() + r.width(), r.top() + r.height()));
    surface.setTextColor(kSelectionText);
    centred(surface, r, QString::asprintf("%.0f%%", 100 * f));
}

MeterHeights meterHeights(int panelHeight, double peak, int thresholdDb)
{
    const int h = panelHeight;
    MeterHeights m {};
    m.level = peak > 0 ? h + static_cast<int>(20 * std::log10(peak / 32767.0) / 90 * h) : 0;
    m.green = h + static_cast<int>(20 * std::log10(0.1) / 90 * h);
    m.yellow = h + static_cast<int>(20 * std::log10(0.5) / 90 * h);
    m.threshold = h + static_cast<int>(double(h) * thresholdDb / 90);
    return m;
}

void paintLevelMeter(DrawingSurface &surface, const PanelState &state)
{
    const QRect r = area(surface);
    surface.fillRect(kWorkspace, false, false, r);
    const int h = r.height();
    const MeterHeights m = meterHeights(h, state.inputPeak, state.thresholdDb);
    const auto band = [&](int slot, int from, int to) {
        if (to > from)
            surface.fillRect(slot, false, false,
                             span(r.left(), r.top() + from, r.left() + r.width(), r.top() + to));
    };
    const int level = std::min(m.level, h);
    if (m.green >= level) {
        band(Palette::green(0.3), h - level, h);
    } else if (m.yellow < level) {
        band(Palette::green(0.3), h - m.green, h);
        band(Palette::yellow(0.3), h - m.yellow, h - m.green);
        band(Palette::red(0.3), h - level, h - m.yellow);
    } else {
        band(Palette::green(0.3), h - m.green, h);
        band(Palette::yellow(0.3), h - level, h - m.green);
    }
    band(Palette::blue(0.3), h - m.threshold - 2, h - m.threshold + 2);
}

QString resultToolTipText(const ORVA_Experiment &experiment, const StringTable &strings, int i)
{
    if (i < 0 || i >= experiment.measurementCount())
        return QString();
    const Measurement &measurement = experiment.measurement(i);
    QString verdict;
    if (measurement.result == Right)
        verdict = strings.text(Text::kRightShort);
    else if (measurement.result == Wrong)
        verdict = strings.text(Text::kWrongShort);
    else if (measurement.result == NoAnswer)
        verdict = strings.text(Text::kNoAnswerShort);
    return QString::asprintf("[%2d] ", i + 1) + syllableName(experiment, i)
        + QString::asprintf(" %4dms ", measurement.reactionTime) + verdict;
}

QRect barRect(const PanelState &state, const QRect &chart, int barWidth, int i)
{
    const Measurement &m = state.experiment->measurement(i);
    const int h = chart.height();
    const int height =
        std::clamp(static_cast<int>(double(m.reactionTime) / scaleMaximum(state) * (h + 1)), 2, h);
    const int left = barWidth / 2 + i * barWidth;
    return QRect(chart.left() + left, chart.top() + h - height, barWidth - barWidth / 2, height);
}

} // namespace orva::PanelPainters
