// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/ManualClock.h"
#include "fakes/ManualTimers.h"
#include "mainwindow/TimerHost.h"

namespace orva::test {

/// The main window's timers driven by the test on its manual clock.
struct TestTimers final : TimerService
{
    explicit TestTimers(ManualClock &clock)
        : timers(clock)
    { }
    void setTimer(int id, int ms) override { timers.set(id, ms); }
    void stopTimer(int id) override { timers.stop(id); }
    ManualTimers timers;
};

} // namespace orva::test
