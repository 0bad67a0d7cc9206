// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Proband.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

namespace orva {

/// The known clients and their runs, rebuilt from the run files of the material language's
/// folder whenever needed; there is no index file. UI thread only.
class ClientList
{
public:
    /// Reads the run file at `path` into `record` (the client record with the run's kind set);
    /// false to skip the file.
    using RunReader = std::function<bool(const QString &path, ORVA_Proband &record)>;

    /// Rebuilds both lists from every "*.orv" of "<dataDirectory>/<languageCode>", read in path
    /// order through `readRun`. A missing folder gives empty lists.
    void getProbandList(const QString &dataDirectory,
                        const QString &languageCode,
                        const RunReader &readRun);

    void clear();
    /// Takes one run's record into both lists.
    void addRun(const ORVA_Proband &record);
    /// Sorts the client list in the client order (names, birthday, run date).
    void sortClients();

    /// One record per client, the newest run's.
    const QList<ORVA_Proband> &clients() const { return m_clients; }
    /// Per client the records of all its runs; the first is the newest run.
    const QList<QList<ORVA_Proband>> &runs() const { return m_runs; }
    /// The runs of the client of `record`, or an empty list.
    QList<ORVA_Proband> runsOf(const ORVA_Proband &record) const;

private:
    /// Clients are the same when their names and birthdays are; this key says exactly that.
    static QString clientKey(const ORVA_Proband &record);
    void logLists() const;

    QList<ORVA_Proband> m_clients;
    QList<QList<ORVA_Proband>> m_runs;
    QHash<QString, qsizetype> m_clientIndex; ///< client key -> position in m_clients
    QHash<QString, qsizetype> m_runsIndex; ///< client key -> position in m_runs
};

} // namespace orva
