// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the client database dialog over a client list of many runs and prints how long filling
// and sorting its two lists takes, the window included (offscreen by default):
//   orva_client_database_benchmark [runs, default 10000] [clients, default 1000]
// The client list is built in memory, as reading the run files would build it; the time to read
// the files is what orva_client_list_benchmark prints.
#include "dialogs/ClientDatabaseDialog.h"
#include "dialogs/DialogRunner.h"
#include "dialogs/QS_ListControl.h"
#include "engine/ClientDatabase.h"
#include "records/ClientList.h"
#include "support/StringTable.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace orva;

namespace {

/// Shows the dialog, lets it paint once and closes it.
class ShowOnce final : public DialogRunner
{
public:
    int run(QDialog &dialog) override
    {
        dialog.show();
        QApplication::processEvents();
        dialog.hide();
        return QDialog::Rejected;
    }
    MessageAnswer show(const QString &, const QString &, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::No;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? args[1].toInt() : 10000;
    const int clientCount = std::max(1, args.size() > 2 ? args[2].toInt() : 1000);

    ClientList clients;
    for (int i = 0; i < runs; ++i) {
        const int client = i % clientCount;
        ORVA_Proband run;
        run.setLastName(QStringLiteral("Name%1").arg(client, 4, 10, QLatin1Char('0')));
        run.setFirstName(QStringLiteral("Vorname%1").arg(client % 37));
        run.birthday() = ORVA_Date(1 + client % 28, 1 + client % 12, 2005 + client % 10);
        run.runDate() =
            ORVA_Date(1 + i % 28, 1 + (i / 28) % 12, 2019 + i / 336 % 5, 8 + i % 9, i % 60);
        run.setRunKind(1 + i % 3);
        clients.addRun(run);
    }
    clients.sortClients();

    ShowOnce runner;
    ClientDatabase database(clients, StringTable::german(), 0);
    ClientDatabaseDialog dialog(StringTable::german(), database, runner, nullptr);
    double best = 0;
    for (int round = 1; round <= 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        dialog.run();
        const double ms = timer.nsecsElapsed() / 1e6;
        best = round == 1 ? ms : std::min(best, ms);
        std::printf("round %d: client database of %d clients (%d runs) opened, filled, sorted and "
                    "shown in %.1f ms\n",
                    round, dialog.clients().rowCount(), runs, ms);
    }
    std::printf("best: %.1f ms\n", best);
    return 0;
}
