// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/QS_Date.h"

#include <QTest>

using namespace orva;

class QS_DateTest : public QObject
{
    Q_OBJECT

private slots:
    void parsesCellTexts_data();
    void parsesCellTexts();
    void comparesToTheSecond_data();
    void comparesToTheSecond();
};

void QS_DateTest::parsesCellTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("format");
    QTest::addColumn<QList<int>>("expected"); // day, month, year, hour, minute, second
    QTest::addColumn<bool>("valid");
    QTest::newRow("day first") << "05.03.2011" << 0 << QList<int> { 5, 3, 2011, 0, 0, 0 } << true;
    QTest::newRow("two-digit year is too short")
        << "05.03.11" << 0 << QList<int> { 0, 0, 1990, 0, 0, 0 } << false;
    QTest::newRow("month 13") << "05.13.2011" << 0 << QList<int> { 5, 13, 2011, 0, 0, 0 } << false;
    QTest::newRow("underscores for the day")
        << "__.03.2011" << 0 << QList<int> { 0, 3, 2011, 0, 0, 0 } << false;
    QTest::newRow("month first") << "03/05/2011" << 1 << QList<int> { 5, 3, 2011, 0, 0, 0 } << true;
    QTest::newRow("year first") << "2011-03-05" << 6 << QList<int> { 5, 3, 2011, 0, 0, 0 } << true;
    QTest::newRow("unknown format is day first")
        << "05.03.2011" << 3 << QList<int> { 5, 3, 2011, 0, 0, 0 } << true;
    QTest::newRow("with time") << "05.03.2011 08:30" << 0 << QList<int> { 5, 3, 2011, 8, 30, 0 }
                               << true;
    QTest::newRow("with seconds") << "05.03.2011 08:30:59" << 0
                                  << QList<int> { 5, 3, 2011, 8, 30, 59 } << true;
    QTest::newRow("letters end a number")
        << "5x.03.2011" << 0 << QList<int> { 5, 3, 2011, 0, 0, 0 } << true;
    QTest::newRow("year 3000") << "01.01.3000" << 0 << QList<int> { 1, 1, 3000, 0, 0, 0 } << false;
    QTest::newRow("a name") << "Meier-Anna" << 0 << QList<int> { 0, 0, 0, 0, 0, 0 } << false;
}

void QS_DateTest::parsesCellTexts()
{
    QFETCH(QString, text);
    QFETCH(int, format);
    QFETCH(QList<int>, expected);
    QFETCH(bool, valid);
    QS_Date date(9, 9, 2009, 9, 9, 9);
    date.parse(text, format);
    QCOMPARE(QList<int>({ date.day, date.month, date.year, date.hour, date.minute, date.second }),
             expected);
    QCOMPARE(date.isValid(), valid);
    QCOMPARE(QS_Date::isDateText(text, format), valid);
}

void QS_DateTest::comparesToTheSecond_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("later time") << "05.03.2011 08:30"
                                << "05.03.2011 08:05" << 1;
    QTest::newRow("earlier time") << "05.03.2011 08:05"
                                  << "05.03.2011 08:30" << -1;
    QTest::newRow("year decides first") << "31.12.2010 23:59"
                                        << "01.01.2011 00:00" << -1;
    QTest::newRow("seconds") << "05.03.2011 08:30:01"
                             << "05.03.2011 08:30:00" << 1;
    QTest::newRow("equal") << "05.03.2011"
                           << "05.03.2011" << 0;
}

void QS_DateTest::comparesToTheSecond()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QS_Date first;
    QS_Date second;
    first.parse(a);
    second.parse(b);
    QCOMPARE(QS_Date::compare(first, second), expected);
    QCOMPARE(QS_Date::compare(second, first), -expected);
}

QTEST_GUILESS_MAIN(QS_DateTest)
#include "QS_DateTest.moc"
