// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/LatencyCalibration.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

namespace orva {

class AudioSession;
class CaptureSink;
class Clock;
class ORVA_Wave;
class ORVA_WaveInDevice;
class StringTable;

/// The sound of the runs: the microphone's capture with its voice key, the level it hears, and
/// whether the session's output and input work. UI thread only; the voice onsets come from the
/// capture.
class RunSound
{
public:
    /// `onset` hears of each voice onset, with its time on `clock` (µs).
    RunSound(const Clock &clock, std::function<void(qint64 onsetUs)> onset);
    ~RunSound();

    /// The sound session whose input the capture reads (not owned; it must outlive this).
    /// Without one there is no capture, and the caller delivers the onsets itself. Another
    /// session ends the capture of the previous one's input.
    void setSession(AudioSession *session);
    AudioSession *session() const { return m_session; }
    /// Starts the capture at the voice key's threshold (dB); false without an input.
    bool startCapture(int thresholdDb);
    void stopCapture();
    void setThreshold(int thresholdDb);

    /// Plays `wave` once; when its first frame leaves the output, on the clock, if known.
    std::optional<qint64> play(ORVA_Wave &wave);
    /// Plays `wave` so that its first frame leaves the output at `startUs` on the clock, or as
    /// soon after as the output can; when it really leaves, if known.
    std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs);
    /// The clock models of output and input have settled (true without a session).
    bool isSettled() const;
    /// The input runs and delivers and the output runs: a silence is the client's (true without
    /// a session, where the caller delivers the onsets itself).
    bool isListening() const;
    /// Why a run cannot be measured now, one line per missing part, naming the installation's
    /// devices `outputName` and `inputName`; empty when the sound works. Starts an output that
    /// is not running.
    QString
    problem(const StringTable &strings, const QString &outputName, const QString &inputName);
    /// Another listener of the captured samples beside the voice key; nullptr: none.
    void setCaptureTap(CaptureSink *tap);

    /// The latency the devices of one pair do not report, as the self-test measured it. While
    /// the session's devices are that pair, every voice onset is taken that much earlier.
    void setLatencyCalibration(const LatencyCalibration &calibration);
    const LatencyCalibration &latencyCalibration() const { return m_calibration; }
    /// The offset taken off the onsets now (0 when the calibration is for other devices).
    qint64 appliedLatencyOffsetUs() const;
    /// Why the operator should think twice before a run: the stored calibration is for other
    /// devices than those in use, or it spread too much to be trusted. Empty otherwise, and
    /// without a calibration.
    QString latencyWarning(const StringTable &strings) const;
    /// The run file's comment line about the offset taken off; empty when none is.
    QString latencyNote(const StringTable &strings) const;

    /// Up to when the microphone's samples have reached the voice key (see RunControllerOutput).
    std::optional<qint64> heardUntilUs() const;
    /// Underruns and overflows so far.
    qint64 glitchCount() const;
    /// The level meter's tick: a lost input is started again, and the peak (0 … 32768) since the
    /// last tick is returned (of every sample while `listening` for an answer).
    double levelTick(bool listening);

private:
    AudioSession *m_session = nullptr;
    std::unique_ptr<ORVA_WaveInDevice> m_capture;
    LatencyCalibration m_calibration;
};

} // namespace orva
