// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/LoggerPaintDC.h"

#include <QPointer>

class QScrollBar;
class QWidget;

namespace orva {

/// The report view's vertical scroll bar: it moves the report painted in `panel` by pixels and
/// shows itself only while the report is taller than the panel. UI thread only.
class QS_ScrollBar final : public ReportScrollView
{
public:
    /// Pixels moved by one line step (an arrow, a wheel notch).
    static constexpr int kLineStep = 50;

    /// Neither widget is owned; the panel is repainted when the position changes.
    QS_ScrollBar(QScrollBar *bar, QWidget *panel);

    QPoint scrollPosition() const override { return QPoint(0, m_position); }
    /// The report's height decides the range; a position past it comes back to its end.
    void setPaintSize(int width, int height) override;
    /// After the panel was resized; `forceHide` hides the bar whatever the sizes.
    void setWindowSize(bool forceHide);
    /// Moves by `lines` line steps (negative: up), within the range.
    void scrollLines(int lines);
    int position() const { return m_position; }
    int paintSize() const { return m_paintSize; }
    int pageSize() const { return m_pageSize; }

private:
    void moveTo(int position);
    void update(bool forceHide);

    QPointer<QScrollBar> m_bar;
    QPointer<QWidget> m_panel;
    int m_position = 0;
    int m_paintSize = 0;
    int m_pageSize = 0;
};

} // namespace orva
