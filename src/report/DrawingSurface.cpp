// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/DrawingSurface.h"

#include "report/Palette.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace orva {

DrawingSurface::DrawingSurface(Palette &palette)
    : m_palette(palette)
{ }

DrawingSurface::~DrawingSurface()
{
    end();
}

void DrawingSurface::begin(QPainter *painter, const QRect &rect)
{
    end();
    m_painter = painter;
    m_painter->save();
    m_saved = true;
    m_rect = rect;
    m_clipRect = rect;
    m_cutOuts = QRegion();
    updateClip();
    m_textColor = Palette::kWindowText;
    m_backgroundColor = Palette::kWindow;
    m_font = m_palette.defaultFont();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    measureFont();
    m_opaque = false;
    m_alignRight = false;
}

void DrawingSurface::derive(const DrawingSurface &other, int left, int top, int right, int bottom)
{
    end();
    m_painter = other.m_painter;
    m_painter->save();
    m_saved = true;
    m_rect =
        QRect(QPoint(left < 0 ? other.m_rect.left() : left, top < 0 ? other.m_rect.top() : top),
              QPoint(right < 0 ? other.m_rect.right() : right,
                     bottom < 0 ? other.m_rect.bottom() : bottom));
    m_clipRect = m_rect;
    m_cutOuts = QRegion();
    updateClip();
    m_textColor = other.m_textColor;
    m_backgroundColor = other.m_backgroundColor;
    m_font = other.m_font;
    m_averageCharWidth = other.m_averageCharWidth;
    m_textHeight = other.m_textHeight;
    m_opaque = other.m_opaque;
    m_alignRight = other.m_alignRight;
}

void DrawingSurface::end()
{
    if (m_saved && m_painter)
        m_painter->restore();
    m_saved = false;
    m_painter = nullptr;
}

QFont DrawingSurface::setFont(const QFont *font)
{
    const QFont previous = m_font;
    m_font = font ? *font : m_palette.defaultFont();
    measureFont();
    return previous;
}

void DrawingSurface::measureFont()
{
    const QFontMetrics metrics(m_font, m_painter ? m_painter->device() : nullptr);
    m_averageCharWidth = metrics.averageCharWidth();
    m_textHeight = metrics.height();
}

void DrawingSurface::setTextColor(int slot)
{
    m_textColor = slot < 0 ? Palette::kWindowText : slot;
}

void DrawingSurface::setBackgroundColor(int slot)
{
    m_backgroundColor = slot < 0 ? Palette::kWindow : slot;
}

void DrawingSurface::setClipLeft(int left)
{
    m_clipRect.setLeft(left);
    updateClip();
}

void DrawingSurface::setClipTop(int top)
{
    m_clipRect.setTop(top);
    updateClip();
}

void DrawingSurface::setClipRight(int right)
{
    m_clipRect.setRight(right);
    updateClip();
}

void DrawingSurface::setClipBottom(int bottom)
{
    m_clipRect.setBottom(bottom);
    updateClip();
}

void DrawingSurface::updateClip()
{
    m_clip = QRegion(m_clipRect) - m_cutOuts;
}

void DrawingSurface::removeFromClip(const QRegion &shape)
{
    m_cutOuts += shape;
    updateClip();
}

void DrawingSurface::prepareLine(int slot, int width)
{
    m_painter->setClipRegion(m_clip);
    m_painter->setPen(m_palette.pen(slot, width));
    m_painter->setBrush(Qt::NoBrush);
}

void DrawingSurface::line(int slot, int width, int x1, int y1, int x2, int y2)
{
    if (!m_painter)
        return;
    prepareLine(slot, width);
    m_painter->drawLine(x1, y1, x2, y2);
}

void DrawingSurface::horizontal(int slot, int width, int x1, int x2, int y)
{
    line(slot, width, x1, y, x2, y);
}

void DrawingSurface::vertical(int slot, int width, int x, int y1, int y2)
{
    line(slot, width, x, y1, x, y2);
}

void DrawingSurface::polyline(int slot, int width, const QPolygon &points)
{
    if (!m_painter || points.isEmpty())
        return;
    prepareLine(slot, width);
    m_painter->drawPolygon(points);
}

void DrawingSurface::frame(int slot, int width, const QRect &rect)
{
    if (!m_painter
        || !m_clip.intersects(rect.adjusted(-width / 2, -width / 2, width / 2, width / 2)))
        return;
    prepareLine(slot, width);
    m_painter->drawRect(rect.adjusted(0, 0, -1, -1));
}

void DrawingSurface::circle(int slot, int width, QPoint centre, int radius)
{
    if (!m_painter)
        return;
    prepareLine(slot, width);
    m_painter->drawEllipse(centre, radius, radius);
}

void DrawingSurface::checkMark(int slot, int width, const QRect &rect)
{
    if (!m_painter)
        return;
    prepareLine(slot, width);
    const QPoint bottomCentre(rect.center().x(), rect.bottom());
    m_painter->drawLine(QPoint(rect.left(), rect.center().y()), bottomCentre);
    m_painter->drawLine(bottomCentre, rect.topRight());
}

void DrawingSurface::fillRect(int fill, bool outline, bool cutOut, const QRect &rect)
{
    if (!m_painter)
        return;
    m_painter->setClipRegion(m_clip);
    m_painter->fillRect(rect, m_palette.color(fill));
    if (outline) {
        m_painter->setPen(m_palette.pen(Palette::kNearBlack, 1));
        m_painter->setBrush(Qt::NoBrush);
        m_painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (cutOut)
        removeFromClip(QRegion(rect));
}

void DrawingSurface::fillEllipse(int fill, bool outline, bool cutOut, const QRect &rect)
{
    if (!m_painter)
        return;
    m_painter->setClipRegion(m_clip);
    m_painter->setPen(m_palette.pen(outline ? Palette::kNearBlack : fill, 1));
    m_painter->setBrush(m_palette.color(fill));
    m_painter->drawEllipse(rect.adjusted(0, 0, -1, -1));
    if (cutOut)
        removeFromClip(QRegion(rect, QRegion::Ellipse));
}

void DrawingSurface::fillPolygon(int fill, bool outline, bool cutOut, const QPolygon &points)
{
    if (!m_painter || points.isEmpty())
        return;
    m_painter->setClipRegion(m_clip);
    m_painter->setPen(m_palette.pen(outline ? Palette::kNearBlack : fill, 1));
    m_painter->setBrush(m_palette.color(fill));
    m_painter->drawPolygon(points);
    if (cutOut)
        removeFromClip(QRegion(points));
}

void DrawingSurface::prepareText()
{
    m_painter->setClipRegion(m_clip);
    m_painter->setFont(m_font);
    m_painter->setPen(m_palette.color(m_textColor));
    m_painter->setBackgroundMode(m_opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(m_palette.color(m_backgroundColor));
}

void DrawingSurface::drawTextIn(const QRect &rect, int flags, const QString &text)
{
    prepareText();
    if (m_opaque) {
        const QRect needed = m_painter->boundingRect(rect, flags, text);
        m_painter->fillRect(needed, m_palette.color(m_backgroundColor));
    }
    m_painter->drawText(rect, flags, text);
}

void DrawingSurface::textOut(int x, int y, const QString &text)
{
    if (!m_painter)
        return;
    constexpr int kUnbounded = 100000;
    const QRect rect = m_alignRight ? QRect(x - kUnbounded, y, kUnbounded, kUnbounded)
                                    : QRect(x, y, kUnbounded, kUnbounded);
    drawTextIn(rect,
               Qt::AlignTop | (m_alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::TextSingleLine,
               text);
}

void DrawingSurface::drawText(const QRect &rect,
                              bool verticalCentre,
                              bool horizontalCentre,
                              const QString &text)
{
    if (!m_painter)
        return;
    int flags = Qt::TextSingleLine | (verticalCentre ? Qt::AlignVCenter : Qt::AlignTop);
    flags |= horizontalCentre ? Qt::AlignHCenter : (m_alignRight ? Qt::AlignRight : Qt::AlignLeft);
    drawTextIn(rect, flags, text);
}

void DrawingSurface::drawWrapped(const QRect &rect,
                                 bool verticalCentre,
                                 bool horizontalCentre,
                                 const QString &text)
{
    if (!m_painter)
        return;
    int flags = Qt::TextWordWrap | (verticalCentre ? Qt::AlignVCenter : Qt::AlignTop);
    flags |= horizontalCentre ? Qt::AlignHCenter : (m_alignRight ? Qt::AlignRight : Qt::AlignLeft);
    drawTextIn(rect, flags, text);
}

QRect DrawingSurface::measureWrapped(const QRect &rect, const QString &text) const
{
    const QFontMetrics metrics(m_font, m_painter ? m_painter->device() : nullptr);
    return metrics.boundingRect(QRect(rect.topLeft(), QSize(rect.width(), 1000000)),
                                Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
}

} // namespace orva
