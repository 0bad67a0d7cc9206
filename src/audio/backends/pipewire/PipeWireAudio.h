// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"

#include <memory>

namespace orva {

class Clock;

/// The desktop's PipeWire server, natively through libpipewire: one playback stream that the
/// mixer feeds and one capture stream, each timed from the graph's own report of every cycle (the
/// driver's monotonic time, the delay to the device, what the stream and its converter hold) into
/// a clock model that maps its frames to the program clock. `device` is a node's name as
/// pavucontrol or `pw-cli` show it ("headphones", "alsa_output.pci-0000_00_1f.3.analog-stereo");
/// a source NAME.monitor records what sink NAME plays. Empty for the default. Start and stop come
/// from the UI thread; libpipewire runs its own threads.
class PipeWireAudioOutput final : public AudioOutput
{
public:
    PipeWireAudioOutput(const Clock &clock, QString device);
    ~PipeWireAudioOutput() override;

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

class PipeWireAudioInput final : public AudioInput
{
public:
    PipeWireAudioInput(const Clock &clock, QString device);
    ~PipeWireAudioInput() override;

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

/// Whether a PipeWire server answers on this desktop (a core connects within `timeoutMs`):
/// then the sound server is PipeWire, whatever speaks the pulse protocol beside it.
bool pipeWireServerAnswers(int timeoutMs = 1000);

} // namespace orva
