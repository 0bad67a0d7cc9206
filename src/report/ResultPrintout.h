// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace orva {

class ORVA_Experiment;
class ORVA_PrinterDC;
class Palette;
class StringTable;

/// The result of one run on one printed page: title, client, the presented syllables in columns
/// of ten, the statistics and a footer. Lengths are printer pixels scaled from a 120 dpi layout.
/// UI thread only.
class ResultPrintout
{
public:
    /// What the page is printed from; the pointers must outlive the call.
    struct Source
    {
        const ORVA_Experiment *experiment = nullptr;
        const StringTable *strings = nullptr;
        int language = 0; ///< user-interface language, for the dates' format
        /// Client height of the main window's statistics panel in screen pixels: the statistics
        /// block is that tall on paper, scaled.
        int statisticsPanelHeight = 0;
    };

    static QString documentName() { return QStringLiteral("ORVA Result.txt"); }

    ResultPrintout(ORVA_PrinterDC &printer, Palette &palette);

    /// Asks for the printer (page 1 to 1, one copy) over `owner` and prints the page; false when
    /// no printer was chosen or the document did not start.
    bool printResult(const Source &source, QWidget *owner);
    /// The scale factors from the printer's resolution to the 120 dpi layout; 1 outside a print.
    double scaleX() const { return m_scaleX; }
    double scaleY() const { return m_scaleY; }

private:
    ORVA_PrinterDC &m_printer;
    Palette &m_palette;
    double m_scaleX = 1;
    double m_scaleY = 1;
};

} // namespace orva
