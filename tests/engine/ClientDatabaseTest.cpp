// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ClientDatabase.h"

#include "records/ClientList.h"
#include "support/StringTable.h"

#include <QTest>

using namespace orva;

namespace {

ORVA_Proband run(const QString &last, const QString &first, ORVA_Date runDate, int kind)
{
    ORVA_Proband client;
    client.setLastName(last);
    client.setFirstName(first);
    client.birthday() = ORVA_Date(3, 4, 2015);
    client.runDate() = runDate;
    client.setRunKind(kind);
    client.setRunFile(QStringLiteral("%1-%2-%3.orv").arg(last, first).arg(runDate.minute));
    return client;
}

QStringList column(const ClientDatabase &database, int index)
{
    QStringList cells;
    for (int row = 0; row < database.clientCount(); ++row)
        cells << database.clientRow(row)[index];
    return cells;
}

QStringList runTimes(const ClientDatabase &database)
{
    QStringList cells;
    for (int row = 0; row < database.runCount(); ++row)
        cells << database.runRow(row)[0] + QLatin1Char(' ') + database.runRow(row)[1];
    return cells;
}

} // namespace

class ClientDatabaseTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void okAfterAClientClickContinuesWithTheClient();
    void runsShowNewestFirstWithTheirKinds();
    void clientColumnsSortByTheirKind();
    void deletionKeepsTheClientWhileItHasRuns();
    void deletingTheLastRunOfTheClientChoosesNobody();
    void clicksBesideTheRowsChangeNothing();

private:
    ClientList m_list;
};

void ClientDatabaseTest::init()
{
    m_list.clear();
    m_list.addRun(run("Fe", "Ida", ORVA_Date(17, 5, 2024, 14, 30), 2));
    m_list.addRun(run("Fe", "Ida", ORVA_Date(17, 5, 2024, 8, 5), 1));
    m_list.addRun(run("Fe", "Ida", ORVA_Date(2, 1, 2025, 9, 0), 3));
    m_list.addRun(run("Abe", "Max", ORVA_Date(1, 2, 2023, 10, 0), 3));
    m_list.addRun(run("Bad", "Olga", ORVA_Date(1, 2, 2023, 11, 0), 2));
    m_list.sortClients();
}

void ClientDatabaseTest::okAfterAClientClickContinuesWithTheClient()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    database.open();
    // Names of the letters a to f alone sort as hexadecimal numbers: Fe, Abe, Bad.
    QCOMPARE(column(database, 0), QStringList({ "Fe", "Abe", "Bad" }));
    QVERIFY(database.clickClient(0));
    QCOMPARE(database.accept(), ClientDatabase::kContinueWithClient);
    QCOMPARE(database.chosen()->lastName(), QStringLiteral("Fe"));
    QCOMPARE(database.chosen()->runDate().year, 2025); // the newest run's record
}

void ClientDatabaseTest::runsShowNewestFirstWithTheirKinds()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    database.open();
    QVERIFY(database.clickClient(0));
    QCOMPARE(runTimes(database),
             QStringList({ "02.01.2025 09:00h", "17.05.2024 14:30h", "17.05.2024 08:05h" }));
    QCOMPARE(database.runRow(0)[2], QStringLiteral("TR"));
    QCOMPARE(database.runRow(1)[2], QStringLiteral("HT"));
    QCOMPARE(database.runRow(2)[2], QStringLiteral("VT"));

    // The American interface shows the month first and sorts by the same dates.
    ClientDatabase american(m_list, StringTable::german(), 1);
    american.open();
    QVERIFY(american.clickClient(0));
    QCOMPARE(runTimes(american),
             QStringList({ "01/02/2025 09:00h", "05/17/2024 14:30h", "05/17/2024 08:05h" }));
}

void ClientDatabaseTest::clientColumnsSortByTheirKind()
{
    m_list.addRun(run("Bach", "Eva", ORVA_Date(1, 2, 2023, 12, 0), 2));
    ClientDatabase database(m_list, StringTable::german(), 0);
    database.open();
    // One plain name makes the whole column text.
    QCOMPARE(column(database, 0), QStringList({ "Abe", "Bach", "Bad", "Fe" }));
    QVERIFY(database.clickClient(3));
    database.sortClients(1);
    QCOMPARE(column(database, 1), QStringList({ "Eva", "Ida", "Max", "Olga" }));
    QCOMPARE(database.clientSelection(), 1); // the selection went with Fe's row
    QCOMPARE(database.clientRow(database.clientSelection())[0], QStringLiteral("Fe"));
}

void ClientDatabaseTest::deletionKeepsTheClientWhileItHasRuns()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    database.open();
    QVERIFY(database.clickClient(0));
    QVERIFY(database.clickRun(1));
    const ORVA_Proband *doomed = database.runToDelete();
    QVERIFY(doomed);
    QCOMPARE(doomed->runFile(), QStringLiteral("Fe-Ida-30.orv"));
    QVERIFY(!database.mayDelete());

    // The caller deleted the file and rebuilt the list.
    m_list.clear();
    m_list.addRun(run("Fe", "Ida", ORVA_Date(17, 5, 2024, 8, 5), 1));
    m_list.addRun(run("Fe", "Ida", ORVA_Date(2, 1, 2025, 9, 0), 3));
    m_list.addRun(run("Abe", "Max", ORVA_Date(1, 2, 2023, 10, 0), 3));
    m_list.addRun(run("Bad", "Olga", ORVA_Date(1, 2, 2023, 11, 0), 2));
    m_list.sortClients();
    database.reloadAfterDeletion();
    QCOMPARE(database.clientSelection(), 0);
    QCOMPARE(database.runSelection(), -1);
    QCOMPARE(runTimes(database), QStringList({ "02.01.2025 09:00h", "17.05.2024 08:05h" }));
    // OK now continues with the client; it does not open a run never chosen.
    QCOMPARE(database.accept(), ClientDatabase::kContinueWithClient);
}

void ClientDatabaseTest::deletingTheLastRunOfTheClientChoosesNobody()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    database.open();
    QVERIFY(database.clickClient(2)); // Bad
    QVERIFY(database.clickRun(0));
    QVERIFY(database.runToDelete());
    m_list.clear();
    m_list.addRun(run("Fe", "Ida", ORVA_Date(2, 1, 2025, 9, 0), 3));
    m_list.addRun(run("Abe", "Max", ORVA_Date(1, 2, 2023, 10, 0), 3));
    database.reloadAfterDeletion();
    QCOMPARE(database.clientCount(), 2);
    QCOMPARE(database.clientSelection(), -1);
    QCOMPARE(database.runCount(), 0);
    QCOMPARE(database.accept(), ClientDatabase::kNothingChosen);
}

void ClientDatabaseTest::clicksBesideTheRowsChangeNothing()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    database.open();
    QVERIFY(!database.clickClient(-1));
    QVERIFY(!database.clickClient(3));
    QVERIFY(!database.clickRun(0));
    QCOMPARE(database.accept(), ClientDatabase::kNothingChosen);
    QVERIFY(!database.runToDelete());
}

QTEST_GUILESS_MAIN(ClientDatabaseTest)
#include "ClientDatabaseTest.moc"
