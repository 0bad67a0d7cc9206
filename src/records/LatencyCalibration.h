// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QString>

namespace orva {

class Registry;

/// The latency that the output and input device of one pair do not report, as the latency
/// self-test measured it: the program takes it off every reaction time measured on that pair.
/// Kept in the current user's installation values ("LatencyOutput", "LatencyInput",
/// "LatencyOffsetMs", "LatencySpreadMs"), since each operator's headset is the operator's own.
struct LatencyCalibration
{
    QString output; ///< the output device's description when it was measured
    QString input;
    double offsetMs = 0; ///< median of the clicks' latencies
    double spreadMs = 0; ///< their standard deviation

    bool isSet() const { return !output.isEmpty() && !input.isEmpty(); }
    bool isFor(const QString &outputDevice, const QString &inputDevice) const
    {
        return isSet() && output == outputDevice && input == inputDevice;
    }
    /// The offset in whole microseconds.
    qint64 offsetUs() const;

    /// Reads the values of the user's hive, then the machine's; not set when any is missing or
    /// a number is not one (then the log says so).
    static LatencyCalibration read(const Registry &registry);
    /// Writes them into the user's hive.
    [[nodiscard]] Status write(const Registry &registry) const;
};

} // namespace orva
