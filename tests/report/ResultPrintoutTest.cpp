// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ResultPrintout.h"

#include "PopplerTools.h"
#include "engine/ORVA_Experiment.h"
#include "report/Palette.h"
#include "report/PrinterChooser.h"
#include "report/PrinterDC.h"
#include "support/StringTable.h"

#include <QApplication>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class ResultPrintoutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printsOnePageOfTheRun_data();
    void printsOnePageOfTheRun();
    void separatorsStayInPlaceAtEveryResolution_data();
    void separatorsStayInPlaceAtEveryResolution();
    void cancelledChoicePrintsNothing();

private:
    QTemporaryDir m_dir;
    Palette m_palette { QApplication::palette() };
};

namespace {

enum class Run { PreTest, MainTest, AbortedAfterFour, TrainingOfEight, NoFirstName };

/// A finished run of `kind`: reaction times 400, 410, ... ms; every seventh answer wrong and
/// every eleventh without answer.
std::unique_ptr<ORVA_Experiment> makeRun(Run kind)
{
    auto run = std::make_unique<ORVA_Experiment>();
    run->setLanguage(DE_DE, false, false);
    run->buildStocksFromNameTables();
    run->createSyllableLists();
    const bool training = kind == Run::TrainingOfEight;
    run->prepareRun(training ? Training : kind == Run::MainTest ? MainTest : PreTest);
    const int length = kind == Run::MainTest ? 60 : training ? 16 : 12;
    const int measured = kind == Run::AbortedAfterFour ? 4 : length;
    const int syllables = training ? 8 : 6;
    QList<Measurement> sequence;
    for (int j = 0; j < length; ++j) {
        Measurement m;
        m.stockIndex = j % syllables;
        if (j < measured) {
            m.reactionTime = 400 + 10 * j;
            m.result = j % 11 == 10 ? NoAnswer : j % 7 == 6 ? Wrong : Right;
        }
        sequence.append(m);
    }
    run->setMeasurements(sequence);
    run->calcStatistics();
    ORVA_Proband &client = run->client();
    client.setLastName(QStringLiteral("Muster"));
    if (kind != Run::NoFirstName)
        client.setFirstName(QStringLiteral("Erika"));
    client.birthday() = ORVA_Date(3, 4, 2015);
    client.runDate() = ORVA_Date(10, 12, 2026, 14, 5);
    return run;
}

QFont layoutFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(16);
    return font;
}

/// x of every column of `image` that is grey(0.4) (103, 103, 103) from `top` to `bottom`.
QList<int> greyColumns(const QImage &image, int top, int bottom)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        int grey = 0;
        for (int y = top; y <= bottom; ++y)
            grey += image.pixel(x, y) == qRgb(103, 103, 103);
        if (grey > (bottom - top + 1) * 9 / 10)
            columns.append(x);
    }
    return columns;
}

/// Where the separators of the results block must be on a page printed at 120 dpi: the block
/// starts 440 pixels down (title at 200, 70 high, client block of 70, gaps of 50), its entries
/// 60 pixels in, in columns 22 average characters wide, each separator a character before the
/// next column. The average character of Arial's metrics, which Liberation Sans shares, is
/// 904/2048 em: 7.0625 pixels at 16.
struct ResultsBlock
{
    int top = 0;
    int bottom = 0;
    QList<int> separators;
};

ResultsBlock predictedBlock(int separators)
{
    const QFontMetrics metrics(layoutFont());
    const int th = metrics.height();
    const double cw = 904 / 2048.0 * 16;
    ResultsBlock block;
    block.top = 440 + th;
    block.bottom = 440 + 12 * th + 13 * 5 - th - 5;
    for (int c = 0; c < separators; ++c)
        block.separators.append(60 + int(((c + 1) * 22 - 1) * cw));
    return block;
}

} // namespace

void ResultPrintoutTest::initTestCase()
{
    if (!poppler::available())
        QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed");
}

void ResultPrintoutTest::printsOnePageOfTheRun_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("separators");
    QTest::addColumn<QString>("mustShow");
    QTest::addColumn<QString>("mustNotShow");
    QTest::newRow("pre-test") << int(Run::PreTest) << 12 << 2 << "Modus: Vortest"
                              << "Um die Ergebnisse";
    QTest::newRow("main test") << int(Run::MainTest) << 60 << 5 << "Durchschnitt (60)"
                               << "Um die Ergebnisse";
    // The count of the run decides the separators; the list ends with the fourth syllable.
    QTest::newRow("aborted after 4") << int(Run::AbortedAfterFour) << 4 << 1 << "Durchschnitt (4)"
                                     << "Um die Ergebnisse";
    QTest::newRow("training of 8 syllables")
        << int(Run::TrainingOfEight) << 16 << 2 << "Um die Ergebnisse der Silben"
        << "Durchschnitt";
    QTest::newRow("no first name") << int(Run::NoFirstName) << 12 << 2 << "Nachname: Muster"
                                   << "Erika";
}

void ResultPrintoutTest::printsOnePageOfTheRun()
{
    QFETCH(int, kind);
    QFETCH(int, listed);
    QFETCH(int, separators);
    QFETCH(QString, mustShow);
    QFETCH(QString, mustNotShow);
    const auto run = makeRun(Run(kind));
    const QString pdf = m_dir.filePath(QStringLiteral("result-%1.pdf").arg(kind));
    PdfPrinterChooser chooser(pdf);
    chooser.setResolution(120);
    chooser.setPageSize(QPageSize(QPageSize::A4));
    ORVA_PrinterDC printer(chooser);
    ResultPrintout printout(printer, m_palette);
    QVERIFY(printout.printResult({ run.get(), &StringTable::german(), DE_DE, 120 }, nullptr));

    const QImage page = poppler::render(
        pdf, 1, 120,
        QStringLiteral("artefacts/result-%1.png")
            .arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), '-')));
    QVERIFY(!page.isNull());
    QCOMPARE(poppler::info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(poppler::info(pdf, QStringLiteral("Title")), QStringLiteral("ORVA Result.txt"));
    const QString text = poppler::text(pdf);
    for (const QString &expected :
         { QStringLiteral("Ergebnisse des ORVA"), QStringLiteral("Klient:"),
           QStringLiteral("Versuchsergebnisse:"), QStringLiteral("Statistik:"),
           QStringLiteral("Geburtstag: 03.04.2015"), QStringLiteral("Erstellt mit dem ORVA"),
           mustShow })
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" in:\n") + text));
    QVERIFY2(!text.contains(mustNotShow), qPrintable(text));
    QVERIFY(!text.contains(QLatin1Char('#'))); // no resource string is missing
    // Entry n is "n: <syllable> <time>ms <letter>"; the list stops after the last measured one.
    const auto entry = [&text](int n) {
        return text.contains(QRegularExpression(
            QStringLiteral("(^|\\s)%1: \\w+ +%2ms").arg(n).arg(400 + 10 * (n - 1))));
    };
    for (int n = 1; n <= listed; ++n)
        QVERIFY2(entry(n), qPrintable(QStringLiteral("entry %1 in:\n%2").arg(n).arg(text)));
    QVERIFY(!entry(listed + 1));
    if (Run(kind) == Run::NoFirstName)
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("Vorname: +Modus"))));

    const ResultsBlock block = predictedBlock(separators);
    const QList<int> found = greyColumns(page, block.top + 2, block.bottom - 2);
    QCOMPARE(found.size(), block.separators.size());
    for (int c = 0; c < found.size(); ++c) // the fonts' advances are rounded to 1/64 pixel
        QVERIFY2(qAbs(found[c] - block.separators[c]) <= 1,
                 qPrintable(QStringLiteral("separator %1 at %2, expected %3")
                                .arg(c)
                                .arg(found[c])
                                .arg(block.separators[c])));
    // The separators run from the frame's top edge: nothing of them above it.
    QVERIFY(greyColumns(page, block.top - 8, block.top - 3).isEmpty());
}

void ResultPrintoutTest::separatorsStayInPlaceAtEveryResolution_data()
{
    QTest::addColumn<int>("dotsPerInch");
    QTest::newRow("300 dpi") << 300;
    QTest::newRow("600 dpi") << 600;
}

void ResultPrintoutTest::separatorsStayInPlaceAtEveryResolution()
{
    QFETCH(int, dotsPerInch);
    const auto run = makeRun(Run::MainTest);
    const QString pdf = m_dir.filePath(QStringLiteral("result-%1dpi.pdf").arg(dotsPerInch));
    PdfPrinterChooser chooser(pdf);
    chooser.setResolution(dotsPerInch);
    chooser.setPageSize(QPageSize(QPageSize::A4));
    ORVA_PrinterDC printer(chooser);
    ResultPrintout printout(printer, m_palette);
    QVERIFY(printout.printResult({ run.get(), &StringTable::german(), DE_DE, 120 }, nullptr));
    QCOMPARE(printout.scaleX(), 1.0); // back to the screen's scale
    QCOMPARE(printout.scaleY(), 1.0);

    // Seen at 120 dpi, the page printed at a finer resolution has the lines of the 120 dpi page.
    const QImage page = poppler::render(pdf, 1, 120);
    const ResultsBlock block = predictedBlock(5);
    const QList<int> found = greyColumns(page, block.top + 4, block.bottom - 4);
    QCOMPARE(found.size(), 5);
    for (int c = 0; c < 5; ++c)
        QVERIFY2(qAbs(found[c] - block.separators[c]) <= 1,
                 qPrintable(QStringLiteral("separator %1 at %2, expected %3")
                                .arg(c)
                                .arg(found[c])
                                .arg(block.separators[c])));
}

void ResultPrintoutTest::cancelledChoicePrintsNothing()
{
    class Cancelled final : public PrinterChooser
    {
    public:
        bool choose(QPrinter &, QWidget *, bool) override { return false; }
    } chooser;
    const auto run = makeRun(Run::PreTest);
    ORVA_PrinterDC printer(chooser);
    ResultPrintout printout(printer, m_palette);
    QVERIFY(!printout.printResult({ run.get(), &StringTable::german(), DE_DE, 120 }, nullptr));
    QCOMPARE(printout.scaleX(), 1.0);
}

QTEST_MAIN(ResultPrintoutTest)
#include "ResultPrintoutTest.moc"
