// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/OwnListDraft.h"

#include <QTest>

using namespace orva;

namespace {

// A grid panel of 10 columns of 30 pixels and rows of 20 pixels: no offsets.
QSize gridOf(const OwnListDraft &draft)
{
    return QSize(300, 20 * draft.gridRows());
}

QPoint cellCentre(int index)
{
    return QPoint(index % 10 * 30 + 15, index / 10 * 20 + 10);
}

void take(OwnListDraft &draft, int index)
{
    QVERIFY(draft.clickGrid(cellCentre(index), gridOf(draft)));
    draft.takeOver();
}

} // namespace

class OwnListDraftTest : public QObject
{
    Q_OBJECT

private slots:
    void takesAtMostSixSyllablesWithRepeats();
    void replacesAChosenSlotAndKeepsItHighlighted();
    void listSlotsReachTheEmptyOneAfterTheLast();
    void gridClicksOutsideTheSyllablesChangeNothing();
    void fullRowsOfTenGetAnEmptyRowBelow();
    void cellsAreCentredInThePanel();
    void nameRules_data();
    void nameRules();
    void listCarriesItsNameSyllablesAndLanguage();
};

void OwnListDraftTest::takesAtMostSixSyllablesWithRepeats()
{
    OwnListDraft draft(25);
    for (int index : { 3, 3, 7, 0, 24, 3 })
        take(draft, index);
    QCOMPARE(draft.syllables(), QList<int>({ 3, 3, 7, 0, 24, 3 }));
    QCOMPARE(draft.listPosition(), 6);
    take(draft, 5); // the seventh slot takes nothing
    QCOMPARE(draft.syllables().size(), 6);
    QCOMPARE(draft.listPosition(), 6);
    draft.reset();
    QVERIFY(draft.syllables().isEmpty());
    QCOMPARE(draft.gridSelection(), 0);
    QCOMPARE(draft.listPosition(), 0);
}

void OwnListDraftTest::replacesAChosenSlotAndKeepsItHighlighted()
{
    OwnListDraft draft(25);
    for (int index : { 1, 2, 3 })
        take(draft, index);
    const QSize list(600, 30); // slots of 100 pixels
    QVERIFY(draft.clickList(QPoint(150, 15), list));
    QCOMPARE(draft.listPosition(), 1);
    take(draft, 9);
    QCOMPARE(draft.syllables(), QList<int>({ 1, 9, 3 }));
    QCOMPARE(draft.listPosition(), 1);
}

void OwnListDraftTest::listSlotsReachTheEmptyOneAfterTheLast()
{
    OwnListDraft draft(25);
    take(draft, 1);
    take(draft, 2);
    const QSize list(600, 30);
    QVERIFY(draft.clickList(QPoint(250, 15), list)); // slot 2, the empty one
    QCOMPARE(draft.listPosition(), 2);
    QVERIFY(!draft.clickList(QPoint(350, 15), list)); // slot 3 is beyond it
    QVERIFY(!draft.clickList(QPoint(-5, 15), list));
    QCOMPARE(draft.listPosition(), 2);
}

void OwnListDraftTest::gridClicksOutsideTheSyllablesChangeNothing()
{
    OwnListDraft draft(25);
    QVERIFY(draft.clickGrid(cellCentre(12), gridOf(draft)));
    QVERIFY(!draft.clickGrid(cellCentre(27), gridOf(draft))); // an empty cell of the last row
    QVERIFY(!draft.clickGrid(QPoint(-3, 10), gridOf(draft))); // left of the first column
    QVERIFY(!draft.clickGrid(QPoint(10, -3), gridOf(draft)));
    // A point right of the tenth column must not select the next row's first syllable.
    QVERIFY(!draft.clickGrid(QPoint(305, 10), QSize(309, 60)));
    QCOMPARE(draft.gridSelection(), 12);
}

void OwnListDraftTest::fullRowsOfTenGetAnEmptyRowBelow()
{
    QCOMPARE(OwnListDraft(30).gridRows(), 4);
    QCOMPARE(OwnListDraft(31).gridRows(), 4);
    QCOMPARE(OwnListDraft(9).gridRows(), 1);
}

void OwnListDraftTest::cellsAreCentredInThePanel()
{
    OwnListDraft draft(30); // 4 rows
    const OwnListDraft::Cells grid = draft.gridCells(QSize(305, 83));
    QCOMPARE(grid.width, 30);
    QCOMPARE(grid.height, 20);
    QCOMPARE(grid.offsetX, 2);
    QCOMPARE(grid.offsetY, 1);
    QCOMPARE(grid.cell(1, 2), QRect(32, 41, 31, 21));
    const OwnListDraft::Cells list = OwnListDraft::listCells(QSize(610, 40));
    QCOMPARE(list.width, 101);
    QCOMPARE(list.height, 37);
    QCOMPARE(list.offsetX, 2);
    QCOMPARE(list.offsetY, 1);
}

void OwnListDraftTest::nameRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("problem");
    QTest::newRow("five characters") << "Mein1" << 0;
    QTest::newRow("one character") << "x" << 0;
    QTest::newRow("empty") << "" << OwnListDraft::kNoNameText;
    QTest::newRow("six characters") << "Meine1" << OwnListDraft::kNameTooLongText;
    QTest::newRow("twelve characters, nine read")
        << "Meine1Liste2" << OwnListDraft::kNameTooLongText;
    QTest::newRow("a blank inside") << "a b" << OwnListDraft::kNameWithSpaceText;
    QTest::newRow("a leading blank") << " ab" << OwnListDraft::kNameWithSpaceText;
    QTest::newRow("a tab") << "a\tb" << OwnListDraft::kNameWithSpaceText;
    QTest::newRow("a no-break space")
        << QString::fromUtf8("a\u00A0b") << OwnListDraft::kNameWithSpaceText;
    QTest::newRow("a blank after nine characters")
        << "abcdefghi j" << OwnListDraft::kNameTooLongText;
}

void OwnListDraftTest::nameRules()
{
    QFETCH(QString, name);
    QFETCH(int, problem);
    QCOMPARE(OwnListDraft::nameProblem(name), problem);
}

void OwnListDraftTest::listCarriesItsNameSyllablesAndLanguage()
{
    OwnListDraft draft(12);
    take(draft, 0);
    take(draft, 11);
    const QStringList names = { "ba", "da", "ga", "ka", "pa", "ta",
                                "be", "de", "ge", "ke", "pe", "te" };
    const SyllableList list = draft.list(QStringLiteral("Mein1"), names, 4);
    QCOMPARE(list.label, QStringLiteral("Mein1"));
    QVERIFY(list.own);
    QVERIFY(list.active);
    QCOMPARE(list.id, -1);
    QCOMPARE(list.language, 4);
    QCOMPARE(list.displayText(), QStringLiteral("{ Mein1 } ba te"));
}

QTEST_GUILESS_MAIN(OwnListDraftTest)
#include "OwnListDraftTest.moc"
