// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/QS_ScrollBar.h"

#include <QScrollBar>

#include <algorithm>

namespace orva {

QS_ScrollBar::QS_ScrollBar(QScrollBar *bar, QWidget *panel)
    : m_bar(bar)
    , m_panel(panel)
{
    if (!m_bar)
        return;
    m_bar->setSingleStep(kLineStep);
    QObject::connect(m_bar, &QScrollBar::valueChanged, m_bar, [this](int value) { moveTo(value); });
}

void QS_ScrollBar::setPaintSize(int, int height)
{
    m_paintSize = std::max(0, height);
    m_position = std::min(m_position, m_paintSize);
    update(false);
}

void QS_ScrollBar::setWindowSize(bool forceHide)
{
    m_pageSize = m_panel ? m_panel->height() : 0;
    update(forceHide);
}

void QS_ScrollBar::scrollLines(int lines)
{
    moveTo(m_position + lines * kLineStep);
}

void QS_ScrollBar::moveTo(int position)
{
    position = std::clamp(position, 0, std::max(0, m_paintSize - m_pageSize));
    if (position == m_position)
        return;
    m_position = position;
    if (m_bar && m_bar->value() != position)
        m_bar->setValue(position);
    if (m_panel)
        m_panel->update();
}

void QS_ScrollBar::update(bool forceHide)
{
    if (!m_bar)
        return;
    const bool needed = m_pageSize < m_paintSize && m_panel && m_panel->isVisible();
    if (!needed || forceHide) {
        m_position = 0;
        m_bar->setValue(0);
        m_bar->hide();
        return;
    }
    // Qt's range ends where the last page begins; the page step is the panel's height.
    m_bar->setPageStep(m_pageSize);
    m_bar->setRange(0, m_paintSize - m_pageSize);
    m_bar->setValue(m_position);
    m_bar->show();
}

} // namespace orva
