// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/QS_ScrollBar.h"
#include "report/LoggerPaintDC.h"

#include <QCheckBox>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QScrollBar;
class QWidget;

namespace orva {

class DrawingSurface;
class MessageBoxes;
class ORVA_Experiment;
class Palette;
class PrinterChooser;
class RunController;
class StringTable;

/// The main window's printing and its report view: Datei > Drucken prints the run's result, the
/// report view paints the training report in the chart panel with its scroll bar, its check
/// boxes choose the tables and its "Drucken" button prints it. UI thread only.
class PrintCommands final : public QObject
{
public:
    /// What the commands work with; nothing of it is owned.
    struct Parts
    {
        Palette *palette = nullptr;
        /// Where printouts go; null: the desktop's print dialog.
        PrinterChooser *printers = nullptr;
        const StringTable *strings = nullptr;
        MessageBoxes *boxes = nullptr;
        ORVA_Experiment *experiment = nullptr;
        RunController *controller = nullptr;
        int language = 0; ///< user-interface language
        QWidget *owner = nullptr; ///< the main window, over which the print dialogs open
        QWidget *canvas = nullptr; ///< the main window's client area, which sees the wheel
        QWidget *chart = nullptr; ///< the panel the report is painted in
        QWidget *statistics = nullptr; ///< the statistics panel, whose height the printout keeps
        QScrollBar *scrollBar = nullptr;
        QCheckBox *showTests = nullptr;
        QCheckBox *showSyllables = nullptr;
        std::function<void()> storeComment;
    };

    explicit PrintCommands(Parts parts);
    ~PrintCommands() override;

    /// Runs `command` when it is one of printing or of the report view; false for any other.
    bool onCommand(int command);
    /// Paints the report into the chart panel's surface while the report view is shown; false
    /// when the panel paints its chart.
    bool paintReport(DrawingSurface &surface);
    /// The report view came or went, or the panels moved.
    void setReportShown(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void printResult();
    void printReport();
    ReportSource reportSource() const;

    Parts m_parts; ///< its widgets are used through the guarded copies below
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_canvas;
    QPointer<QWidget> m_chart;
    QPointer<QWidget> m_statistics;
    QPointer<QCheckBox> m_showTests;
    QPointer<QCheckBox> m_showSyllables;
    std::unique_ptr<PrinterChooser> m_ownPrinters;
    PrinterChooser *m_printers = nullptr;
    QS_ScrollBar m_scrollBar;
    LoggerPaintDC m_report { false };
    bool m_reportShown = false;
};

} // namespace orva
