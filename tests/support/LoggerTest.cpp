// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Logger.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class LoggerTest : public QObject
{
    Q_OBJECT

private slots:
    void keepsLinesUpToTheConfiguredLevelOnly();
    void immediateModeWritesEachLineAtOnce();
    void startEmptiesTheLogOfThePreviousStart();
    void appendingStartKeepsEarlierLines();
    void levelZeroSwitchesLoggingOff();
    void ringEntriesCarryNumberAndBanner();
    void ringWrapsAndBannerMovesBehindTheNewestLine();
    void ringModeWritesFileOnlyAtClose();
    void ringCutsLongLinesAndKeepsTheLineEnd();
    void printfStyleFormatsUtf8Arguments();

private:
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    Logger::Options options(int level, bool ring = false) const
    {
        Logger::Options result;
        result.level = level;
        result.fileName = m_dir.filePath(QStringLiteral("log.txt"));
        result.writeAtEnd = ring;
        return result;
    }

    QTemporaryDir m_dir;
};

void LoggerTest::keepsLinesUpToTheConfiguredLevelOnly()
{
    Logger logger;
    logger.start(options(2));
    logger.log(1, QStringLiteral("BEGIN: On File Save\n"));
    logger.log(2, QStringLiteral("level two\n"));
    logger.log(7, QStringLiteral("too fine\n"));
    logger.log(0, QStringLiteral("level zero is never kept\n"));
    QCOMPARE(contents(options(2).fileName), QByteArray("BEGIN: On File Save\nlevel two\n"));
}

void LoggerTest::immediateModeWritesEachLineAtOnce()
{
    Logger logger;
    logger.start(options(2));
    logger.log(1, QStringLiteral("first\n"));
    QCOMPARE(contents(options(2).fileName), QByteArray("first\n")); // before any close
    logger.log(1, QStringLiteral("   OFO 40; END\n"));
    QCOMPARE(contents(options(2).fileName), QByteArray("first\n   OFO 40; END\n"));
}

void LoggerTest::startEmptiesTheLogOfThePreviousStart()
{
    {
        Logger logger;
        logger.start(options(2));
        logger.log(1, QStringLiteral("previous start\n"));
    }
    Logger logger;
    logger.start(options(2));
    QCOMPARE(contents(options(2).fileName), QByteArray());
}

void LoggerTest::appendingStartKeepsEarlierLines()
{
    Logger::Options appending = options(2);
    {
        Logger logger;
        logger.start(appending);
        logger.log(1, QStringLiteral("one\n"));
    }
    appending.truncateAtStart = false;
    Logger logger;
    logger.start(appending);
    logger.log(1, QStringLiteral("two\n"));
    QCOMPARE(contents(appending.fileName), QByteArray("one\ntwo\n"));
}

void LoggerTest::levelZeroSwitchesLoggingOff()
{
    QFile::remove(options(0).fileName);
    Logger logger;
    logger.start(options(0));
    logger.log(1, QStringLiteral("nothing\n"));
    QVERIFY(!QFile::exists(options(0).fileName));
}

void LoggerTest::ringEntriesCarryNumberAndBanner()
{
    Logger logger;
    logger.start(options(2, true));
    logger.log(1, QStringLiteral("alpha\n"));
    logger.log(2, QStringLiteral("beta\n"));
    QCOMPARE(logger.ringEntry(0), QStringLiteral("[     0]   alpha\n"));
    QCOMPARE(logger.ringEntry(1), QStringLiteral("[     1]   beta\n"));
    QCOMPARE(logger.ringEntry(2), QString::fromLatin1(Logger::kEndBanner));
}

void LoggerTest::ringWrapsAndBannerMovesBehindTheNewestLine()
{
    Logger logger;
    logger.start(options(2, true));
    for (int i = 0; i < Logger::kRingSize + 1; ++i)
        logger.log(1, QStringLiteral("line\n"));
    QCOMPARE(logger.ringEntry(0), QStringLiteral("[100000]   line\n"));
    QCOMPARE(logger.ringEntry(1), QString::fromLatin1(Logger::kEndBanner));
    QCOMPARE(logger.ringEntry(2), QStringLiteral("[     2]   line\n"));
}

void LoggerTest::ringModeWritesFileOnlyAtClose()
{
    Logger logger;
    logger.start(options(2, true));
    logger.log(1, QStringLiteral("kept in memory\n"));
    logger.log(5, QStringLiteral("filtered\n"));
    QCOMPARE(contents(options(2).fileName), QByteArray());
    logger.close();
    QCOMPARE(contents(options(2).fileName),
             QByteArray("LogLevel: 2 doLogWriteAtEnd: 1\n[     0]   kept in memory\n")
                 + Logger::kEndBanner);
}

void LoggerTest::ringCutsLongLinesAndKeepsTheLineEnd()
{
    Logger logger;
    logger.start(options(2, true));
    logger.log(1, QString(500, QLatin1Char('x')) + QLatin1Char('\n'));
    const QString entry = logger.ringEntry(0);
    QCOMPARE(entry.size(), Logger::kRingEntryChars);
    QVERIFY(entry.endsWith(QLatin1String("xx\n")));
}

void LoggerTest::printfStyleFormatsUtf8Arguments()
{
    Logger &logger = Logger::instance();
    logger.start(options(2));
    logMessage(1, "   OSPT %d: %s\n", 10, "Exp läuft");
    logMessage(3, "filtered %d\n", 3);
    logMessage(1, QStringLiteral("wide: bą\n"));
    logger.close();
    QCOMPARE(QString::fromUtf8(contents(options(2).fileName)),
             QStringLiteral("   OSPT 10: Exp läuft\nwide: bą\n"));
}

QTEST_GUILESS_MAIN(LoggerTest)
#include "LoggerTest.moc"
