// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ChildWindows.h"

#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

namespace orva {

namespace {

int childIdOf(ChildWindow window)
{
    switch (window) {
    case ChildWindow::CurrentSyllable:
        return kCurrentSyllableId;
    case ChildWindow::CurrentSyllables:
        return kCurrentSyllablesId;
    case ChildWindow::RemainingSyllables:
        return kRemainingId;
    case ChildWindow::ReactionTime:
        return kReactionTimeId;
    case ChildWindow::WrongButton:
        return Command::Wrong;
    case ChildWindow::RejectButton:
        return Command::Reject;
    case ChildWindow::AbortButton:
        return Command::AbortButton;
    case ChildWindow::Evaluation:
        return kEvaluationId;
    case ChildWindow::PrintButton:
        return Command::PrintReport;
    case ChildWindow::ShowTestsBox:
        return Command::ShowTests;
    case ChildWindow::ShowSyllablesBox:
        return Command::ShowSyllables;
    case ChildWindow::ReportScrollBar:
        return kReportScrollBarId;
    }
    return 0;
}

QSlider *makeSlider(QWidget *canvas)
{
    auto *slider = new QSlider(Qt::Vertical, canvas);
    slider->setObjectName(QStringLiteral("threshold"));
    slider->setRange(0, 90);
    // 0 dB is at the top: the arrow keys, pages and the wheel move the thumb the way it is drawn.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    slider->setPageStep(1);
    slider->setTickInterval(6);
    slider->setFocusPolicy(Qt::StrongFocus);
    return slider;
}

} // namespace

ChildWindows::ChildWindows(Palette &palette, const StringTable &strings, const QFont &normalFont)
    : m_palette(palette)
    , m_strings(strings)
    , m_normalFont(normalFont)
{ }

ChildWindows::~ChildWindows() = default;

void ChildWindows::create(QWidget *canvas,
                          std::vector<ChildEntry> entries,
                          QObject *watcher,
                          const std::function<void(int)> &onCommand)
{
    using Kind = ChildEntry::Kind;
    for (ChildEntry &entry : entries) {
        Child child;
        switch (entry.kind) {
        case Kind::Panel:
        case Kind::PlainPanel: {
            child.panel = std::make_unique<PanelDC>(
                m_palette, [this, painter = entry.painter](DrawingSurface &s) {
                    s.setFont(&m_normalFont);
                    painter(s);
                });
            child.widget =
                child.panel->create(canvas, entry.id, entry.toolTip, entry.kind == Kind::Panel);
            // Mouse moves reach the main window, whose tool tip covers the panels.
            child.widget->setAttribute(Qt::WA_TransparentForMouseEvents);
            child.widget->setObjectName(QStringLiteral("panel%1").arg(entry.id));
            break;
        }
        case Kind::Button: {
            auto *button = new QPushButton(m_strings.text(entry.text), canvas);
            button->setObjectName(QStringLiteral("button%1").arg(entry.id));
            button->setEnabled(false);
            button->setFocusPolicy(Qt::NoFocus);
            QObject::connect(button, &QPushButton::clicked, canvas,
                             [onCommand, id = entry.id] { onCommand(id); });
            child.widget = button;
            break;
        }
        case Kind::CheckBox: {
            auto *box = new QCheckBox(m_strings.text(entry.text), canvas);
            box->setChecked(true);
            box->setEnabled(false);
            box->setFocusPolicy(Qt::NoFocus);
            QObject::connect(box, &QCheckBox::clicked, canvas,
                             [onCommand, id = entry.id] { onCommand(id); });
            child.widget = box;
            break;
        }
        case Kind::Slider:
            child.widget = makeSlider(canvas);
            child.widget->installEventFilter(watcher);
            break;
        case Kind::ScrollBar:
            child.widget = new QScrollBar(Qt::Vertical, canvas);
            break;
        }
        child.entry = std::move(entry);
        m_children.push_back(std::move(child));
    }
}

QWidget *ChildWindows::child(int id) const
{
    for (const Child &child : m_children) {
        if (child.entry.id == id)
            return child.widget;
    }
    return nullptr;
}

QSlider *ChildWindows::slider() const
{
    return static_cast<QSlider *>(child(kSliderId));
}

std::vector<std::pair<QWidget *, int>> ChildWindows::toolTips() const
{
    std::vector<std::pair<QWidget *, int>> tips;
    for (const Child &child : m_children) {
        if (child.entry.toolTip >= 0 && child.widget)
            tips.emplace_back(child.widget, child.entry.toolTip);
    }
    return tips;
}

void ChildWindows::move(const MainWindowLayout &layout, bool reportView)
{
    for (Child &child : m_children) {
        QRect MainWindowLayout::*rect =
            reportView && child.entry.reportRect ? child.entry.reportRect : child.entry.rect;
        if (!rect || !child.widget)
            continue;
        if (child.panel) {
            child.panel->setRect(layout.*rect);
            child.panel->move();
        } else {
            child.widget->setGeometry(layout.*rect);
        }
    }
    if (QWidget *scrollBar = child(kReportScrollBarId))
        scrollBar->setVisible(reportView);
}

void ChildWindows::setVisibility(const std::map<ChildWindow, bool> &visible)
{
    for (const auto &[window, shown] : visible) {
        if (QWidget *widget = child(childIdOf(window)))
            widget->setVisible(shown);
    }
}

void ChildWindows::update(int id) const
{
    if (QWidget *widget = child(id))
        widget->update();
}

void ChildWindows::repaint(Panels panels)
{
    if (panels & Panel::Syllable) {
        update(kCurrentSyllableId);
        update(kCurrentSyllablesId);
        update(kRemainingId);
    }
    if (panels & Panel::Result) {
        update(kChartId);
        update(kEvaluationId);
        update(kAnswerTimeBarId);
    }
    if (panels & Panel::Time)
        update(kReactionTimeId);
    if (panels & Panel::Status)
        update(kStatusLineId);
    if (panels & Panel::Chart)
        update(kChartId);
    if (panels & Panel::MainWindow) {
        for (const Child &child : m_children) {
            if (child.panel)
                child.widget->update();
        }
    }
}

void ChildWindows::enableButton(RunButton button, bool enabled)
{
    if (QWidget *widget = child(int(button)))
        widget->setEnabled(enabled);
}

void ChildWindows::setReportView(bool reportView)
{
    for (int id : { Command::PrintReport, Command::ShowTests, Command::ShowSyllables,
                    Command::AbortButton }) {
        if (QWidget *widget = child(id))
            widget->setEnabled(reportView);
    }
    if (auto *abort = static_cast<QPushButton *>(child(Command::AbortButton)))
        abort->setText(m_strings.text(reportView ? Text::kCloseReportButton : Text::kAbortButton));
}

std::vector<ChildEntry> mainWindowChildren(PanelSource source)
{
    using K = ChildEntry::Kind;
    using L = MainWindowLayout;
    const auto painter = [source](void (*paint)(DrawingSurface &, const PanelState &)) {
        return [source, paint](DrawingSurface &s) { paint(s, source.state()); };
    };
    namespace P = PanelPainters;
    return {
        { kAnswerTimeBarId, K::Panel, Text::kAnswerTimeBarTip, &L::answerTimeBar, nullptr, 0,
          painter(P::paintAnswerTimeBar) },
        { kReportScrollBarId, K::ScrollBar, -1, &L::reportScrollBar, nullptr, 0, {} },
        { kChartId, K::Panel, Text::kChartTip, &L::chart, nullptr, 0,
          [source](DrawingSurface &s) {
              if (!source.report || !source.report(s))
                  P::paintChart(s, source.state(), source.barWidth());
          } },
        { kLevelMeterId, K::Panel, Text::kLevelMeterTip, &L::levelMeter, nullptr, 0,
          painter(P::paintLevelMeter) },
        { kSliderId, K::Slider, Text::kThresholdTip, &L::slider, nullptr, 0, {} },
        { kRemainingId, K::Panel, Text::kRemainingTip, &L::remainingSyllables, nullptr, 0,
          painter(P::paintRemainingSyllables) },
        { kReactionTimeId, K::Panel, Text::kReactionTimeTip, &L::reactionTime, nullptr, 0,
          painter(P::paintReactionTime) },
        { kCurrentSyllableId, K::Panel, Text::kCurrentSyllableTip, &L::currentSyllable, nullptr, 0,
          painter(P::paintCurrentSyllable) },
        { kStatusLineId, K::PlainPanel, -1, &L::statusLine, nullptr, 0,
          painter(P::paintStatusLine) },
        { Command::Wrong,
          K::Button,
          Text::kWrongButtonTip,
          &L::wrongButton,
          nullptr,
          Text::kWrongButton,
          {} },
        { Command::Reject,
          K::Button,
          Text::kRejectButtonTip,
          &L::rejectButton,
          nullptr,
          Text::kRejectButton,
          {} },
        { Command::AbortButton,
          K::Button,
          Text::kAbortButtonTip,
          &L::abortButton,
          &L::reportAbortButton,
          Text::kAbortButton,
          {} },
        { Command::PrintReport,
          K::Button,
          Text::kPrintButtonTip,
          nullptr,
          &L::printButton,
          Text::kPrintButton,
          {} },
        { Command::ShowTests,
          K::CheckBox,
          Text::kShowTestsTip,
          nullptr,
          &L::showTestsButton,
          Text::kShowTestsBox,
          {} },
        { Command::ShowSyllables,
          K::CheckBox,
          Text::kShowSyllablesTip,
          nullptr,
          &L::showSyllablesButton,
          Text::kShowSyllablesBox,
          {} },
        { kEvaluationId, K::Panel, Text::kEvaluationTip, &L::evaluation, nullptr, 0,
          painter(P::paintEvaluation) },
        { kCurrentSyllablesId, K::Panel, Text::kCurrentSyllablesTip, &L::currentSyllables, nullptr,
          0, painter(P::paintCurrentSyllables) },
        { kRunDateId, K::Panel, Text::kRunDateTip, &L::runDate, nullptr, 0,
          [source](DrawingSurface &s) {
              s.fillRect(Palette::kWindow, false, false, s.rect());
              s.setTextColor(Palette::kNearBlack);
              s.drawText(s.rect(), true, true, source.runDate());
          } },
        { kTrainingSettingsId, K::Panel, Text::kTrainingSettingsTip, &L::trainingSettings, nullptr,
          0, painter(P::paintTrainingSettings) },
        { kLogoId, K::Panel, Text::kLogoTip, &L::logo, nullptr, 0,
          [source](DrawingSurface &s) {
              s.fillRect(Palette::kButtonFace, false, false, s.rect());
              s.painter()->drawImage(s.rect().topLeft(), *source.logo);
          } },
    };
}

} // namespace orva
