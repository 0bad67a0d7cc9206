// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Proband.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace orva {

class ClientList;
class StringTable;

/// What the client database shows and what the operator chose: the client rows over the client
/// list, the run rows of the clicked client, both in the order shown, and the selections. The
/// dialog forwards clicks here and shows the rows. UI thread only.
class ClientDatabase
{
public:
    /// What the operator chose when the database closes.
    static constexpr int kOpenRun = 1;
    static constexpr int kContinueWithClient = 10001;
    static constexpr int kNothingChosen = 2;
    /// The run kinds' short names: pre-test, main test, training.
    static constexpr int kPreTestText = 165;
    static constexpr int kMainTestText = 164;
    static constexpr int kTrainingText = 166;

    /// `clients` and `strings` must outlive the database; texts are in `uiLanguage`'s formats.
    ClientDatabase(const ClientList &clients, const StringTable &strings, int uiLanguage);

    /// Nothing chosen, no selection, the client rows filled and sorted by last name, no run rows.
    void open();

    int clientCount() const { return int(m_clientRows.size()); }
    /// Last name, first name, birthday.
    const QStringList &clientRow(int row) const { return m_clientRows[row].cells; }
    int runCount() const { return int(m_runRows.size()); }
    /// Run date, run time, run kind.
    const QStringList &runRow(int row) const { return m_runRows[row].cells; }
    /// The run record of run row `row`, or nullptr.
    const ORVA_Proband *runAt(int row) const;

    /// The client rows sorted by `column`, ascending; the selection moves with its row.
    void sortClients(int column);
    /// Only the date column sorts: by date, then time, newest first. Returns whether it sorted.
    bool sortRuns(int column);

    /// A click on client row `row`: that client's runs are shown, newest first, and the client
    /// is chosen; no run stays selected. False, with nothing changed, when `row` is no row.
    bool clickClient(int row);
    /// A click on run row `row`: it is selected and may be deleted.
    bool clickRun(int row);
    /// The dialog's OK: the selected run if any, else the clicked client; what the caller does.
    int accept();
    /// The record the operator chose, with the choice the result says.
    const std::optional<ORVA_Proband> &chosen() const { return m_chosen; }
    bool isClientChosen() const { return m_clientChosen; }
    int clientSelection() const { return m_clientSelection; }
    int runSelection() const { return m_runSelection; }
    bool mayDelete() const { return m_mayDelete; }
    void setMayDelete(bool may) { m_mayDelete = may; }

    /// For "Löschen": the selected run becomes the chosen record; nullptr when none is chosen.
    const ORVA_Proband *runToDelete();
    /// After a run file was deleted and the client list rebuilt: the rows are filled again, the
    /// selected client stays selected with its runs shown while it has runs left (else nobody is
    /// selected or chosen), and no run is selected.
    void reloadAfterDeletion();

private:
    struct Row
    {
        QStringList cells;
        QList<ORVA_Proband> runs; ///< a client row's runs, newest first; a run row's one record
    };

    void fillClients();
    void fillRuns(const QList<ORVA_Proband> &runs);
    static void reorder(QList<Row> &rows, const QList<int> &order);

    const ClientList &m_clients;
    const StringTable &m_strings;
    int m_uiLanguage = 0;
    QList<Row> m_clientRows;
    QList<Row> m_runRows;
    std::optional<ORVA_Proband> m_chosen;
    bool m_clientChosen = false;
    int m_clientSelection = -1;
    int m_runSelection = -1;
    bool m_mayDelete = false;
};

} // namespace orva
