// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ORVA_Experiment.h"

#include <QDateTime>
#include <QTest>

using namespace orva;

class ORVA_ExperimentTest : public QObject
{
    Q_OBJECT

private slots:
    void newModelIsAnEmptyMainTest();
    void prepareRunSizesTheSequence_data();
    void prepareRunSizesTheSequence();
    void rejectingTheFirstMeasurementStepsBeforeIt();
    void userLogNameComesFromTheClientsNames();
    void resetKeepsOrReplacesTheClient();
    void settingTheLanguageClearsTheRunAndResetsAMissingListChoice();
    void statisticsOfAPreTest();
    void statisticsOfARunWithoutAnswers();
    void statisticsAreComputedOncePerRunInNameOrder();
    void listIdsFollowTheCounters();
    void listDisplayText();
};

namespace {

void fill(ORVA_Experiment &experiment, const QList<Measurement> &measurements)
{
    experiment.setMeasurements(measurements);
}

// The German name tables as material, without recordings.
void useGermanNames(ORVA_Experiment &experiment)
{
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
}

} // namespace

void ORVA_ExperimentTest::newModelIsAnEmptyMainTest()
{
    ORVA_Experiment experiment;
    QCOMPARE(experiment.mode(), int(MainTest));
    QCOMPARE(experiment.measurementCount(), 0);
    QCOMPARE(experiment.currentIndex(), 0);
    QCOMPARE(experiment.statistics().size(), 1);
    QVERIFY(!experiment.statistics()[0].computed);
    QCOMPARE(experiment.stockSize(), 0);
    QVERIFY(!experiment.canStartRun(PreTest));
    QCOMPARE(experiment.answerWindow(), 2000);
}

void ORVA_ExperimentTest::prepareRunSizesTheSequence_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("repetitions");
    QTest::addColumn<int>("length");
    QTest::newRow("pre-test") << int(PreTest) << 5 << 12;
    QTest::newRow("main test") << int(MainTest) << 5 << 60;
    QTest::newRow("training 6 x 5") << int(Training) << 5 << 30;
    QTest::newRow("training 6 x 1") << int(Training) << 1 << 6;
    QTest::newRow("training, negative repetitions from a file") << int(Training) << -4 << 0;
}

void ORVA_ExperimentTest::prepareRunSizesTheSequence()
{
    QFETCH(int, mode);
    QFETCH(int, repetitions);
    QFETCH(int, length);
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    experiment.client().setRepetitions(repetitions);
    experiment.setMeasurements({ { 3, 400, Right } });
    experiment.prepareRun(mode);
    QCOMPARE(experiment.mode(), mode);
    QCOMPARE(experiment.measurementCount(), length);
    QCOMPARE(experiment.currentIndex(), 0);
    for (const Measurement &measurement : experiment.measurements())
        QCOMPARE(measurement, Measurement());
    QCOMPARE(experiment.canStartRun(mode), length > 0);
}

void ORVA_ExperimentTest::rejectingTheFirstMeasurementStepsBeforeIt()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    experiment.prepareRun(PreTest);
    experiment.setReactionTime(530);
    experiment.setRight();
    experiment.rejectSyllable();
    QCOMPARE(experiment.currentIndex(), -1);
    QVERIFY(experiment.currentMeasurement() == nullptr);
    QCOMPARE(experiment.measurement(0), Measurement());
    experiment.setWrong(); // nothing to set at index -1
    QVERIFY(experiment.nextSyllable() != nullptr);
    QCOMPARE(experiment.currentIndex(), 0);
    QCOMPARE(experiment.measurement(0), Measurement());
}

void ORVA_ExperimentTest::userLogNameComesFromTheClientsNames()
{
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(QStringLiteral("/opt/orva"));
    QString path = QStringLiteral("untouched");
    QCOMPARE(experiment.createLogFileName(path, true), 1);
    QCOMPARE(path, QStringLiteral("untouched"));

    experiment.client().setLastName(QStringLiteral("Meier"));
    QCOMPARE(experiment.createLogFileName(path, true), 0);
    QCOMPARE(path, QStringLiteral("/opt/orva/data/Meier.orl"));
    experiment.client().setFirstName(QStringLiteral("Anna"));
    QCOMPARE(experiment.createLogFileName(path, true), 0);
    QCOMPARE(path, QStringLiteral("/opt/orva/data/Meier-Anna.orl"));
    QCOMPARE(experiment.createLogFileName(path, false), 0);
    QCOMPARE(path, QStringLiteral("Meier-Anna.orl"));
}

void ORVA_ExperimentTest::resetKeepsOrReplacesTheClient()
{
    ORVA_Experiment experiment;
    ORVA_Proband &client = experiment.client();
    client.setLastName(QStringLiteral("Meier"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    client.setRepetitions(3);
    client.setSyllableSelection(2);
    client.runDate() = ORVA_Date(1, 1, 2001, 8, 15);
    experiment.setComment(QStringLiteral("ruhig"));

    QVERIFY(experiment.reset(false).ok());
    QCOMPARE(client.lastName(), std::optional<QString>(QStringLiteral("Meier")));
    QCOMPARE(client.birthday(), ORVA_Date(5, 3, 2011));
    QCOMPARE(client.repetitions(), 3);
    QCOMPARE(experiment.selection(), 2);
    QCOMPARE(experiment.comment(), QString());
    QCOMPARE(client.runDate().year, QDate::currentDate().year());

    QVERIFY(experiment.reset(true).ok());
    QVERIFY(!client.lastName());
    QCOMPARE(client.repetitions(), 5);
    QCOMPARE(experiment.selection(), 1);
    QCOMPARE(experiment.userLog().entries().size(), 0);
}

void ORVA_ExperimentTest::settingTheLanguageClearsTheRunAndResetsAMissingListChoice()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    experiment.prepareRun(PreTest);
    experiment.client().setChosenList(PL_PL, 42);
    experiment.setLanguage(PL_PL, false, false);
    QCOMPARE(experiment.expLanguage(), int(PL_PL));
    QCOMPARE(experiment.languageCode(), QStringLiteral("pl_pl"));
    QCOMPARE(experiment.measurementCount(), 0);
    QCOMPARE(experiment.trainStock().size(), size_t(211));
    QCOMPARE(experiment.client().chosenList(PL_PL), 42); // no lists built without audio

    // Without recordings below the base directory the lists of the previous language go.
    experiment.setBaseDirectory(QStringLiteral("/nonexistent"));
    experiment.setLanguage(DE_DE, true, false);
    QCOMPARE(experiment.trainSyllableList().size(), 0);
    QCOMPARE(experiment.testSyllableList().size(), 0);
    QVERIFY(!experiment.canStartRun(PreTest));
    QVERIFY(!experiment.canStartRun(Training));
}

void ORVA_ExperimentTest::statisticsOfAPreTest()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    experiment.prepareRun(PreTest);
    QList<Measurement> measurements;
    for (int i = 0; i < 10; ++i)
        measurements.append({ i % 6, 500, Right });
    measurements.append({ 4, 700, Wrong });
    measurements.append({ 5, 2000, NoAnswer });
    fill(experiment, measurements);
    experiment.calcStatistics();
    const ORVA_Statistic &total = experiment.statistics()[0];
    QVERIFY(total.computed);
    QCOMPARE(total.count, 12);
    QCOMPARE(total.right, 10);
    QCOMPARE(total.wrong, 1);
    QCOMPARE(total.none, 1);
    QCOMPARE(total.sum, 5700.0);
    QVERIFY(qFuzzyCompare(total.average, 5700.0 / 11));
    QVERIFY(qFuzzyCompare(total.percentRight, 1000.0 / 12));
    QVERIFY(qFuzzyCompare(total.percentWrong, 100.0 / 12));
    QVERIFY(qFuzzyCompare(total.percentNone, 100.0 / 12));
    const ORVA_Statistic &ta = experiment.statistics()[6];
    QCOMPARE(ta.name, std::optional<QString>(QStringLiteral("ta")));
    QCOMPARE(ta.count, 2);
    QCOMPARE(ta.none, 1);
    QCOMPARE(ta.average, 500.0); // the unanswered one takes no part
}

void ORVA_ExperimentTest::statisticsOfARunWithoutAnswers()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    experiment.prepareRun(PreTest);
    fill(experiment, QList<Measurement>(12, { 0, 2000, NoAnswer }));
    experiment.calcStatistics();
    const ORVA_Statistic &total = experiment.statistics()[0];
    QCOMPARE(total.count, total.none);
    QCOMPARE(total.average, 0.0);
    QCOMPARE(total.percentNone, 100.0);
}

void ORVA_ExperimentTest::statisticsAreComputedOncePerRunInNameOrder()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    experiment.prepareRun(PreTest);
    // ta, pa, ga presented; an aborted rest (result 0) and a never presented syllable count not
    fill(experiment,
         { { 5, 600, Right }, { 4, 640, Right }, { 2, 580, Wrong }, { 1, 0, Unjudged } });
    experiment.calcStatistics();
    QStringList names;
    for (int i = 1; i < experiment.statistics().size(); ++i)
        names.append(*experiment.statistics()[i].name);
    QCOMPARE(names, QStringList({ "ga", "pa", "ta" }));
    QCOMPARE(experiment.statistics()[0].count, 3);

    experiment.measurement(0).result = Wrong;
    experiment.calcStatistics(); // already computed for this run
    QCOMPARE(experiment.statistics()[0].right, 2);
    experiment.prepareRun(PreTest);
    fill(experiment, { { 0, 510, Wrong } });
    experiment.calcStatistics();
    QCOMPARE(experiment.statistics().size(), 2);
    QCOMPARE(experiment.statistics()[0].wrong, 1);
}

void ORVA_ExperimentTest::listIdsFollowTheCounters()
{
    SyllableListSet set;
    SyllableList builtIn;
    set.addList(builtIn);
    set.addList(builtIn);
    SyllableList own;
    own.own = true;
    set.addList(own);
    own.id = 150;
    set.addList(own);
    own.id = -1;
    set.addList(own);
    builtIn.id = 7;
    set.addList(builtIn);
    builtIn.id = -1;
    set.addList(builtIn);
    QList<int> ids;
    for (const SyllableList &list : set.lists())
        ids.append(list.id);
    QCOMPARE(ids, QList<int>({ 0, 1, 100, 150, 151, 7, 8 }));
    QCOMPARE(set.positionOf(151), 4);
    QCOMPARE(set.positionOf(2), -1);
    set.clear();
    set.addList(own);
    QCOMPARE(set.at(0).id, 100);
}

void ORVA_ExperimentTest::listDisplayText()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    QCOMPARE(experiment.trainSyllableList().at(0).displayText(),
             QStringLiteral("[ A1 ] ba da ga ka pa ta"));
    SyllableList own;
    own.own = true;
    own.label = QStringLiteral("Meine");
    own.entries = { { QStringLiteral("bą"), 0 } };
    QCOMPARE(own.displayText(), QStringLiteral("{ Meine } bą"));
}

QTEST_GUILESS_MAIN(ORVA_ExperimentTest)
#include "ORVA_ExperimentTest.moc"
