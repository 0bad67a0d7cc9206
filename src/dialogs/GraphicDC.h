// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/CPaintBitmap.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>

namespace orva {

class DrawingSurface;

/// A rectangular area of a window: its child window (or none), its rectangle, the resource
/// string of its tool tip and an optional back buffer. Panels and dialog areas derive from it.
/// UI thread only.
class GraphicDC
{
public:
    GraphicDC() = default;
    virtual ~GraphicDC();
    GraphicDC(const GraphicDC &) = delete;
    GraphicDC &operator=(const GraphicDC &) = delete;

    /// Moves the child window to the area's rectangle and recreates the back buffer.
    virtual void move();
    /// Paints the area's content; the default paints nothing.
    virtual void paint(DrawingSurface &surface);

    /// Takes `window` as the area's window and refreshes the back buffer.
    void bind(QWidget *window);
    /// Creates a plain child window of `parent` at the area's rectangle, sunken when `border`.
    /// The window belongs to `parent`.
    QWidget *create(QWidget *parent, int id, int toolTipId, bool border);
    /// Replaces the back buffer by one in the window's size; reports "Out of memory 002" when
    /// the bitmap cannot be made.
    void makeBackBuffer();

    void setRect(const QRect &rect) { m_rect = rect; }
    void setRect(int x, int y, int width, int height) { m_rect = QRect(x, y, width, height); }
    const QRect &rect() const { return m_rect; }
    int x() const { return m_rect.x(); }
    int y() const { return m_rect.y(); }
    int width() const { return m_rect.width(); }
    int height() const { return m_rect.height(); }
    int id() const { return m_id; }
    int toolTipId() const { return m_toolTipId; }
    /// Created with a one-pixel border and a sunken edge.
    bool hasBorder() const { return m_border; }
    void setToolTipId(int id) { m_toolTipId = id; }
    QWidget *window() const { return m_window; }
    CPaintBitmap *backBuffer() const { return m_backBuffer.get(); }

protected:
    /// The window class: a plain widget here, a self-painting one in GraphicPaintDC.
    virtual QWidget *makeWindow(QWidget *parent);

private:
    QPointer<QWidget> m_window;
    QRect m_rect;
    int m_id = 0;
    int m_toolTipId = -1;
    bool m_border = false;
    std::unique_ptr<CPaintBitmap> m_backBuffer;
};

} // namespace orva
