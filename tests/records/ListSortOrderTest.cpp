// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ListSortOrder.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace orva;

namespace {

using Kind = ListSortOrder::Kind;

QStringList inOrder(const QStringList &cells, const QList<int> &order)
{
    QStringList sorted;
    for (int index : order)
        sorted << cells[index];
    return sorted;
}

QStringList sortedCells(const QStringList &cells, bool ascending = true, int dateFormat = 0)
{
    return inOrder(cells, ListSortOrder::sorted(cells, ascending, dateFormat));
}

// One random cell of the kinds a client or run column holds.
QString randomCell(QRandomGenerator &random, int family)
{
    static const QStringList hexLooking = { "Fe",  "Abe",  "Bach", "Ade",  "Cafe", "bad",
                                            "Dab", "Face", "0a",   "DEAF", "ef",   "F00D" };
    static const QStringList plain = { "Müller", "Schmidt",  "fe",        "Zoë",  "Ott",
                                       "Öz",     "van Dijk", "Anna-Lena", "bach", "X" };
    switch (family == 5 ? int(random.bounded(5)) : family) {
    case 0:
        return hexLooking[random.bounded(int(hexLooking.size()))];
    case 1:
        return plain[random.bounded(int(plain.size()))];
    case 2:
        return QString::number(random.bounded(-500, 500) / 4.0)
            + (random.bounded(2) ? QStringLiteral("%") : QString());
    case 3:
        return QString::asprintf("%02d.%02d.%04d", 1 + random.bounded(28), 1 + random.bounded(12),
                                 1990 + random.bounded(40));
    default:
        return QString();
    }
}

} // namespace

class ListSortOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void decidesTheKindOfAColumnFromEveryCell_data();
    void decidesTheKindOfAColumnFromEveryCell();
    void sortsEachKindByItsOwnRule_data();
    void sortsEachKindByItsOwnRule();
    void namesOfTheLettersAToFAloneSortAsNumbers();
    void mixedHexAndPlainNamesFormOneOrder();
    void readsDatesInTheOrderOfTheInterfaceLanguage();
    void keepsTheOrderOfEqualRows();
    void sortsByASecondColumnWithinEqualFirstCells();
    void randomColumnsSortToAPermutationInTheColumnsOrder();
};

void ListSortOrderTest::decidesTheKindOfAColumnFromEveryCell_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("kind");
    QTest::newRow("hex names") << QStringList { "Fe", "Abe", "", "Bad" } << int(Kind::Hex);
    QTest::newRow("one plain name makes text")
        << QStringList { "Fe", "Abe", "Bach" } << int(Kind::Text);
    QTest::newRow("percentages") << QStringList { "12.5%", "3", "-1e2" } << int(Kind::Number);
    QTest::newRow("a percent sign alone is no number")
        << QStringList { "12", "%" } << int(Kind::Text);
    QTest::newRow("dates") << QStringList { "17.05.2024", "01.01.1999" } << int(Kind::Date);
    QTest::newRow("a month of 13 is no date")
        << QStringList { "17.05.2024", "01.13.1999" } << int(Kind::Text);
    QTest::newRow("only empty cells") << QStringList { "", "" } << int(Kind::Hex);
}

void ListSortOrderTest::decidesTheKindOfAColumnFromEveryCell()
{
    QFETCH(QStringList, cells);
    QFETCH(int, kind);
    QCOMPARE(int(ListSortOrder::kindOf(cells, 0)), kind);
}

void ListSortOrderTest::sortsEachKindByItsOwnRule_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("numbers by value, not as text")
        << QStringList { "10%", "9.5", "-3", "100" } << QStringList { "-3", "9.5", "10%", "100" };
    QTest::newRow("dates by year first")
        << QStringList { "02.01.2024", "31.12.2023", "01.02.2024" }
        << QStringList { "31.12.2023", "02.01.2024", "01.02.2024" };
    QTest::newRow("dates with times") << QStringList { "17.05.2024 08:30", "17.05.2024 08:05" }
                                      << QStringList { "17.05.2024 08:05", "17.05.2024 08:30" };
    QTest::newRow("text ignoring case, empty first")
        << QStringList { "müller", "", "Meier", "ALBERS" }
        << QStringList { "", "ALBERS", "Meier", "müller" };
    QTest::newRow("long hexadecimal numbers do not wrap")
        << QStringList { "FFFFFFFFFFFFFFFFFF", "1", "0FFFFFFFFFFFFFFFFF" }
        << QStringList { "1", "0FFFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFFFF" };
}

void ListSortOrderTest::sortsEachKindByItsOwnRule()
{
    QFETCH(QStringList, cells);
    QFETCH(QStringList, expected);
    QCOMPARE(sortedCells(cells), expected);
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(sortedCells(cells, false), expected);
}

void ListSortOrderTest::namesOfTheLettersAToFAloneSortAsNumbers()
{
    // Two letters before three: "Fe" (254) before "Abe" (2750) before "Bad" (2989).
    QCOMPARE(sortedCells({ "Bad", "Fe", "Abe" }), QStringList({ "Fe", "Abe", "Bad" }));
}

void ListSortOrderTest::mixedHexAndPlainNamesFormOneOrder()
{
    // Pair by pair these three were once "Fe" < "Abe" < "Bach" < "Fe": no order at all. With one
    // plain name in the column, the whole column is text.
    const QStringList cells = { "Fe", "Bach", "Abe" };
    QCOMPARE(ListSortOrder::kindOf(cells, 0), Kind::Text);
    QCOMPARE(sortedCells(cells), QStringList({ "Abe", "Bach", "Fe" }));
    QCOMPARE(sortedCells({ "Abe", "Fe", "Bach" }), QStringList({ "Abe", "Bach", "Fe" }));
}

void ListSortOrderTest::readsDatesInTheOrderOfTheInterfaceLanguage()
{
    // The American interface shows the month first: 05/03 is the third of May.
    const QStringList american = { "05/03/2024", "04/20/2024", "12/01/2023" };
    const int usFormat = ListSortOrder::dateFormatOf(1);
    QCOMPARE(ListSortOrder::kindOf(american, usFormat), Kind::Date);
    QCOMPARE(sortedCells(american, true, usFormat),
             QStringList({ "12/01/2023", "04/20/2024", "05/03/2024" }));
    // Read day first, "04/20/2024" would be no date at all and the column would sort as text.
    QCOMPARE(ListSortOrder::kindOf(american, ListSortOrder::dateFormatOf(0)), Kind::Text);
    QCOMPARE(ListSortOrder::dateFormatOf(2), 0); // the British interface shows the day first
}

void ListSortOrderTest::keepsTheOrderOfEqualRows()
{
    const QStringList cells = { "meier", "Albers", "MEIER", "Meier" };
    QCOMPARE(ListSortOrder::sorted(cells, true, 0), QList<int>({ 1, 0, 2, 3 }));
    QCOMPARE(ListSortOrder::sorted(cells, false, 0), QList<int>({ 0, 2, 3, 1 }));
}

void ListSortOrderTest::sortsByASecondColumnWithinEqualFirstCells()
{
    const QStringList dates = { "17.05.2024", "18.05.2024", "17.05.2024" };
    const QStringList times = { "08:05", "07:00", "14:30" };
    // Newest first, as the run list shows it.
    QCOMPARE(ListSortOrder::sorted(dates, times, false, 0), QList<int>({ 1, 2, 0 }));
}

void ListSortOrderTest::randomColumnsSortToAPermutationInTheColumnsOrder()
{
    QRandomGenerator random(20261210);
    for (int round = 0; round < 300; ++round) {
        const int family = int(random.bounded(6)); // one kind with empties, or everything mixed
        const int format = int(random.bounded(2));
        QStringList cells;
        const int size = int(random.bounded(40));
        for (int i = 0; i < size; ++i)
            cells << (random.bounded(6) == 0 ? QString() : randomCell(random, family));
        const bool ascending = random.bounded(2);
        const QList<int> order = ListSortOrder::sorted(cells, ascending, format);

        QList<int> indices = order;
        std::sort(indices.begin(), indices.end());
        for (int i = 0; i < size; ++i)
            QCOMPARE(indices.value(i, -1), i);

        const Kind kind = ListSortOrder::kindOf(cells, format);
        for (int i = 1; i < size; ++i) {
            const int compared =
                ListSortOrder::compare(cells[order[i - 1]], cells[order[i]], kind, format);
            QVERIFY2(ascending ? compared <= 0 : compared >= 0,
                     qPrintable(cells[order[i - 1]] + " / " + cells[order[i]]));
            if (compared == 0) // equal rows keep their order
                QVERIFY(order[i - 1] < order[i]);
        }
        // Transitive on every triple, so that the sort's result cannot depend on its path.
        for (int a = 0; a < qMin(size, 12); ++a)
            for (int b = 0; b < qMin(size, 12); ++b)
                for (int c = 0; c < qMin(size, 12); ++c)
                    if (ListSortOrder::compare(cells[a], cells[b], kind, format) < 0
                        && ListSortOrder::compare(cells[b], cells[c], kind, format) < 0)
                        QVERIFY(ListSortOrder::compare(cells[a], cells[c], kind, format) < 0);
        QCOMPARE(ListSortOrder::sorted(cells, ascending, format), order);
    }
}

QTEST_GUILESS_MAIN(ListSortOrderTest)
#include "ListSortOrderTest.moc"
