// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"

#include <cmath>

namespace orva::test {

/// A microphone the test feeds by hand, timed exactly from a fixed start (as ScriptedAudioOutput
/// is): frame f entered the input at startUs + f / 44.1 ms, on a crystal `ppm` slow.
class ExactAudioInput final : public AudioInput
{
public:
    bool supportsCaptureFormat() const override { return true; }
    DeviceResult start(CaptureSink &captureSink) override
    {
        sink = &captureSink;
        running = true;
        return DeviceResult::ok();
    }
    void stop() override
    {
        sink = nullptr;
        running = false;
    }
    bool isRunning() const override { return running; }
    std::optional<qint64> frameTimeUs(qint64 frame) const override
    {
        return startUs + qint64(std::floor(double(frame) * 1e6 / 44100 * (1 + ppm / 1e6)));
    }
    qint64 overflowCount() const override { return overflows; }
    QString description() const override { return name; }

    /// Hands `count` samples from input frame `firstFrame` on to whoever started the input.
    void deliver(qint64 firstFrame, const qint16 *samples, qint64 count)
    {
        if (sink)
            sink->samplesCaptured(firstFrame, samples, count);
    }

    CaptureSink *sink = nullptr;
    bool running = true;
    qint64 startUs = 5'000'000;
    double ppm = 0;
    qint64 overflows = 0;
    QString name = QStringLiteral("exact input");
};

} // namespace orva::test
