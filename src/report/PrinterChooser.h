// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPageSize>
#include <QString>

class QPrinter;
class QWidget;

namespace orva {

/// Chooses the printer a document goes to: the print dialog for the operator (DialogPrinterChooser,
/// with the dialogs), a PDF file for tests and for saving a printout.
class PrinterChooser
{
public:
    virtual ~PrinterChooser() = default;
    /// Sets up `printer`; false when the operator cancelled. `singlePage` limits the dialog to
    /// page 1 and one copy.
    virtual bool choose(QPrinter &printer, QWidget *owner, bool singlePage) = 0;
};

/// Prints into a PDF file without asking.
class PdfPrinterChooser final : public PrinterChooser
{
public:
    explicit PdfPrinterChooser(QString path)
        : m_path(std::move(path))
    { }
    bool choose(QPrinter &printer, QWidget *owner, bool singlePage) override;

    /// The printer's resolution in dots per inch; 0 keeps the printer's own.
    void setResolution(int dotsPerInch) { m_dotsPerInch = dotsPerInch; }
    /// The paper; an invalid size keeps the printer's own.
    void setPageSize(const QPageSize &size) { m_pageSize = size; }

private:
    QString m_path;
    int m_dotsPerInch = 0;
    QPageSize m_pageSize;
};

} // namespace orva
