// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace orva {

/// Maps a sound stream's frame index to the program clock (support/Clock), following the
/// device's own rate.
///
/// The backend feeds observations: frame `frame` (counted from the stream's first frame) stood at
/// the device's converter at program time `timeUs` (for playback the frame leaving the output,
/// for capture the frame entering the input), taken from the sound server's raw timing reports.
/// The model fits a straight line, offset and rate, through the observations of the last
/// `windowUs`; two devices run on two crystals, and their frames do not last exactly
/// 1/sampleRate s of the program clock. Reports that the server sent late (it read the stream's
/// position, then waited for the processor) lie above the line and are left out of it. It
/// ignores what came in the first `settleUs` (the server is still settling latencies), settles
/// on a line that several observations in a row agree on, and re-anchors when several in a row
/// agree on a new line (an underrun, an overflow, a server that restarted, a device that
/// changed): such a discontinuity is logged and counted. Observations come from the backend
/// thread, queries from any thread.
class StreamClockModel
{
public:
    struct Options
    {
        int sampleRate = 44100;
        qint64 settleUs = 1'000'000;
        qint64 windowUs = 6'000'000;
        /// An observation this far from the line is a suspected discontinuity, not part of it.
        qint64 jumpUs = 2'000;
        /// An observation this much later than the line is taken for a report that was sent late
        /// and left out of the line (reports are late at times, never early).
        qint64 lateUs = 300;
        /// Suspects in a row, agreeing among themselves, that move the anchor.
        int jumpConfirmations = 4;
        /// Below this span of observations the rate is taken as nominal and only the offset is
        /// fitted.
        qint64 rateSpanUs = 1'500'000;
        /// The largest deviation of the fitted rate from the nominal one (parts per million);
        /// beyond it the observations are taken as wrong, not the device.
        double maximumPpm = 1000;
    };

    /// The program time of `stampUs`, a moment on another clock (the wall clock of a sound
    /// server's report), by reading `programNowUs` and `otherNowUs` side by side. A thread held
    /// up between the readings would move the answer by as long as it waited: the pair is read
    /// again when the program clock moved by more than `toleranceUs` meanwhile, and nothing is
    /// answered when it kept moving.
    static std::optional<qint64> programTimeOf(qint64 stampUs,
                                               const std::function<qint64()> &programNowUs,
                                               const std::function<qint64()> &otherNowUs,
                                               qint64 toleranceUs = 100);

    /// `name` tags the log line of a re-anchoring ("playback", "capture").
    explicit StreamClockModel(QString name);
    StreamClockModel(QString name, const Options &options);

    /// Adds one observation; returns true when it moved the anchor.
    bool observe(qint64 frame, qint64 timeUs);
    /// Fixes the line exactly at the nominal rate (frame 0 at `frameZeroUs`), for streams whose
    /// timing follows from frame counts alone (file streams, test fakes). Observations after it
    /// move it as usual.
    void setExact(qint64 frameZeroUs);
    void reset();

    /// Program time (µs) of frame `frame`; nothing before the first observation. While the model
    /// settles it answers from what it has.
    std::optional<qint64> frameTimeUs(qint64 frame) const;
    /// The frame at program time `us` (rounded down); nothing before the first observation.
    std::optional<qint64> frameAtUs(qint64 us) const;
    /// Program time of frame 0.
    std::optional<qint64> offsetUs() const;
    /// The fitted rate's deviation from the nominal one, in parts per million (positive: the
    /// device's frames last longer than nominal, it runs slow).
    double deviationPpm() const;
    bool isSettled() const;
    int reanchorCount() const;

private:
    struct Observation
    {
        qint64 frame;
        qint64 timeUs;
    };
    struct Line
    {
        qint64 frame = 0; ///< reference frame
        double timeUs = 0; ///< its time
        double usPerFrame = 0;
        double at(qint64 f) const { return timeUs + double(f - frame) * usPerFrame; }
    };
    /// Fits the line to the window, leaving out the observations clearly later than it.
    void fit();
    /// The least-squares line through the observations of the window marked in m_used.
    Line fitLine() const;
    /// Adds `observation` to the suspects, after dropping those it disagrees with; true when
    /// enough of them agree.
    bool confirms(const Observation &observation);
    double nominalUsPerFrame() const { return 1e6 / m_options.sampleRate; }

    const QString m_name;
    const Options m_options;
    mutable QMutex m_lock;
    std::deque<Observation> m_window;
    std::deque<Observation> m_suspects;
    std::vector<char> m_used; ///< fit()'s scratch: which observations of the window it uses
    std::optional<qint64> m_firstUs;
    std::optional<Line> m_line;
    bool m_settled = false;
    int m_reanchors = 0;
};

} // namespace orva
