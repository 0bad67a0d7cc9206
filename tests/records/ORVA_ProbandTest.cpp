// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ORVA_Proband.h"

#include "records/LineSource.h"

#include <QTest>
#include <QTextStream>

using namespace orva;

class ORVA_ProbandTest : public QObject
{
    Q_OBJECT

private slots:
    void parsesDates_data();
    void parsesDates();
    void displaysDatesPerLanguage_data();
    void displaysDatesPerLanguage();
    void comparesDatesIgnoringTheTimeForEquality();
    void answerWindowFollowsTheTimeShift_data();
    void answerWindowFollowsTheTimeShift();
    void writesTheSectionInItsFixedOrder();
    void writerOmitsMissingNames();
    void readsWhatItWrote();
    void readsValuesByKeyPrefix();
    void readingStopsAtTheNextSectionAndHandsItBack();
    void readingFailsOnKeysOrHeadersBeforeTheSection_data();
    void readingFailsOnKeysOrHeadersBeforeTheSection();
    void readingSurvivesHostileValues();
    void valuesOutsideTheSettingsRangeAreLimited_data();
    void valuesOutsideTheSettingsRangeAreLimited();
    void clientsSortByNameThenBirthday();
    void clientsAreEqualByNamesAndBirthday();
};

void ORVA_ProbandTest::parsesDates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("order");
    QTest::addColumn<QList<int>>("expected"); // day, month, year, hour, minute
    QTest::newRow("day first") << "05.03.2011" << 0 << QList<int>({ 5, 3, 2011, 7, 9 });
    QTest::newRow("month first") << "03/05/2011" << 1 << QList<int>({ 5, 3, 2011, 7, 9 });
    QTest::newRow("with time") << "14.02.2019 09:30" << 0 << QList<int>({ 14, 2, 2019, 9, 30 });
    QTest::newRow("underscores") << "05_03_2011" << 0 << QList<int>({ 5, 3, 2011, 7, 9 });
    QTest::newRow("nine characters ignored") << "5.3.2011" << 0 << QList<int>({ 1, 1, 2000, 7, 9 });
    QTest::newRow("letters read as 0") << "ab.cd.efgh" << 0 << QList<int>({ 0, 0, 0, 7, 9 });
    QTest::newRow("impossible kept") << "31.02.2019" << 0 << QList<int>({ 31, 2, 2019, 7, 9 });
    QTest::newRow("very long") << QString("01.02.2003 04:05") + QString(5000, 'x') << 0
                               << QList<int>({ 1, 2, 2003, 4, 5 });
}

void ORVA_ProbandTest::parsesDates()
{
    QFETCH(QString, text);
    QFETCH(int, order);
    QFETCH(QList<int>, expected);
    ORVA_Date date(1, 1, 2000, 7, 9);
    date.parse(text, static_cast<ORVA_Date::Order>(order));
    QCOMPARE(QList<int>({ date.day, date.month, date.year, date.hour, date.minute }), expected);
}

void ORVA_ProbandTest::displaysDatesPerLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("valid");
    QTest::addColumn<QString>("invalid");
    QTest::addColumn<QString>("separator");
    QTest::newRow("de_de") << 0 << "05.03.2011"
                           << "tt.mm.jjjj"
                           << ".";
    QTest::newRow("en_us") << 1 << "03/05/2011"
                           << "mm/dd/yyyy"
                           << "/";
    QTest::newRow("en_uk") << 2 << "05/03/2011"
                           << "dd/mm/yyyy"
                           << "/";
    QTest::newRow("es_es") << 3 << "05/03/2011"
                           << "dd/mm/yyyy"
                           << "/";
    QTest::newRow("fr_fr") << 4 << "05.03.2011"
                           << "jj.mm.aaaa"
                           << ".";
    QTest::newRow("pl_pl") << 5 << "05.03.2011"
                           << "tt.mm.jjjj"
                           << ".";
}

void ORVA_ProbandTest::displaysDatesPerLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, valid);
    QFETCH(QString, invalid);
    QFETCH(QString, separator);
    QCOMPARE(ORVA_Date(5, 3, 2011).displayText(language), valid);
    QCOMPARE(ORVA_Date(0, 3, 2011).displayText(language), invalid);
    QCOMPARE(ORVA_Date(5, 3, 1900).displayText(language), invalid);
    QCOMPARE(ORVA_Date::separator(language), separator);
    QCOMPARE(ORVA_Date(5, 3, 2011, 9, 5).timeText(), QStringLiteral("09:05h"));
}

void ORVA_ProbandTest::comparesDatesIgnoringTheTimeForEquality()
{
    const ORVA_Date morning(5, 3, 2011, 8, 0);
    const ORVA_Date evening(5, 3, 2011, 20, 0);
    QVERIFY(morning == evening);
    QVERIFY(evening > morning);
    QVERIFY(!(morning < evening)); // less ignores the time of day
    QVERIFY(morning >= evening);
    QVERIFY(ORVA_Date(1, 1, 2010) < ORVA_Date(5, 3, 2011));
    QVERIFY(ORVA_Date(31, 12, 2011) > ORVA_Date(1, 1, 2011));
    QVERIFY(ORVA_Date(1, 2, 2011) <= ORVA_Date(1, 2, 2011));
}

void ORVA_ProbandTest::answerWindowFollowsTheTimeShift_data()
{
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("window");
    QTest::newRow("0") << 0 << 2000;
    QTest::newRow("-1000") << -1000 << 2000;
    QTest::newRow("1500") << 1500 << 3000;
    QTest::newRow("2000") << 2000 << 3000;
    QTest::newRow("2001") << 2001 << 4000;
    QTest::newRow("-2500") << -2500 << 4000;
    QTest::newRow("-3000") << -3000 << 4000;
    QTest::newRow("-5000") << -5000 << 6000;
    QTest::newRow("most negative, limited to -5000") << std::numeric_limits<int>::min() << 6000;
}

void ORVA_ProbandTest::answerWindowFollowsTheTimeShift()
{
    QFETCH(int, shift);
    QFETCH(int, window);
    ORVA_Proband client;
    client.setTimeShift(shift);
    QCOMPARE(client.answerWindow(), window);
}

namespace {

QString written(const ORVA_Proband &client)
{
    QString text;
    QTextStream out(&text);
    client.write(out);
    out.flush();
    return text;
}

ORVA_Proband annaMeier()
{
    ORVA_Proband client;
    client.setLastName(QStringLiteral("Meier"));
    client.setFirstName(QStringLiteral("Anna"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    client.runDate() = ORVA_Date(14, 2, 2019, 9, 30);
    return client;
}

} // namespace

void ORVA_ProbandTest::writesTheSectionInItsFixedOrder()
{
    QCOMPARE(written(annaMeier()),
             QStringLiteral("[Proband]\nName=Meier\nVorname=Anna\nGeburtstag=05.03.2011\n"
                            "Versuchsdatum=14.02.2019 09:30\nZeitdifferenz=0\nRauschpegel=-15\n"
                            "Silbenauswahl=1\nSilbenliste DE_DE=0\nSilbenliste EN_UK=0\n"
                            "Silbenliste EN_US=0\nSilbenliste ES_ES=0\nSilbenliste PL_PL=0\n"
                            "Silbenliste FR_FR=0\nWiederholungen=5\nWiederholen=1\n"
                            "Mit Rauschen=0\nRauschen dauerhaft=0\nAnzeigemodus=1\nRauschart=0\n"));
}

void ORVA_ProbandTest::writerOmitsMissingNames()
{
    StringLineSource source = StringLineSource::fromText("[Proband]\nName=\nVorname=Jo\n");
    ORVA_Proband client;
    QVERIFY(client.read(source));
    QVERIFY(!client.lastName());
    const QString text = written(client);
    QVERIFY(!text.contains(QLatin1String("\nName=")));
    QVERIFY(text.contains(QLatin1String("\nVorname=Jo\n")));
}

void ORVA_ProbandTest::readsWhatItWrote()
{
    ORVA_Proband original = annaMeier();
    original.setFirstName(QStringLiteral("Zoë Łucja"));
    original.setTimeShift(-2500);
    original.setNoiseLevel(-27);
    original.setSyllableSelection(3);
    for (int language = 0; language < 6; ++language)
        original.setChosenList(language, 10 * language + 1);
    original.setRepetitions(7);
    original.setRepeat(false);
    original.setNoiseOn(true);
    original.setNoiseContinuous(true);
    original.setDisplayMode(false);
    original.setNoiseType(1);

    StringLineSource source = StringLineSource::fromText(written(original));
    ORVA_Proband copy;
    QVERIFY(copy.read(source));
    QCOMPARE(written(copy), written(original));
    QCOMPARE(copy.answerWindow(), 4000);
    QCOMPARE(copy.runDate().hour, 9);
    QCOMPARE(copy.chosenList(1), 11);
}

void ORVA_ProbandTest::readsValuesByKeyPrefix()
{
    StringLineSource source = StringLineSource::fromText(
        "[Proband]\r\nWiederholungen=3\r\nZeitdifferenz=-3000\r\nGeburtstag=5.3.2011\r\n"
        "Silbenliste PL_PL=12xyz\r\nRauschpegel=abc\r\nunknown line\r\nName=Meier \r\n");
    ORVA_Proband client;
    client.setRepeat(false);
    QVERIFY(client.read(source));
    QCOMPARE(client.repetitions(), 3);
    QCOMPARE(client.repeat(), false); // "Wiederholungen" is not "Wiederholen"
    QCOMPARE(client.answerWindow(), 4000);
    QCOMPARE(client.birthday(), ORVA_Date()); // nine characters are ignored
    QCOMPARE(client.chosenList(5), 12);
    QCOMPARE(client.noiseLevel(), ORVA_Proband::kMaxNoiseLevelDb); // "abc" reads 0, limited
    QCOMPARE(client.lastName(), std::optional<QString>(QStringLiteral("Meier ")));
}

void ORVA_ProbandTest::readingStopsAtTheNextSectionAndHandsItBack()
{
    StringLineSource source =
        StringLineSource::fromText("[Proband]\nName=Meier\n[Comment]\nText\n");
    ORVA_Proband client;
    QVERIFY(client.read(source));
    QString line;
    QVERIFY(source.readLine(line));
    QCOMPARE(line, QStringLiteral("[Comment]"));
}

void ORVA_ProbandTest::readingFailsOnKeysOrHeadersBeforeTheSection_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("header first") << "[Intro]\n[Proband]\nName=X\n";
    QTest::newRow("key first") << "Name=X\n[Proband]\n";
}

void ORVA_ProbandTest::readingFailsOnKeysOrHeadersBeforeTheSection()
{
    QFETCH(QString, text);
    StringLineSource source = StringLineSource::fromText(text);
    ORVA_Proband client;
    QVERIFY(!client.read(source));
}

void ORVA_ProbandTest::readingSurvivesHostileValues()
{
    StringLineSource source = StringLineSource::fromText(
        "[Proband]\nWiederholungen=99999999999999999999\nZeitdifferenz=-2147483648\n"
        "Versuchsdatum="
        + QString(100000, '9') + "\nName=" + QString(5000, 'a') + "\n");
    ORVA_Proband client;
    QVERIFY(client.read(source));
    QCOMPARE(client.repetitions(), 2147483647);
    QCOMPARE(client.lastName()->size(), 1023 - 5); // lines are cut at 1023 characters
}

void ORVA_ProbandTest::valuesOutsideTheSettingsRangeAreLimited_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<int>("timeShift");
    QTest::addColumn<int>("noiseLevel");
    QTest::newRow("in range") << "Zeitdifferenz=-3000\nRauschpegel=-20" << -3000 << -20;
    QTest::newRow("limits") << "Zeitdifferenz=5000\nRauschpegel=-3" << 5000 << -3;
    QTest::newRow("largest int") << "Zeitdifferenz=2147483647\nRauschpegel=2147483647" << 5000
                                 << -3;
    QTest::newRow("positive noise would amplify") << "Zeitdifferenz=0\nRauschpegel=40" << 0 << -3;
    QTest::newRow("too quiet, too early")
        << "Zeitdifferenz=-5001\nRauschpegel=-100" << -5000 << -30;
}

void ORVA_ProbandTest::valuesOutsideTheSettingsRangeAreLimited()
{
    QFETCH(QString, lines);
    QFETCH(int, timeShift);
    QFETCH(int, noiseLevel);
    StringLineSource source =
        StringLineSource::fromText(QStringLiteral("[Proband]\n") + lines + QLatin1Char('\n'));
    ORVA_Proband client;
    QVERIFY(client.read(source));
    QCOMPARE(client.timeShift(), timeShift);
    QCOMPARE(client.noiseLevel(), noiseLevel);
    QCOMPARE(client.answerWindow(), ORVA_Proband::answerWindowFor(timeShift));
    client.setNoiseLevel(12);
    QCOMPARE(client.noiseLevel(), ORVA_Proband::kMaxNoiseLevelDb);
}

void ORVA_ProbandTest::clientsSortByNameThenBirthday()
{
    ORVA_Proband older = annaMeier();
    older.birthday() = ORVA_Date(1, 1, 2010);
    older.runDate() = ORVA_Date(1, 1, 2024);
    ORVA_Proband younger = annaMeier();
    younger.runDate() = ORVA_Date(1, 1, 2015);
    QVERIFY(ORVA_Proband::less(older, younger));
    QVERIFY(!ORVA_Proband::less(younger, older));

    ORVA_Proband nameless;
    QVERIFY(ORVA_Proband::less(younger, nameless)); // a name sorts first
    QVERIFY(!ORVA_Proband::less(nameless, younger));
    ORVA_Proband adam = annaMeier();
    adam.setLastName(QStringLiteral("Adam"));
    QVERIFY(ORVA_Proband::less(adam, older));
    ORVA_Proband later = annaMeier();
    later.runDate() = ORVA_Date(15, 2, 2019);
    QVERIFY(ORVA_Proband::less(annaMeier(), later));
}

void ORVA_ProbandTest::clientsAreEqualByNamesAndBirthday()
{
    ORVA_Proband a = annaMeier();
    ORVA_Proband b = annaMeier();
    b.runDate() = ORVA_Date(1, 1, 2001);
    b.setRepetitions(9);
    QVERIFY(ORVA_Proband::equal(a, b));
    b.setFirstName(QString());
    QVERIFY(!ORVA_Proband::equal(a, b));
    a.setFirstName(QString());
    QVERIFY(ORVA_Proband::equal(a, b));
}

QTEST_GUILESS_MAIN(ORVA_ProbandTest)
#include "ORVA_ProbandTest.moc"
