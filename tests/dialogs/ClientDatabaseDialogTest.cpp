// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ClientDatabaseDialog.h"

#include "dialogs/QS_ListControl.h"
#include "engine/ClientDatabase.h"
#include "fakes/ScriptedDialogRunner.h"
#include "records/ClientList.h"
#include "support/StringTable.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTest>

using namespace orva;
using orva::test::ScriptedDialogRunner;

namespace {

ORVA_Proband run(const QString &last, const QString &first, ORVA_Date runDate, int kind)
{
    ORVA_Proband client;
    client.setLastName(last);
    client.setFirstName(first);
    client.birthday() = ORVA_Date(3, 4, 2015);
    client.runDate() = runDate;
    client.setRunKind(kind);
    client.setRunFile(QStringLiteral("%1-%2.orv").arg(last).arg(runDate.hour));
    return client;
}

QS_ListControl *list(QDialog &dialog, int id)
{
    return static_cast<TemplateDialog &>(dialog).controlAs<QS_ListControl>(id);
}

void clickRow(QDialog &dialog, int id, int row, bool doubleClick = false)
{
    QS_ListControl *view = list(dialog, id);
    const QPoint centre = view->visualItemRect(view->topLevelItem(row)).center();
    // A double click begins with a click, as the window system sends it.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    if (doubleClick)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
}

void clickHeader(QDialog &dialog, int id, int column)
{
    QHeaderView *header = list(dialog, id)->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

QPushButton *button(QDialog &dialog, int id)
{
    return static_cast<TemplateDialog &>(dialog).controlAs<QPushButton>(id);
}

QStringList column(QS_ListControl *view, int index)
{
    QStringList cells;
    for (int row = 0; row < view->rowCount(); ++row)
        cells << view->cell(row, index);
    return cells;
}

} // namespace

class ClientDatabaseDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void showsClientsSortedAndTheirRunsNewestFirst();
    void okResultsFollowTheClicks();
    void doubleClicksCloseWithTheirChoice();
    void headersSortButOnlyTheRunDate();
    void deletionAsksDeletesAndEmptiesTheRunSelection();
    void deletionNotConfirmedDeletesNothing();

private:
    ClientList m_list;
    QStringList m_deleted;
};

void ClientDatabaseDialogTest::init()
{
    m_list.clear();
    m_deleted.clear();
    m_list.addRun(run("Fe", "Ida", ORVA_Date(17, 5, 2024, 14, 30), 2));
    m_list.addRun(run("Fe", "Ida", ORVA_Date(17, 5, 2024, 8, 5), 1));
    m_list.addRun(run("Bach", "Max", ORVA_Date(1, 2, 2023, 10, 0), 3));
    m_list.sortClients();
}

void ClientDatabaseDialogTest::showsClientsSortedAndTheirRunsNewestFirst()
{
    ScriptedDialogRunner runner;
    QStringList clients;
    QStringList runs;
    bool deleteEnabled = true;
    runner.scripts << [&](QDialog &dialog) {
        clients = column(list(dialog, ClientDatabaseDialog::kClientsId), 0);
        deleteEnabled = button(dialog, ClientDatabaseDialog::kDeleteId)->isEnabled();
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        QS_ListControl *view = list(dialog, ClientDatabaseDialog::kRunsId);
        for (int row = 0; row < view->rowCount(); ++row)
            runs << view->cell(row, 0) + ' ' + view->cell(row, 1) + ' ' + view->cell(row, 2);
        dialog.reject();
    };
    ClientDatabase database(m_list, StringTable::german(), 0);
    ClientDatabaseDialog dialog(StringTable::german(), database, runner, nullptr);
    QCOMPARE(dialog.dialog().windowTitle(), QStringLiteral("Klientendaten"));
    QCOMPARE(dialog.run(), ClientDatabase::kNothingChosen);
    QCOMPARE(clients, QStringList({ "Bach", "Fe" }));
    QVERIFY(!deleteEnabled);
    QCOMPARE(runs, QStringList({ "17.05.2024 14:30h HT", "17.05.2024 08:05h VT" }));
}

void ClientDatabaseDialogTest::okResultsFollowTheClicks()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    ScriptedDialogRunner runner;
    ClientDatabaseDialog dialog(StringTable::german(), database, runner, nullptr);
    QCOMPARE(dialog.run(), ClientDatabase::kNothingChosen); // OK without a click

    runner.scripts << [](QDialog &dialog) {
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    QCOMPARE(dialog.run(), ClientDatabase::kContinueWithClient);
    QCOMPARE(database.chosen()->lastName(), QStringLiteral("Fe"));

    runner.scripts << [](QDialog &dialog) {
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        clickRow(dialog, ClientDatabaseDialog::kRunsId, 1);
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    QCOMPARE(dialog.run(), ClientDatabase::kOpenRun);
    QCOMPARE(database.chosen()->runFile(), QStringLiteral("Fe-8.orv"));

    // A run of one client, then a click on another: OK continues with the other client.
    runner.scripts << [](QDialog &dialog) {
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        clickRow(dialog, ClientDatabaseDialog::kRunsId, 0);
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 0);
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    QCOMPARE(dialog.run(), ClientDatabase::kContinueWithClient);
    QCOMPARE(database.chosen()->lastName(), QStringLiteral("Bach"));
}

void ClientDatabaseDialogTest::doubleClicksCloseWithTheirChoice()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    ScriptedDialogRunner runner;
    ClientDatabaseDialog dialog(StringTable::german(), database, runner, nullptr);
    runner.scripts <<
        [](QDialog &dialog) { clickRow(dialog, ClientDatabaseDialog::kClientsId, 1, true); };
    QCOMPARE(dialog.run(), ClientDatabase::kContinueWithClient);
    QCOMPARE(database.chosen()->lastName(), QStringLiteral("Fe"));
    runner.scripts << [](QDialog &dialog) {
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        clickRow(dialog, ClientDatabaseDialog::kRunsId, 0, true);
    };
    QCOMPARE(dialog.run(), ClientDatabase::kOpenRun);
    QCOMPARE(database.chosen()->runFile(), QStringLiteral("Fe-14.orv"));
}

void ClientDatabaseDialogTest::headersSortButOnlyTheRunDate()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    ScriptedDialogRunner runner;
    QStringList byFirstName;
    QStringList runsAfterTimeHeader;
    runner.scripts << [&](QDialog &dialog) {
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        clickHeader(dialog, ClientDatabaseDialog::kClientsId, 1);
        byFirstName = column(list(dialog, ClientDatabaseDialog::kClientsId), 1);
        clickHeader(dialog, ClientDatabaseDialog::kRunsId, 1);
        runsAfterTimeHeader = column(list(dialog, ClientDatabaseDialog::kRunsId), 1);
        dialog.reject();
    };
    ClientDatabaseDialog dialog(StringTable::german(), database, runner, nullptr);
    dialog.run();
    QCOMPARE(byFirstName, QStringList({ "Ida", "Max" }));
    QCOMPARE(runsAfterTimeHeader, QStringList({ "14:30h", "08:05h" }));
}

void ClientDatabaseDialogTest::deletionAsksDeletesAndEmptiesTheRunSelection()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    ScriptedDialogRunner runner;
    int runsAfter = -1;
    bool deleteEnabledAfter = true;
    runner.scripts << [&](QDialog &dialog) {
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        clickRow(dialog, ClientDatabaseDialog::kRunsId, 0);
        QVERIFY(button(dialog, ClientDatabaseDialog::kDeleteId)->isEnabled());
        button(dialog, ClientDatabaseDialog::kDeleteId)->click();
        runsAfter = list(dialog, ClientDatabaseDialog::kRunsId)->rowCount();
        deleteEnabledAfter = button(dialog, ClientDatabaseDialog::kDeleteId)->isEnabled();
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    ClientDatabaseDialog dialog(StringTable::german(), database, runner,
                                [this](const ORVA_Proband &doomed) {
                                    m_deleted << doomed.runFile();
                                    // The caller rebuilds the list from the folder without the
                                    // file.
                                    ClientList rebuilt;
                                    for (const QList<ORVA_Proband> &runs : m_list.runs()) {
                                        for (const ORVA_Proband &kept : runs) {
                                            if (kept.runFile() != doomed.runFile())
                                                rebuilt.addRun(kept);
                                        }
                                    }
                                    rebuilt.sortClients();
                                    m_list = rebuilt;
                                    return true;
                                });
    QCOMPARE(dialog.run(), ClientDatabase::kContinueWithClient);
    QCOMPARE(m_deleted, QStringList({ "Fe-14.orv" }));
    QCOMPARE(runner.boxes.boxes.size(), 1);
    QCOMPARE(runner.boxes.boxes[0].text, StringTable::german().text(361));
    QCOMPARE(runsAfter, 1);
    QVERIFY(!deleteEnabledAfter);
    QCOMPARE(database.chosen()->lastName(), QStringLiteral("Fe"));
}

void ClientDatabaseDialogTest::deletionNotConfirmedDeletesNothing()
{
    ClientDatabase database(m_list, StringTable::german(), 0);
    ScriptedDialogRunner runner;
    runner.boxes.answers = { MessageAnswer::No };
    runner.scripts << [&](QDialog &dialog) {
        clickRow(dialog, ClientDatabaseDialog::kClientsId, 1);
        clickRow(dialog, ClientDatabaseDialog::kRunsId, 0);
        button(dialog, ClientDatabaseDialog::kDeleteId)->click();
        dialog.reject();
    };
    ClientDatabaseDialog dialog(StringTable::german(), database, runner,
                                [this](const ORVA_Proband &doomed) {
                                    m_deleted << doomed.runFile();
                                    return true;
                                });
    QCOMPARE(dialog.run(), ClientDatabase::kNothingChosen);
    QVERIFY(m_deleted.isEmpty());
}

QTEST_MAIN(ClientDatabaseDialogTest)
#include "ClientDatabaseDialogTest.moc"
