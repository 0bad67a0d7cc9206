// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TrainingSettings.h"

#include "engine/ORVA_Experiment.h"
#include "engine/OwnListDraft.h"
#include "records/ORVA_Proband.h"
#include "records/SyllableListFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

// A German run model of the name tables, its own lists in `base`'s list file.
void openModel(ORVA_Experiment &experiment, const QString &base)
{
    experiment.setBaseDirectory(base);
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
}

QStringList stockNames(const ORVA_Experiment &experiment)
{
    QStringList names;
    for (const ORVA_Syllable &syllable : experiment.trainStock())
        names << syllable.name;
    return names;
}

} // namespace

class TrainingSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void storesNoListAndNoCountForTheCurrentLanguageOnly();
    void offersOnlyActiveListsWithTheirIds();
    void offersMultiplesOfTheChosenListsSize();
    void runLengthIsTheListsSizeTimesTheRepetitions();
    void ownListSurvivesARestartAndStaysHiddenOnceDeleted();
};

void TrainingSettingsTest::storesNoListAndNoCountForTheCurrentLanguageOnly()
{
    // The training start refuses these; the settings keep what the operator left.
    ORVA_Proband client;
    client.setChosenList(EN_US, 3);
    TrainingSettings settings = TrainingSettings::fromClient(client, DE_DE);
    settings.repetitions = 0;
    settings.chosenList = -1;
    settings.writeTo(client, DE_DE);
    QCOMPARE(client.repetitions(), 0);
    QCOMPARE(client.chosenList(DE_DE), -1);
    QCOMPARE(client.chosenList(EN_US), 3); // the other languages' lists stay
}

void TrainingSettingsTest::offersOnlyActiveListsWithTheirIds()
{
    SyllableListSet lists;
    lists.addList({ { { "ba" }, { "da" } }, "A1", -1, true, false, DE_DE });
    lists.addList({ { { "ga" } }, "Mein", -1, true, true, DE_DE });
    lists.addList({ { { "pa" } }, "Alt", -1, true, true, DE_DE });
    QVERIFY(lists.deactivateOwn(100));
    TrainingListChoice choice;
    choice.fill(lists);
    QCOMPARE(choice.texts(), QStringList({ "[ A1 ] ba da", "{ Alt } pa" }));
    QCOMPARE(choice.ids(), QList<int>({ 0, 101 }));
    QCOMPARE(choice.indexOf(101), 1);
    QCOMPARE(choice.indexOf(100), -1); // a deleted list's entry is gone: nothing is selected
    QCOMPARE(choice.idAt(1), 101);
    QCOMPARE(choice.idAt(-1), -1);
    QCOMPARE(choice.idAt(2), -1);
    // Deleting a built-in list changes nothing.
    QVERIFY(!lists.deactivateOwn(0));
    choice.fill(lists);
    QCOMPARE(choice.ids(), QList<int>({ 0, 101 }));
}

void TrainingSettingsTest::offersMultiplesOfTheChosenListsSize()
{
    QCOMPARE(TrainingListChoice::multiples(3),
             QStringList({ " 3", " 6", " 9", "12", "15", "18", "21", "24", "27", "30" }));
    QCOMPARE(TrainingListChoice::multiples(0), QStringList(10, QStringLiteral(" 0")));
}

void TrainingSettingsTest::runLengthIsTheListsSizeTimesTheRepetitions()
{
    SyllableListSet lists;
    lists.addList({ { { "ba" }, { "da" }, { "ga" }, { "ka" }, { "pa" }, { "ta" } }, "A1" });
    lists.addList({ { { "ba" }, { "pa" }, { "ga" } }, "Mein", -1, true, true, DE_DE });
    ORVA_Proband client;
    client.setRepetitions(4);
    client.setChosenList(DE_DE, 0);
    QCOMPARE(TrainingSettings::runLength(client, lists, DE_DE), 24);
    client.setChosenList(DE_DE, 100);
    QCOMPARE(TrainingSettings::runLength(client, lists, DE_DE), 12); // not 6 × 4
    client.setChosenList(DE_DE, -1);
    QCOMPARE(TrainingSettings::runLength(client, lists, DE_DE), 0);
}

void TrainingSettingsTest::ownListSurvivesARestartAndStaysHiddenOnceDeleted()
{
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir(QStringLiteral("bin")));
    int id = -1;
    {
        ORVA_Experiment experiment;
        openModel(experiment, base.path());
        OwnListDraft draft(int(experiment.trainStock().size()));
        for (const char *name : { "ba", "pa", "ga" }) {
            const int index = experiment.findInTrainStock(QLatin1String(name));
            QVERIFY(index >= 0);
            const int row = index / OwnListDraft::kGridColumns;
            const int column = index % OwnListDraft::kGridColumns;
            const QSize grid(400, 40 * draft.gridRows());
            QVERIFY(draft.clickGrid(QPoint(column * 40 + 20, row * 40 + 20), grid));
            draft.takeOver();
        }
        QVERIFY(experiment.addOwnTrainList(
            draft.list(QStringLiteral("Mein1"), stockNames(experiment), DE_DE)));
        id = experiment.trainSyllableList().lists().last().id;
        QVERIFY(id >= SyllableListSet::kFirstOwnId);
        QVERIFY(experiment.writeUserDefinedTrainSyllableTrain().ok());
    }
    {
        ORVA_Experiment restarted;
        openModel(restarted, base.path());
        TrainingListChoice choice;
        choice.fill(restarted.trainSyllableList());
        QVERIFY(choice.indexOf(id) >= 0);
        QCOMPARE(choice.texts()[choice.indexOf(id)], QStringLiteral("{ Mein1 } ba pa ga"));
        QVERIFY(restarted.deactivateOwnList(id));
        QVERIFY(restarted.writeUserDefinedTrainSyllableTrain().ok());
    }
    ORVA_Experiment again;
    openModel(again, base.path());
    TrainingListChoice choice;
    choice.fill(again.trainSyllableList());
    QCOMPARE(choice.indexOf(id), -1);
    QVERIFY(!choice.texts().join(u'|').contains(QStringLiteral("Mein1")));
    // Kept in the file, so that its id is not given to the next own list.
    QVERIFY(again.trainSyllableList().byId(id));
}

QTEST_GUILESS_MAIN(TrainingSettingsTest)
#include "TrainingSettingsTest.moc"
