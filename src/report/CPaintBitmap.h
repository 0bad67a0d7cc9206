// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QRect>

#include <memory>

class QPainter;
class QPaintDevice;

namespace orva {

/// The back buffer of a window area: painting goes into a bitmap of the window's size, which is
/// then copied to the window in one step, so the area never flickers.
class CPaintBitmap
{
public:
    CPaintBitmap();
    ~CPaintBitmap();

    /// A bitmap in the size of `window` (a widget, or any paint device); false when it cannot be
    /// allocated.
    bool create(const QPaintDevice *window);
    /// A painter on the bitmap; valid until end().
    QPainter *begin(QPainter *target);
    /// Copies the bitmap to `area` of the target painter.
    void blit(const QRect &area);
    void end();
    bool isNull() const { return m_bitmap.isNull(); }
    QSize size() const { return m_bitmap.size(); }
    const QPixmap &bitmap() const { return m_bitmap; }

private:
    QPixmap m_bitmap;
    QPainter *m_target = nullptr;
    std::unique_ptr<QPainter> m_memory;
};

} // namespace orva
