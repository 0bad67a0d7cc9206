// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ClientList.h"

#include "support/DirectoryListing.h"
#include "support/Logger.h"

#include <algorithm>

namespace orva {

namespace {

bool newer(const ORVA_Proband &a, const ORVA_Proband &b)
{
    return a.runDate() > b.runDate();
}

} // namespace

QString ClientList::clientKey(const ORVA_Proband &record)
{
    // Each name with its length, so that no two different clients share a key.
    const auto part = [](const std::optional<QString> &name) {
        return name ? QString::number(name->size()) + QLatin1Char(':') + *name
                    : QStringLiteral("-");
    };
    return part(record.lastName()) + QLatin1Char('|') + part(record.firstName())
        + QString::asprintf("|%d.%d.%d", record.birthday().day, record.birthday().month,
                            record.birthday().year);
}

void ClientList::clear()
{
    m_clients.clear();
    m_runs.clear();
    m_clientIndex.clear();
    m_runsIndex.clear();
}

void ClientList::addRun(const ORVA_Proband &record)
{
    const QString key = clientKey(record);
    const auto client = m_clientIndex.constFind(key);
    if (client == m_clientIndex.constEnd()) {
        m_clientIndex.insert(key, m_clients.size());
        m_clients.append(record);
    } else if (newer(record, m_clients[*client])) {
        m_clients[*client] = record;
    }

    const auto runs = m_runsIndex.constFind(key);
    if (runs == m_runsIndex.constEnd()) {
        m_runsIndex.insert(key, m_runs.size());
        m_runs.append(QList<ORVA_Proband> { record });
        return;
    }
    QList<ORVA_Proband> &list = m_runs[*runs];
    if (newer(record, list.first())) {
        // The newest run goes first; the one it displaces goes to the end.
        list.append(list.first());
        list.first() = record;
    } else {
        list.append(record);
    }
}

void ClientList::sortClients()
{
    std::stable_sort(m_clients.begin(), m_clients.end(), ORVA_Proband::less);
    m_clientIndex.clear();
    for (qsizetype i = 0; i < m_clients.size(); ++i)
        m_clientIndex.insert(clientKey(m_clients[i]), i);
}

QList<ORVA_Proband> ClientList::runsOf(const ORVA_Proband &record) const
{
    const auto runs = m_runsIndex.constFind(clientKey(record));
    return runs == m_runsIndex.constEnd() ? QList<ORVA_Proband>() : m_runs[*runs];
}

void ClientList::getProbandList(const QString &dataDirectory,
                                const QString &languageCode,
                                const RunReader &readRun)
{
    logMessage(1, "BEGIN: getProbandList\n");
    QStringList paths =
        listFiles(dataDirectory + QLatin1Char('/') + languageCode, QStringLiteral("*.orv"), false);
    std::sort(paths.begin(), paths.end());
    clear();
    for (const QString &path : std::as_const(paths)) {
        ORVA_Proband record;
        if (!readRun(path, record))
            continue;
        record.setRunFile(path);
        addRun(record);
    }
    logLists();
    sortClients();
}

void ClientList::logLists() const
{
    if (Logger::instance().level() < 5)
        return;
    logMessage(5, QString(72, u'-') + QLatin1Char('\n'));
    for (qsizetype i = 0; i < m_runs.size(); ++i) {
        for (qsizetype j = 0; j < m_runs[i].size(); ++j) {
            const ORVA_Proband &record = m_runs[i][j];
            logMessage(5,
                       QString::asprintf("List[%2d][%2d] : ", int(i), int(j))
                           + QStringLiteral("%1 %2, %3, %4 %5\n")
                                 .arg(record.firstName().value_or(QString()), 20)
                                 .arg(record.lastName().value_or(QString()), 20)
                                 .arg(record.birthdayText(0), record.runDateText(0),
                                      record.runDate().timeText()));
        }
    }
}

} // namespace orva
