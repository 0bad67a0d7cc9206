// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QBasicTimer>
#include <QObject>

#include <functional>
#include <map>
#include <memory>

namespace orva {

/// Timers by id: a timer set again replaces the running one of the same id, and every timer
/// repeats until it is stopped.
class TimerService
{
public:
    virtual ~TimerService() = default;
    virtual void setTimer(int id, int ms) = 0;
    virtual void stopTimer(int id) = 0;
};

/// Timers by id on the UI thread's event loop. Expiries go to one handler, in the order they
/// fall due.
class TimerHost : public QObject, public TimerService
{
public:
    explicit TimerHost(std::function<void(int id)> handler, QObject *parent = nullptr);
    ~TimerHost() override;

    void setTimer(int id, int ms) override;
    void stopTimer(int id) override;
    bool isRunning(int id) const;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    std::function<void(int id)> m_handler;
    std::map<int, std::unique_ptr<QBasicTimer>> m_timers; ///< by program id
};

} // namespace orva
