// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ClientDatabaseDialog.h"

#include "dialogs/DialogRunner.h"
#include "dialogs/QS_ListControl.h"
#include "engine/ClientDatabase.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QHeaderView>
#include <QPushButton>

namespace orva {

namespace {

constexpr int kOkId = 1;
constexpr int kLastNameText = 112;
constexpr int kFirstNameText = 108;
constexpr int kBirthdayText = 113;
constexpr int kDateText = 114;
constexpr int kTimeText = 122;
constexpr int kModeText = 243;

void setColumns(QS_ListControl &list, const StringTable &strings, std::initializer_list<int> texts)
{
    QStringList titles;
    for (int text : texts)
        titles << strings.text(text);
    // The first column takes what the two thirds leave.
    // The client width: the viewport is laid out only once the dialog is shown.
    const int width = list.width() - 2 * list.frameWidth();
    list.setColumns(titles, { width - 2 * (width / 3), width / 3, width / 3 });
    list.header()->setSectionsClickable(true);
    list.header()->setSortIndicatorShown(false);
}

int rowOf(QS_ListControl &list, QTreeWidgetItem *item)
{
    return item ? list.indexOfTopLevelItem(item) : -1;
}

} // namespace

ClientDatabaseDialog::ClientDatabaseDialog(const StringTable &strings,
                                           ClientDatabase &database,
                                           DialogRunner &runner,
                                           RunDeleter deleteRun,
                                           QWidget *owner)
    : m_strings(strings)
    , m_database(database)
    , m_runner(runner)
    , m_deleteRun(std::move(deleteRun))
    , m_dialog(DialogTemplates::clientDatabase(), strings, owner)
    , m_clients(m_dialog.controlAs<QS_ListControl>(kClientsId))
    , m_runs(m_dialog.controlAs<QS_ListControl>(kRunsId))
{
    setColumns(*m_clients, strings, { kLastNameText, kFirstNameText, kBirthdayText });
    setColumns(*m_runs, strings, { kDateText, kTimeText, kModeText });

    connect(m_clients, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { onClientClicked(rowOf(*m_clients, item), false); });
    connect(m_clients, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { onClientClicked(rowOf(*m_clients, item), true); });
    connect(m_runs, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { onRunClicked(rowOf(*m_runs, item), false); });
    connect(m_runs, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { onRunClicked(rowOf(*m_runs, item), true); });
    connect(m_clients->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_database.setMayDelete(false);
        m_database.sortClients(column);
        showClients();
        updateDeleteButton();
    });
    connect(m_runs->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_database.setMayDelete(false);
        if (m_database.sortRuns(column))
            showRuns();
        updateDeleteButton();
    });
    connect(m_dialog.controlAs<QPushButton>(kDeleteId), &QPushButton::clicked, this,
            [this] { onDelete(); });
    auto *ok = m_dialog.controlAs<QPushButton>(kOkId);
    ok->disconnect(&m_dialog);
    connect(ok, &QPushButton::clicked, this, [this] { m_dialog.done(m_database.accept()); });
}

int ClientDatabaseDialog::run()
{
    m_database.open();
    showClients();
    showRuns();
    updateDeleteButton();
    const int result = m_runner.run(m_dialog);
    return result == ClientDatabase::kOpenRun || result == ClientDatabase::kContinueWithClient
        ? result
        : ClientDatabase::kNothingChosen;
}

void ClientDatabaseDialog::showClients()
{
    QList<QStringList> rows;
    rows.reserve(m_database.clientCount());
    for (int row = 0; row < m_database.clientCount(); ++row)
        rows << m_database.clientRow(row);
    const QSignalBlocker blocker(m_clients);
    m_clients->setRows(rows);
    m_clients->selectRow(m_database.clientSelection());
}

void ClientDatabaseDialog::showRuns()
{
    QList<QStringList> rows;
    for (int row = 0; row < m_database.runCount(); ++row)
        rows << m_database.runRow(row);
    const QSignalBlocker blocker(m_runs);
    m_runs->setRows(rows);
    m_runs->selectRow(m_database.runSelection());
}

void ClientDatabaseDialog::updateDeleteButton()
{
    m_dialog.control(kDeleteId)->setEnabled(m_database.mayDelete());
}

void ClientDatabaseDialog::onClientClicked(int row, bool doubleClick)
{
    m_database.setMayDelete(false);
    if (m_database.clickClient(row)) {
        showRuns();
        if (doubleClick)
            m_dialog.done(ClientDatabase::kContinueWithClient);
    }
    updateDeleteButton();
}

void ClientDatabaseDialog::onRunClicked(int row, bool doubleClick)
{
    if (!m_database.clickRun(row))
        return;
    if (doubleClick) {
        m_dialog.done(m_database.accept());
        return;
    }
    updateDeleteButton();
}

void ClientDatabaseDialog::onDelete()
{
    const ORVA_Proband *run = m_database.runToDelete();
    updateDeleteButton();
    if (!run)
        return;
    if (m_runner.show(m_strings.text(Text::kQuestionTitle), m_strings.text(kDeleteQuestion),
                      MessageIcon::Question, MessageButtons::YesNoCancel)
        != MessageAnswer::Yes)
        return;
    if (!m_deleteRun(*run))
        return;
    m_database.reloadAfterDeletion();
    showClients();
    showRuns();
    updateDeleteButton();
}

} // namespace orva
