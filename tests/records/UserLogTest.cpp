// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/UserLog.h"

#include "fakes/FileFaults.h"
#include "records/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class UserLogTest : public QObject
{
    Q_OBJECT

private slots:
    void countsRightWrongAndNoAnswer();
    void entryWithoutRecordsDoesNotSurviveTheNextBegin();
    void averagesAreRunningAndTruncated();
    void writesItsFixedLayout();
    void savedHistoryReadsBack();
    void laterLineOfAWordWins();
    void rejectsSectionsBeforeTheHeader_data();
    void rejectsSectionsBeforeTheHeader();
    void readsEntryLinesLikeScanf_data();
    void readsEntryLinesLikeScanf();
    void emptyEntryFromTheFileIsDroppedByTheNextOne();
    void failedSaveKeepsThePreviousFile_data();
    void failedSaveKeepsThePreviousFile();
    void unreadableHistoryIsKeptBesideTheNextOne();
    void missingFileGivesAnEmptyHistory();
};

namespace {

UserLog loaded(const QByteArray &bytes)
{
    TextFile file;
    file.openBytes(bytes);
    UserLog log([] { return 0; });
    if (!log.read(file))
        log.clear();
    return log;
}

} // namespace

void UserLogTest::countsRightWrongAndNoAnswer()
{
    qint64 now = 1000;
    UserLog log([&] { return now; });
    log.beginEntry(0);
    log.recordSyllable(QStringLiteral("ba"), 1, 500);
    log.recordSyllable(QStringLiteral("da"), -1, 700);
    log.recordSyllable(QStringLiteral("ga"), -2, 2000);
    log.recordSyllable(QStringLiteral("ka"), 0, 300); // unjudged changes nothing
    now = 1010;
    log.recordSyllable(QStringLiteral("ba"), 1, 600);

    const UserLogEntry &entry = log.entries().last();
    QCOMPARE(entry.presented, 4);
    QCOMPARE(entry.distinct, 3);
    QCOMPARE(entry.correct, 2);
    QCOMPARE(entry.duration, 12);
    QCOMPARE(entry.average, (550 * 2 + 700) / 3);
    QCOMPARE(entry.syllables.at(QStringLiteral("ga")).count, 0);
    QCOMPARE(entry.syllables.at(QStringLiteral("ga")).lastResult, -2);

    QCOMPARE(log.words().size(), size_t(3));
    QCOMPARE(log.words().at(QStringLiteral("ga")).tests, 0);
    QCOMPARE(log.words().at(QStringLiteral("ba")).tests, 2);
    QCOMPARE(log.words().at(QStringLiteral("ba")).correct, 2);
    QCOMPARE(log.words().at(QStringLiteral("ba")).average, 550);
    QCOMPARE(log.words().begin()->first, QStringLiteral("ba")); // name order
}

void UserLogTest::entryWithoutRecordsDoesNotSurviveTheNextBegin()
{
    UserLog log([] { return 5000; });
    log.beginEntry(0);
    log.beginEntry(1);
    QCOMPARE(log.entries().size(), 1);
    QCOMPARE(log.entries()[0].type, 1);
    log.recordSyllable(QStringLiteral("ba"), -2, 2000);
    log.beginEntry(1);
    QCOMPARE(log.entries().size(), 2);
    QCOMPARE(log.currentEntry(), 1);
}

void UserLogTest::averagesAreRunningAndTruncated()
{
    UserLog log([] { return 0; });
    log.beginEntry(1);
    log.recordSyllable(QStringLiteral("ba"), 1, 501);
    log.recordSyllable(QStringLiteral("ba"), 1, 500);
    log.recordSyllable(QStringLiteral("ba"), -1, 500);
    QCOMPARE(log.entries()[0].syllables.at(QStringLiteral("ba")).average, 500);
    QCOMPARE(log.words().at(QStringLiteral("ba")).trainings, 3);
    QCOMPARE(log.words().at(QStringLiteral("ba")).average, 500);
}

void UserLogTest::writesItsFixedLayout()
{
    qint64 now = 1000;
    UserLog log([&] { return now; });
    ORVA_Proband client;
    client.setLastName(QStringLiteral("Meier"));
    client.runDate() = ORVA_Date(14, 2, 2019, 9, 30);
    log.setClient(client);
    log.beginEntry(0);
    log.recordSyllable(QStringLiteral("da"), 1, 500);
    log.recordSyllable(QStringLiteral("ba"), -1, 700);
    const QString text = log.toText();
    QVERIFY(
        text.startsWith(QStringLiteral("ORVA Logfile: Version 2.00.00\n[Proband]\nName=Meier\n")));
    QVERIFY(text.endsWith(
        QStringLiteral("Rauschart=0\n[ExpList]\n[   0] 0 : 1000 : 2 : 2 : 2 : 1 : 600\n"
                       "[WordList]\n[0]ba:::1:0:0:700\n[1]da:::1:0:1:500\n")));
}

void UserLogTest::savedHistoryReadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Meier-Anna.orl"));
    qint64 now = 1700000000;
    UserLog log([&] { return now; });
    ORVA_Proband client;
    client.setLastName(QStringLiteral("Meier"));
    client.setFirstName(QStringLiteral("Anna"));
    client.setRepetitions(3);
    log.setClient(client);
    log.beginEntry(1);
    log.recordSyllable(QString::fromUtf8("bą"), 1, 640);
    now += 30;
    log.recordSyllable(QStringLiteral("da"), -2, 2000);
    QVERIFY(log.save(path).ok());

    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().startsWith("\xEF\xBB\xBFORVA Logfile: Version 2.00.00\r\n"));

    UserLog back([] { return 0; });
    QVERIFY(back.load(path));
    QCOMPARE(back.entries().size(), 1);
    const UserLogEntry &entry = back.entries()[0];
    QCOMPARE(entry.type, 1);
    QCOMPARE(entry.start, 1700000000);
    QCOMPARE(entry.duration, 32);
    QCOMPARE(entry.presented, 2);
    QCOMPARE(entry.distinct, 2);
    QCOMPARE(entry.correct, 1);
    QCOMPARE(entry.average, 640);
    QVERIFY(entry.syllables.empty());
    QCOMPARE(back.currentEntry(), 0);
    QCOMPARE(back.words().size(), size_t(2));
    QCOMPARE(back.words().at(QString::fromUtf8("bą")).trainings, 1);
    QCOMPARE(back.client().firstName().value_or(QString()), QStringLiteral("Anna"));
    QCOMPARE(back.client().repetitions(), 3);
    QCOMPARE(back.client().runDate().year, 1990); // the run date is not taken from the history
    QCOMPARE(back.client().runDate().day, 0);
}

void UserLogTest::laterLineOfAWordWins()
{
    const UserLog log = loaded("ORVA Logfile: Version 2.00.00\n[WordList]\n[0]ba:::1:2:3:4\n"
                               "[1]ba:::5:6:7:8\n[2]da:::x:1\n[3]ga no separator\nga:::9:9:9:9\n");
    QCOMPARE(log.words().size(), size_t(2));
    const WordStats &ba = log.words().at(QStringLiteral("ba"));
    QCOMPARE(QList<int>({ ba.tests, ba.trainings, ba.correct, ba.average }),
             QList<int>({ 5, 6, 7, 8 }));
    const WordStats &da = log.words().at(QStringLiteral("da"));
    QCOMPARE(QList<int>({ da.tests, da.trainings, da.correct, da.average }),
             QList<int>({ 0, 1, 0, 0 }));
}

void UserLogTest::rejectsSectionsBeforeTheHeader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("entry list first")
        << QByteArray("[ExpList]\nORVA Logfile: Version 2\n") << false;
    QTest::newRow("word list first") << QByteArray("[WordList]\n") << false;
    QTest::newRow("entry line without section")
        << QByteArray("ORVA Logfile: Version 2.00.00\n[   0] 0 : 1 : 2 : 3 : 4 : 5 : 6\n") << false;
    QTest::newRow("client needs no header") << QByteArray("[Proband]\nName=Meier\n") << true;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("binary") << QByteArray("[\0\x01\xFF\n\0\0", 7) << false;
}

void UserLogTest::rejectsSectionsBeforeTheHeader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    TextFile file;
    file.openBytes(bytes);
    UserLog log([] { return 0; });
    log.beginEntry(0);
    log.recordSyllable(QStringLiteral("ba"), 1, 500);
    QCOMPARE(log.read(file), accepted);
    if (!accepted) {
        QVERIFY(log.entries().isEmpty());
        QVERIFY(log.words().empty());
        QVERIFY(!log.client().lastName());
    }
}

void UserLogTest::readsEntryLinesLikeScanf_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<qint64>>("expected"); // type, start, duration, presented, ..., average
    QTest::newRow("as written") << QByteArray("[   3] 0 : 1000 : 12 : 4 : 3 : 2 : 583")
                                << QList<qint64>({ 0, 1000, 12, 4, 3, 2, 583 });
    QTest::newRow("low 32 bits after 2038") << QByteArray("[0] 1 : -1 : 5 : 1 : 1 : 1 : 1")
                                            << QList<qint64>({ 1, 4294967295LL, 5, 1, 1, 1, 1 });
    QTest::newRow("unreadable type defaults to training")
        << QByteArray("[0] x : 1 : 2 : 3 : 4 : 5 : 6") << QList<qint64>({ 1, 0, 0, 0, 0, 0, 0 });
    QTest::newRow("stops at the first bad field")
        << QByteArray("[0] 0 : 7 : 5 ; 1 : 1 : 1 : 1") << QList<qint64>({ 0, 7, 5, 0, 0, 0, 0 });
    QTest::newRow("huge numbers saturate")
        << QByteArray("[0] 0 : 1 : 1 : 99999999999999999999 : -99999999999999999999 : 0 : 0")
        << QList<qint64>({ 0, 1, 1, 2147483647, -2147483648LL, 0, 0 });
    QTest::newRow("no closing bracket")
        << QByteArray("[0 0 : 1 : 1 : 1 : 1 : 1 : 1") << QList<qint64>({ 1, 0, 0, 0, 0, 0, 0 });
}

void UserLogTest::readsEntryLinesLikeScanf()
{
    QFETCH(QByteArray, line);
    QFETCH(QList<qint64>, expected);
    const UserLog log = loaded("ORVA Logfile: Version 2.00.00\n[ExpList]\n" + line + "\n");
    QCOMPARE(log.entries().size(), 1);
    const UserLogEntry &entry = log.entries()[0];
    QCOMPARE(QList<qint64>({ entry.type, entry.start, entry.duration, entry.presented,
                             entry.distinct, entry.correct, entry.average }),
             expected);
}

void UserLogTest::emptyEntryFromTheFileIsDroppedByTheNextOne()
{
    UserLog log = loaded("ORVA Logfile: Version 2.00.00\n[ExpList]\n"
                         "[   0] 0 : 100 : 40 : 12 : 6 : 10 : 640\n"
                         "[   1] 1 : 200 : 2 : 0 : 0 : 0 : 0\n"
                         "[   2] 1 : 300 : 50 : 30 : 6 : 25 : 700\n");
    QCOMPARE(log.entries().size(), 2);
    QCOMPARE(log.entries()[1].start, 300);
    // An aborted run without a scored syllable is saved, and goes when the next run begins.
    log.beginEntry(0);
    log.beginEntry(1);
    QCOMPARE(log.entries().size(), 3);
    QCOMPARE(log.currentEntry(), 2);
}

void UserLogTest::failedSaveKeepsThePreviousFile_data()
{
    test::addFailingStepsAfterTheOpen();
}

void UserLogTest::failedSaveKeepsThePreviousFile()
{
    QFETCH(int, step);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Meier.orl"));
    // Yesterday's history, as an earlier session left it.
    const QByteArray previous = "\xEF\xBB\xBFORVA Logfile: Version 2.00.00\r\n[Proband]\r\n"
                                "Name=Meier\r\n[ExpList]\r\n";
    UserLog log([] { return 0; });
    log.beginEntry(2);
    const QString problem = test::failedSaveProblem(path, previous, AtomicFileWriter::Step(step),
                                                    error, [&] { return log.save(path); });
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(!log.save(QStringLiteral("/nonexistent/orva/data/Meier.orl")).ok());
}

void UserLogTest::unreadableHistoryIsKeptBesideTheNextOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Meier.orl"));
    const QByteArray damaged = "[ExpList]\r\nnot a history at all\r\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    UserLog log([] { return 0; });
    QVERIFY(!log.load(path));
    QVERIFY(QFile::exists(path)); // a plain read changes nothing
    QVERIFY(!log.loadOrSetAside(path));
    QVERIFY(log.entries().isEmpty());
    QVERIFY(!QFile::exists(path));
    const QStringList kept = QDir(dir.path()).entryList({ QStringLiteral("Meier.orl.damaged-*") });
    QCOMPARE(kept.size(), 1);
    QCOMPARE(test::fileBytes(dir.filePath(kept[0])), damaged);

    log.beginEntry(0);
    QVERIFY(log.save(path).ok());
    UserLog again([] { return 0; });
    QVERIFY(again.loadOrSetAside(path));
    QCOMPARE(again.entries().size(), 1);
    QCOMPARE(test::fileBytes(dir.filePath(kept[0])), damaged);
    QCOMPARE(test::folderFiles(dir.path()).size(), 2);
}

void UserLogTest::missingFileGivesAnEmptyHistory()
{
    UserLog log([] { return 0; });
    log.beginEntry(0);
    QVERIFY(!log.load(QStringLiteral("/nonexistent/orva/data/Meier.orl")));
    QVERIFY(log.entries().isEmpty());
}

QTEST_GUILESS_MAIN(UserLogTest)
#include "UserLogTest.moc"
