// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LoggerPaintDC.h"

#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "report/PrinterDC.h"
#include "support/Logger.h"
#include "support/ProgramVersion.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace orva {

namespace {

/// Thrown by the line operations when the page is full; caught in paint() alone.
struct EndOfPage
{
};

// Widths in units of the normal font (a tenth of "xxxxxxxxxx" is five units).
constexpr double kLabelColumn = 220;
constexpr double kRunColumns[] = { 33, 99, 99, 66, 66, 66, 66, 66 };
constexpr int kRunHeaders[] = { Text::kReportNumber,    Text::kReportDate,
                                Text::kReportDuration,  Text::kReportType,
                                Text::kReportPresented, Text::kReportDistinct,
                                Text::kReportCorrect,   Text::kReportAverageTime };
constexpr double kSyllableColumn = 60;
constexpr int kSyllableHeaders[] = { Text::kReportSyllable, Text::kReportCorrectOfWord,
                                     Text::kReportTotal, Text::kReportAverageTime };

/// The sans font of the report: Liberation Sans keeps Arial's metrics, so a page looks the same
/// wherever it is printed. `points` is the height of the character cell (ascent and descent),
/// as font heights are given on the platforms the report's layout was made for; the em is
/// smaller by the font's line spacing.
QFont reportFont(int points, int dotsPerInch, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    constexpr int kProbe = 1000;
    font.setPixelSize(kProbe);
    const double cellPerEm = QFontMetricsF(font).height() / kProbe;
    const int cell = (points * dotsPerInch + 36) / 72;
    font.setPixelSize(std::max(1, qRound(cell / cellPerEm)));
    return font;
}

} // namespace

LoggerPaintDC::LoggerPaintDC(bool printing)
    : m_printing(printing)
{ }

void LoggerPaintDC::setup(ReportScrollView *view, ReportSource source)
{
    m_view = view;
    m_source = std::move(source);
}

QString LoggerPaintDC::text(int id) const
{
    return m_source.strings ? m_source.strings->text(id) : QString();
}

bool LoggerPaintDC::paint(DrawingSurface &surface)
{
    m_surface = &surface;
    const int dpi = surface.painter()->device()->logicalDpiY();
    m_fonts = { reportFont(10, dpi, false), reportFont(10, dpi, true), reportFont(16, dpi, true),
                reportFont(8, dpi, true) };
    const QRect rect = surface.rect();
    int headerHeight = 0;
    if (m_printing) {
        drawPageHeader();
        drawPageFooter();
        selectFont(Header);
        headerHeight = surface.textHeight();
    } else {
        surface.fillRect(Palette::kWhite, false, false, rect);
    }
    m_line = 0;
    m_linesOnPage = 0;
    selectFont(Normal);
    m_unit = textWidth(QStringLiteral("xxxxxxxxxx")) / 50.0;
    m_leftMargin = int(m_unit * 10);
    m_topMargin = int(m_unit * 10);
    m_gap = int(m_unit * 5);
    const QPoint scroll = !m_printing && m_view ? m_view->scrollPosition() : QPoint();
    m_left = rect.left() - scroll.x() + m_leftMargin;
    m_top = rect.top() - scroll.y() + headerHeight + m_topMargin;
    m_x = m_left;
    m_y = m_top;
    // The extent starts where the report starts, scrolled or not, so that the scroll range
    // follows the report and not the position it was scrolled to.
    m_maxX = m_left;
    m_maxY = m_top;
    m_rightLimit = rect.width() - 1 - 2 * m_leftMargin;

    bool ended = true;
    try {
        drawBody();
    } catch (const EndOfPage &) {
        ended = false;
    }
    if (!m_printing && m_view && (m_maxX != m_lastMaxX || m_maxY != m_lastMaxY)) {
        m_view->setPaintSize(m_maxX + 2 * m_leftMargin + scroll.x(),
                             m_maxY + 2 * m_topMargin + scroll.y());
        m_lastMaxX = m_maxX;
        m_lastMaxY = m_maxY;
    }
    m_surface = nullptr;
    ++m_pageCounter;
    return ended || !m_printing;
}

void LoggerPaintDC::drawPageHeader()
{
    selectFont(Header);
    const QRect rect = m_surface->rect();
    const int height = m_surface->textHeight();
    const ORVA_Proband *client = m_source.client;
    const QString title = QStringLiteral("%1 %2 %3   -   %4 %5")
                              .arg(text(Text::kReportTitle),
                                   client ? client->firstName().value_or(QString()) : QString(),
                                   client ? client->lastName().value_or(QString()) : QString(),
                                   text(Text::kReportPage))
                              .arg(m_pageCounter + 1);
    m_surface->drawText(QRect(rect.left(), rect.top(), rect.width(), height), true, true, title);
    m_surface->horizontal(Palette::kNearBlack, 1, rect.left(), rect.right(), rect.top() + height);
}

void LoggerPaintDC::drawPageFooter()
{
    selectFont(Footer);
    const QRect rect = m_surface->rect();
    const int height = m_surface->textHeight();
    const QString footer =
        QStringLiteral("%1 %2 %3")
            .arg(text(Text::kCreatedWith), ProgramVersion::text(), text(Text::kMaker));
    m_surface->drawText(QRect(QPoint(rect.left(), rect.bottom() - 2 * height), rect.bottomRight()),
                        true, true, footer);
}

void LoggerPaintDC::selectFont(FontIndex font)
{
    m_font = font;
    m_surface->setFont(&m_fonts[font]);
}

int LoggerPaintDC::textWidth(const QString &text) const
{
    return QFontMetrics(m_fonts[m_font], m_surface->painter()->device()).horizontalAdvance(text);
}

void LoggerPaintDC::updateMax(int x, int y)
{
    m_maxX = std::max(m_maxX, x);
    m_maxY = std::max(m_maxY, y);
}

void LoggerPaintDC::newLine()
{
    if (isVisible()) {
        // A line counts as printed only when all of it is on the page.
        if (m_y + m_surface->textHeight() <= m_surface->rect().bottom())
            ++m_linesOnPage;
        m_x = m_left;
        m_y += m_surface->textHeight() + m_gap;
        updateMax(m_x, m_y);
    }
    ++m_line;
    ensureRoom(1);
}

void LoggerPaintDC::ensureRoom(int lines)
{
    if (!m_printing)
        return;
    // Against the surface's height rather than its bottom edge, so a page ends a top margin
    // early rather than late.
    if (m_y + lines * (m_surface->textHeight() + m_gap) > m_surface->rect().height()) {
        m_startLine = m_line;
        m_endedInTestTable = m_inTestTable;
        m_endedInWordTable = m_inWordTable;
        throw EndOfPage {};
    }
}

void LoggerPaintDC::textLine(const QString &line, FontIndex font)
{
    selectFont(font);
    if (isVisible()) {
        m_x = m_left;
        m_surface->textOut(m_x, m_y, line);
        updateMax(m_x + textWidth(line), m_y);
    }
    newLine();
}

void LoggerPaintDC::labelledLine(int label, const QString &value)
{
    if (isVisible()) {
        m_x = m_left;
        selectFont(Bold);
        const QString labelText = text(label) + QLatin1Char(':');
        const int labelWidth = textWidth(labelText);
        m_surface->textOut(m_x, m_y, labelText);
        const int offset = labelWidth > units(kLabelColumn) ? labelWidth + 5 : units(kLabelColumn);
        selectFont(Normal);
        m_surface->textOut(m_x + offset, m_y, value);
        updateMax(m_x + offset + labelWidth + textWidth(value), m_y);
    }
    newLine();
}

void LoggerPaintDC::titleLine(int title, QString &remembered)
{
    remembered = text(title) + QLatin1Char(':');
    textLine(remembered, Bold);
}

void LoggerPaintDC::verticalRule(int x)
{
    m_surface->vertical(Palette::kNearBlack, 1, x - m_leftMargin, m_y - m_gap / 2,
                        m_y + m_surface->textHeight() + m_gap / 2);
}

void LoggerPaintDC::topRule(int from, int to)
{
    m_surface->horizontal(Palette::kNearBlack, 1, from - m_leftMargin, to - m_leftMargin + 1,
                          m_y - m_gap / 2);
}

void LoggerPaintDC::bottomRule(int from, int to)
{
    m_surface->horizontal(Palette::kNearBlack, 1, from - m_leftMargin, to - m_leftMargin + 1,
                          m_y + m_surface->textHeight() + m_gap / 2);
}

void LoggerPaintDC::drawBody()
{
    const ORVA_Proband *client = m_source.client;
    textLine(QStringLiteral("%1: %2 %3")
                 .arg(text(Text::kReportClient),
                      client ? client->firstName().value_or(QString()) : QString(),
                      client ? client->lastName().value_or(QString()) : QString()),
             Bold);
    // A birthday that was never entered is left empty, not shown as the field's input mask.
    const bool hasBirthday = client && client->birthday().isValid();
    textLine(QStringLiteral("%1: %2").arg(text(Text::kReportBirthday),
                                          hasBirthday ? client->birthdayText(m_source.language)
                                                      : QString()),
             Normal);
    newLine();
    if (!m_source.log || m_source.log->entries().isEmpty()) {
        textLine(text(Text::kReportNoEntries), Bold);
        return;
    }
    drawStatistics(ReportStatistics::compute(m_source.log->entries(), m_source.zone));
    if (m_showTests)
        drawRunTable();
    if (m_showSyllables)
        drawSyllableTable();
}

void LoggerPaintDC::drawStatistics(const ReportStatistics &s)
{
    const auto number = [](qint64 n) { return QString::number(n); };
    labelledLine(Text::kReportPeriod, s.period);
    labelledLine(Text::kReportTotalTime, ReportStatistics::durationText(s.all.seconds));
    labelledLine(Text::kReportTrainingTime, ReportStatistics::durationText(s.training.seconds));
    labelledLine(Text::kReportTestTime, ReportStatistics::durationText(s.test.seconds));
    labelledLine(Text::kReportEntries, number(s.all.entries));
    labelledLine(Text::kReportTrainings, number(s.training.entries));
    labelledLine(Text::kReportTests, number(s.test.entries));
    newLine();
    labelledLine(Text::kReportDistinctSyllables, number(qint64(m_source.log->words().size())));
    labelledLine(Text::kReportTrainedSyllables, number(s.training.syllables));
    labelledLine(Text::kReportTestedSyllables, number(s.test.syllables));
    newLine();
    labelledLine(Text::kReportPracticeDays,
                 QStringLiteral("%1 %2")
                     .arg(s.all.days)
                     .arg(text(s.all.days == 1 ? Text::kReportDay : Text::kReportDays)));
    labelledLine(Text::kReportTimePerDay, ReportStatistics::durationText(s.averageSecondsPerDay));
    labelledLine(Text::kReportSyllablesPerDay, number(s.averageSyllablesPerDay));
}

void LoggerPaintDC::drawRunTable()
{
    newLine();
    ensureRoom(4);
    titleLine(Text::kReportRuns, m_testTableTitle);
    m_left += m_leftMargin;
    m_inTestTable = true;
    runTableHeader();
    for (int i = 0; i < m_source.log->entries().size(); ++i)
        runTableRow(i);
    m_inTestTable = false;
    m_left -= m_leftMargin;
}

void LoggerPaintDC::drawSyllableTable()
{
    newLine();
    if (m_source.log->words().empty()) {
        textLine(text(Text::kReportNoSyllables), Bold);
        return;
    }
    ensureRoom(4);
    titleLine(Text::kReportSyllables, m_wordTableTitle);
    m_left += m_leftMargin;
    m_inWordTable = true;
    syllableTableHeader();
    for (const auto &[name, stats] : m_source.log->words())
        syllableCellGroup(name, stats);
    m_inWordTable = false;
    m_left -= m_leftMargin;
}

void LoggerPaintDC::continueTable(const QString &title, void (LoggerPaintDC::*header)())
{
    m_y += m_surface->textHeight();
    m_left -= m_leftMargin;
    textLine(title, Bold);
    m_left += m_leftMargin;
    (this->*header)();
    // The title and header are extras of this page: the row keeps the line it was counted on.
    m_line -= 2;
}

void LoggerPaintDC::runTableHeader()
{
    if (isVisible()) {
        selectFont(Bold);
        m_x = m_left;
        for (int c = 0; c < 8; ++c) {
            verticalRule(m_x);
            m_surface->textOut(m_x, m_y, text(kRunHeaders[c]));
            m_x += units(kRunColumns[c]);
        }
        verticalRule(m_x);
        topRule(m_left, m_x);
        bottomRule(m_left, m_x);
        updateMax(m_x, m_y);
    }
    newLine();
}

void LoggerPaintDC::runTableRow(int i)
{
    if (isVisible()) {
        if (m_printing && m_endedInTestTable && m_line == m_startLine) {
            m_endedInTestTable = false;
            continueTable(m_testTableTitle, &LoggerPaintDC::runTableHeader);
        }
        selectFont(Normal);
        const UserLogEntry &entry = m_source.log->entries().at(i);
        const QString cells[] = {
            QString::number(i + 1),
            ReportStatistics::dateText(entry.start, m_source.zone),
            ReportStatistics::shortDurationText(entry.duration),
            entry.type == 1 ? QStringLiteral("Trn.") : QStringLiteral("Tst."),
            QString::number(entry.presented),
            QString::number(entry.distinct),
            QString::number(entry.correct),
            QStringLiteral("%1 ms").arg(entry.average),
        };
        m_x = m_left;
        for (int c = 0; c < 8; ++c) {
            verticalRule(m_x);
            m_surface->textOut(m_x, m_y, cells[c]);
            m_x += units(kRunColumns[c]);
        }
        verticalRule(m_x);
        bottomRule(m_left, m_x);
        updateMax(m_x, m_y);
    }
    newLine();
}

void LoggerPaintDC::syllableTableHeader()
{
    if (isVisible()) {
        selectFont(Bold);
        m_x = m_left;
        const int group = units(4 * kSyllableColumn);
        for (;;) {
            const int start = m_x;
            for (int c = 0; c < 4; ++c) {
                verticalRule(m_x);
                m_surface->textOut(m_x, m_y, text(kSyllableHeaders[c]));
                m_x += units(kSyllableColumn);
            }
            topRule(start, m_x);
            bottomRule(start, m_x);
            verticalRule(m_x);
            verticalRule(m_x + 1);
            updateMax(m_x, m_y);
            if (m_x + group >= m_rightLimit)
                break;
        }
    }
    newLine();
}

void LoggerPaintDC::syllableCellGroup(const QString &name, const WordStats &stats)
{
    const int group = units(4 * kSyllableColumn);
    if (isVisible()) {
        if (m_printing && m_endedInWordTable && m_line == m_startLine) {
            m_endedInWordTable = false;
            const int x = m_x;
            continueTable(m_wordTableTitle, &LoggerPaintDC::syllableTableHeader);
            m_x = x;
        }
        selectFont(Normal);
        const int start = m_x;
        const QString cells[] = { name, QString::number(stats.correct),
                                  QString::number(stats.tests + stats.trainings),
                                  QStringLiteral("%1 ms").arg(stats.average) };
        for (const QString &cell : cells) {
            verticalRule(m_x);
            m_surface->textOut(m_x, m_y, cell);
            m_x += units(kSyllableColumn);
        }
        bottomRule(start, m_x);
        verticalRule(m_x);
        verticalRule(m_x + 1);
        updateMax(m_x, m_y);
        m_x = start;
    }
    m_x += group;
    if (m_x + group >= m_rightLimit) {
        m_x = m_left;
        newLine();
    }
}

LoggerPaintDC::PrintResult LoggerPaintDC::paginate(QPainter *painter,
                                                   const QRect &page,
                                                   int clipRight,
                                                   Palette &palette,
                                                   const ReportSource &source,
                                                   bool showTests,
                                                   bool showSyllables,
                                                   int maxPages,
                                                   const std::function<void()> &newPage)
{
    LoggerPaintDC report(true);
    report.setup(nullptr, source);
    report.setShowTests(showTests);
    report.setShowSyllables(showSyllables);
    DrawingSurface surface(palette);
    for (;;) {
        surface.begin(painter, page);
        surface.setClipRight(clipRight);
        const bool done = report.paint(surface);
        surface.end();
        if (done)
            return PrintResult::Printed;
        // A page that took no line will not take one on the next page either.
        if (!report.drewOnPage()) {
            logMessage(1,
                       "   PTR 30: page %d of the training report holds no line (page %dx%d "
                       "pixels); print job aborted\n",
                       report.pageCounter(), page.width(), page.height());
            return PrintResult::PageTooSmall;
        }
        if (report.pageCounter() >= maxPages) {
            logMessage(1, "   PTR 31: the training report passes %d pages; print job aborted\n",
                       maxPages);
            return PrintResult::TooManyPages;
        }
        newPage();
    }
}

LoggerPaintDC::PrintResult LoggerPaintDC::print(PrinterDC &printer,
                                                QWidget *owner,
                                                Palette &palette,
                                                const ReportSource &source,
                                                bool showTests,
                                                bool showSyllables,
                                                int maxPages)
{
    logMessage(1, "BEGIN: print training report\n");
    if (!printer.choose(owner))
        return PrintResult::Cancelled;
    // The orientation is the printer's before the first page, where a painter can still take it.
    printer.portrait();
    const int left = std::max(printer.offsetX(), int(printer.pixelsPerInchX() * 2 / 2.54));
    const int top = std::max(printer.offsetY(), int(printer.pixelsPerInchY() * 2 / 2.54));
    const QRect page(QPoint(left, top),
                     QPoint(printer.physicalWidth() - left, printer.physicalHeight() - top));
    // The runs table is a little wider than a portrait A4 page inside 2 cm margins: it may use
    // the right margin up to the printable edge rather than lose its last column.
    const int clipRight = printer.physicalWidth() - 1 - printer.offsetX();

    // The pages are counted first on a stand-in of the printer's resolution, since a printer
    // that has begun a document cannot always take it back: a page too small for the report
    // or a report too long for the limit never reaches the printer.
    QImage standIn(1, 1, QImage::Format_RGB32);
    standIn.setDotsPerMeterX(qRound(printer.pixelsPerInchX() / 0.0254));
    standIn.setDotsPerMeterY(qRound(printer.pixelsPerInchY() / 0.0254));
    {
        QPainter counting(&standIn);
        const PrintResult counted = paginate(&counting, page, clipRight, palette, source, showTests,
                                             showSyllables, maxPages, [] {});
        if (counted != PrintResult::Printed)
            return counted;
    }

    if (!printer.startDocument(documentName()))
        return PrintResult::Cancelled;
    const PrintResult printed =
        paginate(printer.painter(), page, clipRight, palette, source, showTests, showSyllables,
                 maxPages, [&printer] { printer.newPage(); });
    if (printed != PrintResult::Printed) {
        printer.abort();
        return printed;
    }
    printer.endDocument();
    logMessage(1, "END: print training report\n");
    return PrintResult::Printed;
}

} // namespace orva
