// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/LatencyCalibration.h"

#include "records/InstallationLayout.h"
#include "records/InstallationValues.h"
#include "records/Registry.h"
#include "support/Logger.h"

#include <cmath>

namespace orva {

namespace {

// Latencies beyond a second are not a device's; a file that says so is damaged.
constexpr double kLargestMs = 1000;

} // namespace

qint64 LatencyCalibration::offsetUs() const
{
    return qint64(std::llround(offsetMs * 1000));
}

LatencyCalibration LatencyCalibration::read(const Registry &registry)
{
    LatencyCalibration calibration;
    calibration.output = InstallationLayout::optionalValue(registry, "LatencyOutput");
    calibration.input = InstallationLayout::optionalValue(registry, "LatencyInput");
    if (!calibration.isSet())
        return {};
    bool offsetOk = false;
    bool spreadOk = false;
    calibration.offsetMs =
        InstallationLayout::optionalValue(registry, "LatencyOffsetMs").toDouble(&offsetOk);
    calibration.spreadMs =
        InstallationLayout::optionalValue(registry, "LatencySpreadMs").toDouble(&spreadOk);
    if (!offsetOk || !spreadOk || !std::isfinite(calibration.offsetMs)
        || !std::isfinite(calibration.spreadMs) || std::abs(calibration.offsetMs) > kLargestMs
        || calibration.spreadMs < 0 || calibration.spreadMs > kLargestMs) {
        logMessage(1, "   latency: the stored offset is not a number of milliseconds; ignored\n");
        return {};
    }
    return calibration;
}

Status LatencyCalibration::write(const Registry &registry) const
{
    return registry.writeUserValues(
        InstallationValues::keyPath(),
        { { QStringLiteral("LatencyOutput"), output },
          { QStringLiteral("LatencyInput"), input },
          { QStringLiteral("LatencyOffsetMs"), QString::number(offsetMs, 'f', 3) },
          { QStringLiteral("LatencySpreadMs"), QString::number(spreadMs, 'f', 3) } });
}

} // namespace orva
