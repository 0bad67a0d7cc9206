// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/TimerHost.h"

#include <QTest>

using namespace orva;

class TimerHostTest : public QObject
{
    Q_OBJECT

private slots:
    void timersRepeatUntilStoppedAndGoToTheHandlerById();
    void settingAgainReplacesTheRunningTimer();
    void handlerMayStopItsOwnTimer();
};

void TimerHostTest::timersRepeatUntilStoppedAndGoToTheHandlerById()
{
    QList<int> fired;
    TimerHost host([&](int id) { fired.append(id); });
    host.setTimer(1018, 5);
    QVERIFY(host.isRunning(1018));
    QTRY_VERIFY(fired.count(1018) >= 3);
    host.stopTimer(1018);
    QVERIFY(!host.isRunning(1018));
    const qsizetype count = fired.size();
    QTest::qWait(30);
    QCOMPARE(fired.size(), count);
    host.stopTimer(4711); // unknown ids are ignored
}

void TimerHostTest::settingAgainReplacesTheRunningTimer()
{
    QList<int> fired;
    TimerHost host([&](int id) { fired.append(id); });
    host.setTimer(1025, 100000);
    host.setTimer(1025, 1);
    QTRY_VERIFY(!fired.isEmpty());
    QCOMPARE(fired.first(), 1025);
}

void TimerHostTest::handlerMayStopItsOwnTimer()
{
    int fired = 0;
    TimerHost *hostPointer = nullptr;
    TimerHost host([&](int id) {
        ++fired;
        hostPointer->stopTimer(id);
        hostPointer->setTimer(1026, 100000); // and set another one from inside
    });
    hostPointer = &host;
    host.setTimer(1155, 1);
    QTRY_COMPARE(fired, 1);
    QTest::qWait(20);
    QCOMPARE(fired, 1);
    QVERIFY(host.isRunning(1026));
}

QTEST_MAIN(TimerHostTest)
#include "TimerHostTest.moc"
