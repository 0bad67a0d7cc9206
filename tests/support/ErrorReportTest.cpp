// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ErrorReport.h"

#include "fakes/RecordingMessageBoxes.h"
#include "support/Logger.h"
#include "support/StringTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class ErrorReportTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void withoutBoxOnlyWritesTheLogLine();
    void withBoxShowsTheUntranslatedMessageTitledError();
    void levelAboveTheLoggerLevelStillShowsTheBox();
    void germanStringsAreBuiltIn();
    void stringTableRejectsLinesWithoutNumber();
    void otherLanguagesFallBackToGermanPerString();

private:
    QByteArray logContents() const
    {
        QFile file(m_dir.filePath(QStringLiteral("log.txt")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    test::RecordingMessageBoxes m_boxes;
};

void ErrorReportTest::init()
{
    Logger::Options options;
    options.fileName = m_dir.filePath(QStringLiteral("log.txt"));
    Logger::instance().start(options);
    m_boxes.boxes.clear();
    setErrorBoxes(&m_boxes);
}

void ErrorReportTest::cleanup()
{
    setErrorBoxes(nullptr);
    Logger::instance().close();
}

void ErrorReportTest::withoutBoxOnlyWritesTheLogLine()
{
    reportError("Out of memory 002", 1, false);
    QCOMPARE(logContents(), QByteArray("ERROR: Out of memory 002\n"));
    QVERIFY(m_boxes.boxes.isEmpty());
}

void ErrorReportTest::withBoxShowsTheUntranslatedMessageTitledError()
{
    reportError(QStringLiteral("Wave::Load : Not a PCM file"), 1, true);
    QCOMPARE(logContents(), QByteArray("ERROR: Wave::Load : Not a PCM file\n"));
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].title, QStringLiteral("Error"));
    QCOMPARE(m_boxes.boxes[0].text, QStringLiteral("Wave::Load : Not a PCM file"));
    QCOMPARE(m_boxes.boxes[0].buttons, MessageButtons::Ok);
}

void ErrorReportTest::levelAboveTheLoggerLevelStillShowsTheBox()
{
    reportError("detail", 7, true);
    QCOMPARE(logContents(), QByteArray());
    QCOMPARE(m_boxes.boxes.size(), 1);
}

void ErrorReportTest::germanStringsAreBuiltIn()
{
    const StringTable &german = StringTable::german();
    QCOMPARE(german.text(134), QStringLiteral("komplett"));
    QVERIFY(german.text(173).contains(u"zurückzuführen.\nSie kamen"));
    QCOMPARE(german.text(999999), QStringLiteral("#999999"));
}

void ErrorReportTest::stringTableRejectsLinesWithoutNumber()
{
    const Result<StringTable> table =
        StringTable::parse("128=Vortest\nkein Eintrag\n", QStringLiteral("test.txt"));
    QVERIFY(!table.ok());
    QVERIFY(table.error().contains(QLatin1String("test.txt: line 2")));
}

void ErrorReportTest::otherLanguagesFallBackToGermanPerString()
{
    const Result<StringTable> english =
        StringTable::parse("# comment\r\n128=Pre-test\r\n", QStringLiteral("en.txt"));
    QVERIFY(english.ok());
    QCOMPARE(english.value().text(128), QStringLiteral("Pre-test"));
    QCOMPARE(english.value().text(129), QStringLiteral("Haupttest"));
}

QTEST_GUILESS_MAIN(ErrorReportTest)
#include "ErrorReportTest.moc"
