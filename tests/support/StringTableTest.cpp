// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/StringTable.h"

#include "support/Languages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class StringTableTest : public QObject
{
    Q_OBJECT

private slots:
    void namedAndNumberedLines_data();
    void namedAndNumberedLines();
    void malformedLinesAreRejected_data();
    void malformedLinesAreRejected();
    void namedEntriesFallBackToGermanPerKey();
    void keysGivenTwiceAreListed();
    void loadForLanguage_data();
    void loadForLanguage();
    void fuzzFindingsParseOrFailWithAReason();

private:
    QTemporaryDir m_dir;
};

void StringTableTest::namedAndNumberedLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("number") << QByteArray("128=Vortest") << QString() << QStringLiteral("Vortest");
    QTest::newRow("number keeps its leading blank")
        << QByteArray("242= mal vor") << QString() << QStringLiteral(" mal vor");
    QTest::newRow("menu item with key hint")
        << QByteArray("menu.32787=&Vortest\\tF6") << QStringLiteral("menu.32787")
        << QStringLiteral("&Vortest\tF6");
    QTest::newRow("menu title") << QByteArray("menu.popup.3=Ansicht")
                                << QStringLiteral("menu.popup.3") << QStringLiteral("Ansicht");
    QTest::newRow("dialog text with line break and quotes")
        << QByteArray("dialog.132.text=laden.\\nden Abschnitt \"Ein neuer Klient\".")
        << QStringLiteral("dialog.132.text")
        << QStringLiteral("laden.\nden Abschnitt \"Ein neuer Klient\".");
    QTest::newRow("name with underscore and a second equals sign")
        << QByteArray("dialog.143.print_always=a=b") << QStringLiteral("dialog.143.print_always")
        << QStringLiteral("a=b");
    QTest::newRow("backslash escape") << QByteArray("255=\"...\\\\ORVA\\\\data\"") << QString()
                                      << QStringLiteral("\"...\\ORVA\\data\"");
    QTest::newRow("UTF-8 and CR LF")
        << QByteArray("menu.32818=&H\xc3\xb6rtest\\tF9\r") << QStringLiteral("menu.32818")
        << QStringLiteral("&H\u00f6rtest\tF9");
}

void StringTableTest::namedAndNumberedLines()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    const Result<StringTable> table =
        StringTable::parse("# comment\n\n" + line + '\n', QStringLiteral("t.txt"));
    QVERIFY2(table.ok(), qPrintable(table.error()));
    if (key.isEmpty()) {
        const int id = line.left(line.indexOf('=')).toInt();
        QVERIFY(table.value().contains(id));
        QCOMPARE(table.value().text(id), expected);
        QVERIFY(table.value().keys().isEmpty());
    } else {
        QVERIFY(table.value().contains(key));
        QCOMPARE(table.value().text(key), expected);
        QCOMPARE(table.value().size(), 0);
    }
}

void StringTableTest::malformedLinesAreRejected_data()
{
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("no equals sign") << QByteArray("kein Eintrag");
    QTest::newRow("no key") << QByteArray("=Vortest");
    QTest::newRow("name beginning with a digit") << QByteArray("1menu=x");
    QTest::newRow("blank inside the name") << QByteArray("menu 32787=x");
    QTest::newRow("name with a hyphen") << QByteArray("dialog.131.list-box=x");
}

void StringTableTest::malformedLinesAreRejected()
{
    QFETCH(QByteArray, line);

    const Result<StringTable> table =
        StringTable::parse("128=Vortest\n" + line + "\n129=Haupttest\n", QStringLiteral("x.txt"));
    QVERIFY(!table.ok());
    QVERIFY2(table.error().contains(QLatin1String("x.txt: line 2")), qPrintable(table.error()));
}

void StringTableTest::namedEntriesFallBackToGermanPerKey()
{
    const Result<StringTable> english =
        StringTable::parse("menu.32787=&Pre-test\\tF6\n128=Pre-test\n", QStringLiteral("en.txt"));
    QVERIFY(english.ok());
    QCOMPARE(english.value().text(QStringLiteral("menu.32787")), QStringLiteral("&Pre-test\tF6"));
    QCOMPARE(english.value().text(QStringLiteral("menu.32788")), QStringLiteral("&Haupttest\tF7"));
    QCOMPARE(english.value().text(QStringLiteral("dialog.132.1109")),
             QStringLiteral("Diesen Dialog in Zukunft bitte nicht mehr anzeigen"));
    QCOMPARE(english.value().text(QStringLiteral("menu.4711")), QStringLiteral("#menu.4711"));
    // A name never reaches the numbered texts, nor a number the named ones.
    QCOMPARE(english.value().text(QStringLiteral("128")), QStringLiteral("#128"));
}

void StringTableTest::keysGivenTwiceAreListed()
{
    const Result<StringTable> table = StringTable::parse(
        "128=Vortest\nmenu.104=&Info\n128=Pre-test\n129=Haupttest\nmenu.104=&About\n",
        QStringLiteral("t.txt"));
    QVERIFY(table.ok());
    QCOMPARE(table.value().duplicates(), QStringList({ "128", "menu.104" }));
    QCOMPARE(table.value().text(128), QStringLiteral("Pre-test"));
    QCOMPARE(table.value().text(QStringLiteral("menu.104")), QStringLiteral("&About"));
    QCOMPARE(table.value().ids(), QList<int>({ 128, 129 }));
}

void StringTableTest::loadForLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("file"); // written to bin/<code>/strings.txt; empty: none
    QTest::addColumn<QString>("text128");
    QTest::addColumn<QString>("errorPart"); // empty: no error expected

    QTest::newRow("German is built in")
        << 0 << QByteArray() << QStringLiteral("Vortest") << QString();
    QTest::newRow("US English from its file")
        << 1 << QByteArray("128=Pre-test\n") << QStringLiteral("Pre-test") << QString();
    QTest::newRow("Polish from its file, German for the rest")
        << 5 << QByteArray("menu.popup.0=&Plik\n") << QStringLiteral("Vortest") << QString();
    QTest::newRow("missing file") << 4 << QByteArray() << QStringLiteral("Vortest")
                                  << QStringLiteral("bin/fr_fr/strings.txt");
    QTest::newRow("malformed file") << 3 << QByteArray("128=Prueba previa\nroto\n")
                                    << QStringLiteral("Vortest") << QStringLiteral("line 2");
    QTest::newRow("unknown language")
        << 6 << QByteArray() << QStringLiteral("Vortest") << QStringLiteral("language 6");
    QTest::newRow("negative language")
        << -1 << QByteArray() << QStringLiteral("Vortest") << QStringLiteral("language -1");
}

void StringTableTest::loadForLanguage()
{
    QFETCH(int, language);
    QFETCH(QByteArray, file);
    QFETCH(QString, text128);
    QFETCH(QString, errorPart);

    QTemporaryDir installation;
    if (!file.isEmpty()) {
        const QString folder =
            installation.filePath(QStringLiteral("bin/") + languageCode(language));
        QVERIFY(QDir().mkpath(folder));
        QFile strings(folder + QStringLiteral("/strings.txt"));
        QVERIFY(strings.open(QIODevice::WriteOnly));
        strings.write(file);
    }

    const Result<StringTable> table = StringTable::loadForLanguage(installation.path(), language);
    QVERIFY(table.ok());
    QCOMPARE(table.value().text(128), text128);
    if (errorPart.isEmpty()) {
        QVERIFY2(table.error().isEmpty(), qPrintable(table.error()));
    } else {
        QVERIFY2(table.error().contains(errorPart), qPrintable(table.error()));
        // The stand-in is the whole German table, menu and dialogs included.
        QCOMPARE(table.value().size(), StringTable::german().size());
        QCOMPARE(table.value().keys(), StringTable::german().keys());
    }
}

// tools/fuzz-records.sh keeps every input on which StringTableFuzz failed in data/fuzz-regressions.
void StringTableTest::fuzzFindingsParseOrFailWithAReason()
{
    const QDir findings(QStringLiteral(ORVA_SUPPORT_TEST_DATA "/fuzz-regressions"));
    const QStringList names = findings.entryList(QDir::Files);
    if (names.isEmpty())
        QSKIP("no fuzz findings yet");
    for (const QString &name : names) {
        QFile file(findings.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const Result<StringTable> table = StringTable::parse(file.readAll(), name);
        QVERIFY2(table.ok() || !table.error().isEmpty(), qPrintable(name));
    }
}

QTEST_GUILESS_MAIN(StringTableTest)
#include "StringTableTest.moc"
