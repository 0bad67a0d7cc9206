// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/DeviceResult.h"

#include <QString>

#include <optional>

namespace orva {

/// Receives captured samples: 44,100 Hz, 16-bit, mono.
class CaptureSink
{
public:
    virtual ~CaptureSink() = default;
    /// `count` consecutive samples, the first of which is input frame `firstFrame` (frames are
    /// counted from the device's first start and never repeat or skip; a device started again
    /// after it went away goes on counting). Called on the device's thread, in order; must not
    /// block.
    virtual void samplesCaptured(qint64 firstFrame, const qint16 *samples, qint64 count) = 0;
};

/// The microphone. One runs for the whole session; backends implement it at the edge and tests
/// use a scripted fake. Start and stop come from the UI thread; the other calls are safe from any
/// thread.
class AudioInput
{
public:
    virtual ~AudioInput() = default;
    /// Whether the capture device can record 44,100 Hz, 16-bit mono (the only format used).
    virtual bool supportsCaptureFormat() const = 0;
    /// Starts capturing into `sink` on the backend's own thread until stop(). `sink` must outlive
    /// the running device.
    [[nodiscard]] virtual DeviceResult start(CaptureSink &sink) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    /// When input frame `frame` entered the input, on the program clock (µs), by the stream's
    /// clock model; nothing while that is not known.
    virtual std::optional<qint64> frameTimeUs(qint64 frame) const = 0;
    /// Whether frameTimeUs() comes from a clock model that has settled: the server's latencies
    /// have stopped moving since the stream started. Devices timed by frame counts alone always
    /// are.
    virtual bool isClockSettled() const { return true; }
    /// Whether the device has not been served for longer than its period allows (a sound server
    /// held up): a stream that stalls delivers nothing and plays nothing.
    virtual bool isStalled() const { return false; }
    /// Overflows (captured audio lost) and other discontinuities of its timing so far; only
    /// grows.
    virtual qint64 overflowCount() const = 0;
    virtual QString description() const = 0;
};

} // namespace orva
