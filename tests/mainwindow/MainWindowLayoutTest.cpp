// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainWindowLayout.h"

#include <QTest>

using namespace orva;

class MainWindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void smallestWindowGivesSevenBarColumns();
    void bandsStackFromTheBottomUp();
    void topRowFieldsFollowEachOther();
    void reportButtonsAreCentred();
    void leftColumnBoxesStayLeft_data();
    void leftColumnBoxesStayLeft();
};

void MainWindowLayoutTest::smallestWindowGivesSevenBarColumns()
{
    const MainWindowLayout l = MainWindowLayout::calculate(790, 550, LayoutFontMetrics());
    QCOMPARE(l.rowHeight, 22);
    QCOMPARE(l.sliderWidth, 24);
    QCOMPARE(l.answerTimeBar.width(), 66);
    QCOMPARE(l.axis.width(), 64);
    QCOMPARE(l.barWidth, 7);
    QCOMPARE(l.chart.width(), 427);
    QCOMPARE(l.chart.x(), 30 + 66 + 64);
    QCOMPARE(l.reportScrollBar.x(), l.chart.x() + 427);
    QCOMPARE(l.slider, QRect(760 - 24, 42 - 10, 24, l.chart.height() + 20));
    QCOMPARE(l.levelMeter.x(), 736 - 66 - 10);
}

void MainWindowLayoutTest::bandsStackFromTheBottomUp()
{
    const LayoutFontMetrics m; // ch 16, hM 24
    const MainWindowLayout l = MainWindowLayout::calculate(1280, 1000, m);
    const int yk = 990 - 70 - 22 - 10;
    QCOMPARE(l.comment, QRect(30, yk, 1250 - 30 - 256 - 10, 70));
    QCOMPARE(l.commentCaption, QPoint(30, yk - 16));
    QCOMPARE(l.logo, QRect(30 + l.comment.width() + 10, yk, 256, 70));
    QCOMPARE(l.trainingSettings, QRect(30, yk + 80, 1220, 22));
    const int ye = yk - 7 * 16 - 16 - 2;
    QCOMPARE(l.evaluation, QRect(30, ye, 1220, 112));
    QCOMPARE(l.statusLine, QRect(30, ye - 24 - 10, 1220, 24));
    const int yq = ye - 34 - 16 - 10;
    QCOMPARE(l.countStrip, QRect(l.chart.x(), yq, l.chart.width(), 16));
    QCOMPARE(l.chart.top(), 42);
    QCOMPARE(l.chart.height(), yq - 42);
    QCOMPARE(l.abortButton, QRect(1250 - 128, ye + 2 * (32 + 10), 128, 32));
    const int k = 112 - 20 - 16;
    QCOMPARE(l.currentSyllable, QRect(30 + 1220 / 2 - k, ye + 26, 2 * k, k));
    QCOMPARE(l.currentSyllables.right() + 1, l.abortButton.x() - 10);
}

void MainWindowLayoutTest::topRowFieldsFollowEachOther()
{
    const MainWindowLayout l = MainWindowLayout::calculate(1600, 900, LayoutFontMetrics());
    QCOMPARE(l.lastName, QRect(30 + 184, 10, 192, 22));
    QCOMPARE(l.firstName.x(), l.lastName.x() + 192 + 184 + 10);
    QCOMPARE(l.birthday.x(), l.firstName.x() + 160 + 184 + 10);
    QCOMPARE(l.runDate.x(), l.birthday.x() + 128 + 184 + 10);
    QCOMPARE(l.birthdayCaption.right() + 1, l.birthday.x());
    QCOMPARE(l.birthdayCaption.width(), 184);
}

void MainWindowLayoutTest::reportButtonsAreCentred()
{
    const MainWindowLayout l = MainWindowLayout::calculate(1000, 700, LayoutFontMetrics());
    const int row = 4 * 128 + 3 * 10;
    QCOMPARE(l.showTestsButton.x(), 30 + (940 - row) / 2);
    QCOMPARE(l.reportAbortButton.right() + 1, l.showTestsButton.x() + row);
    QCOMPARE(l.printButton.y(), l.evaluation.y());
}

void MainWindowLayoutTest::leftColumnBoxesStayLeft_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("largeHeight");
    QTest::newRow("smallest") << 790 << 48;
    QTest::newRow("wide") << 2560 << 48;
    QTest::newRow("tall large font") << 1024 << 80;
}

void MainWindowLayoutTest::leftColumnBoxesStayLeft()
{
    QFETCH(int, width);
    QFETCH(int, largeHeight);
    LayoutFontMetrics metrics;
    metrics.largeHeight = largeHeight;
    const MainWindowLayout l = MainWindowLayout::calculate(width, 700, metrics);
    QCOMPARE(l.boxWidth, qMax(64, largeHeight + 6));
    QCOMPARE(l.remainingSyllables.x(), 30);
    QCOMPARE(l.reactionTime.x(), 30);
    QCOMPARE(l.remainingSyllables.y(), l.currentSyllable.y());
    QCOMPARE(l.reactionTime.y(), l.remainingSyllables.y() + 22 + 10 + 16);
    QVERIFY(l.currentSyllables.x() >= l.remainingSyllables.right());
}

QTEST_GUILESS_MAIN(MainWindowLayoutTest)
#include "MainWindowLayoutTest.moc"
