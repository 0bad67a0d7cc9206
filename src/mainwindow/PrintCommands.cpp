// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/PrintCommands.h"

#include "dialogs/DialogPrinterChooser.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "mainwindow/CommandRules.h"
#include "report/PrinterDC.h"
#include "report/ResultPrintout.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

namespace orva {

PrintCommands::PrintCommands(Parts parts)
    : m_parts(std::move(parts))
    , m_owner(m_parts.owner)
    , m_canvas(m_parts.canvas)
    , m_chart(m_parts.chart)
    , m_statistics(m_parts.statistics)
    , m_showTests(m_parts.showTests)
    , m_showSyllables(m_parts.showSyllables)
    , m_scrollBar(m_parts.scrollBar, m_parts.chart)
{
    if (m_parts.printers) {
        m_printers = m_parts.printers;
    } else {
        m_ownPrinters = std::make_unique<DialogPrinterChooser>();
        m_printers = m_ownPrinters.get();
    }
    m_report.setup(&m_scrollBar, reportSource());
    // The chart panel lets the mouse through to the client area, where the wheel arrives.
    if (m_canvas)
        m_canvas->installEventFilter(this);
}

PrintCommands::~PrintCommands()
{
    if (m_canvas)
        m_canvas->removeEventFilter(this);
}

ReportSource PrintCommands::reportSource() const
{
    ReportSource source;
    source.log = &m_parts.experiment->userLog();
    source.client = &m_parts.experiment->client();
    source.strings = m_parts.strings;
    source.language = m_parts.language;
    return source;
}

bool PrintCommands::onCommand(int command)
{
    switch (command) {
    case Command::Print:
        printResult();
        return true;
    case Command::PrintReport:
        printReport();
        return true;
    case Command::ShowTests:
        m_report.setShowTests(!m_showTests || m_showTests->isChecked());
        break;
    case Command::ShowSyllables:
        m_report.setShowSyllables(!m_showSyllables || m_showSyllables->isChecked());
        break;
    default:
        return false;
    }
    if (m_chart)
        m_chart->update();
    return true;
}

void PrintCommands::printResult()
{
    logMessage(1, "BEGIN: On File Print\n");
    RunController &controller = *m_parts.controller;
    if (!isFree(controller.programState())) {
        if (m_owner)
            m_owner->update();
        return;
    }
    if (!controller.mayPrint())
        return;
    controller.setStateText(QStringLiteral(" "));
    if (m_parts.storeComment)
        m_parts.storeComment();
    ORVA_PrinterDC printer(*m_printers);
    ResultPrintout printout(printer, *m_parts.palette);
    const int statisticsHeight = m_statistics ? m_statistics->height() : 0;
    (void)printout.printResult(
        { m_parts.experiment, m_parts.strings, m_parts.language, statisticsHeight }, m_owner);
    if (m_owner)
        m_owner->update();
}

void PrintCommands::printReport()
{
    if (!m_reportShown || !isFree(m_parts.controller->programState()))
        return;
    PrinterDC printer(*m_printers);
    const LoggerPaintDC::PrintResult result =
        LoggerPaintDC::print(printer, m_owner, *m_parts.palette, reportSource(),
                             m_report.showTests(), m_report.showSyllables());
    if (result == LoggerPaintDC::PrintResult::PageTooSmall
        || result == LoggerPaintDC::PrintResult::TooManyPages) {
        const QString text = result == LoggerPaintDC::PrintResult::PageTooSmall
            ? m_parts.strings->text(Text::kReportPageTooSmall)
            : m_parts.strings->text(Text::kReportTooManyPages).arg(LoggerPaintDC::kMaxPages);
        m_parts.boxes->show(m_parts.strings->text(Text::kWarningTitle), text, MessageIcon::Warning,
                            MessageButtons::Ok);
    }
}

bool PrintCommands::paintReport(DrawingSurface &surface)
{
    if (!m_reportShown)
        return false;
    (void)m_report.paint(surface);
    return true;
}

void PrintCommands::setReportShown(bool shown)
{
    m_reportShown = shown;
    m_scrollBar.setWindowSize(!shown);
    if (m_chart)
        m_chart->update();
}

bool PrintCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (m_reportShown && watched == m_canvas && event->type() == QEvent::Wheel && m_chart) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (m_chart->geometry().contains(wheel->position().toPoint())) {
            // One notch of 120 eighths of a degree is one line step, down for a turn towards
            // the user.
            const int notches = -wheel->angleDelta().y() / 120;
            if (notches != 0)
                m_scrollBar.scrollLines(notches);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orva
