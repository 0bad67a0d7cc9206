// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orva {

/// The operator's verdict on one presentation.
enum MeasurementResult : int {
    Unjudged = 0,
    Right = 1,
    Wrong = -1,
    NoAnswer = -2,
};

/// One element of a run's sequence. A measurement counts as measured once its result is not 0.
struct Measurement
{
    int stockIndex = 0; ///< index into the current stock
    int reactionTime = 0; ///< ms from the syllable start to the answer; 0 until measured
    int result = Unjudged; ///< a MeasurementResult

    bool operator==(const Measurement &) const = default;
};

} // namespace orva
