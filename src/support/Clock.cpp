// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Clock.h"

#include <chrono>

namespace orva {

qint64 SteadyClock::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace orva
