// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/LatencyProbe.h"
#include "records/LatencyCalibration.h"
#include "support/Status.h"

#include <QString>

#include <memory>

namespace orva {

class AudioSession;
class Registry;
class RunSound;
class StringTable;

/// The latency self-test as the operator runs it: a measurement with the probe tapped into the
/// run's capture, its result in words, and keeping it as the calibration of the devices in use,
/// which the run's sound then takes off every reaction time. UI thread only.
class LatencySelfTest
{
public:
    /// All must outlive the test.
    LatencySelfTest(AudioSession &session,
                    RunSound &sound,
                    const Registry &registry,
                    LatencyProbe::Options options = {});
    ~LatencySelfTest();
    LatencySelfTest(const LatencySelfTest &) = delete;
    LatencySelfTest &operator=(const LatencySelfTest &) = delete;

    /// Starts the clicks; false when the sound is not ready for them (the result then says so).
    bool start();
    bool isRunning() const;
    int durationMs() const;
    /// Ends the measurement and returns its result.
    const LatencyProbe::Result &finish();
    const LatencyProbe::Result &result() const { return m_result; }
    /// Whether the result may be kept: it was measured.
    bool canKeep() const { return m_result.outcome == LatencyProbe::Outcome::Measured; }
    /// Stores the result for the devices in use and applies it at once.
    [[nodiscard]] Status keep();

    /// The result in the operator's words.
    static QString describe(const LatencyProbe::Result &result, const StringTable &strings);

private:
    AudioSession &m_session;
    RunSound &m_sound;
    const Registry &m_registry;
    std::unique_ptr<LatencyProbe> m_probe;
    LatencyProbe::Result m_result;
};

} // namespace orva
