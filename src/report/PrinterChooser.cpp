// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/PrinterChooser.h"

#include <QPrinter>

namespace orva {

bool PdfPrinterChooser::choose(QPrinter &printer, QWidget *, bool)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_path);
    if (m_dotsPerInch > 0)
        printer.setResolution(m_dotsPerInch);
    if (m_pageSize.isValid())
        printer.setPageSize(m_pageSize);
    return true;
}

} // namespace orva
