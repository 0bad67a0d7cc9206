// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"

#include <functional>

namespace orva {

class ClientDatabase;
class DialogRunner;
class ORVA_Proband;
class QS_ListControl;

/// The clients of the data folder and the runs of the clicked one: the operator continues with a
/// client, opens a run or deletes a run's file. Shows what a ClientDatabase holds and forwards
/// every click to it. UI thread only.
class ClientDatabaseDialog : public QObject
{
    Q_OBJECT

public:
    static constexpr int kClientsId = 161;
    static constexpr int kRunsId = 162;
    static constexpr int kDeleteId = 1228;
    static constexpr int kDeleteQuestion = 361;

    /// Deletes the run's file once the operator confirmed, tells the operator how it went and
    /// rebuilds the client list; true when the file is gone.
    using RunDeleter = std::function<bool(const ORVA_Proband &run)>;

    /// `database`, `strings` and `runner` must outlive the dialog.
    ClientDatabaseDialog(const StringTable &strings,
                         ClientDatabase &database,
                         DialogRunner &runner,
                         RunDeleter deleteRun,
                         QWidget *owner = nullptr);

    TemplateDialog &dialog() { return m_dialog; }
    QS_ListControl &clients() const { return *m_clients; }
    QS_ListControl &runs() const { return *m_runs; }
    /// Runs the dialog: ClientDatabase::kOpenRun, kContinueWithClient or kNothingChosen; the
    /// database's chosen() holds the record.
    int run();

private:
    void showClients();
    void showRuns();
    void onClientClicked(int row, bool doubleClick);
    void onRunClicked(int row, bool doubleClick);
    void onDelete();
    void updateDeleteButton();

    const StringTable &m_strings;
    ClientDatabase &m_database;
    DialogRunner &m_runner;
    RunDeleter m_deleteRun;
    TemplateDialog m_dialog;
    QS_ListControl *m_clients = nullptr; // controls of the dialog
    QS_ListControl *m_runs = nullptr;
};

} // namespace orva
