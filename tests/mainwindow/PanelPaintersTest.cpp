// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/PanelPainters.h"

#include "engine/ORVA_Experiment.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/StringTable.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace orva;
using namespace orva::PanelPainters;

class PanelPaintersTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void axisLabelsFollowTheScale();
    void countStripMarksEveryTenthSyllable();
    void barsStartAtTwoPixelsAndAreClippedAtTheTop();
    void levelAtMinus20DbIsAllGreen();
    void thresholdMarkSitsAtItsLevel();
    void resultToolTipsNameSyllableTimeAndVerdict();
    void paintOrderSortsEachBlockOfSix();
    void paintOrderKeepsAListPlayedInOrder();
    void statusLineShowsModeAndState();
    void trainingSettingsLineIsEmptyWhileATestRuns();

private:
    QImage paint(const QSize &size, const std::function<void(DrawingSurface &)> &painter)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter qpainter(&image);
        DrawingSurface surface(m_palette);
        surface.begin(&qpainter, QRect(QPoint(0, 0), size));
        painter(surface);
        surface.end();
        return image;
    }

    QRgb rgb(int slot) const { return m_palette.color(slot).rgb(); }
    ORVA_Experiment &experiment() { return *m_model; }

    Palette m_palette { QApplication::palette() };
    std::unique_ptr<ORVA_Experiment> m_model;
    PanelState m_state;
};

void PanelPaintersTest::init()
{
    m_model = std::make_unique<ORVA_Experiment>();
    experiment().setLanguage(DE_DE, false, false);
    experiment().createSyllableLists();
    experiment().random().seed(7);
    m_state = PanelState();
    m_state.experiment = m_model.get();
    m_state.strings = &StringTable::german();
}

void PanelPaintersTest::axisLabelsFollowTheScale()
{
    QStringList labels;
    for (const auto &[value, label] : axisLabels(2000))
        labels.append(label);
    QCOMPARE(labels,
             QStringList({ "0ms", "250", "500", "750", "1000", "1250", "1500", "1750", "2000" }));
    QCOMPARE(axisLabels(6000).size(), 13); // 500 ms steps above 4000
    QCOMPARE(axisLabels(3000).last().second, QStringLiteral("3000"));
    QCOMPARE(axisLabels(2100).last().second, QStringLiteral("2000")); // only multiples of the step
}

void PanelPaintersTest::countStripMarksEveryTenthSyllable()
{
    experiment().prepareRun(MainTest);
    const int n = 7;
    const QImage image =
        paint(QSize(61 * n + 20, 16), [&](DrawingSurface &s) { paintCountStrip(s, m_state, n); });
    const QRgb selection = rgb(Palette::kHighlight);
    const QRgb background = rgb(Palette::kButtonFace);
    for (int k = 10; k < 60; k += 10) {
        QCOMPARE(image.pixel(2 + k * n - 1, 8), background);
        QCOMPARE(image.pixel(2 + k * n + 1, 8), selection);
    }
    QCOMPARE(image.pixel(2 + 60 * n, 8), selection);
    QCOMPARE(image.pixel(2 + 60 * n + 2, 8), background);
}

void PanelPaintersTest::barsStartAtTwoPixelsAndAreClippedAtTheTop()
{
    experiment().prepareRun(PreTest);
    experiment().measurement(0) = { 0, 1, Right };
    experiment().measurement(1) = { 1, 0, Unjudged };
    experiment().measurement(2) = { 2, 5000, Wrong };
    experiment().measurement(3) = { 3, 1000, Unjudged };
    const int n = 10;
    QList<QRect> bars;
    const QImage image =
        paint(QSize(120, 101), [&](DrawingSurface &s) { bars = paintChart(s, m_state, n); });
    QCOMPARE(bars.size(), 12);
    QCOMPARE(bars[0], QRect(5, 99, 5, 2));
    QVERIFY(bars[1].isNull());
    QCOMPARE(image.pixel(7, 100), rgb(Palette::green(0.8)));
    QCOMPARE(image.pixel(7, 98), rgb(Palette::kAppWorkspace));
    QCOMPARE(image.pixel(27, 0), rgb(Palette::red(0.8))); // taller than the panel
    QCOMPARE(bars[3].height(), 51);
    QCOMPARE(image.pixel(37, 90), rgb(Palette::grey(0.8)));
}

void PanelPaintersTest::levelAtMinus20DbIsAllGreen()
{
    m_state.inputPeak = 3276.7;
    m_state.thresholdDb = -90;
    const QImage image =
        paint(QSize(20, 90), [&](DrawingSurface &s) { paintLevelMeter(s, m_state); });
    const MeterHeights heights = meterHeights(90, 3276.7, -90);
    QCOMPARE(heights.level, heights.green);
    QCOMPARE(image.pixel(10, 89 - heights.level + 2), rgb(Palette::green(0.3)));
    QCOMPARE(image.pixel(10, 90 - heights.level - 4), rgb(Palette::kAppWorkspace));
    for (int y = 90 - heights.level; y < 88; ++y)
        QVERIFY(image.pixel(10, y) != rgb(Palette::yellow(0.3)));
    const MeterHeights loud = meterHeights(90, 32767, -40);
    QCOMPARE(loud.level, 90);
    QCOMPARE(meterHeights(90, 0, 0).level, 0);
    QCOMPARE(meterHeights(90, 0, 0).threshold, 90);
}

void PanelPaintersTest::thresholdMarkSitsAtItsLevel()
{
    m_state.thresholdDb = -45;
    const QImage image =
        paint(QSize(20, 90), [&](DrawingSurface &s) { paintLevelMeter(s, m_state); });
    QCOMPARE(image.pixel(10, 90 - 45), rgb(Palette::blue(0.3)));
    QCOMPARE(image.pixel(10, 90 - 45 - 4), rgb(Palette::kAppWorkspace));
}

void PanelPaintersTest::resultToolTipsNameSyllableTimeAndVerdict()
{
    experiment().prepareRun(PreTest);
    experiment().measurement(0) = { 2, 612, Right };
    experiment().measurement(9) = { 5, 2000, NoAnswer };
    experiment().measurement(10) = { 1, 87, Wrong };
    const StringTable &strings = StringTable::german();
    QCOMPARE(resultToolTipText(experiment(), strings, 0), "[ 1] ga  612ms " + strings.text(161));
    QCOMPARE(resultToolTipText(experiment(), strings, 9), "[10] ta 2000ms " + strings.text(163));
    QCOMPARE(resultToolTipText(experiment(), strings, 10), "[11] da   87ms " + strings.text(162));
    QCOMPARE(resultToolTipText(experiment(), strings, 12), QString());
}

void PanelPaintersTest::paintOrderSortsEachBlockOfSix()
{
    experiment().prepareRun(PreTest);
    experiment().fillShuffled(experiment().testSyllableList().at(0));
    const PaintOrder order = getPaintOrder(experiment());
    QCOMPARE(order.groupSize, 6);
    // The test syllables ba da ga ka pa ta are their own alphabetical order.
    for (int i = 0; i < 12; ++i)
        QCOMPARE(order.columns[i], experiment().measurement(i).stockIndex);
}

void PanelPaintersTest::paintOrderKeepsAListPlayedInOrder()
{
    experiment().client().setSyllableSelection(3);
    experiment().client().setChosenList(DE_DE, 1); // A2: ha ja ba wa ma na
    experiment().client().setRepetitions(2);
    experiment().prepareRun(Training);
    experiment().fillOrdered(*experiment().runList(Training));
    PaintOrder order = getPaintOrder(experiment());
    QCOMPARE(order.columns.mid(0, 7), QList<int>({ 0, 1, 2, 3, 4, 5, 0 }));
    experiment().client().setSyllableSelection(1);
    order = getPaintOrder(experiment());
    QCOMPARE(order.columns.mid(0, 6), QList<int>({ 1, 2, 0, 5, 3, 4 })); // ba ha ja ma na wa
}

void PanelPaintersTest::statusLineShowsModeAndState()
{
    m_state.modeName = QStringLiteral("Vortest");
    m_state.stateText = QStringLiteral("läuft");
    QCOMPARE(statusText(m_state), QStringLiteral("Vortest läuft"));
    experiment().prepareRun(Training);
    experiment().client().setDisplayMode(false);
    m_state.programState = ProgramState(2);
    m_state.modeName = QStringLiteral("Training");
    QCOMPARE(statusText(m_state), QStringLiteral("Training: \"[ A1 ] ba da ga ka pa ta\""));
}

void PanelPaintersTest::trainingSettingsLineIsEmptyWhileATestRuns()
{
    experiment().prepareRun(PreTest);
    m_state.programState = ProgramState(2);
    QCOMPARE(trainingSettingsText(m_state), QString());
    m_state.programState = ProgramState(7);
    experiment().client().setTimeShift(-500);
    const QString text = trainingSettingsText(m_state);
    const StringTable &strings = StringTable::german();
    const QString expected =
        QStringLiteral("%1: (de_de)   %2: 30,   %3: -500ms,   %4: -15db,   %5: %6, %7")
            .arg(strings.text(169), strings.text(168), strings.text(150).section(' ', 0, 0),
                 strings.text(155), strings.text(170), strings.text(172), strings.text(174));
    QCOMPARE(text, expected);
}

QTEST_MAIN(PanelPaintersTest)
#include "PanelPaintersTest.moc"
