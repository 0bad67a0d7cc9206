// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QString>

#include <deque>
#include <optional>

namespace orva {

/// Maps a sound stream's frame index to the program clock (support/Clock).
///
/// The backend feeds observations: at program time `nowUs` the stream stood at `streamUs`, the
/// position in µs of the frame at the device's converter (for playback the frame leaving the
/// output, for capture the frame entering the input). Their difference is the stream's offset
/// against the program clock. The model keeps the median offset over the last `windowUs`, ignores
/// the first `settleUs` after the first observation (the server is still settling latencies), and
/// re-anchors when several observations in a row agree on a new offset (an underrun, a server
/// restart). Observations come from the backend thread, queries from any thread.
class StreamClockModel
{
public:
    struct Options
    {
        int sampleRate = 44100;
        qint64 settleUs = 1'000'000;
        qint64 windowUs = 1'500'000;
        /// An offset this far from the median is a suspected jump, not part of the median.
        qint64 jumpUs = 4'000;
        /// Suspected jumps in a row, agreeing among themselves, that move the anchor.
        int jumpConfirmations = 4;
    };

    /// `name` tags the log line of a re-anchoring ("playback", "capture").
    explicit StreamClockModel(QString name);
    StreamClockModel(QString name, const Options &options);

    /// Adds one observation; returns true when it moved the anchor.
    bool observe(qint64 nowUs, qint64 streamUs);
    /// Fixes the offset exactly (frame 0 at `frameZeroUs`), for streams whose timing follows from
    /// frame counts alone (file streams, test fakes). Observations after it move it as usual.
    void setExact(qint64 frameZeroUs);
    void reset();

    /// Program time (µs) of frame `frame`, counted from the stream's first frame; nothing before
    /// the first observation. While the model settles it answers from what it has.
    std::optional<qint64> frameTimeUs(qint64 frame) const;
    /// The frame at program time `us` (rounded down); nothing before the first observation.
    std::optional<qint64> frameAtUs(qint64 us) const;
    std::optional<qint64> offsetUs() const;
    bool isSettled() const;
    int reanchorCount() const;

private:
    struct Observation
    {
        qint64 nowUs;
        qint64 offsetUs;
    };
    void updateMedian();

    const QString m_name;
    const Options m_options;
    mutable QMutex m_lock;
    std::deque<Observation> m_window;
    std::deque<Observation> m_suspects;
    std::optional<qint64> m_firstUs;
    std::optional<qint64> m_offsetUs;
    bool m_settled = false;
    int m_reanchors = 0;
};

} // namespace orva
