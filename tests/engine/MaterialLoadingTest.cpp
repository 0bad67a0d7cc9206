// SPDX-License-Identifier: GPL-3.0-or-later
#include "../audio/WavBytes.h"
#include "engine/MaterialTables.h"
#include "engine/ORVA_Experiment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;
using orva::test::WavBytes;

namespace {

/// Media folders made by the test: tiny recordings, one per syllable name.
struct Media
{
    explicit Media(const QString &code = QStringLiteral("de_de"))
        : code(code)
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("media/%1/Silben81").arg(code));
        root.mkpath(QStringLiteral("media/%1/Silben06").arg(code));
        root.mkpath(QStringLiteral("media/Noise"));
        noise(QStringLiteral("rausch02.wav"));
        noise(QStringLiteral("voices04.wav"));
    }
    void noise(const QString &name) const
    {
        QVERIFY(WavBytes::write(dir.filePath(QStringLiteral("media/Noise/") + name),
                                WavBytes::sine(441, 300, 3000)));
    }
    /// A recording named `file` in `folder` ("Silben81" or "Silben06", sub-folders allowed).
    void add(const QString &folder, const QString &file, int frames = 100) const
    {
        const QString path = dir.filePath(QStringLiteral("media/%1/%2/%3").arg(code, folder, file));
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(WavBytes::write(path, WavBytes::sine(frames, 500, 10000)));
    }
    void addNames(const QString &folder, const QStringList &names) const
    {
        for (const QString &name : names)
            add(folder, recordingBaseName(name) + QStringLiteral(".wav"));
    }

    QString code;
    QTemporaryDir dir;
};

} // namespace

class MaterialLoadingTest : public QObject
{
    Q_OBJECT

private slots:
    void recordingsBecomeStocksSortedByPath();
    void sameNameInTwoCasesGivesTwoSyllables();
    void missingSyllableDropsItsGroupsAndShiftsTheIds();
    void extraTestRecordingStaysOutOfTheTestList();
    void missingNoiseFailsTheMaterial();
    void unreadableRecordingStopsTheReading();
    void demoInstallationLoadsCompletelyInEveryLanguage_data();
    void demoInstallationLoadsCompletelyInEveryLanguage();
};

void MaterialLoadingTest::recordingsBecomeStocksSortedByPath()
{
    Media media;
    media.add(QStringLiteral("Silben81"), QStringLiteral("zu.wav"));
    media.add(QStringLiteral("Silben81"), QStringLiteral("b/dz1i.wav"));
    media.add(QStringLiteral("Silben81"), QStringLiteral("a/zia.wav"));
    media.add(QStringLiteral("Silben81"), QStringLiteral("notes.txt"));
    media.addNames(QStringLiteral("Silben06"), materialTables(DE_DE).testNames);
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(media.dir.path());
    experiment.setLanguage(DE_DE, true, false);
    QStringList names;
    for (const ORVA_Syllable &syllable : experiment.trainStock()) {
        names.append(syllable.name);
        QVERIFY(syllable.recording.sampleCount() > 0);
        QCOMPARE(syllable.playCopy.sampleCount(), syllable.recording.sampleCount());
    }
    QCOMPARE(names, QStringList({ "zia", "dżi", "zu" })); // a/…, b/…, zu.wav
    QCOMPARE(experiment.testStock().size(), size_t(6));
    QCOMPARE(experiment.testSyllableList().size(), 1);
    QCOMPARE(experiment.trainSyllableList().size(), 0); // no German group is complete
}

void MaterialLoadingTest::sameNameInTwoCasesGivesTwoSyllables()
{
    Media media;
    media.add(QStringLiteral("Silben81"), QStringLiteral("ba.WAV"), 300);
    media.add(QStringLiteral("Silben81"), QStringLiteral("Ba.wav"), 200);
    media.addNames(QStringLiteral("Silben06"), materialTables(DE_DE).testNames);
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(media.dir.path());
    QVERIFY(
        experiment.readTrainSyllables(media.dir.filePath(QStringLiteral("media/de_de/Silben81"))));
    QCOMPARE(experiment.trainStock().size(), size_t(2));
    QCOMPARE(experiment.trainStock()[0].name, QStringLiteral("ba"));
    QCOMPARE(experiment.trainStock()[1].name, QStringLiteral("ba"));
    // "Ba.wav" sorts before "ba.WAV"; the lookup finds the first in path order.
    QCOMPARE(experiment.findInTrainStock(QStringLiteral("ba")), 0);
    QCOMPARE(experiment.trainStock()[0].recording.sampleCount(), 200);
}

void MaterialLoadingTest::missingSyllableDropsItsGroupsAndShiftsTheIds()
{
    Media media;
    QStringList names = materialTables(DE_DE).trainingNames;
    names.removeAll(QStringLiteral("ha"));
    media.addNames(QStringLiteral("Silben81"), names);
    media.addNames(QStringLiteral("Silben06"), materialTables(DE_DE).testNames);
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(media.dir.path());
    experiment.client().setChosenList(DE_DE, 27);
    experiment.setLanguage(DE_DE, true, false);
    const SyllableListSet &lists = experiment.trainSyllableList();
    QCOMPARE(lists.size(), 26);
    QCOMPARE(lists.at(0).label, QStringLiteral("A1"));
    QCOMPARE(lists.at(0).id, 0);
    QCOMPARE(lists.at(1).label, QStringLiteral("A3"));
    QCOMPARE(lists.at(1).id, 1);
    QCOMPARE(experiment.client().chosenList(DE_DE), 0); // id 27 no longer exists
    QVERIFY(experiment.canStartRun(Training));
}

void MaterialLoadingTest::extraTestRecordingStaysOutOfTheTestList()
{
    Media media;
    media.addNames(QStringLiteral("Silben81"), materialTables(DE_DE).trainingNames);
    media.addNames(QStringLiteral("Silben06"),
                   materialTables(DE_DE).testNames + QStringList { "ma" });
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(media.dir.path());
    experiment.setLanguage(DE_DE, true, false);
    QCOMPARE(experiment.testStock().size(), size_t(7));
    QCOMPARE(experiment.testSyllableList().at(0).entries.size(), 6);
    const int ma = experiment.findInTestStock(QStringLiteral("ma"));
    experiment.prepareRun(PreTest);
    experiment.fillShuffled(experiment.testSyllableList().at(0));
    for (const Measurement &measurement : experiment.measurements())
        QVERIFY(measurement.stockIndex != ma);
}

void MaterialLoadingTest::missingNoiseFailsTheMaterial()
{
    Media media;
    media.addNames(QStringLiteral("Silben81"), materialTables(DE_DE).trainingNames);
    media.addNames(QStringLiteral("Silben06"), materialTables(DE_DE).testNames);
    QFile::remove(media.dir.filePath(QStringLiteral("media/Noise/voices04.wav")));
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(media.dir.path());
    experiment.setLanguage(DE_DE, true, false);
    QCOMPARE(experiment.trainSyllableList().size(), 0);
    QVERIFY(!experiment.canStartRun(PreTest));
}

void MaterialLoadingTest::unreadableRecordingStopsTheReading()
{
    Media media;
    media.add(QStringLiteral("Silben81"), QStringLiteral("ba.wav"));
    QVERIFY(
        WavBytes::write(media.dir.filePath(QStringLiteral("media/de_de/Silben81/da.wav")), "RIFF"));
    media.add(QStringLiteral("Silben81"), QStringLiteral("ga.wav"));
    ORVA_Experiment experiment;
    QVERIFY(
        !experiment.readTrainSyllables(media.dir.filePath(QStringLiteral("media/de_de/Silben81"))));
    QCOMPARE(experiment.trainStock().size(), size_t(3));
    QCOMPARE(experiment.trainStock()[0].name, QStringLiteral("ba"));
    QCOMPARE(experiment.trainStock()[2].name, QString()); // after the failure: no name, no sound
    QVERIFY(!experiment.readTrainSyllables(media.dir.filePath(QStringLiteral("media/none"))));
    QVERIFY(experiment.trainStock().empty());
}

void MaterialLoadingTest::demoInstallationLoadsCompletelyInEveryLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < 6; ++language)
        QTest::newRow(qPrintable(languageCode(language))) << language;
}

void MaterialLoadingTest::demoInstallationLoadsCompletelyInEveryLanguage()
{
    QFETCH(int, language);
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/Noise/rausch02.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(demo);
    experiment.setLanguage(language, true, false);
    const MaterialTables &tables = materialTables(language);
    QCOMPARE(experiment.trainStock().size(), size_t(tables.trainingNames.size()));
    QCOMPARE(experiment.testStock().size(), size_t(6));
    QCOMPARE(experiment.trainSyllableList().size(), tables.trainingGroups.size());
    QCOMPARE(experiment.testSyllableList().size(), 1);
    for (const ORVA_Syllable &syllable : experiment.trainStock()) {
        QVERIFY2(tables.trainingNames.contains(syllable.name), qPrintable(syllable.name));
        QCOMPARE(syllable.recording.format().sampleRate, 44100u);
        QVERIFY(syllable.recording.durationMs() > 20);
    }
    QVERIFY(experiment.canStartRun(PreTest));
    QVERIFY(experiment.canStartRun(MainTest));
    QVERIFY(experiment.canStartRun(Training));
}

QTEST_GUILESS_MAIN(MaterialLoadingTest)
#include "MaterialLoadingTest.moc"
