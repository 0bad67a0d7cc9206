// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/QS_ListControl.h"

#include <QTest>

using namespace orva;

class QS_ListControlTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsKeepTheirCellsAndOneSelection();
    void clickSelectsTheRowUnderTheMouse();
};

void QS_ListControlTest::rowsKeepTheirCellsAndOneSelection()
{
    QS_ListControl list;
    list.setColumns({ QStringLiteral("Name"), QStringLiteral("Datum") }, { 120, 80 });
    QCOMPARE(list.columnCount(), 2);
    QCOMPARE(list.columnWidth(0), 120);
    QCOMPARE(list.selectedRow(), -1);
    QCOMPARE(list.addRow({ QStringLiteral("Muster"), QStringLiteral("01.02.2024") }), 0);
    QCOMPARE(list.addRow({ QStringLiteral("Beispiel"), QStringLiteral("03.04.2024") }), 1);
    QCOMPARE(list.cell(1, 1), QStringLiteral("03.04.2024"));
    QCOMPARE(list.cell(5, 0), QString()); // no such row

    list.selectRow(1);
    QCOMPARE(list.selectedRow(), 1);
    list.selectRow(0);
    QCOMPARE(list.selectedRow(), 0);
    QCOMPARE(list.selectedItems().size(), 1);
    list.selectRow(7); // out of range clears the selection
    QCOMPARE(list.selectedRow(), -1);

    list.removeAllRows();
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(list.columnCount(), 2);
}

void QS_ListControlTest::clickSelectsTheRowUnderTheMouse()
{
    QS_ListControl list;
    list.setColumns({ QStringLiteral("Name") });
    for (int row = 0; row < 3; ++row)
        list.addRow({ QStringLiteral("Klient %1").arg(row) });
    list.resize(200, 150);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QRect second = list.visualItemRect(list.topLevelItem(2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(list.selectedRow(), 2);
}

QTEST_MAIN(QS_ListControlTest)
#include "QS_ListControlTest.moc"
