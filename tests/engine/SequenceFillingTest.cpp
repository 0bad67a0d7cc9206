// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ORVA_Experiment.h"
#include "engine/RandomGenerator.h"

#include <QSet>
#include <QTest>

using namespace orva;

class SequenceFillingTest : public QObject
{
    Q_OBJECT

private slots:
    void generatorGivesTheKnownSequence();
    void randIntStaysInRange();
    void shuffledBlocksArePermutationsThatNeverRepeatAtTheSeam();
    void orderedFillingRepeatsTheList();
    void drawWithoutRepetitionGoesThroughTheWholeStockAcrossRuns();
    void drawWithRepetitionPresentsSixSyllablesInShuffledBlocks();
    void singleSyllableStocksDoNotHang();
};

namespace {

void useGermanNames(ORVA_Experiment &experiment, quint32 seed)
{
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
    experiment.random().seed(seed);
}

QList<int> indices(const ORVA_Experiment &experiment)
{
    QList<int> result;
    for (const Measurement &measurement : experiment.measurements())
        result.append(measurement.stockIndex);
    return result;
}

} // namespace

void SequenceFillingTest::generatorGivesTheKnownSequence()
{
    RandomGenerator random(1);
    QList<int> outputs;
    for (int i = 0; i < 10; ++i)
        outputs.append(random.next());
    QCOMPARE(outputs,
             QList<int>({ 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464 }));
    random.seed(12345);
    QCOMPARE(random.next(), 7584);
}

void SequenceFillingTest::randIntStaysInRange()
{
    RandomGenerator random(7);
    QSet<int> seen;
    for (int i = 0; i < 10000; ++i) {
        const int value = random.randInt(6);
        QVERIFY(value >= 0 && value < 6);
        seen.insert(value);
    }
    QCOMPARE(seen.size(), 6);
}

void SequenceFillingTest::shuffledBlocksArePermutationsThatNeverRepeatAtTheSeam()
{
    for (quint32 seed = 0; seed < 500; ++seed) {
        ORVA_Experiment experiment;
        useGermanNames(experiment, seed);
        experiment.prepareRun(MainTest);
        const SyllableList &list = experiment.testSyllableList().at(0);
        experiment.fillShuffled(list);
        const QList<int> drawn = indices(experiment);
        QCOMPARE(drawn.size(), 60);
        QVERIFY(drawn[0] != list.entries[0].stockIndex);
        for (int block = 0; block < 10; ++block) {
            const QList<int> part = drawn.mid(block * 6, 6);
            QCOMPARE(QSet<int>(part.begin(), part.end()).size(), 6);
            if (block > 0)
                QVERIFY(drawn[block * 6] != drawn[block * 6 - 1]);
        }
    }
}

void SequenceFillingTest::orderedFillingRepeatsTheList()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment, 3);
    experiment.client().setRepetitions(2);
    experiment.client().setChosenList(DE_DE, 23); // "SCH", five syllables
    experiment.prepareRun(Training);
    QCOMPARE(experiment.measurementCount(), 10);
    experiment.fillOrdered(*experiment.runList(Training));
    QStringList names;
    for (int i = 0; i < 10; ++i)
        names.append(experiment.syllableOfMeasurement(i)->name);
    QCOMPARE(names.join(' '), QStringLiteral("scha sche schi scho schu scha sche schi scho schu"));
}

void SequenceFillingTest::drawWithoutRepetitionGoesThroughTheWholeStockAcrossRuns()
{
    for (quint32 seed : { 1u, 99u, 4711u }) {
        ORVA_Experiment experiment;
        useGermanNames(experiment, seed);
        experiment.client().setRepetitions(5); // A1: 6 x 5 = 30 per run
        QList<int> runs[3];
        for (QList<int> &run : runs) {
            experiment.prepareRun(Training);
            experiment.fillRandomWithoutRepetition();
            run = indices(experiment);
            QCOMPARE(run.size(), 30);
        }
        const QList<int> firstTwo = runs[0] + runs[1];
        QCOMPARE(QSet<int>(firstTwo.begin(), firstTwo.end()).size(), 60);
        QList<int> all = firstTwo + runs[2].mid(0, 26);
        QCOMPARE(QSet<int>(all.begin(), all.end()).size(), 86); // every syllable once
        QCOMPARE(experiment.usedCount(), 4); // the fourth pass has begun
        for (int i = 1; i < 30; ++i)
            QVERIFY(runs[2][i] != runs[2][i - 1]);
    }
}

void SequenceFillingTest::drawWithRepetitionPresentsSixSyllablesInShuffledBlocks()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment, 21);
    experiment.prepareRun(Training);
    const int listsBefore = experiment.trainSyllableList().size();
    experiment.fillRandomWithRepetition();
    const QList<int> drawn = indices(experiment);
    QCOMPARE(drawn.size(), 30);
    const QSet<int> six(drawn.begin(), drawn.end());
    QCOMPARE(six.size(), 6);
    for (int block = 0; block < 5; ++block) {
        const QList<int> part = drawn.mid(block * 6, 6);
        QCOMPARE(QSet<int>(part.begin(), part.end()), six);
    }
    QCOMPARE(experiment.trainSyllableList().size(), listsBefore);
    QCOMPARE(experiment.usedCount(), 6);
}

void SequenceFillingTest::singleSyllableStocksDoNotHang()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment, 5);
    experiment.prepareRun(Training);
    experiment.trainStock().resize(1);
    experiment.fillRandomWithoutRepetition();
    experiment.fillRandomWithRepetition();
    QCOMPARE(indices(experiment), QList<int>(30, 0));

    // Two syllables, one used from an earlier run and the other one equal to the start value.
    experiment.trainStock().resize(2);
    experiment.trainStock()[1].used = true;
    experiment.setUsedCount(1);
    experiment.fillRandomWithoutRepetition();
    QCOMPARE(indices(experiment).mid(0, 1), QList<int>({ 0 }));
}

QTEST_GUILESS_MAIN(SequenceFillingTest)
#include "SequenceFillingTest.moc"
