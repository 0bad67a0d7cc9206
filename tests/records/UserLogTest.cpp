// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/UserLog.h"

#include <QTest>

using namespace orva;

class UserLogTest : public QObject
{
    Q_OBJECT

private slots:
    void countsRightWrongAndNoAnswer();
    void entryWithoutRecordsDoesNotSurviveTheNextBegin();
    void averagesAreRunningAndTruncated();
};

void UserLogTest::countsRightWrongAndNoAnswer()
{
    qint64 now = 1000;
    UserLog log([&] { return now; });
    log.beginEntry(0);
    log.recordSyllable(QStringLiteral("ba"), 1, 500);
    log.recordSyllable(QStringLiteral("da"), -1, 700);
    log.recordSyllable(QStringLiteral("ga"), -2, 2000);
    log.recordSyllable(QStringLiteral("ka"), 0, 300); // unjudged changes nothing
    now = 1010;
    log.recordSyllable(QStringLiteral("ba"), 1, 600);

    const UserLogEntry &entry = log.entries().last();
    QCOMPARE(entry.presented, 4);
    QCOMPARE(entry.distinct, 3);
    QCOMPARE(entry.correct, 2);
    QCOMPARE(entry.duration, 12);
    QCOMPARE(entry.average, (550 * 2 + 700) / 3);
    QCOMPARE(entry.syllables.at(QStringLiteral("ga")).count, 0);
    QCOMPARE(entry.syllables.at(QStringLiteral("ga")).lastResult, -2);

    QCOMPARE(log.words().size(), size_t(3));
    QCOMPARE(log.words().at(QStringLiteral("ga")).tests, 0);
    QCOMPARE(log.words().at(QStringLiteral("ba")).tests, 2);
    QCOMPARE(log.words().at(QStringLiteral("ba")).correct, 2);
    QCOMPARE(log.words().at(QStringLiteral("ba")).average, 550);
    QCOMPARE(log.words().begin()->first, QStringLiteral("ba")); // name order
}

void UserLogTest::entryWithoutRecordsDoesNotSurviveTheNextBegin()
{
    UserLog log([] { return 5000; });
    log.beginEntry(0);
    log.beginEntry(1);
    QCOMPARE(log.entries().size(), 1);
    QCOMPARE(log.entries()[0].type, 1);
    log.recordSyllable(QStringLiteral("ba"), -2, 2000);
    log.beginEntry(1);
    QCOMPARE(log.entries().size(), 2);
    QCOMPARE(log.currentEntry(), 1);
}

void UserLogTest::averagesAreRunningAndTruncated()
{
    UserLog log([] { return 0; });
    log.beginEntry(1);
    log.recordSyllable(QStringLiteral("ba"), 1, 501);
    log.recordSyllable(QStringLiteral("ba"), 1, 500);
    log.recordSyllable(QStringLiteral("ba"), -1, 500);
    QCOMPARE(log.entries()[0].syllables.at(QStringLiteral("ba")).average, 500);
    QCOMPARE(log.words().at(QStringLiteral("ba")).trainings, 3);
    QCOMPARE(log.words().at(QStringLiteral("ba")).average, 500);
}

QTEST_GUILESS_MAIN(UserLogTest)
#include "UserLogTest.moc"
