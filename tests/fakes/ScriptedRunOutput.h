// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/ORVA_Wave.h"
#include "engine/RunControllerOutput.h"
#include "engine/RunEvents.h"
#include "fakes/ManualClock.h"
#include "fakes/ManualTimers.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace orva::test {

/// The run controller's world in a test: timers run on a ManualClock and fire when the test
/// advances it; every other command and every event is recorded (hand it to the controller's
/// setEvents as well).
class ScriptedRunOutput final : public RunControllerOutput, public RunEvents
{
public:
    explicit ScriptedRunOutput(ManualClock &clock)
        : m_clock(clock)
    { }

    /// Where expired timers go (normally RunController::onTimer).
    std::function<void(int id)> &onTimer = m_timers.onTimer;

    /// Moves the clock forward by `ms`, firing every timer that expires on the way, in order.
    void advanceMs(qint64 ms) { m_timers.advanceMs(ms); }
    bool isTimerRunning(int id) const { return m_timers.isRunning(id); }
    int timerPeriodMs(int id) const { return m_timers.periodMs(id); }
    /// Milliseconds until timer `id` fires next, or -1 when it is not running.
    qint64 msUntil(int id) const { return m_timers.msUntil(id); }

    std::optional<qint64> play(ORVA_Wave &wave) override
    {
        plays.append({ &wave, m_clock.nowUs() });
        if (playForReal) {
            wave.play(false, false);
            return wave.playStartUs();
        }
        if (!soundLatencyUs)
            return std::nullopt;
        return m_clock.nowUs() + *soundLatencyUs;
    }
    /// Without a latency set, the sound leaves exactly when asked, as from an output that places
    /// it; with one, no earlier than that latency after the call.
    std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs) override
    {
        plays.append({ &wave, m_clock.nowUs(), startUs });
        if (playForReal) {
            wave.playAt(startUs);
            return wave.playStartUs();
        }
        return std::max(startUs, m_clock.nowUs() + soundLatencyUs.value_or(0));
    }
    void setTimer(int id, int ms) override
    {
        m_timers.set(id, ms);
        calls.append(QStringLiteral("setTimer %1 %2").arg(id).arg(ms));
    }
    void stopTimer(int id) override { m_timers.stop(id); }
    void runStarted() override { events.append(QStringLiteral("runStarted")); }
    void countdownChanged() override { events.append(QStringLiteral("countdownChanged")); }
    void syllableStarted(int measurement) override
    {
        events.append(QStringLiteral("syllableStarted %1").arg(measurement));
    }
    void highlightChanged() override { events.append(QStringLiteral("highlightChanged")); }
    void answerTaken(int measurement) override
    {
        events.append(QStringLiteral("answerTaken %1").arg(measurement));
    }
    void verdictGiven(int measurement, Verdict verdict) override
    {
        static const char *const names[] = { "wrong", "rejected", "discarded" };
        events.append(QStringLiteral("verdictGiven %1 %2")
                          .arg(measurement)
                          .arg(QLatin1String(names[int(verdict)])));
    }
    void syllableEnded(int measurement, bool recorded) override
    {
        events.append(QStringLiteral("syllableEnded %1").arg(measurement));
        if (recorded)
            recordedMeasurements.append(measurement);
    }
    void runEnded() override { events.append(QStringLiteral("runEnded")); }
    void startupWaitEnded() override { ++firstRunHelpRequests; }
    bool saveRun() override
    {
        ++saveRequests;
        return saveSucceeds;
    }
    qint64 audioGlitchCount() const override { return glitches; }
    QString soundProblem() override { return soundProblemText; }
    QString soundWarning() const override { return soundWarningText; }
    QString runNote() const override { return runNoteText; }
    std::optional<qint64> heardUntilUs() const override { return heardUntil; }
    bool isSoundSettled() const override { return soundSettled; }
    bool soundSettled = true; ///< what isSoundSettled() answers
    bool isListening() const override { return listening; }
    bool listening = true; ///< what isListening() answers
    void commentAppended(const QString &note) override { commentNotes.append(note); }
    /// The events in order, e.g. "answerTaken 3", "verdictGiven 3 wrong", "runEnded".
    QStringList events;
    /// The measurements whose result went into the run, in the order their syllables ended.
    QList<int> recordedMeasurements;
    QStringList commentNotes;
    QString soundProblemText; ///< what soundProblem() answers; empty: the sound works
    QString soundWarningText; ///< what soundWarning() answers
    QString runNoteText; ///< what runNote() answers
    std::optional<qint64> heardUntil; ///< what heardUntilUs() answers

    struct Play
    {
        const ORVA_Wave *wave;
        qint64 atUs; ///< when the controller asked
        std::optional<qint64> dueUs = std::nullopt; ///< when it asked the sound to leave
    };
    QList<Play> plays;
    QStringList calls;
    int firstRunHelpRequests = 0;
    int saveRequests = 0;
    bool saveSucceeds = true;
    qint64 glitches = 0;
    /// Plays the waves through the current sound session instead of recording only.
    bool playForReal = false;
    /// When set, play() reports that the sound leaves the output this long after the call, and
    /// playAt() that it leaves no earlier.
    std::optional<qint64> soundLatencyUs;

private:
    ManualClock &m_clock;
    ManualTimers m_timers { m_clock };
};

} // namespace orva::test
