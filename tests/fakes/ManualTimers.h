// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/ManualClock.h"

#include <functional>
#include <map>

namespace orva::test {

/// Timers by id on a ManualClock: they fire, in the order they fall due, only while the test
/// advances the clock. A timer repeats until stopped; setting it again replaces it.
class ManualTimers
{
public:
    explicit ManualTimers(ManualClock &clock)
        : m_clock(clock)
    { }

    /// Where expired timers go.
    std::function<void(int id)> onTimer;

    void set(int id, int ms)
    {
        m_timers[id] = { ms, m_clock.nowUs() + qint64(qMax(ms, 1)) * 1000 };
    }
    void stop(int id) { m_timers.erase(id); }
    bool isRunning(int id) const { return m_timers.count(id) != 0; }
    int periodMs(int id) const { return isRunning(id) ? m_timers.at(id).periodMs : -1; }
    /// Milliseconds until timer `id` fires next, or -1 when it is not running.
    qint64 msUntil(int id) const
    {
        return isRunning(id) ? (m_timers.at(id).dueUs - m_clock.nowUs()) / 1000 : -1;
    }

    /// Moves the clock forward by `ms`, firing every timer that falls due on the way.
    void advanceMs(qint64 ms)
    {
        const qint64 targetUs = m_clock.nowUs() + ms * 1000;
        for (;;) {
            auto next = m_timers.end();
            for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
                if (it->second.dueUs <= targetUs
                    && (next == m_timers.end() || it->second.dueUs < next->second.dueUs))
                    next = it;
            }
            if (next == m_timers.end())
                break;
            const int id = next->first;
            m_clock.setUs(next->second.dueUs);
            next->second.dueUs += qint64(next->second.periodMs) * 1000;
            if (onTimer)
                onTimer(id);
        }
        m_clock.setUs(targetUs);
    }

private:
    struct Timer
    {
        int periodMs;
        qint64 dueUs;
    };
    ManualClock &m_clock;
    std::map<int, Timer> m_timers;
};

} // namespace orva::test
