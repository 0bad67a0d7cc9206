// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace orva {

class ORVA_Wave;

/// Timers the run controller sets on the main window, by id. A timer repeats until stopped, and
/// setting it again replaces the running one.
enum TimerId : int {
    WaitTimer = 1018,
    HighLightTimer = 1025,
    TimeDiffTimer = 1026,
    NoiseFadeTimer = 1155,
};

/// What the run controller asks of the world around it: sound, timers and saving. What happened
/// in a run it tells a RunEvents listener instead. The main window implements it; tests record
/// the calls. Every call comes on the UI thread.
class RunControllerOutput
{
public:
    virtual ~RunControllerOutput() = default;

    /// Plays `wave` once at its own volume. Returns when its first frame leaves the output, on
    /// the program clock (µs), or nothing when that is not known (no device).
    virtual std::optional<qint64> play(ORVA_Wave &wave) = 0;
    /// Plays `wave` once so that its first frame leaves the output at `startUs` on the program
    /// clock (or as soon after as the output allows). Returns when it leaves, or nothing when
    /// that is not known. Without an output that can place a sound, it plays at once.
    virtual std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs)
    {
        (void)startUs;
        return play(wave);
    }
    virtual void setTimer(int id, int ms) = 0;
    virtual void stopTimer(int id) = 0;
    /// File > Save of the finished run, with its messages; false when nothing was saved.
    virtual bool saveRun() = 0;

    /// Why a run cannot be measured now, for a person (no output, a microphone that does not
    /// deliver); empty when the sound works. May try to start a device that is not running.
    virtual QString soundProblem() { return QString(); }
    /// What the operator should know before a run whose times may be off by a latency the
    /// program cannot take off (the latency measured for other devices, or one that spreads too
    /// much); empty when there is nothing to say.
    virtual QString soundWarning() const { return QString(); }
    /// A line for the run's comment about how its times were corrected; empty for none.
    virtual QString runNote() const { return QString(); }

    /// Whether the clock models of the sound devices have settled, so that a sound is timed like
    /// every other; a run waits for it before its first syllable.
    virtual bool isSoundSettled() const { return true; }

    /// Whether the program is listening right now: the output plays and the microphone delivers.
    /// A syllable that ends without an answer while it is not is no answer of the client.
    virtual bool isListening() const { return true; }
    /// Underruns, overflows, stalls, lost connections and changed devices of the sound devices
    /// so far, a count that only grows.
    virtual qint64 audioGlitchCount() const { return 0; }
    /// The time (program clock, µs) up to which the microphone's samples have reached the voice
    /// key on this thread; samples from before it that hold an onset have been handed over.
    /// Nothing when it is not known (then nothing is waited for).
    virtual std::optional<qint64> heardUntilUs() const { return std::nullopt; }
};

} // namespace orva
