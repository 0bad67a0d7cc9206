// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MaterialTables.h"

#include "engine/ORVA_Experiment.h"

#include <QTest>

using namespace orva;

class MaterialTablesTest : public QObject
{
    Q_OBJECT

private slots:
    void tablesHaveTheirSizes_data();
    void tablesHaveTheirSizes();
    void everyGroupNamesSyllablesOfItsTable();
    void americanListsBeginWithTheUGroups();
    void namesComeFromFileNames_data();
    void namesComeFromFileNames();
    void recordingNamesReverseTheTransliteration();
    void listsNeedEverySyllableInTheStock();
    void extraTestSyllableDoesNotEnterTheTestList();
    void stockLookupIgnoresAsciiCaseOnly();
    void ownListsGetIdsFrom100AndCanBeDeactivated();
};

void MaterialTablesTest::tablesHaveTheirSizes_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("names");
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("firstTest");
    QTest::newRow("de_de") << 0 << 86 << 28 << "ba";
    QTest::newRow("en_us") << 1 << 144 << 33 << "bu";
    QTest::newRow("en_uk") << 2 << 144 << 33 << "ba";
    QTest::newRow("es_es") << 3 << 144 << 33 << "ba";
    QTest::newRow("fr_fr") << 4 << 151 << 1 << "ba";
    QTest::newRow("pl_pl") << 5 << 211 << 33 << "ba";
    QTest::newRow("none") << 6 << 0 << 0 << "";
}

void MaterialTablesTest::tablesHaveTheirSizes()
{
    QFETCH(int, language);
    QFETCH(int, names);
    QFETCH(int, groups);
    QFETCH(QString, firstTest);
    const MaterialTables &tables = materialTables(language);
    QCOMPARE(tables.trainingNames.size(), names);
    QCOMPARE(tables.trainingGroups.size(), groups);
    QCOMPARE(tables.testNames.size(), names ? 6 : 0);
    QCOMPARE(tables.testNames.value(0), firstTest);
    QCOMPARE(tables.testGroups.size(), names ? 1 : 0);
    if (names) {
        QCOMPARE(tables.testGroups[0].label, QStringLiteral("S0"));
        QCOMPARE(tables.testGroups[0].names, tables.testNames);
    }
}

void MaterialTablesTest::everyGroupNamesSyllablesOfItsTable()
{
    for (int language = 0; language < 6; ++language) {
        const MaterialTables &tables = materialTables(language);
        QCOMPARE(QSet<QString>(tables.trainingNames.begin(), tables.trainingNames.end()).size(),
                 tables.trainingNames.size());
        for (const SyllableGroup &group : tables.trainingGroups) {
            QVERIFY2(group.names.size() >= 4 && group.names.size() <= 6, qPrintable(group.label));
            for (const QString &name : group.names)
                QVERIFY2(
                    tables.trainingNames.contains(name),
                    qPrintable(QStringLiteral("%1 %2 %3").arg(language).arg(group.label, name)));
        }
    }
    const SyllableGroup &czDz = materialTables(PL_PL).trainingGroups[8];
    QCOMPARE(czDz.label, QStringLiteral("CZ,DŻ"));
    QCOMPARE(czDz.names.join(' '), QStringLiteral("cza czu cze dża dżu dże"));
    QCOMPARE(materialTables(EN_UK).trainingGroups[7].label, QStringLiteral("CH, TH"));
}

void MaterialTablesTest::americanListsBeginWithTheUGroups()
{
    QStringList american;
    for (const SyllableGroup &group : materialTables(EN_US).trainingGroups)
        american.append(group.label);
    QStringList british;
    for (const SyllableGroup &group : materialTables(EN_UK).trainingGroups)
        british.append(group.label);
    QCOMPARE(american.mid(0, 3), QStringList({ "U1", "U2", "A1" }));
    british.removeAll(QStringLiteral("U1"));
    british.removeAll(QStringLiteral("U2"));
    QCOMPARE(american.mid(2), british);
}

void MaterialTablesTest::namesComeFromFileNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "/m/Silben81/ba.wav"
                           << "ba";
    QTest::newRow("upper case") << "/m/Silben81/Ba.WAV"
                                << "ba";
    QTest::newRow("first dot") << "/m/Silben81/ba.x.wav"
                               << "ba";
    QTest::newRow("dż") << "/m/x/dz1i.wav"
                        << "dżi";
    QTest::newRow("dżą") << "/m/x/dz1a1.wav"
                         << "dżą";
    QTest::newRow("zia stays") << "/m/x/zia.wav"
                               << "zia";
    QTest::newRow("bé") << "/m/x/be3.wav"
                        << "bé";
    QTest::newRow("backslash") << "C:\\m\\x\\sche.wav"
                               << "sche";
    QTest::newRow("dot in folder") << "/m.d/x/ka"
                                   << "ka";
}

void MaterialTablesTest::namesComeFromFileNames()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(syllableNameFromPath(path), name);
}

void MaterialTablesTest::recordingNamesReverseTheTransliteration()
{
    for (int language = 0; language < 6; ++language) {
        for (const QString &name : materialTables(language).trainingNames) {
            const QString base = recordingBaseName(name);
            for (const QChar c : base)
                QVERIFY2(c.unicode() < 128, qPrintable(name));
            QCOMPARE(syllableNameFromPath(base + QStringLiteral(".wav")), name);
        }
    }
    QCOMPARE(recordingBaseName(QStringLiteral("dżą")), QStringLiteral("dz1a1"));
}

void MaterialTablesTest::listsNeedEverySyllableInTheStock()
{
    ORVA_Experiment experiment;
    experiment.setLanguage(DE_DE, false, false);
    std::vector<ORVA_Syllable> &stock = experiment.trainStock();
    stock.erase(stock.begin() + experiment.findInTrainStock(QStringLiteral("ha")));
    experiment.createSyllableLists();
    const SyllableListSet &lists = experiment.trainSyllableList();
    QCOMPARE(lists.size(), 26);
    QCOMPARE(lists.at(0).label, QStringLiteral("A1"));
    QCOMPARE(lists.at(0).id, 0);
    QCOMPARE(lists.at(1).label, QStringLiteral("A3"));
    QCOMPARE(lists.at(1).id, 1);
    for (const SyllableList &list : lists.lists()) {
        QVERIFY(list.label != QLatin1String("A2") && list.label != QLatin1String("H,J"));
        for (const SyllableList::Entry &entry : list.entries)
            QCOMPARE(stock[entry.stockIndex].name, entry.name);
    }
}

void MaterialTablesTest::extraTestSyllableDoesNotEnterTheTestList()
{
    ORVA_Experiment experiment;
    experiment.setLanguage(DE_DE, false, false);
    experiment.testStock().emplace_back(QStringLiteral("ma"));
    experiment.createSyllableLists();
    QCOMPARE(experiment.testStock().size(), size_t(7));
    QCOMPARE(experiment.testSyllableList().size(), 1);
    QCOMPARE(experiment.testSyllableList().at(0).entries.size(), 6);
    experiment.prepareRun(PreTest);
    experiment.fillShuffled(experiment.testSyllableList().at(0));
    for (const Measurement &measurement : experiment.measurements())
        QVERIFY(measurement.stockIndex < 6);
}

void MaterialTablesTest::stockLookupIgnoresAsciiCaseOnly()
{
    ORVA_Experiment experiment;
    experiment.setLanguage(PL_PL, false, false);
    QCOMPARE(experiment.findInTrainStock(QStringLiteral("BA")), 0);
    QCOMPARE(experiment.findInTrainStock(QStringLiteral("bą")), 1);
    QCOMPARE(experiment.findInTrainStock(QStringLiteral("BĄ")), -1);
    QCOMPARE(experiment.findInTrainStock(QStringLiteral("xyz")), -1);
    QCOMPARE(experiment.findInTestStock(QStringLiteral("Ta")), 5);
    experiment.trainStock().emplace(experiment.trainStock().begin() + 3, QStringLiteral("ba"));
    QCOMPARE(experiment.findInTrainStock(QStringLiteral("ba")), 0); // the first match wins
}

void MaterialTablesTest::ownListsGetIdsFrom100AndCanBeDeactivated()
{
    ORVA_Experiment experiment;
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
    SyllableList own;
    own.label = QStringLiteral("Mein");
    own.entries = { { QStringLiteral("ba"), -1 }, { QStringLiteral("SCHA"), -1 } };
    QVERIFY(experiment.addOwnTrainList(own));
    const SyllableList &added = experiment.trainSyllableList().at(28);
    QCOMPARE(added.id, 100);
    QCOMPARE(added.entries[1].stockIndex, experiment.findInTrainStock(QStringLiteral("scha")));
    QCOMPARE(added.displayText(), QStringLiteral("{ Mein } ba SCHA"));
    own.entries.append({ QStringLiteral("xx"), -1 });
    QVERIFY(!experiment.addOwnTrainList(own));
    QCOMPARE(experiment.trainSyllableList().size(), 29);
    QVERIFY(!experiment.deactivateOwnList(0)); // built-in
    QVERIFY(!experiment.deactivateOwnList(101));
    QVERIFY(experiment.deactivateOwnList(100));
    QVERIFY(!experiment.trainSyllableList().at(28).active);
}

QTEST_GUILESS_MAIN(MaterialTablesTest)
#include "MaterialTablesTest.moc"
