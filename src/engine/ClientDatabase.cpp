// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ClientDatabase.h"

#include "records/ClientList.h"
#include "records/ListSortOrder.h"
#include "support/StringTable.h"

namespace orva {

ClientDatabase::ClientDatabase(const ClientList &clients,
                               const StringTable &strings,
                               int uiLanguage)
    : m_clients(clients)
    , m_strings(strings)
    , m_uiLanguage(uiLanguage)
{ }

void ClientDatabase::open()
{
    m_chosen.reset();
    m_clientChosen = false;
    m_clientSelection = -1;
    m_runSelection = -1;
    m_mayDelete = false;
    m_runRows.clear();
    fillClients();
    sortClients(0);
}

void ClientDatabase::fillClients()
{
    m_clientRows.clear();
    const QList<QList<ORVA_Proband>> &runs = m_clients.runs();
    m_clientRows.reserve(runs.size());
    for (const QList<ORVA_Proband> &clientRuns : runs) {
        if (clientRuns.isEmpty())
            continue;
        const ORVA_Proband &first = clientRuns.first();
        m_clientRows.append(
            { { first.lastName().value_or(QString()), first.firstName().value_or(QString()),
                first.birthdayText(m_uiLanguage) },
              clientRuns });
    }
}

void ClientDatabase::fillRuns(const QList<ORVA_Proband> &runs)
{
    m_runRows.clear();
    for (const ORVA_Proband &run : runs) {
        const int kind = run.runKind();
        const int kindText = kind == 1 ? kPreTestText
            : kind == 2                ? kMainTestText
            : kind == 3                ? kTrainingText
                                       : -1;
        m_runRows.append({ { run.runDateText(m_uiLanguage), run.runDate().timeText(),
                             kindText < 0 ? QString() : m_strings.text(kindText) },
                           { run } });
    }
    sortRuns(0);
}

const ORVA_Proband *ClientDatabase::runAt(int row) const
{
    if (row < 0 || row >= m_runRows.size())
        return nullptr;
    return &m_runRows[row].runs.first();
}

void ClientDatabase::reorder(QList<Row> &rows, const QList<int> &order)
{
    QList<Row> sorted;
    sorted.reserve(rows.size());
    for (int index : order)
        sorted.append(std::move(rows[index]));
    rows = std::move(sorted);
}

void ClientDatabase::sortClients(int column)
{
    QStringList cells;
    cells.reserve(m_clientRows.size());
    for (const Row &row : std::as_const(m_clientRows))
        cells << row.cells.value(column);
    const QList<int> order =
        ListSortOrder::sorted(cells, true, ListSortOrder::dateFormatOf(m_uiLanguage));
    if (m_clientSelection >= 0)
        m_clientSelection = int(order.indexOf(m_clientSelection));
    reorder(m_clientRows, order);
}

bool ClientDatabase::sortRuns(int column)
{
    if (column != 0)
        return false;
    QStringList dates;
    QStringList times;
    for (const Row &row : std::as_const(m_runRows)) {
        dates << row.cells.value(0);
        times << row.cells.value(1);
    }
    const QList<int> order =
        ListSortOrder::sorted(dates, times, false, ListSortOrder::dateFormatOf(m_uiLanguage));
    if (m_runSelection >= 0)
        m_runSelection = int(order.indexOf(m_runSelection));
    reorder(m_runRows, order);
    return true;
}

bool ClientDatabase::clickClient(int row)
{
    m_mayDelete = false;
    if (row < 0 || row >= m_clientRows.size())
        return false;
    m_clientSelection = row;
    // A run chosen for another client must not be opened by the next OK.
    m_runSelection = -1;
    m_chosen = m_clientRows[row].runs.first();
    m_clientChosen = true;
    fillRuns(m_clientRows[row].runs);
    return true;
}

bool ClientDatabase::clickRun(int row)
{
    if (row < 0 || row >= m_runRows.size())
        return false;
    m_runSelection = row;
    m_mayDelete = true;
    return true;
}

int ClientDatabase::accept()
{
    if (m_runSelection >= 0) {
        const ORVA_Proband *run = runAt(m_runSelection);
        m_chosen = run ? std::optional<ORVA_Proband>(*run) : std::nullopt;
        m_clientChosen = false;
    }
    if (!m_chosen)
        return kNothingChosen;
    return m_clientChosen ? kContinueWithClient : kOpenRun;
}

const ORVA_Proband *ClientDatabase::runToDelete()
{
    m_mayDelete = false;
    if (m_runSelection >= 0) {
        const ORVA_Proband *run = runAt(m_runSelection);
        m_chosen = run ? std::optional<ORVA_Proband>(*run) : std::nullopt;
        m_clientChosen = false;
    }
    return m_chosen ? &*m_chosen : nullptr;
}

void ClientDatabase::reloadAfterDeletion()
{
    m_runSelection = -1;
    m_mayDelete = false;
    m_runRows.clear();
    // The selection stays with its client; when that client has no run left, nobody is chosen,
    // so that the next OK does not continue with whoever moved into the row.
    std::optional<ORVA_Proband> selected;
    if (m_clientSelection >= 0 && m_clientSelection < m_clientRows.size())
        selected = m_clientRows[m_clientSelection].runs.first();
    m_clientSelection = -1;
    fillClients();
    sortClients(0);
    for (int row = 0; selected && row < m_clientRows.size(); ++row) {
        if (ORVA_Proband::equal(m_clientRows[row].runs.first(), *selected)) {
            m_clientSelection = row;
            break;
        }
    }
    if (m_clientSelection < 0) {
        m_chosen.reset();
        m_clientChosen = false;
        return;
    }
    m_chosen = m_clientRows[m_clientSelection].runs.first();
    m_clientChosen = true;
    fillRuns(m_clientRows[m_clientSelection].runs);
}

} // namespace orva
