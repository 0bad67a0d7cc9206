// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/TextFile.h"

#include "records/ORVA_Proband.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

QStringList readAll(TextFile &file, int maxChars = 1023)
{
    QStringList lines;
    QString line;
    while (file.readLine(line, maxChars))
        lines << line;
    return lines;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TextFileTest : public QObject
{
    Q_OBJECT

private slots:
    void decodesByByteOrderMark_data();
    void decodesByByteOrderMark();
    void splitsLines_data();
    void splitsLines();
    void cutsLongLinesAndSkipsTheirRest_data();
    void cutsLongLinesAndSkipsTheirRest();
    void missingFileIsNoErrorButStaysClosed();
    void emptyFileIsAtItsEndAtOnce();
    void fileAboveTheSizeLimitIsNotRead();
    void refusesToOpenTwice();
    void seekIsClampedAndLetsTheClientReaderHandBackAHeader();
    void writesTheByteOrderMarkOfItsEncoding_data();
    void writesTheByteOrderMarkOfItsEncoding();
    void programTextIsUtf8WithMarkAndCrLf();
    void creatingInAMissingFolderFails();
    void failedCommitKeepsThePreviousFileAndReportsFailure();
    void unclosedWriterLeavesThePreviousFile();
    void refusingLinksReadsNoLinkButFilesAsUsual();
};

void TextFileTest::decodesByByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("UTF-8 with mark, CR LF")
        << QByteArray("\xEF\xBB\xBFName=M\xC3\xBCller\r\nx\r\n") << 2
        << QStringList { QString::fromUtf8("Name=Müller"), "x" };
    QTest::newRow("no mark is Latin-1")
        << QByteArray("B\xE4r\n") << 1 << QStringList { QString::fromUtf8("Bär") };
    QTest::newRow("UTF-16 LE with mark") << QByteArray("\xFF\xFEh\0i\0\r\0\n\0\x05\x01\n\0", 14)
                                         << 3 << QStringList { "hi", QString::fromUtf8("ą") };
    // U+010D has 13 as its low byte and U+0A0A has 10 in both: neither ends a line.
    QTest::newRow("UTF-16 characters with line-end bytes")
        << QByteArray("\xFF\xFE\x0D\x01\x0A\x0A\n\0z\0", 10) << 3
        << QStringList { QString(QChar(0x010D)) + QChar(0x0A0A), "z" };
    QTest::newRow("UTF-16 with a trailing odd byte")
        << QByteArray("\xFF\xFEo\0k\0\x41", 7) << 3 << QStringList { "ok" };
    QTest::newRow("UTF-16 BE with mark, as other editors write it")
        << QByteArray("\xFE\xFF\0a\0\n\x01\x05\0\r\0\n", 12) << 3
        << QStringList { "a", QString::fromUtf8("ą") };
    QTest::newRow("invalid UTF-8 does not stop the file")
        << QByteArray("\xEF\xBB\xBF\xFF\xC3\nnext") << 2
        << QStringList { QString(2, QChar::ReplacementCharacter), "next" };
}

void TextFileTest::decodesByByteOrderMark()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QStringList, lines);
    TextFile file;
    QCOMPARE(file.openBytes(bytes), 0);
    QVERIFY(file.isOpen());
    QCOMPARE(static_cast<int>(file.encoding()), encoding);
    QCOMPARE(readAll(file), lines);
    QVERIFY(file.atEnd());
}

void TextFileTest::splitsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList { "a", "b" };
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList { "a", "b" };
    QTest::newRow("last line without end") << QByteArray("a\nlast") << QStringList { "a", "last" };
    QTest::newRow("empty lines kept")
        << QByteArray("a\n\n\r\nb") << QStringList { "a", "", "", "b" };
    // A lone CR must not swallow the first character of the next line.
    QTest::newRow("lone CR") << QByteArray("ab\rcd\r") << QStringList { "ab", "cd" };
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringList { "a", "", "b" };
}

void TextFileTest::splitsLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    for (const QByteArray &mark : { QByteArray(), QByteArray("\xEF\xBB\xBF") }) {
        TextFile file;
        QCOMPARE(file.openBytes(mark + bytes), 0);
        QCOMPARE(readAll(file), lines);
    }
}

void TextFileTest::cutsLongLinesAndSkipsTheirRest_data()
{
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<QByteArray>("longLine");
    const QByteArray latin(5000, 'x');
    QTest::newRow("8-bit") << QByteArray() << latin;
    QTest::newRow("UTF-8 three-byte characters")
        << QByteArray("\xEF\xBB\xBF") << QString(3000, QChar(0x20AC)).toUtf8();
    QTest::newRow("UTF-8 four-byte characters")
        << QByteArray("\xEF\xBB\xBF") << QString::fromUtf8("😀").repeated(900).toUtf8();
    QByteArray wide;
    for (int i = 0; i < 4000; ++i)
        wide += QByteArray("y\0", 2);
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE") << wide;
}

void TextFileTest::cutsLongLinesAndSkipsTheirRest()
{
    QFETCH(QByteArray, mark);
    QFETCH(QByteArray, longLine);
    const bool wide = mark == QByteArray("\xFF\xFE");
    const QByteArray lineEnd = wide ? QByteArray("\n\0", 2) : QByteArray("\n");
    const QByteArray next = wide ? QByteArray("n\0", 2) : QByteArray("n");
    TextFile file;
    QCOMPARE(file.openBytes(mark + longLine + lineEnd + next), 0);
    QString line;
    QVERIFY(file.readLine(line, 1023));
    QVERIFY(line.size() <= 1023);
    QVERIFY(line.size() >= 1022); // a surrogate pair is not split
    QVERIFY(!line.back().isHighSurrogate());
    QVERIFY(file.readLine(line, 1023));
    QCOMPARE(line, QStringLiteral("n"));
}

void TextFileTest::missingFileIsNoErrorButStaysClosed()
{
    TextFile file;
    QCOMPARE(file.openRead(QStringLiteral("/nonexistent/orva/file.ini")), 0);
    QVERIFY(!file.isOpen());
    QVERIFY(file.atEnd());
    QString line = QStringLiteral("old");
    QVERIFY(!file.readLine(line));
    QVERIFY(line.isEmpty());
}

void TextFileTest::emptyFileIsAtItsEndAtOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.txt"));
    writeBytes(path, QByteArray());
    for (const QByteArray &bytes : { QByteArray(), QByteArray("\xEF\xBB\xBF") }) {
        writeBytes(path, bytes);
        TextFile file;
        QCOMPARE(file.openRead(path), 0);
        QVERIFY(file.isOpen());
        QVERIFY(file.atEnd());
    }
}

void TextFileTest::fileAboveTheSizeLimitIsNotRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.orv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(TextFile::kMaxFileBytes + 1)); // sparse: costs no disk space
    file.close();
    TextFile text;
    QCOMPARE(text.openRead(path), 0);
    QVERIFY(!text.isOpen());
    QVERIFY(QFile(path).resize(TextFile::kMaxFileBytes));
    QCOMPARE(text.openRead(path), 0);
    QVERIFY(text.isOpen());
    QCOMPARE(text.size(), TextFile::kMaxFileBytes);
}

void TextFileTest::refusesToOpenTwice()
{
    TextFile file;
    QCOMPARE(file.openBytes("a"), 0);
    QCOMPARE(file.openBytes("b"), 1);
    QCOMPARE(file.openWrite(QStringLiteral("/tmp/x"), TextFile::Encoding::Utf8), 1);
    QVERIFY(file.close().ok());
    QCOMPARE(file.openBytes("b"), 0);
}

void TextFileTest::seekIsClampedAndLetsTheClientReaderHandBackAHeader()
{
    TextFile file;
    QCOMPARE(file.openBytes("\xEF\xBB\xBF[Proband]\r\nName=Meier\r\n[Comment]\r\nnote\r\n"), 0);
    ORVA_Proband client;
    QVERIFY(client.read(file));
    QCOMPARE(client.lastName().value_or(QString()), QStringLiteral("Meier"));
    QString line;
    QVERIFY(file.readLine(line));
    QCOMPARE(line, QStringLiteral("[Comment]"));

    file.seek(-100, TextFile::Origin::Current);
    QCOMPARE(file.position(), 0);
    file.seek(std::numeric_limits<qint64>::max(), TextFile::Origin::Current);
    QVERIFY(file.atEnd());
    file.seek(-6, TextFile::Origin::End);
    QVERIFY(file.readLine(line));
    QCOMPARE(line, QStringLiteral("note"));
}

void TextFileTest::writesTheByteOrderMarkOfItsEncoding_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("8-bit") << 1 << QByteArray("v=1\n\xE4");
    QTest::newRow("UTF-8") << 2 << QByteArray("\xEF\xBB\xBFv=1\n\xC3\xA4");
    QTest::newRow("UTF-16") << 3 << QByteArray("\xFF\xFEv\0=\0001\0\n\0\xE4\0", 12);
}

void TextFileTest::writesTheByteOrderMarkOfItsEncoding()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.ini"));
    TextFile file;
    QCOMPARE(file.openWrite(path, static_cast<TextFile::Encoding>(encoding)), 0);
    file.append("v=%d\n", 1);
    file.appendText(QString::fromUtf8("ä"));
    QVERIFY(file.close().ok());
    QCOMPARE(fileBytes(path), expected);

    TextFile back;
    QCOMPARE(back.openRead(path), 0);
    QCOMPARE(readAll(back), (QStringList { "v=1", QString::fromUtf8("ä") }));
}

void TextFileTest::programTextIsUtf8WithMarkAndCrLf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.txt"));
    QVERIFY(TextFile::saveProgramText(path, QString::fromUtf8("a\nÖ\n")).ok());
    QCOMPARE(fileBytes(path),
             QByteArray("\xEF\xBB\xBF"
                        "a\r\n\xC3\x96\r\n"));
}

void TextFileTest::creatingInAMissingFolderFails()
{
    TextFile file;
    QCOMPARE(file.openWrite(QStringLiteral("/nonexistent/orva/x.ini"), TextFile::Encoding::Utf8),
             -1);
    QVERIFY(!file.isOpen());
    QVERIFY(!TextFile::saveProgramText(QStringLiteral("/nonexistent/orva/x.ini"), "x").ok());
}

void TextFileTest::failedCommitKeepsThePreviousFileAndReportsFailure()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("data")));
    const QString path = dir.filePath(QStringLiteral("data/run.orv"));
    writeBytes(path, "old content");
    TextFile file;
    QCOMPARE(file.openWrite(path, TextFile::Encoding::Utf8), 0);
    file.appendText(QStringLiteral("new content"));
    // The folder goes away while the text is collected, as a vanished share would: the final
    // rename fails.
    QVERIFY(QDir(dir.path()).rename(QStringLiteral("data"), QStringLiteral("moved")));
    const Status status = file.close();
    QVERIFY(!status.ok());
    QVERIFY(status.error().contains(path));
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("moved/run.orv"))), QByteArray("old content"));
    QVERIFY(!file.isOpen());
}

void TextFileTest::unclosedWriterLeavesThePreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    writeBytes(path, "old");
    {
        TextFile file;
        QCOMPARE(file.openWrite(path, TextFile::Encoding::Utf8), 0);
        file.appendText(QStringLiteral("half"));
    }
    QCOMPARE(fileBytes(path), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TextFileTest::refusingLinksReadsNoLinkButFilesAsUsual()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("elsewhere.txt"));
    writeBytes(target, "secret");
    const QString link = dir.filePath(QStringLiteral("Meier.orl"));
    QVERIFY(QFile::link(target, link));
    TextFile file;
    QCOMPARE(file.openRead(link, TextFile::Links::Refuse), 0);
    QVERIFY(!file.isOpen());
    QCOMPARE(file.openRead(target, TextFile::Links::Refuse), 0);
    QString line;
    QVERIFY(file.readLine(line));
    QCOMPARE(line, QStringLiteral("secret"));
    QVERIFY(file.close().ok());
    QCOMPARE(file.openRead(link), 0); // the program's own files may be links
    QVERIFY(file.isOpen());
}

QTEST_GUILESS_MAIN(TextFileTest)
#include "TextFileTest.moc"
