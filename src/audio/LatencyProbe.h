// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"

#include <QMutex>
#include <QString>

#include <optional>
#include <vector>

namespace orva {

class AudioSession;

/// The latency self-test: a train of clicks goes out through the session's mixer while the
/// operator holds the microphone to an earpiece (or a cable loops the output back into the
/// input), and each click's onset in the captured audio is timed against the moment the click
/// left the output, both by the devices' own clock models. On a set-up whose devices report
/// their latencies correctly this is the acoustic path only, well under a millisecond; anything
/// more is latency a device does not report (USB headsets, Bluetooth), which the program then
/// takes off its reaction times.
///
/// The probe receives the captured samples as a tap beside the voice key (samplesCaptured() on
/// the input's thread), and stamps there, as the voice key does, each block of samples with the
/// time it entered the input and each click, once it is due, with the time it left the output:
/// both by the clock models of that moment, with the count of sound faults so far. A click whose
/// answer window saw a fault (an underrun, a re-anchored clock, lost samples) is left out rather
/// than measured across it. Everything else happens on the UI thread.
class LatencyProbe final : public CaptureSink
{
public:
    struct Options
    {
        int clicks = 12;
        int intervalMs = 700;
        /// Silence before the first click: the output's buffer and the noise floor.
        int leadMs = 600;
        /// The longest latency the probe looks for after each click.
        int longestMs = 600;
        int clickMs = 2;
        /// A spread beyond this is too large to trust: the device's latency moves (Bluetooth),
        /// and one offset cannot correct it.
        double trustedSpreadMs = 1.0;
    };

    enum class Outcome {
        Measured, ///< enough clicks heard, no sound fault
        NotHeard, ///< fewer than half the clicks left to measure came back
        SoundFault, ///< sound faults touched more than half the clicks
        NoSound, ///< output or input not running, or their clocks not settled
    };

    struct Result
    {
        Outcome outcome = Outcome::NoSound;
        int clicks = 0;
        int heard = 0;
        int touched = 0; ///< clicks left out: a sound fault touched them
        double medianMs = 0;
        /// How far the single latencies scatter: their median distance from the median, scaled
        /// to match a standard deviation.
        double spreadMs = 0;
        std::vector<double> latenciesMs; ///< in click order, of the clicks heard
        /// Measured, every click heard but two of those left, spread within the limit.
        bool trusted = false;
    };

    /// `session` must outlive the probe.
    explicit LatencyProbe(AudioSession &session);
    LatencyProbe(AudioSession &session, const Options &options);
    ~LatencyProbe() override;
    LatencyProbe(const LatencyProbe &) = delete;
    LatencyProbe &operator=(const LatencyProbe &) = delete;

    /// Places the click train in the mixer, beginning `leadMs` from now. False when the output
    /// or the input does not run or their clocks have not settled yet.
    bool start();
    bool isStarted() const { return m_voice != 0; }
    /// How long the test takes from start() until finish() has everything (ms).
    int durationMs() const;
    /// Analyses what came back; stops the clicks if they still play.
    Result finish();

    // CaptureSink: the tap, on the input's thread.
    void samplesCaptured(qint64 firstFrame, const qint16 *samples, qint64 count) override;

    /// The click train as interleaved stereo 16-bit frames at 44,100 Hz: a click at frame 0 and
    /// every interval after it.
    static std::vector<qint16> clickTrain(const Options &options);
    /// A frame's time on the program clock, and the count of sound faults when it was taken.
    struct Stamp
    {
        qint64 frame = 0;
        qint64 timeUs = 0;
        qint64 faults = 0;
    };

    /// Finds each click's onset in `samples` (consecutive mono input frames from `firstFrame`)
    /// and times it by `blocks` (the first frame of each block of samples as it arrived) against
    /// `clicks` (when each click left the output). A click is left out when the fault count at
    /// the end of its window differs from the one it left with. The trigger is four times the
    /// noise before the first click (its 99th percentile), at least -40 dB.
    static Result analyse(const std::vector<Stamp> &clicks,
                          const std::vector<Stamp> &blocks,
                          qint64 firstFrame,
                          const std::vector<qint16> &samples,
                          const Options &options);

private:
    AudioSession &m_session;
    const Options m_options;
    qint64 m_voice = 0;
    qint64 m_firstClickFrame = 0;

    mutable QMutex m_lock; // what the tap collects, between the input's and the UI thread
    bool m_listening = false;
    std::vector<qint16> m_samples;
    std::optional<qint64> m_firstFrame;
    std::vector<Stamp> m_blocks;
    std::vector<Stamp> m_clicks;
    qint64 m_gaps = 0; // deliveries after frames that never came
};

} // namespace orva
