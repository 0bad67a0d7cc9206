// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace orva {

/// The program's monotonic clock. Every time stamp that a reaction time is computed from (the
/// start of a syllable, a voice onset) is on this clock. Callable from any thread.
class Clock
{
public:
    virtual ~Clock() = default;
    /// Microseconds since an arbitrary fixed origin; never goes backwards.
    virtual qint64 nowUs() const = 0;
    qint64 nowMs() const { return nowUs() / 1000; }
};

/// The system's monotonic clock (CLOCK_MONOTONIC).
class SteadyClock final : public Clock
{
public:
    qint64 nowUs() const override;
};

} // namespace orva
