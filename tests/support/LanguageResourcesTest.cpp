// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the shipped string tables and help pages of every user-interface language against the
// German table, where a slip in a translation would otherwise only show on the screen.
#include "support/Languages.h"
#include "support/StringTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <map>
#include <vector>

using namespace orva;

namespace {

QString tablePath(const QString &code)
{
    return QStringLiteral(ORVA_RESOURCES_DIR "/strings/%1.txt").arg(code);
}

/// The printf conversions of a text in order ("%s", "%d", "%4dms" gives "%4d", "%ls").
QStringList placeholders(const QString &text)
{
    static const QRegularExpression conversion(
        QStringLiteral("%[-+ #0]*[0-9]*(?:\\.[0-9]+)?(?:hh|h|ll|l|L)?[diouxXeEfgGcsp%]"));
    QStringList result;
    for (const QRegularExpressionMatch &match : conversion.globalMatch(text))
        result.append(match.captured());
    return result;
}

/// The access-key markers of a menu or dialog text ("&&" is a literal ampersand, not a marker).
int accessKeyCount(const QString &text)
{
    return QString(text).remove(QStringLiteral("&&")).count(QLatin1Char('&'));
}

QChar accessKey(const QString &text)
{
    const qsizetype at =
        QString(text).replace(QStringLiteral("&&"), QStringLiteral("  ")).indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

/// The key hint a menu item shows right of its text ("F6"), empty when it has none.
QString keyHint(const QString &text)
{
    static const QRegularExpression hint(QStringLiteral("[\\t ](F[0-9]+)$"));
    return hint.match(text).captured(1);
}

Result<StringTable> loadTable(const QString &code)
{
    return StringTable::load(tablePath(code));
}

/// Every difference of `translated` from German in placeholders and line breaks, one line each.
QStringList formatDifferences(const QString &key, const QString &german, const QString &translated)
{
    QStringList problems;
    if (placeholders(german) != placeholders(translated))
        problems << QStringLiteral("%1: placeholders %2 instead of %3")
                        .arg(key, placeholders(translated).join(u' '),
                             placeholders(german).join(u' '));
    if (german.count(QLatin1Char('\n')) != translated.count(QLatin1Char('\n')))
        problems << QStringLiteral("%1: %2 line breaks instead of %3")
                        .arg(key)
                        .arg(translated.count(QLatin1Char('\n')))
                        .arg(german.count(QLatin1Char('\n')));
    if (translated.trimmed().isEmpty() && !german.trimmed().isEmpty())
        problems << QStringLiteral("%1: empty").arg(key);
    return problems;
}

// The items of each menu of the menu bar, by command number; access keys must differ within one.
const std::map<int, std::vector<int>> kMenus = {
    { 0, { 32776, 32842, 32778, 32811, 32822, 105 } },
    { 1, { 32785, 32781, 32787, 32788, 32792, 32818 } },
    { 2, { 32824, 32829, 32827, 32828, 32816, 32841, 32838 } },
    { 3, { 32844, 32843 } },
    { 4, { 32836, 104 } },
};

} // namespace

class LanguageResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void tableParsesWithoutDuplicates_data();
    void tableParsesWithoutDuplicates();
    void translationHasEveryGermanEntryInItsFormat_data();
    void translationHasEveryGermanEntryInItsFormat();
    void translationHasNoEntryGermanLacks_data();
    void translationHasNoEntryGermanLacks();
    void accessKeysAndKeyHintsAreKept_data();
    void accessKeysAndKeyHintsAreKept();
    void helpPageHasTheNewClientSection_data();
    void helpPageHasTheNewClientSection();

private:
    static void addTranslations();
};

void LanguageResourcesTest::addTranslations()
{
    QTest::addColumn<QString>("code");
    for (int language = 1; language < 6; ++language)
        QTest::newRow(qPrintable(languageCode(language))) << languageCode(language);
}

void LanguageResourcesTest::tableParsesWithoutDuplicates_data()
{
    QTest::addColumn<QString>("code");
    for (int language = 0; language < 6; ++language)
        QTest::newRow(qPrintable(languageCode(language))) << languageCode(language);
}

void LanguageResourcesTest::tableParsesWithoutDuplicates()
{
    QFETCH(QString, code);

    const Result<StringTable> table = loadTable(code);
    QVERIFY2(table.ok(), qPrintable(table.error()));
    QVERIFY2(table.value().duplicates().isEmpty(),
             qPrintable(QStringLiteral("given twice: ") + table.value().duplicates().join(u' ')));
    QVERIFY(table.value().size() > 0);
}

void LanguageResourcesTest::translationHasEveryGermanEntryInItsFormat_data()
{
    addTranslations();
}

void LanguageResourcesTest::translationHasEveryGermanEntryInItsFormat()
{
    QFETCH(QString, code);

    const StringTable &german = StringTable::german();
    const Result<StringTable> loaded = loadTable(code);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    const StringTable &translated = loaded.value();

    QStringList problems;
    for (int id : german.ids()) {
        if (!translated.contains(id))
            problems << QStringLiteral("%1: missing").arg(id);
        else
            problems << formatDifferences(QString::number(id), german.text(id),
                                          translated.text(id));
    }
    for (const QString &key : german.keys()) {
        if (!translated.contains(key))
            problems << QStringLiteral("%1: missing").arg(key);
        else
            problems << formatDifferences(key, german.text(key), translated.text(key));
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void LanguageResourcesTest::translationHasNoEntryGermanLacks_data()
{
    addTranslations();
}

void LanguageResourcesTest::translationHasNoEntryGermanLacks()
{
    QFETCH(QString, code);

    const StringTable &german = StringTable::german();
    const Result<StringTable> loaded = loadTable(code);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));

    // An entry German lacks is a mistyped key: the program never asks for it.
    QStringList strays;
    for (int id : loaded.value().ids()) {
        if (!german.contains(id))
            strays << QString::number(id);
    }
    for (const QString &key : loaded.value().keys()) {
        if (!german.contains(key))
            strays << key;
    }
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(u' ')));
}

void LanguageResourcesTest::accessKeysAndKeyHintsAreKept_data()
{
    addTranslations();
}

void LanguageResourcesTest::accessKeysAndKeyHintsAreKept()
{
    QFETCH(QString, code);

    const StringTable &german = StringTable::german();
    const Result<StringTable> loaded = loadTable(code);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    const StringTable &translated = loaded.value();

    QStringList problems;
    for (const QString &key : german.keys()) {
        if (!key.startsWith(QLatin1String("menu.")) && !key.startsWith(QLatin1String("dialog.")))
            continue;
        const QString text = translated.text(key);
        if (accessKeyCount(text) != accessKeyCount(german.text(key)))
            problems << QStringLiteral("%1: \"%2\" has %3 access keys, German %4")
                            .arg(key, text)
                            .arg(accessKeyCount(text))
                            .arg(accessKeyCount(german.text(key)));
        if (keyHint(text) != keyHint(german.text(key)))
            problems << QStringLiteral("%1: \"%2\" lacks the key hint %3")
                            .arg(key, text, keyHint(german.text(key)));
    }

    for (const auto &[popup, items] : kMenus) {
        std::map<QChar, QString> taken;
        for (int command : items) {
            const QString key = QStringLiteral("menu.%1").arg(command);
            const QChar letter = accessKey(translated.text(key));
            if (letter.isNull())
                continue;
            if (taken.count(letter))
                problems << QStringLiteral("%1 and %2 share the access key %3")
                                .arg(taken[letter], key, letter);
            taken[letter] = key;
        }
    }
    std::map<QChar, QString> titles;
    for (const auto &[popup, items] : kMenus) {
        const QString key = QStringLiteral("menu.popup.%1").arg(popup);
        const QChar letter = accessKey(translated.text(key));
        if (letter.isNull())
            continue;
        if (titles.count(letter))
            problems << QStringLiteral("%1 and %2 share the access key %3")
                            .arg(titles[letter], key, letter);
        titles[letter] = key;
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void LanguageResourcesTest::helpPageHasTheNewClientSection_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");

    QTest::newRow("de_de") << QStringLiteral("de_de") << QStringLiteral("Ein neuer Klient");
    QTest::newRow("en_us") << QStringLiteral("en_us") << QStringLiteral("A new client");
    QTest::newRow("en_uk") << QStringLiteral("en_uk") << QStringLiteral("A new client");
    QTest::newRow("es_es") << QStringLiteral("es_es") << QStringLiteral("Un nuevo cliente");
    QTest::newRow("fr_fr") << QStringLiteral("fr_fr") << QStringLiteral("Un nouveau client");
    QTest::newRow("pl_pl") << QStringLiteral("pl_pl") << QStringLiteral("Nowy klient");
}

void LanguageResourcesTest::helpPageHasTheNewClientSection()
{
    QFETCH(QString, code);
    QFETCH(QString, title);

    QFile file(QStringLiteral(ORVA_RESOURCES_DIR "/help/%1/index.html").arg(code));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString page = QString::fromUtf8(file.readAll());

    // The first-steps dialog sends the operator to this section by its title.
    static const QRegularExpression section(
        QStringLiteral("<(h[1-6])[^>]*\\bid=\"ein-neuer-klient\"[^>]*>([^<]*)</\\1>"));
    const QRegularExpressionMatch match = section.match(page);
    QVERIFY2(match.hasMatch(), "no heading with the id ein-neuer-klient");
    QCOMPARE(match.captured(2).trimmed(), title);

    const Result<StringTable> table = code == QLatin1String("de_de")
        ? Result<StringTable>(StringTable::german())
        : loadTable(code);
    QVERIFY2(table.ok(), qPrintable(table.error()));
    QVERIFY2(table.value().text(QStringLiteral("dialog.132.text")).contains(title),
             "the first-steps dialog names another section");

    QVERIFY(page.contains(QLatin1String("<meta charset=\"utf-8\">")));
    // The help is read from the installation, often with no network: nothing may come from
    // elsewhere.
    static const QRegularExpression external(QStringLiteral("(?:src|href)=\"(?!#)|@import|url\\("),
                                             QRegularExpression::CaseInsensitiveOption);
    QVERIFY2(!external.match(page).hasMatch(), qPrintable(external.match(page).captured()));
}

QTEST_GUILESS_MAIN(LanguageResourcesTest)
#include "LanguageResourcesTest.moc"
