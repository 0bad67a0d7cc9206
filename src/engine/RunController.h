// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RunControllerOutput.h"
#include "engine/RunEvents.h"
#include "support/ProgramStates.h"

#include <QString>

#include <array>
#include <optional>

namespace orva {

class Clock;
class MessageBoxes;
class ORVA_Experiment;
class StringTable;

/// Save and print rules per run kind, each 0 (never), 1 (when completed) or 2 (always).
struct RunFileRules
{
    std::array<int, 3> saveMode { 1, 1, 1 }; ///< pre-test, main test, training
    std::array<int, 3> printMode { 1, 1, 1 };
};

/// Carries one run from the start command to its end: presents the syllables, takes the voice
/// onsets, measures the reaction times, takes the operator's verdicts and ends the run.
/// Every event is a call on the UI thread; everything it does goes through RunControllerOutput.
/// Times are on the program Clock; the reaction time of a syllable is the onset's time stamp
/// minus the time the syllable's sound left the output.
class RunController
{
public:
    static constexpr int kVerificationWindowMs = 2000;
    static constexpr int kMinimumReactionTimeMs = 200;
    static constexpr int kHighlightMs = 200;
    static constexpr int kCountdownMs = 3000;
    static constexpr int kNoiseFadeMs = 500;
    /// How long before a syllable's scheduled time the controller hands it to the output: more
    /// than the output's latency, so that the mixer can place its first frame at that time.
    static constexpr int kScheduleLeadMs = 150;
    /// How long the first syllable waits for the sound devices' clocks to settle, and how often
    /// it looks, before the run is given up.
    static constexpr int kSettleWaitMs = 5000;
    static constexpr int kSettlePollMs = 100;
    /// A syllable whose measurement a sound fault touched is presented again, up to this many
    /// times in a row; then the run ends and says why.
    static constexpr int kMaxSoundFaults = 3;
    /// Resource string shown when a run cannot start because its material is missing.
    static constexpr int kMaterialMissingText = 900;
    /// Resource string shown when the training settings give no list or no syllable count.
    static constexpr int kNoTrainingChoiceText = 917;

    RunController(ORVA_Experiment &experiment,
                  RunControllerOutput &output,
                  const Clock &clock,
                  MessageBoxes &boxes,
                  const StringTable &strings);

    /// Who is told what happens in a run (the window, a test); nobody when null. Not owned.
    void setEvents(RunEvents *events) { m_events = events; }

    // Start commands
    void onStartPreTest();
    void onStartMainTest();
    void onStartTraining();
    void startExperiment(int mode);
    /// Begins the countdown (also command 1033).
    void onStart();

    // Events of a run
    /// A voice onset at `onsetUs` on the program clock.
    void onAudioInput(qint64 onsetUs);
    void onWrongReaction();
    void onReject();
    void onAbort();
    /// Dispatches one of the controller's timers; false for other ids.
    bool onTimer(int id);
    void onWaitTimer();
    void onHighLightTimer();
    void onTimeDiffTimer();
    void onNoiseFadeTimer();

    // State
    ProgramState programState() const { return m_programState; }
    bool inState(ProgramState state) const { return state == m_programState; }
    void setProgramState(ProgramState state) { m_programState = state; }
    RunState runState() const { return m_runState; }
    void setRunState(RunState state) { m_runState = state; }
    bool isRunActive() const;
    bool isAudioOutputActive() const;
    bool mustAskToSave() const;
    /// Whether the save mode of the run's kind lets the current run be saved: 0 never, 1 a
    /// finished run (or one read from a file or saved before), 2 also an aborted one.
    bool maySave() const;
    bool mayPrint() const;
    const RunFileRules &fileRules() const { return m_fileRules; }
    void setFileRules(const RunFileRules &rules) { m_fileRules = rules; }

    // What the panels show
    const QString &modeLabel() const { return m_modeLabel; }
    const QString &stateText() const { return m_stateText; }
    void setModeLabel(const QString &text) { m_modeLabel = text; }
    void setStateText(const QString &text) { m_stateText = text; }
    bool isHighlighted() const { return m_highlight; }
    bool startButtonFlag() const { return m_startButtonFlag; }
    int tooEarlyCount() const { return m_tooEarlyCount; }
    bool isKeyPressed() const { return m_isKeyPressed; }
    /// When the current syllable started and when its answer came, on the program clock (µs).
    qint64 syllableStartUs() const { return m_syllableStartUs; }
    qint64 answerTimeUs() const { return m_answerTimeUs; }
    /// The countdown duration, written to the settings as "WaitForDelay".
    int countdownMs() const { return m_countdownMs; }

private:
    void onStartCommand(int mode, int label, const char *tag, const char *name);
    /// Fills the sequence with the stock indices of the run's syllables.
    void chooseSyllableMode();
    void startSyllable();
    /// `answerUs`: the onset's time; nothing when the answer window ran out.
    void startVerification(std::optional<qint64> answerUs);
    void endSyllable();
    void endExperiment();
    /// Plays `wave` (at `dueUs` when given) and returns when its sound starts, falling back to
    /// `dueUs` or the clock.
    qint64 playAndTime(ORVA_Wave &wave, std::optional<qint64> dueUs = std::nullopt);
    /// Whether a syllable begins with its sound (every test; training unless the picture comes
    /// first): only then is it handed to the output ahead of its time.
    bool startsWithSound() const;
    /// Sets the wait timer so that it fires kScheduleLeadMs before `dueUs`, the next syllable's
    /// scheduled time, and remembers that time.
    void scheduleSyllable(qint64 dueUs);
    /// Starts the first syllable once the sound clocks have settled; false while it waits.
    bool firstSyllableMayStart();
    /// The current measurement was touched by a sound fault (`why`, for the log): it is not
    /// stored, and the syllable is presented again when the verification window ends, or the run
    /// ends when the fault persists.
    void discardFaultyMeasurement(const char *why, int waitMs);
    int modeLabelId() const;
    RunEvents &events();
    int saveOrPrintIndex() const;

    ORVA_Experiment &m_experiment;
    RunControllerOutput &m_output;
    RunEvents *m_events = nullptr;
    const Clock &m_clock;
    MessageBoxes &m_boxes;
    const StringTable &m_strings;

    ProgramState m_programState = ProgramState::Idle;
    RunState m_runState = RunState::Empty;
    RunFileRules m_fileRules;
    QString m_modeLabel;
    QString m_stateText;

    qint64 m_syllableStartUs = 0;
    /// When the next syllable is to leave the output; nothing when it is not scheduled ahead.
    std::optional<qint64> m_syllableDueUs;
    /// When the first syllable began to wait for the sound clocks; nothing while not waiting.
    std::optional<qint64> m_settleWaitSinceUs;
    qint64 m_answerTimeUs = 0;
    qint64 m_glitchesAtStart = 0;
    /// Whether the sound clocks had settled when the current syllable was placed and timed.
    bool m_soundSettledAtStart = true;
    int m_tooEarlyCount = 0;
    int m_soundFaultsInARow = 0;
    // The sound warning the operator chose to run with; not asked again this session.
    QString m_acceptedSoundWarning;
    /// How long the end of an answer window waits for its last samples, and in which steps.
    static constexpr qint64 kLateSamplesUs = 300'000;
    static constexpr int kLateSamplesPollMs = 5;
    /// At the answer window's timer: true, with the timer set again, while samples from inside
    /// the window are still on their way to the voice key.
    bool answerMayStillArrive();
    bool m_tooEarly = false;
    bool m_isKeyPressed = false;
    bool m_rejected = false;
    bool m_highlight = false;
    int m_countdown = 0;
    bool m_startButtonFlag = false;
    qint64 m_fadeStartUs = 0;
    int m_countdownMs = kCountdownMs;
};

} // namespace orva
