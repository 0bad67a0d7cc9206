// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

namespace orva {

class StringTable;

/// A tool tip of a window: after the mouse rested one second over an area with a text, a
/// small box under the cursor shows the text for ten seconds. The logic is here; the box, the
/// timer and the focus are the host's. UI thread only.
class CToolTip
{
public:
    static constexpr int kTimerId = 1047;
    static constexpr int kDelayMs = 1000;
    static constexpr int kLifetimeMs = 10000;

    /// What the tool tip needs of the window system.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual void setTimer(int id, int ms) = 0;
        virtual void stopTimer(int id) = 0;
        /// Shows the box at `rect` (screen coordinates) with `text`, or hides it.
        virtual void showBox(const QRect &rect, const QString &text) = 0;
        virtual void hideBox() = 0;
        /// The program is the active application (the focus is on one of its windows).
        virtual bool isActive() const = 0;
        /// The owner's client area in screen coordinates, and the desktop's.
        virtual QRect ownerRect() const = 0;
        virtual QRect desktopRect() const = 0;
        /// Text metrics of the box's font.
        virtual int charHeight() const = 0;
        virtual int averageCharWidth() const = 0;
    };

    /// An area with a tool tip: a window (nullptr for a chart bar), or its visibility.
    struct Area
    {
        const void *key = nullptr; ///< identifies the area for removal
        QRect rect; ///< in owner coordinates
        int textId = -1; ///< resource string; negative for none
        QString ownText;
        std::function<bool()> visible; ///< empty for an area without a window of its own
    };

    CToolTip(Host &host, const StringTable &strings);

    void addArea(Area area);
    /// Removes the first area with `key`.
    void removeArea(const void *key);
    /// Removes every area without a window (the chart bars).
    void removeWindowlessAreas();
    void setAreaRect(const void *key, const QRect &rect);
    void setAreaText(const void *key, int textId);
    const QList<Area> &areas() const { return m_areas; }

    /// The cursor at `screen`, which is `owner` in the owner's coordinates.
    void mouseMove(QPoint screen, QPoint owner);
    void mouseClick();
    void timer();

    bool isShown() const { return m_shown; }
    /// The text the areas give at `owner`, the last area winning; empty when none has one.
    QString textAt(QPoint owner) const;
    /// Where a box `size` goes for the cursor at `screen` within `desktop`.
    static QRect placeBox(QPoint screen, QSize size, const QRect &desktop);

private:
    Host &m_host;
    const StringTable &m_strings;
    QList<Area> m_areas;
    QPoint m_screen { -1000000, -1000000 };
    QPoint m_owner;
    bool m_shown = false;
};

} // namespace orva
