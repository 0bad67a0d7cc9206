// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the client list from many run files, then fills and sorts the client database's rows
// over it (as opening the database does), and prints how long each takes:
//   orva_client_list_benchmark [run files, default 10000] [clients, default 1000] [folder]
// The run files are written first (pre-tests, main tests and trainings of German material) into
// a temporary data directory, or into `folder` when given (kept there for a later run).
#include "engine/ClientDatabase.h"
#include "engine/ORVA_Experiment.h"
#include "engine/ScratchRunReader.h"
#include "records/ClientList.h"
#include "support/StringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace orva;

namespace {

void writeRuns(const QString &folder, int files, int clients)
{
    ORVA_Experiment experiment;
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
    const int modes[] = { PreTest, MainTest, Training };
    for (int i = 0; i < files; ++i) {
        const int client = i % clients;
        const int mode = modes[i % 3];
        experiment.client().setDefaults();
        experiment.client().setRepetitions(2);
        experiment.prepareRun(mode);
        experiment.client().setLastName(
            QStringLiteral("Name%1").arg(client, 4, 10, QLatin1Char('0')));
        experiment.client().setFirstName(QStringLiteral("Vorname%1").arg(client % 37));
        experiment.client().birthday() =
            ORVA_Date(1 + client % 28, 1 + client % 12, 2005 + client % 10);
        experiment.client().runDate() =
            ORVA_Date(1 + i % 28, 1 + (i / 28) % 12, 2019 + i / 336 % 5, 8 + i % 9, i % 60);
        if (mode == Training)
            experiment.fillOrdered(*experiment.runList(Training));
        else
            experiment.fillShuffled(experiment.testSyllableList().at(0));
        for (int k = 0; k < experiment.measurementCount(); ++k) {
            Measurement &measurement = experiment.measurement(k);
            measurement.reactionTime = 400 + (i * 7 + k * 13) % 900;
            measurement.result = (i + k) % 9 == 0 ? Wrong : Right;
        }
        experiment.setComment(QStringLiteral("Durchgang %1").arg(i));
        if (!experiment
                 .write(QStringLiteral("%1/run%2.orv").arg(folder).arg(i, 5, 10, QLatin1Char('0')))
                 .ok()) {
            std::fprintf(stderr, "cannot write the run files into %s\n", qPrintable(folder));
            std::exit(1);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int files = args.size() > 1 ? args[1].toInt() : 10000;
    const int clients = std::max(1, args.size() > 2 ? args[2].toInt() : 1000);
    QTemporaryDir temporary;
    const QString base = args.size() > 3 ? args[3] : temporary.path();
    const QString data = base + QStringLiteral("/data");
    const QString folder = data + QStringLiteral("/de_de");
    QDir().mkpath(folder);

    QElapsedTimer timer;
    const qint64 present = QDir(folder).entryList({ QStringLiteral("*.orv") }, QDir::Files).size();
    if (present < files) {
        timer.start();
        writeRuns(folder, files, clients);
        std::printf("wrote %d run files in %.2f s\n", files, timer.nsecsElapsed() / 1e9);
    }

    double best = 0;
    for (int round = 1; round <= 3; ++round) {
        ClientList list;
        timer.start();
        list.getProbandList(data, QStringLiteral("de_de"), ScratchRunReader(base, DE_DE));
        const double seconds = timer.nsecsElapsed() / 1e9;
        best = round == 1 ? seconds : std::min(best, seconds);
        std::printf("round %d: client list of %lld clients, %lld run lists from %lld files in "
                    "%.3f s (%.1f us per file)\n",
                    round, static_cast<long long>(list.clients().size()),
                    static_cast<long long>(list.runs().size()),
                    static_cast<long long>(present < files ? files : present), seconds,
                    seconds * 1e6 / std::max<qint64>(1, std::max<qint64>(present, files)));
    }
    std::printf("best: %.3f s\n", best);

    // Opening the database: the client rows filled and sorted, a client clicked (its runs filled
    // and sorted newest first), and a sort by each client column.
    ClientList list;
    list.getProbandList(data, QStringLiteral("de_de"), ScratchRunReader(base, DE_DE));
    ClientDatabase database(list, StringTable::german(), DE_DE);
    double bestOpen = 0;
    double bestSorts = 0;
    for (int round = 1; round <= 3; ++round) {
        timer.start();
        database.open();
        database.clickClient(0);
        const double open = timer.nsecsElapsed() / 1e6;
        timer.start();
        for (int column : { 1, 2, 0 })
            database.sortClients(column);
        const double sorts = timer.nsecsElapsed() / 1e6;
        bestOpen = round == 1 ? open : std::min(bestOpen, open);
        bestSorts = round == 1 ? sorts : std::min(bestSorts, sorts);
        std::printf("round %d: database of %d clients filled and sorted in %.2f ms, three header "
                    "sorts in %.2f ms\n",
                    round, database.clientCount(), open, sorts);
    }
    std::printf("best: database opened in %.2f ms (plus the client list above), three header "
                "sorts in %.2f ms\n",
                bestOpen, bestSorts);
    return 0;
}
