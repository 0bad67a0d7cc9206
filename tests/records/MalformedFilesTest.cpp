// SPDX-License-Identifier: GPL-3.0-or-later
// Every reader of the records folder against damaged files: none may crash, hang or write.
#include "records/ORVA_Proband.h"
#include "records/Registry.h"
#include "records/RunFile.h"
#include "records/Settings.h"
#include "records/SyllableListFile.h"
#include "records/TextFile.h"
#include "records/UserLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

// Hash of every file below `folder` by relative path, to tell that nothing was written.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(folder).relativeFilePath(path),
                         QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return files;
}

// Runs every reader over the file at `path`; the run file's result for German material.
int readWithEveryReader(const QString &path)
{
    TextFile text;
    text.openRead(path);
    QString line;
    while (text.readLine(line)) { }

    RunFileContent run;
    const int code = RunFile::read(path, 0, run);
    RunFileContent english;
    RunFile::read(path, 2, english);

    UserLog log([] { return 0; });
    (void)log.load(path);

    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    (void)settings.read(path);

    (void)SyllableListFile::read(path);

    Registry::Locations locations;
    locations.localMachine = path;
    QString value;
    Registry(locations).readStringValue(QStringLiteral("SOFTWARE\\Norquell\\ORVA\\3.1"),
                                        QStringLiteral("root"), value);

    TextFile client;
    client.openRead(path);
    ORVA_Proband record;
    (void)record.read(client);
    return code;
}

QByteArray repeated(const QByteArray &line, int times)
{
    QByteArray bytes;
    bytes.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        bytes += line;
    return bytes;
}

} // namespace

class MalformedFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void everyReaderSurvivesTheCorpus_data();
    void everyReaderSurvivesTheCorpus();
    void everyReaderSurvivesExtremeFiles_data();
    void everyReaderSurvivesExtremeFiles();
};

void MalformedFilesTest::everyReaderSurvivesTheCorpus_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("runFileResult");
    // Every damaged run file is refused, except the one with lone CRs, which reads in full.
    const QMap<QString, int> expected { { "lone-carriage-returns.orv", 0 } };
    const QString data = QFINDTESTDATA("data/malformed");
    QVERIFY(!data.isEmpty());
    for (const QString &folder : { data, QFINDTESTDATA("data/fuzz-regressions") }) {
        if (folder.isEmpty())
            continue;
        const QDir dir(folder);
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            if (name.startsWith(QLatin1Char('.')))
                continue;
            QTest::newRow(qPrintable(dir.dirName() + QLatin1Char('/') + name))
                << dir.filePath(name) << expected.value(name, -1);
        }
    }
}

void MalformedFilesTest::everyReaderSurvivesTheCorpus()
{
    QFETCH(QString, source);
    QFETCH(int, runFileResult);
    QTemporaryDir dir;
    const QString path = dir.filePath(QFileInfo(source).fileName());
    QVERIFY(QFile::copy(source, path));
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    const int code = readWithEveryReader(path);
    QCOMPARE(snapshot(dir.path()), before);
    if (source.contains(QLatin1String("/malformed/")))
        QCOMPARE(code, runFileResult);
}

void MalformedFilesTest::everyReaderSurvivesExtremeFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("one line of 8 MB") << QByteArray(8 * 1024 * 1024, 'x');
    QTest::newRow("UTF-8 line of 8 MB")
        << "\xEF\xBB\xBF" + repeated("\xE2\x82\xAC", 3 * 1024 * 1024);
    QTest::newRow("UTF-16 line of 8 MB")
        << "\xFF\xFE" + repeated(QByteArray("\x41\x01", 2), 4 << 20);
    QTest::newRow("200,000 headers") << repeated("[\n", 200000);
    QTest::newRow("200,000 entries") << "ORVA Logfile: Version 2.00.00\n[ExpList]\n"
            + repeated("[0] 1 : 2 : 3 : 4 : 5 : 6 : 7\n", 200000);
    QTest::newRow("200,000 measurements") << "[Intro]\n[Proband]\n[Waves]\n[Daten]\nAnzahl=100000\n"
            + repeated("Silbe1=ba\n", 200000);
    QTest::newRow("a number of 100,000 digits")
        << "[Intro]\n[Proband]\n[Waves]\n[Daten]\nAnzahl=" + QByteArray(100000, '9') + "\n";
    QTest::newRow("only line ends") << repeated("\r\n", 500000);
}

void MalformedFilesTest::everyReaderSurvivesExtremeFiles()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("extreme.orv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    QCOMPARE(readWithEveryReader(path), -1);
    QCOMPARE(snapshot(dir.path()), before);
}

QTEST_GUILESS_MAIN(MalformedFilesTest)
#include "MalformedFilesTest.moc"
