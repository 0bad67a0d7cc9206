// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/TimerHost.h"

#include <QTimerEvent>

namespace orva {

TimerHost::TimerHost(std::function<void(int id)> handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{ }

TimerHost::~TimerHost() = default;

void TimerHost::setTimer(int id, int ms)
{
    auto &timer = m_timers[id];
    if (!timer)
        timer = std::make_unique<QBasicTimer>();
    // Precise timers: a 1 ms fade or a 32 ms meter must not be coarsened to 5 % slack.
    timer->start(qMax(ms, 1), Qt::PreciseTimer, this);
}

void TimerHost::stopTimer(int id)
{
    const auto found = m_timers.find(id);
    if (found != m_timers.end())
        found->second->stop();
}

bool TimerHost::isRunning(int id) const
{
    const auto found = m_timers.find(id);
    return found != m_timers.end() && found->second->isActive();
}

void TimerHost::timerEvent(QTimerEvent *event)
{
    for (const auto &[id, timer] : m_timers) {
        if (timer->timerId() == event->timerId()) {
            const int programId = id; // the handler may set or stop timers
            m_handler(programId);
            return;
        }
    }
    QObject::timerEvent(event);
}

} // namespace orva
