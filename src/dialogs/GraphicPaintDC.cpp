// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/GraphicPaintDC.h"

#include "report/DrawingSurface.h"
#include "report/Palette.h"

#include <QFrame>
#include <QPaintEvent>
#include <QPainter>

namespace orva {

namespace {

/// The window of a self-painting area; its background is never erased before a paint.
class PaintWindow final : public QFrame
{
public:
    PaintWindow(QWidget *parent, GraphicPaintDC &area)
        : QFrame(parent)
        , m_area(area)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_area.paintWindow(painter);
    }

private:
    GraphicPaintDC &m_area;
};

} // namespace

QWidget *GraphicPaintDC::makeWindow(QWidget *parent)
{
    return new PaintWindow(parent, *this);
}

void GraphicPaintDC::paintWindow(QPainter &target)
{
    QWidget *area = window();
    if (!area)
        return;
    if (!backBuffer() || backBuffer()->size() != area->size().expandedTo(QSize(1, 1)))
        makeBackBuffer();
    CPaintBitmap *buffer = backBuffer();
    QPainter *memory = buffer ? buffer->begin(&target) : nullptr;
    if (!memory)
        return;
    DrawingSurface surface(m_palette);
    surface.begin(memory, area->rect());
    paint(surface);
    if (hasBorder()) {
        // A sunken edge: dark above and left, light below and right.
        const QRect r = area->rect();
        surface.horizontal(Palette::grey(0.35), 1, r.left(), r.right(), r.top());
        surface.vertical(Palette::grey(0.35), 1, r.left(), r.top(), r.bottom());
        surface.horizontal(Palette::grey(0.9), 1, r.left(), r.right(), r.bottom());
        surface.vertical(Palette::grey(0.9), 1, r.right(), r.top(), r.bottom());
    }
    surface.end();
    buffer->blit(area->rect());
    buffer->end();
}

} // namespace orva
