// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/CPaintBitmap.h"

#include <QPaintDevice>
#include <QPainter>

namespace orva {

CPaintBitmap::CPaintBitmap() = default;
CPaintBitmap::~CPaintBitmap() = default;

bool CPaintBitmap::create(const QPaintDevice *window)
{
    end();
    const QSize size = window ? QSize(window->width(), window->height()) : QSize();
    m_bitmap = QPixmap(size.expandedTo(QSize(1, 1)));
    return !m_bitmap.isNull();
}

QPainter *CPaintBitmap::begin(QPainter *target)
{
    end();
    if (m_bitmap.isNull())
        return nullptr;
    m_target = target;
    m_memory = std::make_unique<QPainter>(&m_bitmap);
    return m_memory.get();
}

void CPaintBitmap::blit(const QRect &area)
{
    if (m_memory)
        m_memory->end();
    if (m_target)
        m_target->drawPixmap(area.topLeft(), m_bitmap, QRect(QPoint(0, 0), area.size()));
}

void CPaintBitmap::end()
{
    m_memory.reset();
    m_target = nullptr;
}

} // namespace orva
