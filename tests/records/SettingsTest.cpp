// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/Settings.h"

#include "fakes/FileFaults.h"
#include "records/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

Settings readText(const QByteArray &bytes)
{
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    TextFile file;
    file.openBytes(bytes);
    settings.read(file);
    return settings;
}

QByteArray utf16WithMark(const QString &text, bool bigEndian = false)
{
    QByteArray bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF);
        const char high = char(c.unicode() >> 8);
        bytes.append(bigEndian ? high : low);
        bytes.append(bigEndian ? low : high);
    }
    return bytes;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void writesItsFixedLayout();
    void savedSettingsReadBack();
    void readsValuesAfterTheirKeys_data();
    void readsValuesAfterTheirKeys();
    void readsUtf16WithMarkLikeItsOwnUtf8();
    void missingFileKeepsTheDefaults();
    void failedWriteKeepsThePreviousFile_data();
    void failedWriteKeepsThePreviousFile();
};

void SettingsTest::writesItsFixedLayout()
{
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    settings.client.setLastName(QStringLiteral("Meier"));
    const QString text = settings.toText();
    QVERIFY(text.startsWith(QStringLiteral("ORVA Version 3.1.31\n"
                                           "DataDirectory /opt/orva/data\n"
                                           "ExpLanguage 6\n"
                                           "Threshold -40\n"
                                           "WaitForDelay 3000\n"
                                           "TrainSaveMode 1\n"
                                           "PreTestSaveMode 1\n"
                                           "MainTestSaveMode 1\n"
                                           "TrainPrintMode 1\n"
                                           "PreTestPrintMode 1\n"
                                           "MainTestPrintMode 1\n"
                                           "DoIntro 1\n"
                                           "DoAudioIntro 1\n"
                                           "\n"
                                           "Liste der Probanden\n"
                                           "\n"
                                           "[Proband]\n"
                                           "Name=Meier\n")));
}

void SettingsTest::savedSettingsReadBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ORVA.ini"));
    Settings settings;
    settings.setDefaults(dir.path());
    settings.dataDirectory = QStringLiteral("/srv/Klienten Daten/ORVA");
    settings.expLanguage = 5;
    settings.threshold = 0;
    settings.mainTestPrintMode = 2;
    settings.doAudioIntro = false;
    settings.client.setLastName(QString::fromUtf8("Łukasiewicz"));
    settings.client.setRepetitions(7);
    QVERIFY(settings.write(path).ok());

    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().startsWith("\xEF\xBB\xBFORVA Version 3.1.31\r\nDataDirectory /srv/"));

    Settings back;
    back.setDefaults(QStringLiteral("/elsewhere"));
    QVERIFY(back.read(path));
    QCOMPARE(back.dataDirectory, settings.dataDirectory);
    QCOMPARE(back.expLanguage, 5);
    QCOMPARE(back.threshold, 0);
    QCOMPARE(back.mainTestPrintMode, 2);
    QCOMPARE(back.doAudioIntro, false);
    QCOMPARE(back.doIntro, true);
    QCOMPARE(back.client.lastName().value_or(QString()), QString::fromUtf8("Łukasiewicz"));
    QCOMPARE(back.client.repetitions(), 7);
}

void SettingsTest::readsValuesAfterTheirKeys_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");
    QTest::newRow("DoIntro 5 is on") << QByteArray("DoIntro 5") << "doIntro" << 1;
    QTest::newRow("DoAudioIntro 0 is off") << QByteArray("DoAudioIntro 0") << "doAudioIntro" << 0;
    QTest::newRow("separator not checked") << QByteArray("Threshold=-20") << "threshold" << -20;
    QTest::newRow("leading blanks") << QByteArray("TrainSaveMode   2") << "trainSaveMode" << 2;
    QTest::newRow("key without value ignored") << QByteArray("Threshold") << "threshold" << -40;
    QTest::newRow("no digits give 0") << QByteArray("PreTestSaveMode x") << "preTestSaveMode" << 0;
    QTest::newRow("threshold 0 is the top") << QByteArray("Threshold 0") << "threshold" << 0;
    QTest::newRow("threshold above the meter") << QByteArray("Threshold 50") << "threshold" << 0;
    QTest::newRow("threshold below the meter")
        << QByteArray("Threshold -400") << "threshold" << -90;
    QTest::newRow("WaitForDelay not read")
        << QByteArray("WaitForDelay 500") << "waitForDelay" << 3000;
    QTest::newRow("language from position 12") << QByteArray("ExpLanguage 4") << "expLanguage" << 4;
    QTest::newRow("language 6 is none") << QByteArray("ExpLanguage 6") << "expLanguage" << 6;
    QTest::newRow("unknown language is none") << QByteArray("ExpLanguage 99") << "expLanguage" << 6;
    QTest::newRow("negative language is none")
        << QByteArray("ExpLanguage -1") << "expLanguage" << 6;
    QTest::newRow("case of keys matters") << QByteArray("threshold -10") << "threshold" << -40;
}

void SettingsTest::readsValuesAfterTheirKeys()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, field);
    QFETCH(int, expected);
    const Settings settings = readText("ORVA Version 3.1.31\r\n" + line + "\r\n");
    const QMap<QString, int> values {
        { "doIntro", settings.doIntro },
        { "doAudioIntro", settings.doAudioIntro },
        { "threshold", settings.threshold },
        { "trainSaveMode", settings.trainSaveMode },
        { "preTestSaveMode", settings.preTestSaveMode },
        { "waitForDelay", settings.waitForDelay },
        { "expLanguage", settings.expLanguage },
    };
    QCOMPARE(values.value(field, -12345), expected);
}

void SettingsTest::readsUtf16WithMarkLikeItsOwnUtf8()
{
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    settings.dataDirectory = QString::fromUtf8("/daten/Übungen");
    settings.expLanguage = 2;
    settings.client.setLastName(QStringLiteral("Meier"));
    QString text = settings.toText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));

    for (const bool bigEndian : { false, true }) {
        const Settings back = readText(utf16WithMark(text, bigEndian));
        QCOMPARE(back.dataDirectory, settings.dataDirectory);
        QCOMPARE(back.expLanguage, 2);
        QCOMPARE(back.client.lastName().value_or(QString()), QStringLiteral("Meier"));
        QCOMPARE(back.materialLanguage(0), 2);
    }
    QCOMPARE(readText("ExpLanguage 6\n").materialLanguage(4), 4);
}

void SettingsTest::missingFileKeepsTheDefaults()
{
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    QVERIFY(!settings.read(QStringLiteral("/nonexistent/bin/ORVA.ini")));
    QCOMPARE(settings.dataDirectory, QStringLiteral("/opt/orva/data"));
    QCOMPARE(settings.threshold, -40);

    const Settings longDirectory =
        readText("DataDirectory /" + QByteArray(Settings::kMaxDataDirectoryChars, 'x') + "\n");
    QCOMPARE(longDirectory.dataDirectory, QStringLiteral("/opt/orva/data"));
}

void SettingsTest::failedWriteKeepsThePreviousFile_data()
{
    test::addFailingStepsAfterTheOpen();
}

void SettingsTest::failedWriteKeepsThePreviousFile()
{
    QFETCH(int, step);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ORVA.ini"));
    const QByteArray previous =
        "\xEF\xBB\xBFORVA Version 3.1.31\r\nDataDirectory /srv/orva/data\r\nThreshold -33\r\n";
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    settings.threshold = -25;
    const QString problem = test::failedSaveProblem(path, previous, AtomicFileWriter::Step(step),
                                                    error, [&] { return settings.write(path); });
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(!settings.write(QStringLiteral("/nonexistent/bin/ORVA.ini")).ok());
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "SettingsTest.moc"
