// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ResultPrintout.h"

#include "engine/ORVA_Experiment.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "report/PrinterDC.h"
#include "support/Logger.h"
#include "support/ProgramVersion.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QFontMetrics>

#include <algorithm>

namespace orva {

namespace {

QFont printoutFont(int pixels, int weight)
{
    // Liberation Sans keeps Arial's metrics, so the page looks the same on every printer.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, pixels));
    font.setWeight(QFont::Weight(weight));
    return font;
}

/// The average character width the layout's columns are measured in: the lower-case letters and
/// the blank weighted by their frequency in English text, as printer drivers report it. Fonts
/// whose tables give the mean of every glyph instead (Liberation Sans 2 among them) would
/// otherwise make the ten-entry columns a quarter wider and push the sixth off the page.
double averageCharWidth(const QFont &font)
{
    static constexpr int kWeights[27] = { 64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                          56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166 };
    const QFontMetricsF metrics(font);
    double sum = 0;
    for (int i = 0; i < 26; ++i)
        sum += kWeights[i] * metrics.horizontalAdvance(QChar(u'a' + i));
    sum += kWeights[26] * metrics.horizontalAdvance(QLatin1Char(' '));
    // Unrounded, so that the columns keep their place on paper at every resolution.
    return sum / 1000;
}

/// The page, drawn in the order of its blocks from the top down.
class ResultPage
{
public:
    ResultPage(DrawingSurface &surface,
               const ResultPrintout::Source &source,
               double sx,
               double sy,
               int pageWidth,
               int offsetX)
        : m_s(surface)
        , m_source(source)
        , m_run(*source.experiment)
        , m_sx(sx)
        , m_sy(sy)
        , m_gap(int(sx * 5))
        , m_left(int(sy * 50))
        , m_width(pageWidth - offsetX - m_left)
        , m_normal(printoutFont(int(sx * 16), 400))
        , m_title(printoutFont(2 * int(sx * 16), 900))
    { }

    void draw()
    {
        m_s.setFont(&m_normal);
        m_th = m_s.textHeight();
        m_cw = averageCharWidth(m_normal);
        m_s.setTextColor(Palette::kNearBlack);
        int y = int(m_sx * 200);
        y = titleBlock(y);
        y = clientBlock(y);
        if (m_run.measurementCount() > 0)
            y = resultsBlock(y);
        if (!m_run.statistics().isEmpty() && m_run.statistics().first().computed)
            y = statisticsBlock(y);
        footer(y);
    }

private:
    QString text(int id) const { return m_source.strings->text(id); }
    int right() const { return m_left + m_width; }

    void rightAligned(int x, int y, const QString &line)
    {
        m_s.alignRight();
        m_s.textOut(x, y, line);
        m_s.alignLeft();
    }

    /// A near-black frame whose top edge is one line below `top`, with "<caption>:" above it.
    void captionedFrame(int top, int bottom, int caption)
    {
        m_s.frame(Palette::kNearBlack, 1,
                  QRect(QPoint(m_left, top + m_th), QPoint(right(), bottom)));
        m_s.textOut(m_left, top, text(caption) + QLatin1Char(':'));
    }

    int titleBlock(int y)
    {
        const QRect rect(QPoint(m_left, y), QPoint(right(), y + int(m_sx * 70)));
        m_s.setFont(&m_title);
        m_s.drawText(rect, true, true, text(Text::kResultTitle));
        m_s.setFont(&m_normal);
        return rect.bottom() + int(m_sy * 50);
    }

    int clientBlock(int y)
    {
        const int bottom = y + int(m_sx * 70);
        captionedFrame(y, bottom, Text::kResultClient);
        const ORVA_Proband &client = m_run.client();
        const int mode = m_run.isPreTest() ? Text::kPreTestName
            : m_run.isMainTest()           ? Text::kMainTestName
                                           : Text::kTrainingName;
        const QString firstName = client.firstName().value_or(QString());
        const QString column[3][2] = {
            { field(Text::kLastNameCaption, client.lastName().value_or(QString())),
              field(Text::kFirstNameCaption,
                    firstName.isEmpty() ? QStringLiteral(" ") : firstName) },
            { field(Text::kBirthdayCaption,
                    client.birthday().isValid() ? client.birthdayText(m_source.language)
                                                : QString()),
              field(Text::kResultMode, text(mode)) },
            { field(Text::kRunDateCaption, client.runDateText(m_source.language)),
              field(Text::kResultTimeOfDay, client.runDate().timeText()) },
        };
        int x = m_left + int(m_sy * 10);
        const int y1 = y + m_th + int(m_sx * 10);
        for (const auto &rows : column) {
            m_s.textOut(x, y1, rows[0]);
            m_s.textOut(x, y1 + m_th + m_gap, rows[1]);
            x += int(m_sy * 300);
        }
        return bottom + int(m_sy * 50);
    }

    QString field(int caption, const QString &value) const
    {
        return QStringLiteral("%1: %2").arg(text(caption), value);
    }

    int resultsBlock(int y)
    {
        const int bottom = y + 12 * m_th + 13 * m_gap;
        const int frameBottom = bottom - m_th - m_gap;
        m_s.frame(Palette::kNearBlack, 1,
                  QRect(QPoint(m_left, y + m_th), QPoint(right(), frameBottom)));
        m_s.textOut(m_left, y, text(Text::kResultsCaption) + QLatin1Char(':'));
        m_s.textOut(m_left, bottom - m_th, text(Text::kResultsLegend));
        const int x0 = m_left + int(m_sy * 10);
        const int y0 = y + m_th + int(m_sx * 10);

        const int count = m_run.measurementCount();
        for (int j = 0; j < count; ++j) {
            const Measurement &m = m_run.measurement(j);
            // The syllables an aborted run never presented have no reaction time.
            if (m.reactionTime == 0)
                break;
            const int c = j / 10;
            const int x = x0 + chars(22 * c);
            const int rowY = y0 + (j % 10) * (m_th + m_gap);
            rightAligned(x + chars(4), rowY, QString::asprintf("%2d:", j + 1));
            const ORVA_Syllable *syllable = m_run.syllableOfMeasurement(j);
            m_s.textOut(x + chars(5), rowY, syllable ? syllable->name : QString());
            rightAligned(x + chars(17), rowY, QString::asprintf("%4dms", m.reactionTime));
            m_s.textOut(x + chars(18), rowY, resultLetter(m.result));
            if (j == 10 * c && c < 5 && count / 10 >= c)
                m_s.vertical(Palette::grey(0.4), 1, x0 + chars((c + 1) * 22 - 1), y + m_th,
                             frameBottom);
        }
        return bottom + int(m_sy * 50);
    }

    QString resultLetter(int result) const
    {
        switch (result) {
        case Right:
            return text(Text::kRightShort);
        case Wrong:
            return text(Text::kWrongShort);
        case NoAnswer:
            return text(Text::kNoAnswerShort);
        default:
            return QString(); // interrupted before it was judged
        }
    }

    int statisticsBlock(int y)
    {
        const QList<ORVA_Statistic> &stats = m_run.statistics();
        const int bottom = y + m_th + int(m_source.statisticsPanelHeight * m_sx);
        captionedFrame(y, bottom, Text::kStatisticsCaption);
        const int h2 = m_th / 2;
        const int labelX = m_left + h2 + m_th;
        const int y0 = y + m_th + h2 / 2;
        const int g2 = int(m_sx * 2);
        const int pitch = m_th + 2 * g2;
        if (stats.size() > 8) {
            m_s.textOut(labelX, y0, text(Text::kChartGuide));
            return bottom + int(m_sy * 10);
        }
        const int labels[] = { Text::kEvaluationRow, Text::kReactionTimeRow, Text::kRightAnswersRow,
                               Text::kWrongAnswersRow, Text::kNoAnswersRow };
        qsizetype longest = 0;
        for (int row = 0; row < 5; ++row) {
            const QString label = text(labels[row]);
            longest = std::max(longest, label.size());
            m_s.textOut(labelX, y0 + row * pitch, label);
            if (row < 4)
                m_s.horizontal(row == 0 || row == 3 ? Palette::kNearBlack : Palette::grey(0.4), 1,
                               0, right(), y0 + row * pitch + m_th + g2);
        }
        const int labelWidth = chars(double(longest + 4));
        const int columnPitch =
            int((right() - m_left - labelWidth - 8 * h2) / double(stats.size()));
        const int valueOffset = columnPitch - chars(2);
        int x = labelX + labelWidth;
        for (int i = 1; i < stats.size(); ++i) {
            const ORVA_Statistic &s = stats[i];
            m_s.vertical(Palette::grey(0.4), 1, x - chars(1), y + m_th, bottom);
            m_s.textOut(x, y0,
                        QStringLiteral("%1 (%2)").arg(s.name.value_or(QString())).arg(s.count));
            const QString values[] = { QString::asprintf("%4dms", int(s.average)),
                                       QString::asprintf("%.0f%%", s.percentRight),
                                       QString::asprintf("%.0f%%", s.percentWrong),
                                       QString::asprintf("%.0f%%", s.percentNone) };
            for (int row = 1; row <= 4; ++row)
                rightAligned(x + valueOffset, y0 + row * pitch, values[row - 1]);
            x += columnPitch;
        }
        m_s.vertical(Palette::kNearBlack, 1, x - chars(1), y + m_th, bottom);
        x += h2;
        const ORVA_Statistic &all = stats.first();
        m_s.textOut(x, y0, QStringLiteral("%1 (%2)").arg(text(Text::kAverage)).arg(all.count));
        const QString values[] = {
            QString::asprintf("%4dms (%d)", int(all.average), all.count - all.none),
            QString::asprintf("%.2f%% (%d)", all.percentRight, all.right),
            QString::asprintf("%.2f%% (%d)", all.percentWrong, all.wrong),
            QString::asprintf("%.2f%% (%d)", all.percentNone, all.none),
        };
        for (int row = 1; row <= 4; ++row)
            rightAligned(x + valueOffset, y0 + row * pitch, values[row - 1]);
        return bottom + int(m_sy * 10);
    }

    void footer(int y)
    {
        m_s.textOut(m_left + chars(3), y,
                    QString::asprintf("%s %d.%d.%02d %s", qUtf8Printable(text(Text::kCreatedWith)),
                                      ProgramVersion::kMajor, ProgramVersion::kMinor,
                                      ProgramVersion::kBuild, qUtf8Printable(text(Text::kMaker))));
    }

    DrawingSurface &m_s;
    const ResultPrintout::Source &m_source;
    const ORVA_Experiment &m_run;
    const double m_sx;
    const double m_sy;
    const int m_gap;
    const int m_left;
    const int m_width;
    const QFont m_normal;
    const QFont m_title;
    int m_th = 0;
    double m_cw = 0; ///< in printer pixels, unrounded
    /// `n` average characters in printer pixels.
    int chars(double n) const { return int(n * m_cw); }
};

} // namespace

ResultPrintout::ResultPrintout(ORVA_PrinterDC &printer, Palette &palette)
    : m_printer(printer)
    , m_palette(palette)
{ }

bool ResultPrintout::printResult(const Source &source, QWidget *owner)
{
    logMessage(1, "BEGIN: print result\n");
    if (!source.experiment || !source.strings || !m_printer.choose(owner))
        return false;
    m_scaleX = m_printer.pixelsPerInchX() / 120.0;
    m_scaleY = m_printer.pixelsPerInchY() / 120.0;
    const QFont normal = printoutFont(int(m_scaleX * 16), 400);
    bool printed = false;
    if (m_printer.startDocument(documentName(), 10, qRound(averageCharWidth(normal)),
                                QFontMetrics(normal).height())) {
        DrawingSurface surface(m_palette);
        surface.begin(m_printer.painter(),
                      QRect(0, 0, m_printer.physicalWidth(), m_printer.physicalHeight()));
        ResultPage(surface, source, m_scaleX, m_scaleY, m_printer.physicalWidth(),
                   m_printer.offsetX())
            .draw();
        surface.end();
        m_printer.endDocument();
        printed = true;
    }
    m_scaleX = 1;
    m_scaleY = 1;
    logMessage(1, printed ? "END: print result\n" : "END: print result, document not started\n");
    return printed;
}

} // namespace orva
