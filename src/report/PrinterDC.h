// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainter>
#include <QPrinter>
#include <QString>

#include <memory>

class QWidget;

namespace orva {

class PrinterChooser;

/// A printed document of several pages (the training report). Page metrics are in device
/// pixels of the chosen printer. UI thread only.
class PrinterDC
{
public:
    explicit PrinterDC(PrinterChooser &chooser);
    virtual ~PrinterDC();

    /// Asks for the printer; false when cancelled.
    bool choose(QWidget *owner);
    /// Starts the document and its first page; false (and the printer dropped) on failure.
    bool startDocument(const QString &name);
    void portrait();
    void landscape();
    void newPage();
    void endDocument();
    /// Drops the document; what a file printer wrote of it is removed.
    void abort();

    /// The painter of the open document, or nullptr.
    QPainter *painter() { return m_painter.isActive() ? &m_painter : nullptr; }
    int physicalWidth() const { return m_physicalWidth; }
    int physicalHeight() const { return m_physicalHeight; }
    int offsetX() const { return m_offsetX; }
    int offsetY() const { return m_offsetY; }
    int pixelsPerInchX() const { return m_pixelsPerInch; }
    int pixelsPerInchY() const { return m_pixelsPerInch; }

protected:
    bool chooseWith(QWidget *owner, bool singlePage);
    bool beginPainting(const QString &name);
    void readPageMetrics();
    void finish();

    PrinterChooser &m_chooser;
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    int m_physicalWidth = 0;
    int m_physicalHeight = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    int m_pixelsPerInch = 0;
};

/// The one-page result printout: a document of lines of text in a fixed character grid.
class ORVA_PrinterDC : public PrinterDC
{
public:
    using PrinterDC::PrinterDC;

    /// Asks for the printer, pages 1 to 1 and one copy; false when cancelled.
    bool choose(QWidget *owner);
    /// Starts the document for `lineCount` lines of `lineHeight` pixels with characters
    /// `charWidth` pixels wide; false when a size is 0, no line fits or the start fails.
    bool startDocument(const QString &name, int lineCount, int charWidth, int lineHeight);

    int linesPerPage() const { return m_linesPerPage; }
    int charactersPerLine() const { return m_charactersPerLine; }
    int pageCount() const { return m_pageCount; }

private:
    int m_linesPerPage = 0;
    int m_charactersPerLine = 0;
    int m_pageCount = 0;
};

} // namespace orva
