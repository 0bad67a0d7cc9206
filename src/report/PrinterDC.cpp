// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/PrinterDC.h"

#include "report/PrinterChooser.h"

#include <QFile>

namespace orva {

PrinterDC::PrinterDC(PrinterChooser &chooser)
    : m_chooser(chooser)
{ }

PrinterDC::~PrinterDC()
{
    if (m_painter.isActive())
        abort();
}

bool PrinterDC::chooseWith(QWidget *owner, bool singlePage)
{
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!m_chooser.choose(*m_printer, owner, singlePage)) {
        m_printer.reset();
        return false;
    }
    readPageMetrics();
    return true;
}

bool PrinterDC::choose(QWidget *owner)
{
    return chooseWith(owner, false);
}

void PrinterDC::readPageMetrics()
{
    if (!m_printer)
        return;
    const QRect paper = m_printer->paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = m_printer->pageRect(QPrinter::DevicePixel).toRect();
    m_physicalWidth = paper.width();
    m_physicalHeight = paper.height();
    m_offsetX = page.left() - paper.left();
    m_offsetY = page.top() - paper.top();
    m_pixelsPerInch = m_printer->resolution();
}

bool PrinterDC::beginPainting(const QString &name)
{
    if (!m_printer)
        return false;
    m_printer->setDocName(name);
    // The painter draws in paper coordinates, like a printer's device context.
    m_printer->setFullPage(true);
    if (!m_painter.begin(m_printer.get())) {
        m_printer.reset();
        return false;
    }
    return true;
}

bool PrinterDC::startDocument(const QString &name)
{
    return beginPainting(name);
}

void PrinterDC::portrait()
{
    if (m_printer) {
        m_printer->setPageOrientation(QPageLayout::Portrait);
        readPageMetrics();
    }
}

void PrinterDC::landscape()
{
    if (m_printer) {
        m_printer->setPageOrientation(QPageLayout::Landscape);
        readPageMetrics();
    }
}

void PrinterDC::newPage()
{
    if (m_printer && m_painter.isActive())
        m_printer->newPage();
}

void PrinterDC::finish()
{
    if (m_painter.isActive())
        m_painter.end();
    m_printer.reset();
}

void PrinterDC::endDocument()
{
    finish();
}

void PrinterDC::abort()
{
    // A file printer cannot abort a document it has begun: the file it wrote is removed instead.
    const bool aborted = m_printer && m_painter.isActive() && m_printer->abort();
    const QString file = m_printer ? m_printer->outputFileName() : QString();
    finish();
    if (!aborted && !file.isEmpty())
        QFile::remove(file);
}

bool ORVA_PrinterDC::choose(QWidget *owner)
{
    return chooseWith(owner, true);
}

bool ORVA_PrinterDC::startDocument(const QString &name,
                                   int lineCount,
                                   int charWidth,
                                   int lineHeight)
{
    if (charWidth <= 0 || lineHeight <= 0 || !m_printer) {
        m_printer.reset();
        return false;
    }
    readPageMetrics();
    m_linesPerPage = (m_physicalHeight - 2 * m_offsetY) / lineHeight - 2;
    m_charactersPerLine = (m_physicalWidth - 2 * m_offsetX) / charWidth;
    if (m_linesPerPage <= 0) {
        m_printer.reset();
        return false;
    }
    m_pageCount = lineCount / m_linesPerPage + 1;
    return beginPainting(name);
}

} // namespace orva
