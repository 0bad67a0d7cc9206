// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CToolTip.h"

#include "support/StringTable.h"

namespace orva {

CToolTip::CToolTip(Host &host, const StringTable &strings)
    : m_host(host)
    , m_strings(strings)
{ }

void CToolTip::addArea(Area area)
{
    m_areas.append(std::move(area));
}

void CToolTip::removeArea(const void *key)
{
    for (qsizetype i = 0; i < m_areas.size(); ++i) {
        if (m_areas[i].key == key) {
            m_areas.removeAt(i);
            return;
        }
    }
}

void CToolTip::removeWindowlessAreas()
{
    m_areas.removeIf([](const Area &area) { return !area.visible; });
}

void CToolTip::setAreaRect(const void *key, const QRect &rect)
{
    for (Area &area : m_areas) {
        if (area.key == key)
            area.rect = rect;
    }
}

void CToolTip::setAreaText(const void *key, int textId)
{
    for (Area &area : m_areas) {
        if (area.key == key)
            area.textId = textId;
    }
}

void CToolTip::mouseMove(QPoint screen, QPoint owner)
{
    if (screen == m_screen)
        return;
    if (m_shown)
        m_host.hideBox();
    m_host.setTimer(kTimerId, kDelayMs);
    m_shown = false;
    m_screen = screen;
    m_owner = owner;
}

void CToolTip::mouseClick()
{
    if (m_shown)
        m_host.hideBox();
    m_host.setTimer(kTimerId, kDelayMs);
    m_shown = false;
}

QString CToolTip::textAt(QPoint owner) const
{
    QString text;
    for (const Area &area : m_areas) {
        if (!area.rect.contains(owner))
            continue;
        if (area.visible && !area.visible())
            continue;
        if (area.textId >= 0)
            text = m_strings.text(area.textId);
        else if (!area.ownText.isEmpty())
            text = area.ownText;
    }
    return text;
}

QRect CToolTip::placeBox(QPoint screen, QSize size, const QRect &desktop)
{
    int x = screen.x();
    int y = screen.y();
    const int w = size.width();
    const int h = size.height();
    const int right = desktop.left() + desktop.width();
    const int bottom = desktop.top() + desktop.height();
    if (x < desktop.left())
        x = desktop.left() + 5;
    if (x + w > right)
        x = right - w - 5;
    if (y < desktop.top())
        y = desktop.top() + 5;
    if (y + h > bottom - 60)
        y = bottom - h - 65;
    return QRect(x, y + h, w, h);
}

void CToolTip::timer()
{
    if (m_shown) {
        m_shown = false;
        m_host.stopTimer(kTimerId);
        m_host.hideBox();
        return;
    }
    m_host.setTimer(kTimerId, kLifetimeMs);
    if (!m_host.isActive() || !m_host.ownerRect().contains(m_screen)) {
        m_host.hideBox();
        return;
    }
    const QString text = textAt(m_owner);
    if (text.isEmpty())
        return;
    const QSize size(m_host.averageCharWidth() * (int(text.size()) + 2),
                     m_host.charHeight() * 3 / 2);
    m_host.showBox(placeBox(m_screen, size, m_host.desktopRect()), text);
    m_shown = true;
}

} // namespace orva
