// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ORVA_Experiment.h"
#include "engine/ScratchRunReader.h"
#include "records/ClientList.h"
#include "records/RunFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

// The German name tables as material, without recordings.
void useGermanNames(ORVA_Experiment &experiment)
{
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
}

void setClient(ORVA_Experiment &experiment, const QString &last, const QString &first)
{
    ORVA_Proband &client = experiment.client();
    client.setLastName(last);
    client.setFirstName(first);
    client.birthday() = ORVA_Date(5, 3, 2011);
    client.runDate() = ORVA_Date(14, 2, 2019, 9, 30);
}

// A pre-test of the German test syllables: `measured` measurements answered, 650 ms plus their
// index, every third wrong and the fifth without answer (whose time is the answer window).
void runPreTest(ORVA_Experiment &experiment, int measured)
{
    const ORVA_Proband client = experiment.client();
    experiment.prepareRun(PreTest);
    experiment.client() = client;
    experiment.fillShuffled(experiment.testSyllableList().at(0));
    for (int i = 0; i < measured; ++i) {
        Measurement &measurement = experiment.measurement(i);
        measurement.reactionTime = 650 + i;
        measurement.result = i % 3 == 2 ? Wrong : Right;
        if (i == 4) {
            measurement.reactionTime = 2000;
            measurement.result = NoAnswer;
        }
    }
    experiment.calcStatistics();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ORVA_ExperimentRunFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writtenRunReadsBack();
    void readsTheExampleFileWithItsStatistics();
    void abortedPreTestKeepsItsUnreachedMeasurements();
    void failedReadChangesNothing_data();
    void failedReadChangesNothing();
    void trainingNoAnswerUsesTheClientsWindow();
    void fileWithoutRunSectionResolvesInTheStockOfItsKind();
    void readingReplacesTheClientsUserLogs();
    void userLogNamesStayInTheDataFolder_data();
    void userLogNamesStayInTheDataFolder();
    void clientListFromWrittenRuns();

private:
    std::unique_ptr<QTemporaryDir> m_base;
};

void ORVA_ExperimentRunFileTest::init()
{
    m_base = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_base->path()).mkpath(QStringLiteral("data/de_de")));
}

void ORVA_ExperimentRunFileTest::writtenRunReadsBack()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    setClient(experiment, QStringLiteral("Meier"), QStringLiteral("Anna"));
    runPreTest(experiment, 12);
    experiment.setComment(QStringLiteral("erster Termin\r\nruhig \t\r\n\r\n"));
    const QString path = m_base->filePath(QStringLiteral("data/de_de/run.orv"));
    QVERIFY(experiment.write(path).ok());
    QCOMPARE(experiment.comment(), QStringLiteral("erster Termin\r\nruhig"));

    ORVA_Experiment back;
    useGermanNames(back);
    QCOMPARE(back.read(path), 0);
    QCOMPARE(back.mode(), int(PreTest));
    QCOMPARE(back.measurements(), experiment.measurements());
    QCOMPARE(back.client().lastName(), experiment.client().lastName());
    QCOMPARE(back.client().firstName(), experiment.client().firstName());
    QCOMPARE(back.client().birthday(), experiment.client().birthday());
    QCOMPARE(back.client().runDate().minute, 30);
    QCOMPARE(back.comment(), QStringLiteral("erster Termin\r\nruhig\r\n"));
    QCOMPARE(back.statistics().size(), experiment.statistics().size());
    QCOMPARE(back.statistics()[0].average, experiment.statistics()[0].average);

    // The next writing removes the line end the reading added: the file stays the same.
    const QString again = m_base->filePath(QStringLiteral("data/de_de/again.orv"));
    QVERIFY(back.write(again).ok());
    QCOMPARE(readFile(again), readFile(path));
}

void ORVA_ExperimentRunFileTest::readsTheExampleFileWithItsStatistics()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    QCOMPARE(experiment.read(QFINDTESTDATA("../records/data/pretest-example.orv")), 0);
    QCOMPARE(experiment.measurementCount(), 12);
    QCOMPARE(experiment.syllableOfMeasurement(0)->name, QStringLiteral("ga"));
    QCOMPARE(experiment.measurement(1).result, int(NoAnswer));
    const ORVA_Statistic &total = experiment.statistics()[0];
    QCOMPARE(int(total.average), 655);
    QCOMPARE(int(total.percentRight), 83);
    QCOMPARE(int(total.percentNone), 8);
    QCOMPARE(experiment.comment(), QStringLiteral("erster Termin\r\n"));
}

void ORVA_ExperimentRunFileTest::abortedPreTestKeepsItsUnreachedMeasurements()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    setClient(experiment, QStringLiteral("Meier"), QString());
    runPreTest(experiment, 5);
    const QString path = m_base->filePath(QStringLiteral("data/de_de/aborted.orv"));
    QVERIFY(experiment.write(path).ok());
    const QString text = QString::fromUtf8(readFile(path));
    QVERIFY(text.contains(QStringLiteral("Anzahl=12\r\n")));
    QVERIFY(text.contains(QStringLiteral("Messung12=0\r\n")));

    ORVA_Experiment back;
    useGermanNames(back);
    QCOMPARE(back.read(path), 0);
    for (int i = 5; i < 12; ++i) {
        QCOMPARE(back.measurement(i).result, int(Right));
        QCOMPARE(back.measurement(i).reactionTime, 0);
    }
    QCOMPARE(back.statistics()[0].count, 5);
}

void ORVA_ExperimentRunFileTest::failedReadChangesNothing_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("replace");
    QTest::addColumn<QByteArray>("with");
    QTest::addColumn<int>("code");
    QTest::newRow("German file, English material")
        << int(EN_UK) << QByteArray() << QByteArray() << 1;
    QTest::newRow("syllable not in the stock")
        << int(DE_DE) << QByteArray("Silbe3=ba") << QByteArray("Silbe3=qu") << -1;
    QTest::newRow("swapped numbers")
        << int(DE_DE) << QByteArray("Silbe1=") << QByteArray("Silbe2=") << -1;
    QTest::newRow("missing file") << int(DE_DE) << QByteArray("ORVA") << QByteArray() << -1;
}

void ORVA_ExperimentRunFileTest::failedReadChangesNothing()
{
    QFETCH(int, language);
    QFETCH(QByteArray, replace);
    QFETCH(QByteArray, with);
    QFETCH(int, code);
    QByteArray bytes = readFile(QFINDTESTDATA("../records/data/pretest-example.orv"));
    const QString path = m_base->filePath(QStringLiteral("data/de_de/changed.orv"));
    if (!replace.isEmpty())
        bytes.replace(replace, with);
    if (replace != "ORVA") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(m_base->path());
    experiment.setLanguage(language, false, false);
    experiment.createSyllableLists();
    setClient(experiment, QStringLiteral("Schulz"), QStringLiteral("Eva"));
    runPreTest(experiment, 12);
    experiment.setComment(QStringLiteral("laufender Durchgang"));
    const QList<Measurement> before = experiment.measurements();

    QCOMPARE(experiment.read(path), code);
    QCOMPARE(experiment.client().lastName().value_or(QString()), QStringLiteral("Schulz"));
    QCOMPARE(experiment.measurements(), before);
    QCOMPARE(experiment.comment(), QStringLiteral("laufender Durchgang"));
    // No user log was written for the client who stays.
    QVERIFY(QDir(m_base->filePath(QStringLiteral("data"))).entryList(QDir::Files).isEmpty());
}

void ORVA_ExperimentRunFileTest::trainingNoAnswerUsesTheClientsWindow()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    setClient(experiment, QStringLiteral("Meier"), QString());
    experiment.client().setTimeShift(1500);
    experiment.client().setRepetitions(1);
    experiment.prepareRun(Training);
    experiment.fillOrdered(*experiment.runList(Training));
    QCOMPARE(experiment.measurementCount(), 6);
    experiment.measurement(0).result = NoAnswer;
    experiment.measurement(1).result = Wrong;
    experiment.measurement(1).reactionTime = 2500;
    const QString path = m_base->filePath(QStringLiteral("data/de_de/training.orv"));
    QVERIFY(experiment.write(path).ok());
    const QString text = QString::fromUtf8(readFile(path));
    QVERIFY(text.contains(QStringLiteral("Modus=Training\r\n")));
    QVERIFY(text.contains(QStringLiteral("Messung1=-3000\r\n")));
    QVERIFY(text.contains(QStringLiteral("Messung2=-2500\r\n")));

    ORVA_Experiment back;
    useGermanNames(back);
    QCOMPARE(back.read(path), 0);
    QCOMPARE(back.mode(), int(Training));
    QCOMPARE(back.measurement(0).result, int(NoAnswer));
    QCOMPARE(back.measurement(0).reactionTime, 3000);
    QCOMPARE(back.measurement(1).result, int(Wrong));
    QCOMPARE(back.syllableOfMeasurement(0)->name, experiment.syllableOfMeasurement(0)->name);
}

void ORVA_ExperimentRunFileTest::fileWithoutRunSectionResolvesInTheStockOfItsKind()
{
    const QString path = m_base->filePath(QStringLiteral("data/de_de/old.orv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ORVA Experiment 2.0\r\n[Proband]\r\nName=Alt\r\n[Waves]\r\n[Daten]\r\nAnzahl=2\r\n"
               "Silbe1=schu\r\nMessung1=700\r\nSilbe2=be\r\nMessung2=-800\r\n");
    file.close();
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    QCOMPARE(experiment.read(path), 0);
    QCOMPARE(experiment.mode(), int(Training));
    QCOMPARE(experiment.syllableOfMeasurement(0)->name, QStringLiteral("schu"));
    QCOMPARE(experiment.syllableOfMeasurement(1)->name, QStringLiteral("be"));
}

void ORVA_ExperimentRunFileTest::readingReplacesTheClientsUserLogs()
{
    ORVA_Experiment writer;
    useGermanNames(writer);
    setClient(writer, QStringLiteral("Meier"), QStringLiteral("Anna"));
    runPreTest(writer, 12);
    const QString path = m_base->filePath(QStringLiteral("data/de_de/run.orv"));
    QVERIFY(writer.write(path).ok());
    UserLog history([] { return 1000; });
    history.beginEntry(0);
    history.recordSyllable(QStringLiteral("ba"), 1, 500);
    QVERIFY(history.save(m_base->filePath(QStringLiteral("data/Meier-Anna.orl"))).ok());

    ORVA_Experiment experiment;
    experiment.setBaseDirectory(m_base->path());
    useGermanNames(experiment);
    setClient(experiment, QStringLiteral("Schulz"), QString());
    experiment.userLog().beginEntry(1);
    experiment.userLog().recordSyllable(QStringLiteral("da"), 1, 400);

    QCOMPARE(experiment.readDetached(path), 0);
    QVERIFY(!QFile::exists(m_base->filePath(QStringLiteral("data/Schulz.orl"))));
    QVERIFY(experiment.userLog().entries().isEmpty());

    setClient(experiment, QStringLiteral("Schulz"), QString());
    experiment.userLog().beginEntry(1);
    experiment.userLog().recordSyllable(QStringLiteral("da"), 1, 400);
    QCOMPARE(experiment.read(path), 0);
    // The outgoing client's history is saved, the incoming client's loaded.
    QVERIFY(readFile(m_base->filePath(QStringLiteral("data/Schulz.orl")))
                .contains("[0]da:::0:1:1:400"));
    QCOMPARE(experiment.userLog().words().size(), size_t(1));
    QCOMPARE(experiment.userLog().words().begin()->first, QStringLiteral("ba"));
}

void ORVA_ExperimentRunFileTest::userLogNamesStayInTheDataFolder_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("file");
    QTest::newRow("ordinary") << "Meier"
                              << ""
                              << "Meier.orl";
    QTest::newRow("climbing up") << "../../etc/x"
                                 << ""
                                 << "_._.._etc_x.orl";
    QTest::newRow("separator in the first name") << "Meier"
                                                 << "a\\b"
                                                 << "Meier-a_b.orl";
}

void ORVA_ExperimentRunFileTest::userLogNamesStayInTheDataFolder()
{
    QFETCH(QString, last);
    QFETCH(QString, first);
    QFETCH(QString, file);
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(QStringLiteral("/opt/orva"));
    experiment.client().setLastName(last);
    experiment.client().setFirstName(first);
    QString path;
    QCOMPARE(experiment.createLogFileName(path, true), 0);
    QCOMPARE(path, "/opt/orva/data/" + file);

    experiment.setBaseDirectory(QString());
    QCOMPARE(experiment.createLogFileName(path, true), 1);
    QCOMPARE(experiment.createLogFileName(path, false), 0);
    QCOMPARE(path, file);
}

void ORVA_ExperimentRunFileTest::clientListFromWrittenRuns()
{
    ORVA_Experiment experiment;
    useGermanNames(experiment);
    const QString folder = m_base->filePath(QStringLiteral("data/de_de/"));
    setClient(experiment, QStringLiteral("Meier"), QStringLiteral("Anna"));
    runPreTest(experiment, 12);
    QVERIFY(experiment.write(folder + "a.orv").ok());
    experiment.client().runDate() = ORVA_Date(15, 2, 2019, 8, 0);
    QVERIFY(experiment.write(folder + "b.orv").ok());
    setClient(experiment, QStringLiteral("Adam"), QString());
    QVERIFY(experiment.write(folder + "c.orv").ok());
    QFile damaged(folder + "d.orv");
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("ORVA Experiment 2.0\n[Intro]\nLanguage=fr_fr\n");
    damaged.close();

    ClientList list;
    list.getProbandList(m_base->filePath(QStringLiteral("data")), QStringLiteral("de_de"),
                        ScratchRunReader(m_base->path(), DE_DE));
    QCOMPARE(list.clients().size(), 2);
    QCOMPARE(list.clients()[0].lastName().value_or(QString()), QStringLiteral("Adam"));
    QCOMPARE(list.clients()[1].runDate().day, 15);
    QCOMPARE(list.clients()[1].runKind(), int(PreTest));
    QCOMPARE(list.runsOf(list.clients()[1]).size(), 2);
    // Listing runs saves and loads no user log.
    QVERIFY(QDir(m_base->filePath(QStringLiteral("data"))).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(ORVA_ExperimentRunFileTest)
#include "ORVA_ExperimentRunFileTest.moc"
