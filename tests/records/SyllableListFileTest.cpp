// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/SyllableListFile.h"

#include "records/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

using OwnList = SyllableListFile::OwnList;

namespace {

Result<QList<OwnList>> readText(const QByteArray &bytes)
{
    TextFile file;
    file.openBytes(bytes);
    return SyllableListFile::read(file);
}

OwnList ownList(QString label, int language, QStringList syllables, int id, bool active)
{
    OwnList list;
    list.label = std::move(label);
    list.language = language;
    list.languageCode = SyllableListFile::upperCode(language);
    list.syllables = std::move(syllables);
    list.id = id;
    list.active = active;
    return list;
}

} // namespace

class SyllableListFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsTheListsOfEveryLanguage();
    void fieldsGiveTheSyllables_data();
    void fieldsGiveTheSyllables();
    void shortLineStopsListsUntilTheNextSection();
    void rejectsTheSectionBeforeTheHeader();
    void writesEveryListWithTrailingBlanks();
    void writtenListsReadBack();
    void labelsThatWouldEndTheirListAreWrittenSoThatItReadsBack_data();
    void labelsThatWouldEndTheirListAreWrittenSoThatItReadsBack();
};

void SyllableListFileTest::readsTheListsOfEveryLanguage()
{
    const Result<QList<OwnList>> lists = readText("\xEF\xBB\xBFORVA SyllableList 3.0\r\n"
                                                  "[Syllablelist]\r\n"
                                                  "Mein1 DE_DE ba pa ga 100 1 \r\n"
                                                  "Test EN_UK ba ma 101 0 \r\n"
                                                  "Klein de_de ba 102 1 \r\n"
                                                  "Fremd XX_XX ba 103 1 \r\n");
    QVERIFY(lists.ok());
    QCOMPARE(lists.value().size(), 4);
    OwnList first = ownList("Mein1", 0, { "ba", "pa", "ga" }, 100, true);
    QCOMPARE(lists.value()[0], first);
    QCOMPARE(lists.value()[1].language, 2);
    QCOMPARE(lists.value()[1].active, false);
    QCOMPARE(lists.value()[1].id, 101);
    QCOMPARE(lists.value()[2].language, 0); // the code's case does not matter
    QCOMPARE(lists.value()[3].language, -1);
}

void SyllableListFileTest::fieldsGiveTheSyllables_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("syllables");
    QTest::addColumn<int>("id");
    QTest::newRow("10 fields, 6 syllables")
        << QByteArray("3.0") << QByteArray("L DE_DE a b c d e f 104 1")
        << QStringList { "a", "b", "c", "d", "e", "f" } << 104;
    QTest::newRow("5 fields, 1 syllable")
        << QByteArray("3.0") << QByteArray("L DE_DE a 105 1") << QStringList { "a" } << 105;
    QTest::newRow("fields past 10 are not read")
        << QByteArray("3.0") << QByteArray("L DE_DE a b c d e f 106 1 extra 107 1")
        << QStringList { "a", "b", "c", "d", "e", "f" } << 106;
    QTest::newRow("tabs and runs of blanks")
        << QByteArray("3.0") << QByteArray("L\tDE_DE  a\t 108 1") << QStringList { "a" } << 108;
    QTest::newRow("before 3.0 without id")
        << QByteArray("2.0") << QByteArray("L DE_DE a b unused") << QStringList { "a", "b" } << -1;
    QTest::newRow("before 3.0, 10 fields: 6 of 7 syllables, as the file can keep")
        << QByteArray("2.0") << QByteArray("L DE_DE a b c d e f g unused")
        << QStringList { "a", "b", "c", "d", "e", "f" } << -1;
    QTest::newRow("field of 100 characters")
        << QByteArray("3.0") << "L DE_DE " + QByteArray(100, 'a') + " 109 1" << QStringList() << 0;
    QTest::newRow("no syllables") << QByteArray("3.0") << QByteArray("L DE_DE 110 1")
                                  << QStringList() << 0;
}

void SyllableListFileTest::fieldsGiveTheSyllables()
{
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, line);
    QFETCH(QStringList, syllables);
    QFETCH(int, id);
    const Result<QList<OwnList>> lists =
        readText("ORVA SyllableList " + version + "\n[Syllablelist]\n" + line + "\n");
    QVERIFY(lists.ok());
    if (syllables.isEmpty()) {
        QCOMPARE(lists.value().size(), 0); // dropped
        return;
    }
    QCOMPARE(lists.value().size(), 1);
    QCOMPARE(lists.value()[0].syllables, syllables);
    QCOMPARE(lists.value()[0].id, id);
    QVERIFY(lists.value()[0].active);
}

void SyllableListFileTest::shortLineStopsListsUntilTheNextSection()
{
    const Result<QList<OwnList>> lists = readText("ORVA SyllableList 3.0\n[Syllablelist]\n"
                                                  "A DE_DE ba 100 1\n"
                                                  "\n"
                                                  "B DE_DE da 101 1\n"
                                                  "[Syllablelist]\n"
                                                  "C DE_DE ga 102 1\n");
    QVERIFY(lists.ok());
    QCOMPARE(lists.value().size(), 2);
    QCOMPARE(lists.value()[0].label, QStringLiteral("A"));
    QCOMPARE(lists.value()[1].label, QStringLiteral("C"));
}

void SyllableListFileTest::rejectsTheSectionBeforeTheHeader()
{
    QVERIFY(!readText("[Syllablelist]\nORVA SyllableList 3.0\n").ok());
    QVERIFY(readText("ORVA SyllableList 3.0\n").ok());
    QVERIFY(!SyllableListFile::read(QStringLiteral("/nonexistent/bin/ORVA.ors")).ok());
}

void SyllableListFileTest::writesEveryListWithTrailingBlanks()
{
    OwnList foreign = ownList("x", -1, { "ka" }, 103, true);
    foreign.languageCode = QStringLiteral("XX_XX");
    const QString text = SyllableListFile::toText(
        { ownList("Mein1", 0, { "ba", "pa", "ga" }, 100, true),
          ownList("Test", 2, { "ba", "ma" }, 101, false),
          ownList("Zwei Worte", 5, { QString::fromUtf8("bą") }, 102, true), foreign });
    QCOMPARE(text,
             QString::fromUtf8("ORVA SyllableList 3.0\n[Syllablelist]\n"
                               "Mein1 DE_DE ba pa ga 100 1 \n"
                               "Test EN_UK ba ma 101 0 \n"
                               "Zwei_Worte PL_PL bą 102 1 \n"
                               "x XX_XX ka 103 1 \n"));
}

void SyllableListFileTest::writtenListsReadBack()
{
    QTemporaryDir dir;
    const QString path = SyllableListFile::filePath(dir.path());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    const QList<OwnList> lists { ownList("A", 4, { QString::fromUtf8("bé"), "da" }, 100, true),
                                 ownList("B", 1, { "bu" }, 101, false) };
    QVERIFY(SyllableListFile::write(path, lists).ok());
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().startsWith("\xEF\xBB\xBFORVA SyllableList 3.0\r\n[Syllablelist]\r\n"));
    const Result<QList<OwnList>> back = SyllableListFile::read(path);
    QVERIFY(back.ok());
    QCOMPARE(back.value(), lists);
}

void SyllableListFileTest::labelsThatWouldEndTheirListAreWrittenSoThatItReadsBack_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("readBack");
    // The text reader drops a byte-order mark that begins a line, and a line that begins like the
    // header or the section header is one.
    QTest::newRow("byte-order mark first")
        << QStringLiteral("\uFEFFMein") << QStringLiteral("DE_DE") << QStringLiteral("Mein");
    QTest::newRow("byte-order mark alone")
        << QStringLiteral("\uFEFF") << QStringLiteral("DE_DE") << QStringLiteral("_");
    QTest::newRow("section name first")
        << QStringLiteral("[Syllablelist]1") << QStringLiteral("DE_DE")
        << QStringLiteral("_[Syllablelist]1");
    QTest::newRow("header with an unknown code")
        << QStringLiteral("ORVA") << QStringLiteral("SyllableList") << QStringLiteral("_ORVA");
}

void SyllableListFileTest::labelsThatWouldEndTheirListAreWrittenSoThatItReadsBack()
{
    QFETCH(QString, label);
    QFETCH(QString, code);
    QFETCH(QString, readBack);
    OwnList first = ownList(label, 0, { "ba", "da" }, 100, true);
    first.language = SyllableListFile::upperCode(0) == code ? 0 : -1;
    first.languageCode = code;
    const QList<OwnList> lists { first, ownList("Zwei", 0, { "ga" }, 101, true) };
    const Result<QList<OwnList>> back =
        readText("\xEF\xBB\xBF" + SyllableListFile::toText(lists).toUtf8());
    QVERIFY(back.ok());
    QCOMPARE(back.value().size(), 2);
    QCOMPARE(back.value()[0].label, readBack);
    QCOMPARE(back.value()[0].syllables, lists[0].syllables);
    QCOMPARE(back.value()[1], lists[1]);
}

QTEST_GUILESS_MAIN(SyllableListFileTest)
#include "SyllableListFileTest.moc"
