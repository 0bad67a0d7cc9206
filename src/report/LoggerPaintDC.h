// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Proband.h"
#include "records/UserLog.h"
#include "report/ReportStatistics.h"

#include <QFont>
#include <QPoint>
#include <QString>
#include <QTimeZone>

#include <array>
#include <functional>

class QPainter;
class QWidget;

namespace orva {

class DrawingSurface;
class Palette;
class PrinterDC;
class StringTable;

/// Where the report is scrolled on the screen. The view learns the drawn extent from each paint.
class ReportScrollView
{
public:
    virtual ~ReportScrollView() = default;
    /// The scroll offsets in pixels (horizontal, vertical).
    virtual QPoint scrollPosition() const = 0;
    /// The extent of the drawn report in pixels, margins included.
    virtual void setPaintSize(int width, int height) = 0;
};

/// What the report is drawn from; all pointers must outlive the painter.
struct ReportSource
{
    const UserLog *log = nullptr;
    const ORVA_Proband *client = nullptr;
    const StringTable *strings = nullptr;
    int language = 0; ///< user-interface language, for the birthday's format
    QTimeZone zone = QTimeZone::systemTimeZone(); ///< the calendar days of the entries
};

/// The training report: client, statistics of the user log, the runs table and the syllables
/// table, painted onto a surface. On the screen it is one long page that a scroll view moves;
/// printing, each paint draws one page and the next paint carries on where that page ended.
/// UI thread only.
class LoggerPaintDC
{
public:
    /// The print job stops rather than make more pages than this.
    static constexpr int kMaxPages = 500;
    /// The name of the printed document.
    static QString documentName() { return QStringLiteral("ORVA \u00dcbungsbericht"); }

    explicit LoggerPaintDC(bool printing);

    /// `view` (not owned, may be null) gives the scroll offsets on the screen.
    void setup(ReportScrollView *view, ReportSource source);
    /// Draws the report, or its next page; true when the report ended on this surface, false
    /// when the page was full. Always true on the screen.
    bool paint(DrawingSurface &surface);
    /// Whether the last paint put at least one line completely on its surface.
    bool drewOnPage() const { return m_linesOnPage > 0; }
    int pageCounter() const { return m_pageCounter; }

    void setShowTests(bool show) { m_showTests = show; }
    void setShowSyllables(bool show) { m_showSyllables = show; }
    bool showTests() const { return m_showTests; }
    bool showSyllables() const { return m_showSyllables; }

    enum class PrintResult {
        Printed,
        Cancelled, ///< no printer chosen, or the document did not start: nothing printed
        PageTooSmall, ///< a page ended with nothing on it; the document was dropped
        TooManyPages, ///< the page limit was reached; the document was dropped
    };
    /// The print job: asks `printer` for a printer over `owner`, then prints the report on as
    /// many portrait pages as it needs, each with 2 cm margins (or the printer's unprintable
    /// border when that is wider), at most `maxPages`. A page that would hold no line, or more
    /// pages than that, are found before the document starts: then nothing is printed.
    static PrintResult print(PrinterDC &printer,
                             QWidget *owner,
                             Palette &palette,
                             const ReportSource &source,
                             bool showTests,
                             bool showSyllables,
                             int maxPages = kMaxPages);

private:
    enum FontIndex { Normal, Bold, Header, Footer };

    /// Paints the report page by page on `painter`, calling `newPage` between pages.
    static PrintResult paginate(QPainter *painter,
                                const QRect &page,
                                int clipRight,
                                Palette &palette,
                                const ReportSource &source,
                                bool showTests,
                                bool showSyllables,
                                int maxPages,
                                const std::function<void()> &newPage);

    void drawBody();
    void drawStatistics(const ReportStatistics &statistics);
    void drawRunTable();
    void drawSyllableTable();
    void drawPageHeader();
    void drawPageFooter();

    // Lines of the report; a full page stops the paint through newLine() and ensureRoom().
    bool isVisible() const { return m_line >= m_startLine; }
    void selectFont(FontIndex font);
    int textWidth(const QString &text) const;
    void updateMax(int x, int y);
    void newLine();
    void ensureRoom(int lines);
    void textLine(const QString &text, FontIndex font);
    void labelledLine(int label, const QString &value);
    void titleLine(int title, QString &remembered);
    void verticalRule(int x);
    void topRule(int from, int to);
    void bottomRule(int from, int to);
    void runTableHeader();
    void runTableRow(int i);
    void syllableTableHeader();
    void syllableCellGroup(const QString &name, const WordStats &stats);
    /// On the first line of a continuation page: the table's title and header again.
    void continueTable(const QString &title, void (LoggerPaintDC::*header)());
    int units(double u) const { return int(u * m_unit); }
    QString text(int id) const;

    bool m_printing = false;
    ReportScrollView *m_view = nullptr;
    ReportSource m_source;
    DrawingSurface *m_surface = nullptr;
    std::array<QFont, 4> m_fonts;
    FontIndex m_font = Normal;
    double m_unit = 1.0;
    int m_leftMargin = 10;
    int m_topMargin = 10;
    int m_gap = 5;
    int m_left = 0;
    int m_top = 0;
    int m_rightLimit = 0;
    int m_x = 0;
    int m_y = 0;
    int m_maxX = 0;
    int m_maxY = 0;
    int m_lastMaxX = -1; ///< of the previous screen paint
    int m_lastMaxY = -1;
    int m_line = 0;
    int m_startLine = 0;
    int m_pageCounter = 0;
    int m_linesOnPage = 0;
    bool m_inTestTable = false;
    bool m_inWordTable = false;
    bool m_endedInTestTable = false;
    bool m_endedInWordTable = false;
    bool m_showTests = true;
    bool m_showSyllables = true;
    QString m_testTableTitle;
    QString m_wordTableTitle;
};

} // namespace orva
