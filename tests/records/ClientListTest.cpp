// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ClientList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

ORVA_Proband
record(const QString &last, const QString &first, ORVA_Date birthday, ORVA_Date run, int kind)
{
    ORVA_Proband client;
    client.setLastName(last);
    client.setFirstName(first);
    client.birthday() = birthday;
    client.runDate() = run;
    client.setRunKind(kind);
    return client;
}

QString describe(const ORVA_Proband &client)
{
    return client.lastName().value_or("-") + QLatin1Char(' ') + client.firstName().value_or("-")
        + QString::asprintf(" %d %04d-%02d-%02d %02d:%02d", client.runKind(), client.runDate().year,
                            client.runDate().month, client.runDate().day, client.runDate().hour,
                            client.runDate().minute);
}

} // namespace

class ClientListTest : public QObject
{
    Q_OBJECT

private slots:
    void buildsClientsAndRunsFromTheLanguageFolder();
    void missingFolderGivesEmptyLists();
};

void ClientListTest::buildsClientsAndRunsFromTheLanguageFolder()
{
    QTemporaryDir data;
    QVERIFY(QDir(data.path()).mkpath(QStringLiteral("de_de")));
    QVERIFY(QDir(data.path()).mkpath(QStringLiteral("en_uk")));
    const ORVA_Date born(5, 3, 2011);
    // Stand-ins for the run files, listed by path: a.orv is read first.
    const QHash<QString, ORVA_Proband> runs {
        { "a.orv", record("Meier", "Anna", born, ORVA_Date(1, 2, 2019, 9, 30), 1) },
        { "b.orv", record("Meier", "Anna", born, ORVA_Date(1, 2, 2019, 10, 0), 2) },
        { "c.orv", record("Meier", "Anna", born, ORVA_Date(1, 1, 2019, 8, 0), 3) },
        { "d.orv", record("Meier", "Anna", born, ORVA_Date(1, 1, 2100, 8, 0), 3) },
        { "e.orv", record("meier", "Anna", born, ORVA_Date(1, 2, 2019, 9, 30), 1) },
        { "f.orv", record("Meier", "Anna", ORVA_Date(1, 1, 2010), ORVA_Date(1, 1, 2018), 1) },
        { "g.orv", record("Adam", "", born, ORVA_Date(1, 1, 2018), 2) },
        { "h.ORV", record("Zorn", "", born, ORVA_Date(1, 1, 2018), 2) },
        { "broken.orv", ORVA_Proband() },
    };
    for (auto it = runs.cbegin(); it != runs.cend(); ++it) {
        QFile file(data.filePath("de_de/" + it.key()));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QFile notARun(data.filePath(QStringLiteral("de_de/notes.txt")));
    QVERIFY(notARun.open(QIODevice::WriteOnly));
    QFile otherLanguage(data.filePath(QStringLiteral("en_uk/x.orv")));
    QVERIFY(otherLanguage.open(QIODevice::WriteOnly));

    QStringList read;
    ClientList list;
    list.getProbandList(data.path(), QStringLiteral("de_de"),
                        [&](const QString &path, ORVA_Proband &client) {
                            const QString name = QFileInfo(path).fileName();
                            read << name;
                            if (name == QLatin1String("broken.orv"))
                                return false;
                            client = runs.value(name);
                            return true;
                        });
    QCOMPARE(read,
             (QStringList { "a.orv", "b.orv", "broken.orv", "c.orv", "d.orv", "e.orv", "f.orv",
                            "g.orv", "h.ORV" }));

    QStringList clients;
    for (const ORVA_Proband &client : list.clients())
        clients << describe(client);
    // Sorted by name (case counts), then birthday; each client shows its newest run, and the
    // full year decides where the file name shows only two digits.
    QCOMPARE(clients,
             (QStringList { "Adam - 2 2018-01-01 00:00", "Meier Anna 1 2018-01-01 00:00",
                            "Meier Anna 3 2100-01-01 08:00", "Zorn - 2 2018-01-01 00:00",
                            "meier Anna 1 2019-02-01 09:30" }));

    QStringList anna;
    for (const ORVA_Proband &run : list.runsOf(runs.value("a.orv")))
        anna << describe(run);
    // The newest first; a run displaced from the front goes to the end.
    QCOMPARE(anna,
             (QStringList { "Meier Anna 3 2100-01-01 08:00", "Meier Anna 1 2019-02-01 09:30",
                            "Meier Anna 3 2019-01-01 08:00", "Meier Anna 2 2019-02-01 10:00" }));
    QCOMPARE(list.runs().size(), 5);
}

void ClientListTest::missingFolderGivesEmptyLists()
{
    ClientList list;
    list.addRun(record("Meier", "", ORVA_Date(1, 1, 2000), ORVA_Date(1, 1, 2020), 1));
    int reads = 0;
    list.getProbandList(QStringLiteral("/nonexistent/data"), QStringLiteral("de_de"),
                        [&](const QString &, ORVA_Proband &) { return ++reads > 0; });
    QCOMPARE(reads, 0);
    QVERIFY(list.clients().isEmpty());
    QVERIFY(list.runs().isEmpty());
}

QTEST_GUILESS_MAIN(ClientListTest)
#include "ClientListTest.moc"
