// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/RunFile.h"

#include "fakes/FileFaults.h"
#include "records/TextFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

int readBytes(const QByteArray &bytes, int expLanguage, RunFileContent &content)
{
    TextFile file;
    file.openBytes(bytes);
    return RunFile::read(file, expLanguage, content);
}

// A small run file: `intro` and `data` are the text of those parts, with their headers.
QByteArray runFile(const QByteArray &intro, const QByteArray &data)
{
    return "ORVA Experiment 2.0\n" + intro
        + "[Proband]\nName=Meier\nGeburtstag=05.03.2011\nZeitdifferenz=1500\n[Waves]\nWave1=ba\n"
        + data + "[Durchschnitt]\nDurchschnitt=0\n";
}

const QByteArray kPreTestIntro = "[Intro]\nModus=PreTest\nLanguage=de_de\n";

RunFileContent sampleRun()
{
    RunFileContent run;
    run.mode = 3;
    run.language = 4;
    run.client.setLastName(QStringLiteral("Dupont"));
    run.client.birthday() = ORVA_Date(1, 2, 2015);
    run.client.runDate() = ORVA_Date(3, 4, 2024, 5, 6);
    run.client.setTimeShift(1500);
    run.comment = QStringLiteral("erste Zeile\r\n[Notiz] zweite Zeile");
    run.measurements = { { QString::fromUtf8("bé"), 480, 1 },
                         { QStringLiteral("da"), 3000, -2 },
                         { QStringLiteral("da"), 700, -1 },
                         { QStringLiteral("ga"), 0, 0 } };
    run.total = { QString(), 590, 3, 1, 33, 1, 33 };
    run.syllables = { { QString::fromUtf8("bé"), 480, 1, 1, 100, 0, 0 },
                      { QStringLiteral("da"), 700, 2, 0, 0, 1, 50 } };
    return run;
}

} // namespace

class RunFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsTheExampleFile();
    void writesItsFixedLayout();
    void writtenRunReadsBack();
    void decodesStoredValues_data();
    void decodesStoredValues();
    void failureResults_data();
    void failureResults();
    void runKindWithoutRunSectionFollowsTheCount_data();
    void runKindWithoutRunSectionFollowsTheCount();
    void missingModusKeepsTheRunKind();
    void longCommentsAreKeptUpToTheLimit();
    void failedWriteKeepsThePreviousFile_data();
    void failedWriteKeepsThePreviousFile();
    void runThatWouldNotReadBackIsNotWritten();
};

void RunFileTest::readsTheExampleFile()
{
    RunFileContent run;
    QCOMPARE(RunFile::read(QFINDTESTDATA("data/pretest-example.orv"), 0, run), 0);
    QCOMPARE(run.mode, 1);
    QCOMPARE(run.language, 0);
    QCOMPARE(run.client.lastName().value_or(QString()), QStringLiteral("Meier"));
    QCOMPARE(run.client.firstName().value_or(QString()), QStringLiteral("Anna"));
    QCOMPARE(run.client.birthday(), ORVA_Date(5, 3, 2011));
    QCOMPARE(run.client.runDate().hour, 9);
    QCOMPARE(run.comment, QStringLiteral("erster Termin\r\n"));
    QCOMPARE(run.measurements.size(), 12);
    QCOMPARE(run.measurements[0], (RunFileMeasurement { "ga", 612, 1 }));
    QCOMPARE(run.measurements[1], (RunFileMeasurement { "pa", 2000, -2 }));
    QCOMPARE(run.measurements[11], (RunFileMeasurement { "da", 705, -1 }));

    RunFileContent english;
    QCOMPARE(RunFile::read(QFINDTESTDATA("data/pretest-example.orv"), 2, english), 1);
}

void RunFileTest::writesItsFixedLayout()
{
    RunFileContent run = sampleRun();
    run.client = ORVA_Proband();
    run.client.setLastName(QStringLiteral("Dupont"));
    run.client.setTimeShift(1500);
    const QString text = RunFile::toText(run);
    QVERIFY(text.startsWith(QStringLiteral("ORVA Experiment 2.0\n[Intro]\nModus=Training\n"
                                           "Language=fr_fr\n[Proband]\nName=Dupont\n")));
    const qsizetype comment = text.indexOf(QStringLiteral("Rauschart=0\n"));
    QVERIFY(comment > 0);
    QCOMPARE(text.mid(comment),
             QString::fromUtf8("Rauschart=0\n"
                               "\n[Comment]\nerste Zeile\n [Notiz] zweite Zeile\n"
                               "[Waves]\nWave1=bé\nWave2=da\n"
                               "[Daten]\nAnzahl=4\n"
                               "Silbe1=bé\nMessung1=480\n"
                               "Silbe2=da\nMessung2=-3000\n"
                               "Silbe3=da\nMessung3=-700\n"
                               "Silbe4=ga\nMessung4=0\n"
                               "[Durchschnitt]\nDurchschnitt=590\nRichtige=33%\n"
                               "Keine=33%\n"
                               "[bé]\nDurchschnitt=480\nAnzahl=1\nRichtige=1\n"
                               "PRichtige=100%\nKeine=0\nPKeine=0%\n"
                               "[da]\nDurchschnitt=700\nAnzahl=2\nRichtige=0\n"
                               "PRichtige=0%\nKeine=1\nPKeine=50%\n"));
    run.comment.clear();
    QVERIFY(!RunFile::toText(run).contains(QStringLiteral("[Comment]")));
}

void RunFileTest::writtenRunReadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Dupont_24-04-03_05-06-TR04.orv"));
    const RunFileContent written = sampleRun();
    QVERIFY(RunFile::write(path, written).ok());
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().startsWith("\xEF\xBB\xBFORVA Experiment 2.0\r\n[Intro]\r\n"));

    RunFileContent run;
    QCOMPARE(RunFile::read(path, 4, run), 0);
    QCOMPARE(run.mode, 3);
    QCOMPARE(run.measurements.size(), 4);
    QCOMPARE(run.measurements[0], written.measurements[0]);
    QCOMPARE(run.measurements[1], written.measurements[1]); // -3000: no answer in training
    QCOMPARE(run.measurements[2], written.measurements[2]);
    QCOMPARE(run.measurements[3], (RunFileMeasurement { "ga", 0, 1 })); // not reached: 0 ms right
    QCOMPARE(run.client.lastName(), written.client.lastName());
    QCOMPARE(run.client.runDate().minute, 6);
    QCOMPARE(run.client.timeShift(), 1500);
    QCOMPARE(run.comment, QStringLiteral("erste Zeile\r\n [Notiz] zweite Zeile\r\n"));
}

void RunFileTest::decodesStoredValues_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("window");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("time");
    QTest::newRow("right") << 612 << 2000 << true << 1 << 612;
    QTest::newRow("zero is right") << 0 << 2000 << true << 1 << 0;
    QTest::newRow("wrong") << -705 << 2000 << true << -1 << 705;
    QTest::newRow("no answer at -W") << -2000 << 2000 << true << -2 << 2000;
    QTest::newRow("W and above: no answer") << 2500 << 2000 << true << -2 << 2000;
    QTest::newRow("below -W") << -2001 << 2000 << false << 0 << 0;
    QTest::newRow("training window") << -3000 << 3000 << true << -2 << 3000;
    QTest::newRow("most negative") << std::numeric_limits<int>::min() << 2000 << false << 0 << 0;
}

void RunFileTest::decodesStoredValues()
{
    QFETCH(int, value);
    QFETCH(int, window);
    QFETCH(bool, accepted);
    QFETCH(int, result);
    QFETCH(int, time);
    int decodedResult = 0;
    int decodedTime = 0;
    QCOMPARE(RunFile::decode(value, window, decodedResult, decodedTime), accepted);
    if (!accepted)
        return;
    QCOMPARE(decodedResult, result);
    QCOMPARE(decodedTime, time);
    QCOMPARE(RunFile::encode(result, time, window), result == -2 ? -window : value);
}

void RunFileTest::failureResults_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expLanguage");
    QTest::addColumn<int>("code");
    const QByteArray data =
        "[Daten]\nAnzahl=2\nSilbe1=ba\nMessung1=500\nSilbe2=da\nMessung2=-500\n";
    QTest::newRow("readable") << runFile(kPreTestIntro, data) << 0 << 0;
    QTest::newRow("other language") << runFile(kPreTestIntro, data) << 1 << 1;
    QTest::newRow("no language line, material not German")
        << runFile("[Intro]\nModus=PreTest\n", data) << 5 << 1;
    QTest::newRow("unknown language code counts as German")
        << runFile("[Intro]\nLanguage=xx_xx\n", data) << 0 << 0;
    QTest::newRow("language line before the run section skips the test")
        << runFile("Language=en_us\n", data) << 3 << 0;
    QTest::newRow("swapped syllable numbers")
        << runFile(kPreTestIntro, "[Daten]\nAnzahl=2\nSilbe2=da\nSilbe1=ba\n") << 0 << -1;
    QTest::newRow("number above the count")
        << runFile(kPreTestIntro, "[Daten]\nAnzahl=1\nSilbe1=ba\nSilbe2=da\n") << 0 << -1;
    QTest::newRow("syllable before the count")
        << runFile(kPreTestIntro, "[Daten]\nSilbe1=ba\nAnzahl=1\n") << 0 << -1;
    QTest::newRow("syllable before the section")
        << runFile(kPreTestIntro, "[Notes]\nSilbe1=ba\n[Daten]\nAnzahl=1\n") << 0 << -1;
    QTest::newRow("syllable line among the waves is skipped")
        << runFile(kPreTestIntro, "Silbe1=ba\n[Daten]\nAnzahl=0\n") << 0 << 0;
    QTest::newRow("measurement below -W")
        << runFile(kPreTestIntro, "[Daten]\nAnzahl=1\nSilbe1=ba\nMessung1=-2001\n") << 0 << -1;
    QTest::newRow("measurement numbers skip")
        << runFile(kPreTestIntro, "[Daten]\nAnzahl=2\nMessung2=5\n") << 0 << -1;
    QTest::newRow("empty syllable name")
        << runFile(kPreTestIntro, "[Daten]\nAnzahl=1\nSilbe1=\n") << 0 << -1;
    QTest::newRow("negative count") << runFile(kPreTestIntro, "[Daten]\nAnzahl=-5\n") << 0 << -1;
    QTest::newRow("count of two billion")
        << runFile(kPreTestIntro, "[Daten]\nAnzahl=2000000000\nSilbe1=ba\n") << 0 << -1;
    QTest::newRow("no data section") << runFile(kPreTestIntro, "") << 0 << -1;
    QTest::newRow("header before the data")
        << runFile(kPreTestIntro, "[Notes]\n[Daten]\n") << 0 << -1;
    QTest::newRow("no waves section")
        << QByteArray("[Intro]\nLanguage=de_de\n[Proband]\nName=M\n[Daten]\nAnzahl=0\n") << 0 << -1;
    QTest::newRow("other section before the waves")
        << QByteArray("[Intro]\n[Proband]\nName=M\n[Notes]\nWave1=ba\n[Waves]\n[Daten]\n") << 0
        << -1;
    QTest::newRow("client key before its section")
        << QByteArray("Modus=PreTest\nName=M\n[Proband]\n[Waves]\n[Daten]\nAnzahl=0\n") << 0 << -1;
    QTest::newRow("other section instead of the client")
        << QByteArray("[Intro]\n[Patient]\n[Proband]\n[Waves]\n[Daten]\nAnzahl=0\n") << 0 << -1;
    QTest::newRow("no summaries is no failure")
        << QByteArray("[Intro]\n[Proband]\n[Waves]\n[Daten]\nAnzahl=1\nSilbe1=ba\nMessung1=1\n")
        << 0 << 0;
    QTest::newRow("empty") << QByteArray() << 0 << -1;
    QTest::newRow("binary") << QByteArray("\0\xFF[\x01\n\n\x80", 7) << 0 << -1;
}

void RunFileTest::failureResults()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expLanguage);
    QFETCH(int, code);
    RunFileContent run;
    run.comment = QStringLiteral("untouched");
    QCOMPARE(readBytes(bytes, expLanguage, run), code);
    if (code != 0)
        QCOMPARE(run.comment, QStringLiteral("untouched"));
}

void RunFileTest::runKindWithoutRunSectionFollowsTheCount_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("readResult");
    // -2500 is a wrong answer in a training with 1500 ms time shift (window 3000), and below the
    // 2000 ms window of the tests: the values are judged by the kind the file is read as.
    QTest::newRow("6: training") << 6 << 3 << -2500 << 0;
    QTest::newRow("12: pre-test") << 12 << 1 << -1500 << 0;
    QTest::newRow("12 with a training value") << 12 << 1 << -2500 << -1;
    QTest::newRow("60: main test") << 60 << 2 << -1500 << 0;
    QTest::newRow("61 stays a pre-test") << 61 << 1 << -1500 << 0;
}

void RunFileTest::runKindWithoutRunSectionFollowsTheCount()
{
    QFETCH(int, count);
    QFETCH(int, mode);
    QFETCH(int, value);
    QFETCH(int, readResult);
    QByteArray data = "[Daten]\nAnzahl=" + QByteArray::number(count) + "\n";
    for (int k = 1; k <= count; ++k)
        data += "Silbe" + QByteArray::number(k) + "=ba\nMessung" + QByteArray::number(k) + "="
            + QByteArray::number(value) + "\n";
    RunFileContent run;
    run.mode = 2;
    // Any material language: a file without run section is not tested for it.
    QCOMPARE(readBytes(runFile(QByteArray(), data), 4, run), readResult);
    if (readResult != 0)
        return;
    QCOMPARE(run.mode, mode);
    QCOMPARE(run.measurements.size(), count);
    QCOMPARE(run.measurements.last().result, -1);
}

void RunFileTest::missingModusKeepsTheRunKind()
{
    RunFileContent run;
    run.mode = 3;
    QCOMPARE(readBytes(runFile("[Intro]\nModus=Unknown\n", "[Daten]\nAnzahl=0\n"), 0, run), 0);
    QCOMPARE(run.mode, 3);
}

void RunFileTest::longCommentsAreKeptUpToTheLimit()
{
    RunFileContent written = sampleRun();
    const QString paragraph = QString(3000, QLatin1Char('x'));
    written.comment = paragraph;
    RunFileContent run;
    QCOMPARE(readBytes(RunFile::toText(written).toUtf8(), 4, run), 0);
    QCOMPARE(run.comment, paragraph + QStringLiteral("\r\n"));

    written.comment = QString(20000, QLatin1Char('y'));
    QCOMPARE(readBytes(RunFile::toText(written).toUtf8(), 4, run), 0);
    QCOMPARE(run.comment.size(), RunFile::kMaxCommentChars);
}

void RunFileTest::failedWriteKeepsThePreviousFile_data()
{
    test::addFailingStepsAfterTheOpen();
}

void RunFileTest::failedWriteKeepsThePreviousFile()
{
    QFETCH(int, step);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.orv"));
    const QByteArray previous =
        "\xEF\xBB\xBFORVA Experiment 2.0\r\n[Intro]\r\nModus=Training\r\nComment=first save\r\n";
    RunFileContent changed = sampleRun();
    changed.comment = QStringLiteral("a second save");
    const QString problem =
        test::failedSaveProblem(path, previous, AtomicFileWriter::Step(step), error,
                                [&] { return RunFile::write(path, changed); });
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void RunFileTest::runThatWouldNotReadBackIsNotWritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.orv"));
    RunFileContent run = sampleRun();
    run.measurements[0].reactionTime = 5308; // beyond the window, judged wrong: -5308
    run.measurements[0].result = -1;
    const Status status = RunFile::write(path, run);
    QVERIFY(!status.ok());
    QVERIFY(status.error().contains(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(RunFile::write(path, sampleRun()).ok());
}

QTEST_GUILESS_MAIN(RunFileTest)
#include "RunFileTest.moc"
