// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/DeviceResult.h"

#include <QString>

#include <optional>

namespace orva {

/// What an output device plays: the mixer. Frames are 44,100 Hz, 16-bit, interleaved stereo.
class FrameSource
{
public:
    virtual ~FrameSource() = default;
    /// The index of the next frame render() produces; frames are counted from the mixer's start
    /// and never repeat.
    virtual qint64 nextFrame() const = 0;
    /// Fills `out` with the next `frames` frames. Called on the device's thread, in order.
    virtual void render(qint16 *out, qint64 frames) = 0;
};

/// The sound output behind the mixer. One runs for the whole session; backends implement it at
/// the edge (PulseAudio, a WAV file, nothing) and tests use a scripted fake. Start and stop come
/// from the UI thread; the other calls are safe from any thread.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;
    /// Starts pulling from `source` (44,100 Hz, 16-bit stereo) on the backend's own thread until
    /// stop(). `source` must outlive the running device.
    [[nodiscard]] virtual DeviceResult start(FrameSource &source) = 0;
    virtual void stop() = 0;
    /// False before start, after stop and after the device went away (a sound server quit).
    virtual bool isRunning() const = 0;
    /// When mixer frame `frame` leaves the output, on the program clock (µs), by the stream's
    /// clock model; nothing while that is not known.
    virtual std::optional<qint64> frameTimeUs(qint64 frame) const = 0;
    /// Whether frameTimeUs() comes from a clock model that has settled: the server's latencies
    /// have stopped moving since the stream started. Devices timed by frame counts alone always
    /// are.
    virtual bool isClockSettled() const { return true; }
    /// Whether the device has not been served for longer than its period allows (a sound server
    /// held up): a stream that stalls delivers nothing and plays nothing.
    virtual bool isStalled() const { return false; }
    /// Underruns and other discontinuities of its timing (stalls, a lost connection, a device
    /// that changed) so far; only grows.
    virtual qint64 underflowCount() const = 0;
    /// For the log: "PulseAudio sink headphones", "file out.wav", ...
    virtual QString description() const = 0;
};

} // namespace orva
