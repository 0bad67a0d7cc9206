// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace orva {

/// Counts, mean reaction time and percentages of a run or of one syllable of it.
class ORVA_Statistic
{
public:
    ORVA_Statistic() = default;
    virtual ~ORVA_Statistic() = default;
    ORVA_Statistic(const ORVA_Statistic &) = default;
    ORVA_Statistic &operator=(const ORVA_Statistic &) = default;

    /// Counts a judged measurement; result 0 is ignored. Only right and wrong answers add to the
    /// reaction-time sum.
    void add(int reactionTimeMs, int result);
    /// Computes the average and the percentages.
    void finish();

    bool computed = false;
    int count = 0;
    int right = 0;
    int wrong = 0;
    int none = 0;
    double average = 0;
    double sum = 0;
    double percentRight = 0;
    double percentWrong = 0;
    double percentNone = 0;
    std::optional<QString> name;
    int stockIndex = -1;
};

} // namespace orva
