// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Clock.h"

#include <atomic>

namespace orva::test {

/// A clock that moves only when the test says so.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(qint64 startUs = 1'000'000'000)
        : m_nowUs(startUs)
    { }
    qint64 nowUs() const override { return m_nowUs.load(); }
    void setUs(qint64 us) { m_nowUs.store(us); }
    void advanceMs(qint64 ms) { m_nowUs.fetch_add(ms * 1000); }
    void advanceUs(qint64 us) { m_nowUs.fetch_add(us); }

private:
    std::atomic<qint64> m_nowUs;
};

} // namespace orva::test
