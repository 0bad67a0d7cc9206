// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReportStatistics.h"

#include <QDateTime>
#include <QTest>

using namespace orva;

class ReportStatisticsTest : public QObject
{
    Q_OBJECT

private slots:
    void practiceDaysFollowTheCalendarOfTheTimeZone_data();
    void practiceDaysFollowTheCalendarOfTheTimeZone();
    void noEntriesGiveNoFiguresAndNoDivisionByZero();
    void totalsAndAveragesAddUpTheEntries();
    void durationsKeepEveryHour_data();
    void durationsKeepEveryHour();
    void datesAreTheLocalDaysOfTheStart();
};

namespace {

/// Berlin: 23:30 on 1 March 2026 is 22:30 UTC, so a day boundary that UTC does not see.
const QTimeZone kBerlin(QByteArrayLiteral("Europe/Berlin"));

qint64 at(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute), kBerlin).toSecsSinceEpoch();
}

UserLogEntry entry(int type, qint64 start, qint64 duration = 600, int presented = 30)
{
    UserLogEntry e;
    e.type = type;
    e.start = start;
    e.duration = duration;
    e.presented = presented;
    return e;
}

} // namespace

void ReportStatisticsTest::practiceDaysFollowTheCalendarOfTheTimeZone_data()
{
    QTest::addColumn<QList<UserLogEntry>>("entries");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("trainingDays");
    QTest::addColumn<int>("testDays");
    QTest::newRow("one training") << QList { entry(1, at(1, 10, 0)) } << 1 << 1 << 0;
    QTest::newRow("three on one day")
        << QList { entry(1, at(1, 8, 0)), entry(1, at(1, 12, 0)), entry(1, at(1, 20, 0)) } << 1 << 1
        << 0;
    QTest::newRow("test and training on one day")
        << QList { entry(0, at(2, 9, 0)), entry(1, at(2, 10, 0)) } << 1 << 1 << 1;
    QTest::newRow("two days") << QList { entry(1, at(1, 10, 0)), entry(1, at(3, 10, 0)) } << 2 << 2
                              << 0;
    // 23:30 and 00:30 local time are one hour apart but on two days.
    QTest::newRow("across midnight")
        << QList { entry(1, at(1, 23, 30)), entry(1, at(2, 0, 30)) } << 2 << 2 << 0;
    // A day is counted when it differs from the previous entry's of the same kind.
    QTest::newRow("back to an earlier day")
        << QList { entry(1, at(1, 10, 0)), entry(0, at(2, 10, 0)), entry(1, at(1, 11, 0)) } << 3
        << 1 << 1;
}

void ReportStatisticsTest::practiceDaysFollowTheCalendarOfTheTimeZone()
{
    QFETCH(QList<UserLogEntry>, entries);
    QFETCH(int, days);
    QFETCH(int, trainingDays);
    QFETCH(int, testDays);
    const ReportStatistics s = ReportStatistics::compute(entries, kBerlin);
    QCOMPARE(s.all.days, days);
    QCOMPARE(s.training.days, trainingDays);
    QCOMPARE(s.test.days, testDays);
}

void ReportStatisticsTest::noEntriesGiveNoFiguresAndNoDivisionByZero()
{
    const ReportStatistics s = ReportStatistics::compute({}, kBerlin);
    QVERIFY(s.period.isEmpty());
    QCOMPARE(s.all.days, 0);
    QCOMPARE(s.averageSecondsPerDay, 0);
    QCOMPARE(s.averageSyllablesPerDay, 0);
}

void ReportStatisticsTest::totalsAndAveragesAddUpTheEntries()
{
    const QList entries { entry(1, at(1, 10, 0), 600, 30), entry(0, at(1, 11, 0), 300, 12),
                          entry(1, at(4, 10, 0), 901, 31) };
    const ReportStatistics s = ReportStatistics::compute(entries, kBerlin);
    QCOMPARE(s.period, QStringLiteral("01.03.2026 - 04.03.2026"));
    QCOMPARE(s.all.entries, 3);
    QCOMPARE(s.training.entries, 2);
    QCOMPARE(s.test.entries, 1);
    QCOMPARE(s.all.seconds, 1801);
    QCOMPARE(s.training.seconds, 1501);
    QCOMPARE(s.test.seconds, 300);
    QCOMPARE(s.training.syllables, 61);
    QCOMPARE(s.test.syllables, 12);
    QCOMPARE(s.all.days, 2);
    QCOMPARE(s.averageSecondsPerDay, 900); // 1801 / 2, whole seconds
    QCOMPARE(s.averageSyllablesPerDay, 36); // 73 / 2, whole syllables
}

void ReportStatisticsTest::durationsKeepEveryHour_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << qint64(0) << "0 h 0 min 0 sec";
    QTest::newRow("1 h 1 min 1 s") << qint64(3661) << "1 h 1 min 1 sec";
    QTest::newRow("25 hours") << qint64(25 * 3600) << "25 h 0 min 0 sec";
    QTest::newRow("100 hours and 59 s") << qint64(100 * 3600 + 59) << "100 h 0 min 59 sec";
}

void ReportStatisticsTest::durationsKeepEveryHour()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(ReportStatistics::durationText(seconds), text);
    QCOMPARE(ReportStatistics::shortDurationText(seconds),
             QString(text)
                 .replace(QStringLiteral(" min "), QStringLiteral(" m "))
                 .replace(QStringLiteral(" sec"), QStringLiteral(" s")));
}

void ReportStatisticsTest::datesAreTheLocalDaysOfTheStart()
{
    QCOMPARE(ReportStatistics::dateText(at(1, 23, 30), kBerlin), QStringLiteral("01.03.2026"));
    QCOMPARE(ReportStatistics::dateText(at(1, 23, 30), QTimeZone::utc()),
             QStringLiteral("01.03.2026"));
    QCOMPARE(ReportStatistics::dateText(at(2, 0, 30), kBerlin), QStringLiteral("02.03.2026"));
    QCOMPARE(ReportStatistics::dateText(at(2, 0, 30), QTimeZone::utc()),
             QStringLiteral("01.03.2026"));
}

QTEST_GUILESS_MAIN(ReportStatisticsTest)
#include "ReportStatisticsTest.moc"
