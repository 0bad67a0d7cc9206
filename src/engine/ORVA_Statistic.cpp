// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ORVA_Statistic.h"

#include "engine/Measurement.h"

namespace orva {

void ORVA_Statistic::add(int reactionTimeMs, int result)
{
    if (result == Unjudged)
        return;
    ++count;
    if (result == NoAnswer) {
        ++none;
    } else if (result == Wrong || result == Right) {
        sum += reactionTimeMs;
        ++(result == Right ? right : wrong);
    }
}

void ORVA_Statistic::finish()
{
    average = count != none ? sum / (count - none) : 0;
    if (count != 0) {
        percentRight = double(right) / count * 100;
        percentWrong = double(wrong) / count * 100;
        percentNone = double(none) / count * 100;
    } else {
        percentRight = percentWrong = percentNone = 0;
    }
    computed = true;
}

} // namespace orva
