// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainToolTips.h"

#include "mainwindow/TimerHost.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace orva {

MainToolTips::MainToolTips(const StringTable &strings, TimerService &timers, const QFont &font)
    : m_timers(timers)
    , m_font(font)
    , m_toolTip(static_cast<CToolTip::Host &>(*this), strings)
    , m_box(std::make_unique<QLabel>(nullptr, Qt::ToolTip))
{
    m_box->setObjectName(QStringLiteral("toolTip"));
    m_box->setAlignment(Qt::AlignCenter);
}

MainToolTips::~MainToolTips() = default;

void MainToolTips::setOwner(QWidget *owner)
{
    m_owner = owner;
}

void MainToolTips::addWindows(const std::vector<std::pair<QWidget *, int>> &windows,
                              QObject *watcher)
{
    for (const auto &[widget, text] : windows) {
        // The controls take their mouse moves themselves; the window watches them, so that the
        // tool tip hears of every move, not only of those over the canvas and its panels.
        widget->setMouseTracking(true);
        widget->installEventFilter(watcher);
        if (auto *area = qobject_cast<QAbstractScrollArea *>(widget)) {
            area->viewport()->setMouseTracking(true);
            area->viewport()->installEventFilter(watcher);
        }
        QPointer<QWidget> guard(widget);
        m_toolTip.addArea({ widget, widget->geometry(), text, QString(),
                            [guard] { return guard && guard->isVisible(); } });
    }
}

void MainToolTips::followWindows()
{
    for (const CToolTip::Area &area : m_toolTip.areas()) {
        if (area.visible)
            m_toolTip.setAreaRect(area.key, static_cast<const QWidget *>(area.key)->geometry());
    }
}

void MainToolTips::setText(QWidget *window, int text)
{
    m_toolTip.setAreaText(window, text);
}

void MainToolTips::addBar(const QRect &rect, const QString &text)
{
    m_toolTip.addArea({ nullptr, rect, -1, text, {} });
}

void MainToolTips::removeBars()
{
    m_toolTip.removeWindowlessAreas();
}

void MainToolTips::setTimer(int id, int ms)
{
    m_timers.setTimer(id, ms);
}

void MainToolTips::stopTimer(int id)
{
    m_timers.stopTimer(id);
}

void MainToolTips::showBox(const QRect &rect, const QString &text)
{
    m_box->setText(text);
    m_box->setGeometry(rect);
    m_box->show();
    m_box->raise();
}

void MainToolTips::hideBox()
{
    m_box->hide();
}

bool MainToolTips::isActive() const
{
    return m_owner && m_owner->isActiveWindow();
}

QRect MainToolTips::ownerRect() const
{
    if (!m_owner)
        return QRect();
    return QRect(m_owner->mapToGlobal(QPoint(0, 0)), m_owner->size());
}

QRect MainToolTips::desktopRect() const
{
    const QScreen *screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

int MainToolTips::charHeight() const
{
    return QFontMetrics(m_font).height();
}

int MainToolTips::averageCharWidth() const
{
    return QFontMetrics(m_font).averageCharWidth();
}

} // namespace orva
