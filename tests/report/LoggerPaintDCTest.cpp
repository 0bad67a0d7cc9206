// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LoggerPaintDC.h"

#include "PopplerTools.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "report/PrinterChooser.h"
#include "report/PrinterDC.h"
#include "support/StringTable.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class LoggerPaintDCTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void longHistoryContinuesTheRunsTableOnTheNextPages();
    void switchesLeaveOnlyClientAndStatistics();
    void emptyHistorySaysSo();
    void practiceDayIsSingularForOneDay();
    void absentNamesPrintAsEmptyText();
    void pageTooSmallForOneLineEndsTheJob();
    void pageLimitEndsTheJob();
    void screenScrollsByTheViewsPosition();

private:
    /// A history of `entries` runs on consecutive days from 1 March 2026, 10:00 UTC, every third
    /// a test, and `words` syllables "s00", "s01", ..., written by hand in the file format.
    UserLog history(int entries, int words);
    ReportSource source(const UserLog &log) const
    {
        return { &log, &m_client, &StringTable::german(), 0, QTimeZone::utc() };
    }
    LoggerPaintDC::PrintResult print(const ReportSource &source,
                                     const QString &pdf,
                                     const QPageSize &paper = QPageSize(QPageSize::A4),
                                     bool tests = true,
                                     bool syllables = true,
                                     int maxPages = LoggerPaintDC::kMaxPages);

    QTemporaryDir m_dir;
    Palette m_palette { QApplication::palette() };
    ORVA_Proband m_client;
};

namespace {

class RecordingScrollView final : public ReportScrollView
{
public:
    QPoint scrollPosition() const override { return position; }
    void setPaintSize(int width, int height) override { paintSize = QSize(width, height); }

    QPoint position;
    QSize paintSize;
};

/// The title of the runs table on a line of its own (the statistics have "...Übungen:" too).
const QRegularExpression kRunsTitle(QStringLiteral("^ *Übungen:"),
                                    QRegularExpression::MultilineOption);

/// The row numbers of the runs table on a page of pdftotext's layout, top down.
QList<int> rowNumbers(const QString &page)
{
    QList<int> numbers;
    const QRegularExpression row(
        QStringLiteral("^\\s*(\\d+)\\s+\\d\\d\\.\\d\\d\\.\\d{4}\\s+\\d+ h"),
        QRegularExpression::MultilineOption);
    for (auto it = row.globalMatch(page); it.hasNext();)
        numbers.append(it.next().captured(1).toInt());
    return numbers;
}

} // namespace

void LoggerPaintDCTest::initTestCase()
{
    if (!poppler::available())
        QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed");
    m_client.setFirstName(QStringLiteral("Erika"));
    m_client.setLastName(QStringLiteral("Muster"));
    m_client.birthday() = ORVA_Date(3, 4, 2015);
}

UserLog LoggerPaintDCTest::history(int entries, int words)
{
    const qint64 first =
        QDateTime(QDate(2026, 3, 1), QTime(10, 0), QTimeZone::utc()).toSecsSinceEpoch();
    QString text = QStringLiteral("ORVA Logfile: Version 2.00.00\r\n[ExpList]\r\n");
    for (int i = 0; i < entries; ++i)
        text += QStringLiteral("[%1] %2 : %3 : %4 : 30 : 6 : 25 : %5\r\n")
                    .arg(i, 4)
                    .arg(i % 3 == 2 ? 0 : 1)
                    .arg(first + i * 86400)
                    .arg(600 + i)
                    .arg(500 + i);
    text += QStringLiteral("[WordList]\r\n");
    for (int w = 0; w < words; ++w)
        text += QStringLiteral("[%1]s%2:::3:7:8:%3\r\n")
                    .arg(w)
                    .arg(w, 2, 10, QLatin1Char('0'))
                    .arg(450 + w);
    const QString path = m_dir.filePath(QStringLiteral("history.orl"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return UserLog();
    file.write("\xEF\xBB\xBF" + text.toUtf8());
    file.close();
    UserLog log;
    if (!log.load(path))
        qWarning("the hand-written history was not read");
    return log;
}

LoggerPaintDC::PrintResult LoggerPaintDCTest::print(const ReportSource &source,
                                                    const QString &pdf,
                                                    const QPageSize &paper,
                                                    bool tests,
                                                    bool syllables,
                                                    int maxPages)
{
    PdfPrinterChooser chooser(pdf);
    chooser.setResolution(120);
    chooser.setPageSize(paper);
    PrinterDC printer(chooser);
    return LoggerPaintDC::print(printer, nullptr, m_palette, source, tests, syllables, maxPages);
}

void LoggerPaintDCTest::longHistoryContinuesTheRunsTableOnTheNextPages()
{
    const UserLog log = history(150, 40);
    QCOMPARE(log.entries().size(), 150);
    const QString pdf = m_dir.filePath(QStringLiteral("long.pdf"));
    QCOMPARE(print(source(log), pdf), LoggerPaintDC::PrintResult::Printed);
    QCOMPARE(poppler::info(pdf, QStringLiteral("Title")), QStringLiteral("ORVA Übungsbericht"));
    const int pages = poppler::info(pdf, QStringLiteral("Pages")).toInt();
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));

    QList<int> numbers;
    for (int page = 1; page <= pages; ++page) {
        const QString text = poppler::text(pdf, page);
        poppler::render(pdf, page, 120, QStringLiteral("artefacts/report-page-%1.png").arg(page));
        // Every page has its header and footer.
        QVERIFY2(text.contains(QRegularExpression(
                     QStringLiteral("ORVA Übungsbericht Erika Muster +- +Seite %1\\n").arg(page))),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Erstellt mit dem ORVA Version")));
        const QList<int> onPage = rowNumbers(text);
        if (page > 1 && !onPage.isEmpty()) {
            // A continued table repeats its title and header above its first row.
            QVERIFY2(text.contains(kRunsTitle), qPrintable(text));
            QVERIFY(text.contains(QRegularExpression(QStringLiteral("Nr\\. +Datum +Dauer +Typ"))));
            QVERIFY(!text.contains(QStringLiteral("Übungszeitraum")));
        }
        numbers += onPage;
    }
    QList<int> expected;
    for (int n = 1; n <= 150; ++n)
        expected.append(n);
    QCOMPARE(numbers, expected); // each row once, numbered on across the pages
    const QString last = poppler::text(pdf, pages);
    QVERIFY(last.contains(QStringLiteral("Trainierte Silben:")));
    QVERIFY(last.contains(QStringLiteral("s39")));
}

void LoggerPaintDCTest::switchesLeaveOnlyClientAndStatistics()
{
    const UserLog log = history(5, 3);
    const QString pdf = m_dir.filePath(QStringLiteral("switched-off.pdf"));
    QCOMPARE(print(source(log), pdf, QPageSize(QPageSize::A4), false, false),
             LoggerPaintDC::PrintResult::Printed);
    const QString text = poppler::text(pdf);
    QVERIFY(text.contains(QStringLiteral("Klient: Erika Muster")));
    QVERIFY(text.contains(QStringLiteral("Geburtsdatum: 03.04.2015")));
    QVERIFY(text.contains(QStringLiteral("Anzahl Übungstage")));
    QVERIFY(!text.contains(kRunsTitle));
    QVERIFY(!text.contains(QStringLiteral("Trainierte Silben:")));
    QVERIFY(rowNumbers(text).isEmpty());
}

void LoggerPaintDCTest::emptyHistorySaysSo()
{
    const UserLog log;
    const QString pdf = m_dir.filePath(QStringLiteral("empty.pdf"));
    QCOMPARE(print(source(log), pdf), LoggerPaintDC::PrintResult::Printed);
    const QString text = poppler::text(pdf);
    QVERIFY(text.contains(QStringLiteral("Es liegen keine Übungen vor.")));
    QVERIFY(!text.contains(QStringLiteral("Übungszeitraum")));
    QCOMPARE(poppler::info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
}

void LoggerPaintDCTest::practiceDayIsSingularForOneDay()
{
    const QString pdf = m_dir.filePath(QStringLiteral("days.pdf"));
    QCOMPARE(print(source(history(1, 1)), pdf), LoggerPaintDC::PrintResult::Printed);
    QVERIFY(
        poppler::text(pdf).contains(QRegularExpression(QStringLiteral("Übungstage: +1 Tag\\n"))));
    QCOMPARE(print(source(history(2, 1)), pdf), LoggerPaintDC::PrintResult::Printed);
    QVERIFY(
        poppler::text(pdf).contains(QRegularExpression(QStringLiteral("Übungstage: +2 Tage\\n"))));
}

void LoggerPaintDCTest::absentNamesPrintAsEmptyText()
{
    const UserLog log = history(2, 1);
    ReportSource nameless = source(log);
    const ORVA_Proband noNames;
    nameless.client = &noNames;
    const QString pdf = m_dir.filePath(QStringLiteral("nameless.pdf"));
    QCOMPARE(print(nameless, pdf), LoggerPaintDC::PrintResult::Printed);
    const QString text = poppler::text(pdf);
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("ORVA Übungsbericht +- +Seite 1"))),
             qPrintable(text));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("Klient:\\s*\\n"))));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("Geburtsdatum:\\s*\\n"))));
    QVERIFY(!text.contains(QLatin1Char('#')));
}

void LoggerPaintDCTest::pageTooSmallForOneLineEndsTheJob()
{
    // A label 50 x 30 mm: its 2 cm margins leave no room for the header and one line.
    const QString pdf = m_dir.filePath(QStringLiteral("label.pdf"));
    const QPageSize label(QSizeF(50, 30), QPageSize::Millimeter, QStringLiteral("label"));
    QCOMPARE(print(source(history(20, 5)), pdf, label), LoggerPaintDC::PrintResult::PageTooSmall);
    QVERIFY(!QFile::exists(pdf)); // nothing half-printed is left
    // A card of A6 still takes a few lines a page: it is printed on as many pages as it needs.
    const QString card = m_dir.filePath(QStringLiteral("card.pdf"));
    QCOMPARE(print(source(history(20, 5)), card, QPageSize(QPageSize::A6)),
             LoggerPaintDC::PrintResult::Printed);
    QVERIFY(poppler::info(card, QStringLiteral("Pages")).toInt() > 3);
    QCOMPARE(rowNumbers(poppler::text(card)).size(), 20);
}

void LoggerPaintDCTest::pageLimitEndsTheJob()
{
    const QString pdf = m_dir.filePath(QStringLiteral("limit.pdf"));
    QCOMPARE(print(source(history(150, 5)), pdf, QPageSize(QPageSize::A4), true, true, 2),
             LoggerPaintDC::PrintResult::TooManyPages);
    QVERIFY(!QFile::exists(pdf));
}

void LoggerPaintDCTest::screenScrollsByTheViewsPosition()
{
    const UserLog log = history(150, 40);
    const auto paint = [&](QPoint position, RecordingScrollView &view) {
        view.position = position;
        QImage image(700, 500, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        DrawingSurface surface(m_palette);
        surface.begin(&painter, image.rect());
        LoggerPaintDC report(false);
        report.setup(&view, source(log));
        if (!report.paint(surface)) // the screen never breaks a page
            image = QImage();
        surface.end();
        return image;
    };
    RecordingScrollView view;
    const QImage top = paint(QPoint(0, 0), view);
    QVERIFY(!top.isNull());
    QDir().mkpath(QStringLiteral("artefacts"));
    top.save(QStringLiteral("artefacts/report-screen.png"));
    QVERIFY(top.pixel(5, 5) == qRgb(255, 255, 255)); // the whole surface is white first
    // The drawn report is far taller than the window: 150 rows and the syllables.
    QVERIFY2(view.paintSize.height() > 150 * 15,
             qPrintable(QString::number(view.paintSize.height())));
    QVERIFY2(view.paintSize.width() > 300, qPrintable(QString::number(view.paintSize.width())));

    const QImage scrolled = paint(QPoint(0, 200), view);
    QCOMPARE(scrolled.copy(0, 0, 700, 300), top.copy(0, 200, 700, 300));
    QVERIFY(scrolled.copy(0, 0, 700, 300) != top.copy(0, 0, 700, 300));
}

QTEST_MAIN(LoggerPaintDCTest)
#include "LoggerPaintDCTest.moc"
