// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"

#include <memory>

namespace orva {

class Clock;

/// The desktop's sound server (PulseAudio, or PipeWire's pulse server) through libpulse: one
/// playback stream that the mixer feeds and one capture stream, each with a clock model that maps
/// its frames to the program clock. `device` names a sink or source; empty for the default.
/// Start and stop come from the UI thread; libpulse runs its own thread.
class PulseAudioOutput final : public AudioOutput
{
public:
    PulseAudioOutput(const Clock &clock, QString device);
    ~PulseAudioOutput() override;

    DeviceResult start(FrameSource &source) override;
    void stop() override;
    bool isRunning() const override;
    std::optional<qint64> frameTimeUs(qint64 frame) const override;
    bool isClockSettled() const override;
    bool isStalled() const override;
    qint64 underflowCount() const override;
    QString description() const override;

    struct Private;

private:
    std::unique_ptr<Private> d;
};

class PulseAudioInput final : public AudioInput
{
public:
    PulseAudioInput(const Clock &clock, QString device);
    ~PulseAudioInput() override;

    bool supportsCaptureFormat() const override { return true; }
    DeviceResult start(CaptureSink &sink) override;
    void stop() override;
    bool isRunning() const override;
    std::optional<qint64> frameTimeUs(qint64 frame) const override;
    bool isClockSettled() const override;
    bool isStalled() const override;
    qint64 overflowCount() const override;
    QString description() const override;

    struct Private;

private:
    std::unique_ptr<Private> d;
};

} // namespace orva
