// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QString>

class QPainter;

namespace orva {

class Palette;

/// One paint on one painter: a surface rectangle with a clip region that shapes can be cut out
/// of, and the current text colours, font and alignment. Colours are palette slots.
/// Lives for one paint on the UI thread; the painter must outlive it.
class DrawingSurface
{
public:
    explicit DrawingSurface(Palette &palette);
    ~DrawingSurface();
    DrawingSurface(const DrawingSurface &) = delete;
    DrawingSurface &operator=(const DrawingSurface &) = delete;

    /// Saves the painter's state, selects the default font and colours, transparent left-aligned
    /// text, and clips to `rect` (its edges inclusive).
    void begin(QPainter *painter, const QRect &rect);
    /// A surface on the same painter with `other`'s state; a negative coordinate keeps the
    /// other's value. The clip region is new.
    void derive(const DrawingSurface &other, int left, int top, int right, int bottom);
    /// Restores the painter's state.
    void end();

    QRect rect() const { return m_rect; }
    QPainter *painter() const { return m_painter; }
    Palette &palette() const { return m_palette; }

    /// Selects `font` (nullptr: the default font) and measures it; returns the previous font.
    QFont setFont(const QFont *font);
    int averageCharWidth() const { return m_averageCharWidth; }
    int textHeight() const { return m_textHeight; }
    /// Slot -1 selects the default colour.
    void setTextColor(int slot);
    void setBackgroundColor(int slot);
    int textColor() const { return m_textColor; }
    void opaque() { m_opaque = true; }
    void transparent() { m_opaque = false; }
    void alignRight() { m_alignRight = true; }
    void alignLeft() { m_alignRight = false; }

    /// Moves one edge of the clip rectangle alone (cut-outs stay cut out).
    void setClipLeft(int left);
    void setClipTop(int top);
    void setClipRight(int right);
    void setClipBottom(int bottom);
    const QRegion &clipRegion() const { return m_clip; }

    // Lines in palette slot `slot` with a pen `width` pixels wide.
    void line(int slot, int width, int x1, int y1, int x2, int y2);
    void horizontal(int slot, int width, int x1, int x2, int y);
    void vertical(int slot, int width, int x, int y1, int y2);
    void polyline(int slot, int width, const QPolygon &points);
    /// The outline of `rect`; nothing when no part of it is inside the clip region.
    void frame(int slot, int width, const QRect &rect);
    void circle(int slot, int width, QPoint centre, int radius);
    /// Two strokes: from the left edge at half height to the bottom centre, then to the top right.
    void checkMark(int slot, int width, const QRect &rect);

    // Filled shapes: outlined in near-black or in the fill colour; with `cutOut` the shape is
    // removed from the clip region afterwards, so later painting leaves it untouched.
    void fillRect(int fill, bool outline, bool cutOut, const QRect &rect);
    void fillEllipse(int fill, bool outline, bool cutOut, const QRect &rect);
    void fillPolygon(int fill, bool outline, bool cutOut, const QPolygon &points);

    // Text in the current font and colours.
    /// The text's top edge at `y`; its left edge at `x`, or its right edge when aligned right.
    void textOut(int x, int y, const QString &text);
    /// One line in `rect`, centred as asked, otherwise with the current alignment.
    void
    drawText(const QRect &rect, bool verticalCentre, bool horizontalCentre, const QString &text);
    /// Word-wrapped in `rect`; the wrapped block is centred as asked.
    void
    drawWrapped(const QRect &rect, bool verticalCentre, bool horizontalCentre, const QString &text);
    /// The rectangle the wrapped text needs, from `rect`'s top left and within its width.
    QRect measureWrapped(const QRect &rect, const QString &text) const;

private:
    void prepareLine(int slot, int width);
    void prepareText();
    void drawTextIn(const QRect &rect, int flags, const QString &text);
    void measureFont();
    void updateClip();
    void removeFromClip(const QRegion &shape);

    Palette &m_palette;
    QPainter *m_painter = nullptr;
    bool m_saved = false;
    QRect m_rect;
    QRect m_clipRect;
    QRegion m_cutOuts;
    QRegion m_clip; ///< m_clipRect without the cut-outs
    QFont m_font;
    int m_textColor = -1;
    int m_backgroundColor = -1;
    int m_averageCharWidth = 0;
    int m_textHeight = 0;
    bool m_opaque = false;
    bool m_alignRight = false;
};

} // namespace orva
