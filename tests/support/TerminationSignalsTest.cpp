// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TerminationSignals.h"

#include <QTest>

#include <csignal>

using namespace orva;

class TerminationSignalsTest : public QObject
{
    Q_OBJECT

private slots:
    void signalReachesTheEventLoopOnce();
};

void TerminationSignalsTest::signalReachesTheEventLoopOnce()
{
    QList<int> received;
    TerminationSignals signalsToCatch([&](int number) { received << number; });
    QVERIFY(signalsToCatch.isActive());
    ::raise(SIGTERM);
    QVERIFY(received.isEmpty()); // not from inside the handler
    QTRY_COMPARE(received, QList<int> { SIGTERM });
    ::raise(SIGHUP);
    QTest::qWait(50);
    QCOMPARE(received, QList<int> { SIGTERM });
}

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "TerminationSignalsTest.moc"
