// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RunController.h"

#include "engine/ORVA_Experiment.h"
#include "support/Clock.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/SaveFailure.h"
#include "support/StringTable.h"

namespace orva {

namespace {

constexpr int kModeLabelPreTest = 128;
constexpr int kModeLabelMainTest = 129;
constexpr int kModeLabelTraining = 130;
constexpr int kStateSelected = 131;
constexpr int kStateRunning = 132;
constexpr int kStateAborted = 133;
constexpr int kStateComplete = 134;
constexpr int kTitleQuestion = 140;
constexpr int kTitleWarning = 146;
constexpr int kAskSaveUnsaved = 153;
constexpr int kTooEarlyText = 173;
constexpr int kTooEarlyCountText = 242;
constexpr int kNoSoundText = 909;
constexpr int kUnplayableText = 912;
constexpr int kClocksUnsettledText = 913;
constexpr int kSoundFaultText = 914;

const char *yesNo(bool value)
{
    return value ? "true" : "false";
}

// The listener while nobody listens.
class NoRunEvents final : public RunEvents
{
public:
    void runStarted() override { }
    void countdownChanged() override { }
    void syllableStarted(int) override { }
    void highlightChanged() override { }
    void answerTaken(int) override { }
    void verdictGiven(int, Verdict) override { }
    void syllableEnded(int, bool) override { }
    void runEnded() override { }
    void commentAppended(const QString &) override { }
    void startupWaitEnded() override { }
};

// Whole milliseconds between two clock readings in µs, rounded to the nearest.
int elapsedMs(qint64 fromUs, qint64 toUs)
{
    const qint64 us = toUs - fromUs;
    return static_cast<int>(us >= 0 ? (us + 500) / 1000 : -((-us + 500) / 1000));
}

} // namespace

RunController::RunController(ORVA_Experiment &experiment,
                             RunControllerOutput &output,
                             const Clock &clock,
                             MessageBoxes &boxes,
                             const StringTable &strings)
    : m_experiment(experiment)
    , m_output(output)
    , m_clock(clock)
    , m_boxes(boxes)
    , m_strings(strings)
{ }

RunEvents &RunController::events()
{
    static NoRunEvents nobody;
    return m_events ? *m_events : nobody;
}

bool RunController::isRunActive() const
{
    const int state = static_cast<int>(m_programState);
    return state >= 1 && state <= 5;
}

bool RunController::isAudioOutputActive() const
{
    return isAudioOutputBusy(m_programState);
}

int RunController::saveOrPrintIndex() const
{
    return qBound(0, m_experiment.mode() - 1, 2);
}

bool RunController::mustAskToSave() const
{
    if (m_runState != RunState::Finished && m_runState != RunState::Aborted)
        return false;
    const int save = m_fileRules.saveMode[saveOrPrintIndex()];
    return save == 2 || (save == 1 && m_runState == RunState::Finished);
}

bool RunController::maySave() const
{
    const int save = m_fileRules.saveMode[saveOrPrintIndex()];
    switch (m_runState) {
    case RunState::Finished:
    case RunState::Loaded:
    case RunState::Saved: // it met the rule when it was saved
        return save >= 1;
    case RunState::Aborted:
        return save == 2;
    default:
        return false;
    }
}

bool RunController::mayPrint() const
{
    if (m_runState == RunState::Empty || m_runState == RunState::Running)
        return false;
    const int print = m_fileRules.printMode[saveOrPrintIndex()];
    return print == 2
        || (print == 1 && (m_runState == RunState::Finished || m_runState == RunState::Loaded));
}

int RunController::modeLabelId() const
{
    if (m_experiment.isTraining())
        return kModeLabelTraining;
    return m_experiment.isPreTest() ? kModeLabelPreTest : kModeLabelMainTest;
}

void RunController::onStartPreTest()
{
    onStartCommand(PreTest, kModeLabelPreTest, "OSPT", "Pre Test");
}

void RunController::onStartMainTest()
{
    onStartCommand(MainTest, kModeLabelMainTest, "OSMT", "Main Test");
}

void RunController::onStartTraining()
{
    onStartCommand(Training, kModeLabelTraining, "OSTR", "Training");
}

void RunController::onStartCommand(int mode, int label, const char *tag, const char *name)
{
    logMessage(1, "BEGIN: On Start %s\n", name);
    if (isRunActive() || isAudioOutputActive()) {
        logMessage(1, "   %s 10: Exp is running; END\n", tag);
        return;
    }
    if (mustAskToSave()) {
        const MessageAnswer answer =
            m_boxes.show(m_strings.text(kTitleQuestion), m_strings.text(kAskSaveUnsaved),
                         MessageIcon::Question, MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Cancel
            || (answer == MessageAnswer::Yes && !m_output.saveRun())) {
            logMessage(1, "   %s 30: run not saved; END\n", tag);
            return;
        }
    }
    m_modeLabel = m_strings.text(label);
    m_stateText.clear();
    logMessage(1, "   %s 40: startExperiment\n", tag);
    startExperiment(mode);
    logMessage(1, "END   %s\n", tag);
}

void RunController::startExperiment(int mode)
{
    logMessage(1, "BEGIN: Start Experiment\n");
    if (!mayStartRun(m_programState)) {
        logMessage(1, "END 10: Start Experiment\n");
        return;
    }
    if (mode == Training
        && (m_experiment.client().repetitions() <= 0 || !m_experiment.runList(Training))) {
        // The settings may store no list or a count of 0 (a deleted own list): such a run would
        // have no syllables or read a list that does not exist.
        m_boxes.show(m_strings.text(kTitleWarning), m_strings.text(kNoTrainingChoiceText),
                     MessageIcon::Warning, MessageButtons::Ok);
        logMessage(1, "END 15: Start Experiment, no training list or syllable count\n");
        return;
    }
    if (!m_experiment.canStartRun(mode)) {
        // A missing stock or training list would leave the run without syllables.
        m_boxes.show(m_strings.text(kTitleWarning), m_strings.text(kMaterialMissingText),
                     MessageIcon::Warning, MessageButtons::Ok);
        logMessage(1, "END 20: Start Experiment, no material for mode %d\n", mode);
        return;
    }
    // A run on sound that does not work would blame the client for the machine: every syllable
    // would end as "no answer".
    QString problem = m_output.soundProblem();
    const QStringList unplayable = m_experiment.unplayableSyllables(mode);
    if (!unplayable.isEmpty())
        problem += (problem.isEmpty() ? QString() : QStringLiteral("\n"))
            + m_strings.text(kUnplayableText).arg(unplayable.join(QStringLiteral(", ")));
    if (!problem.isEmpty()) {
        m_boxes.show(m_strings.text(kTitleWarning), m_strings.text(kNoSoundText).arg(problem),
                     MessageIcon::Warning, MessageButtons::Ok);
        logMessage(1,
                   QStringLiteral("END 25: Start Experiment, no working sound: %1\n").arg(problem));
        return;
    }
    const QString warning = m_output.soundWarning();
    if (!warning.isEmpty() && warning != m_acceptedSoundWarning) {
        if (m_boxes.show(m_strings.text(kTitleWarning), warning, MessageIcon::Warning,
                         MessageButtons::YesNo)
            != MessageAnswer::Yes) {
            logMessage(1, QStringLiteral("END 26: Start Experiment, not with: %1\n").arg(warning));
            return;
        }
        m_acceptedSoundWarning = warning;
    }
    m_programState = ProgramState::ExpRunning;
    m_runState = RunState::Running;
    m_tooEarlyCount = 0;
    m_tooEarly = false;
    m_soundFaultsInARow = 0;
    m_rejected = false;

    m_experiment.prepareRun(mode);
    const QString note = m_output.runNote();
    if (!note.isEmpty()) {
        m_experiment.setComment(note);
        logMessage(1, QStringLiteral("   SE: %1\n").arg(note));
    }
    chooseSyllableMode();
    if (m_experiment.isTraining())
        m_experiment.prepareNoise();

    m_startButtonFlag = true;
    m_stateText = m_strings.text(kStateSelected);
    events().runStarted();
    if (!note.isEmpty())
        events().commentAppended(note);

    logMessage(1, "   SE: onStart; END\n");
    onStart();
    logMessage(1, "END: Start Experiment\n");
}

void RunController::chooseSyllableMode()
{
    logMessage(1, "BEGIN: choose Syllable Mode\n");
    ORVA_Experiment &experiment = m_experiment;
    if (experiment.isTestMode()) {
        experiment.setSelection(1);
        if (experiment.testSyllableList().size() > 0)
            experiment.fillShuffled(experiment.testSyllableList().at(0));
    } else {
        const ORVA_Proband &client = experiment.client();
        experiment.setSelection(client.syllableSelection());
        const SyllableList *list = experiment.runList(Training);
        switch (client.syllableSelection()) {
        case 2:
            if (client.repeat()) {
                logMessage(1, "   CSM 10 : CreateRandomSyllableList 02\n");
                experiment.fillRandomWithRepetition();
            } else {
                logMessage(1, "   CSM 11 : CreateRandomSyllableList\n");
                experiment.fillRandomWithoutRepetition();
            }
            break;
        case 1:
        case 3:
            logMessage(1, "   CSM 20 : CreateFixedSyllableList\n");
            if (list && client.syllableSelection() == 1)
                experiment.fillShuffled(*list);
            else if (list)
                experiment.fillOrdered(*list);
            break;
        default:
            break;
        }
    }
    QString used = QStringLiteral("\nUSED SYLLABLES:\n");
    for (int i = 0; i < experiment.measurementCount(); ++i) {
        if (const ORVA_Syllable *syllable = experiment.syllableOfMeasurement(i))
            used += syllable->name + QStringLiteral("  ");
    }
    logMessage(1, used + QStringLiteral("\n\n"));
    logMessage(1, "END: choose Syllable Mode\n");
}

void RunController::onStart()
{
    logMessage(1, "BEGIN: onStart\n");
    if (!inState(ProgramState::ExpRunning)) {
        // Only a run that has been prepared has a sequence to count down to.
        logMessage(1, "END OS 10: no run prepared\n");
        return;
    }
    m_stateText = m_strings.text(kStateRunning);

    UserLog &userLog = m_experiment.userLog();
    QString path;
    if (m_experiment.createLogFileName(path, true) != 0)
        userLog.clear();
    else if (!userLog.holdsUnsavedEntriesFor(path))
        (void)userLog.loadOrSetAside(path); // an empty history when there is none to read
    userLog.beginEntry(m_experiment.isTraining() ? 1 : 0);
    m_modeLabel = m_strings.text(modeLabelId());

    m_experiment.startContinuousNoise();
    m_fadeStartUs = m_clock.nowUs();
    m_output.setTimer(NoiseFadeTimer, 1);

    m_countdown = 3;
    m_programState = ProgramState::Delay;
    const int stepMs = m_countdownMs / (m_countdown + 1);
    m_output.setTimer(WaitTimer, stepMs);
    // The first syllable leaves when the countdown has shown 3, 2 and 1 for a step each.
    m_syllableDueUs = m_clock.nowUs() + qint64(stepMs) * m_countdown * 1000;
    m_settleWaitSinceUs.reset();
    m_stateText = QString::asprintf("   %d", m_countdown);
    m_countdown = 2;
    events().countdownChanged();
    logMessage(1, "END OS\n");
}

bool RunController::onTimer(int id)
{
    switch (id) {
    case WaitTimer:
        onWaitTimer();
        return true;
    case HighLightTimer:
        onHighLightTimer();
        return true;
    case TimeDiffTimer:
        onTimeDiffTimer();
        return true;
    case NoiseFadeTimer:
        onNoiseFadeTimer();
        return true;
    default:
        return false;
    }
}

void RunController::onWaitTimer()
{
    switch (m_programState) {
    case ProgramState::Idle:
        events().startupWaitEnded();
        break;
    case ProgramState::WaitForAudio:
        if (answerMayStillArrive())
            break;
        m_experiment.setNoAnswer();
        startVerification(std::nullopt);
        break;
    case ProgramState::WaitForKey:
        endSyllable();
        break;
    case ProgramState::Delay:
        if (m_countdown <= 0) {
            if (!firstSyllableMayStart())
                break;
            m_output.stopTimer(WaitTimer);
            m_modeLabel = m_strings.text(modeLabelId());
            m_stateText = m_strings.text(kStateRunning);
            m_startButtonFlag = false;
            m_experiment.firstSyllable();
            startSyllable();
        } else {
            m_stateText = QString::asprintf("   %d", m_countdown);
            --m_countdown;
            events().countdownChanged();
            if (m_countdown == 0 && m_syllableDueUs && startsWithSound())
                scheduleSyllable(*m_syllableDueUs);
        }
        break;
    default:
        break;
    }
}

qint64 RunController::playAndTime(ORVA_Wave &wave, std::optional<qint64> dueUs)
{
    const std::optional<qint64> soundStartUs =
        dueUs ? m_output.playAt(wave, *dueUs) : m_output.play(wave);
    if (dueUs && soundStartUs && *soundStartUs - *dueUs > 1000)
        logMessage(1, "   SSY 10: the syllable leaves %d ms after its time\n",
                   elapsedMs(*dueUs, *soundStartUs));
    // An output that cannot tell: the syllable was meant to leave at its time.
    return soundStartUs.value_or(dueUs.value_or(m_clock.nowUs()));
}

bool RunController::startsWithSound() const
{
    return m_experiment.isTestMode() || m_experiment.client().timeShift() >= 0;
}

void RunController::scheduleSyllable(qint64 dueUs)
{
    m_syllableDueUs = dueUs;
    const qint64 untilUs = dueUs - qint64(kScheduleLeadMs) * 1000 - m_clock.nowUs();
    m_output.setTimer(WaitTimer, static_cast<int>(qMax<qint64>(1, (untilUs + 999) / 1000)));
}

bool RunController::firstSyllableMayStart()
{
    if (m_output.isSoundSettled()) {
        m_settleWaitSinceUs.reset();
        return true;
    }
    const qint64 nowUs = m_clock.nowUs();
    if (!m_settleWaitSinceUs) {
        logMessage(1, "   OWT 40: the sound clocks have not settled; the first syllable waits\n");
        m_settleWaitSinceUs = nowUs;
    }
    // Its time is gone: once the clocks have settled it leaves a lead after the timer.
    m_syllableDueUs.reset();
    if (nowUs - *m_settleWaitSinceUs < qint64(kSettleWaitMs) * 1000) {
        m_output.setTimer(WaitTimer, kSettlePollMs);
        return false;
    }
    // A sound server that keeps changing its latencies would time every syllable wrongly.
    logMessage(1, "   OWT 45: the sound clocks did not settle; the run ends\n");
    m_settleWaitSinceUs.reset();
    m_programState = ProgramState::StopExp;
    m_output.stopTimer(TimeDiffTimer);
    m_output.stopTimer(WaitTimer);
    endSyllable();
    m_boxes.show(m_strings.text(kTitleWarning),
                 m_strings.text(kNoSoundText).arg(m_strings.text(kClocksUnsettledText)),
                 MessageIcon::Warning, MessageButtons::Ok);
    return false;
}

void RunController::startSyllable()
{
    logMessage(1, "BEGIN: Start Syllable\n");
    m_tooEarly = false;
    m_rejected = false;
    m_programState = ProgramState::WaitForAudio;
    ORVA_Syllable *syllable = m_experiment.currentSyllable();
    if (!syllable) {
        // Cannot happen with a checked material; end the run rather than wait on nothing.
        logMessage(1, "   SSY 05: no syllable at index %d; END\n", m_experiment.currentIndex());
        m_programState = ProgramState::StopExp;
        endSyllable();
        return;
    }

    // A syllable that begins with its sound leaves at its scheduled time (or a lead from now when
    // it has none), so that the intervals between syllables hold whatever the output's latency.
    std::optional<qint64> dueUs;
    if (startsWithSound())
        dueUs = m_syllableDueUs.value_or(m_clock.nowUs() + qint64(kScheduleLeadMs) * 1000);
    m_syllableDueUs.reset();
    // A fault from here to the answer touches the measurement: the sound is on its way already.
    // So does one before it whose clock models have not settled again: the syllable is placed
    // and timed on a line that still moves (after a stall of a second the first syllable played
    // while the playback model settled left more than 100 ms away from its time stamp).
    m_glitchesAtStart = m_output.audioGlitchCount();
    m_soundSettledAtStart = m_output.isSoundSettled();
    std::optional<qint64> startUs;
    const int shift = m_experiment.isTestMode() ? 0 : m_experiment.client().timeShift();
    if (m_experiment.isTestMode())
        startUs = playAndTime(syllable->recording, dueUs);
    else if (shift >= 0)
        startUs = playAndTime(syllable->playCopy, dueUs);
    // Without sound first (a picture before the sound), the picture starts the reaction time.
    const qint64 nowUs = m_clock.nowUs();
    m_syllableStartUs = startUs.value_or(nowUs);
    m_answerTimeUs = 0;
    // The answer window and the picture count from the moment the sound leaves the output.
    const int leadMs = static_cast<int>(qMax<qint64>(0, (m_syllableStartUs - nowUs) / 1000));
    if (!m_experiment.isTestMode()) {
        if (shift <= 0) {
            m_output.setTimer(HighLightTimer, kHighlightMs + leadMs);
            m_highlight = true;
        }
        if (shift != 0)
            m_output.setTimer(TimeDiffTimer, qAbs(shift) + leadMs);
    }
    m_output.setTimer(WaitTimer, m_experiment.answerWindow() + leadMs);

    events().syllableStarted(m_experiment.currentIndex());
    logMessage(1, "END  : Start Syllable\n");
}

void RunController::onTimeDiffTimer()
{
    logMessage(1, "BEGIN: onTimeDiffTimer\n");
    const int shift = m_experiment.client().timeShift();
    if (shift > 0) {
        m_output.setTimer(HighLightTimer, kHighlightMs);
        m_highlight = true;
        events().highlightChanged();
    } else if (shift < 0) {
        if (ORVA_Syllable *syllable = m_experiment.currentSyllable())
            m_output.play(syllable->playCopy);
    }
    m_output.stopTimer(TimeDiffTimer);
    logMessage(1, "END: onTimeDiffTimer\n");
}

bool RunController::answerMayStillArrive()
{
    // The samples of the window's last milliseconds reach the voice key a little after the
    // window's timer: an onset stamped inside the window is the client's answer, however late
    // it arrives. Waited for in short steps, for a moment at most (a capture that stopped is a
    // sound fault, not an answer).
    const qint64 windowEndUs = m_syllableStartUs + qint64(m_experiment.answerWindow()) * 1000;
    const std::optional<qint64> heardUs = m_output.heardUntilUs();
    if (!heardUs || *heardUs >= windowEndUs || m_clock.nowUs() - windowEndUs > kLateSamplesUs)
        return false;
    logMessage(4, "   OWT: waiting for the window's last %d ms of samples\n",
               elapsedMs(*heardUs, windowEndUs));
    m_output.setTimer(WaitTimer, kLateSamplesPollMs);
    return true;
}

void RunController::onHighLightTimer()
{
    if (m_experiment.client().displayMode())
        m_highlight = false;
    events().highlightChanged();
    m_output.stopTimer(HighLightTimer);
}

void RunController::onAudioInput(qint64 onsetUs)
{
    if (!inState(ProgramState::WaitForAudio))
        return;
    // An onset stamped after the answer window is no answer, even when it is handled before the
    // window's timer (a UI thread that was held up): the timer ends the syllable as unanswered.
    if (onsetUs - m_syllableStartUs >= qint64(m_experiment.answerWindow()) * 1000) {
        logMessage(1, "   OnAudioInput: after the answer window, %d ms; not an answer\n",
                   elapsedMs(m_syllableStartUs, onsetUs));
        return;
    }
    if (onsetUs - m_syllableStartUs >= qint64(kMinimumReactionTimeMs) * 1000) {
        m_output.stopTimer(WaitTimer);
        logMessage(1, "   OnAudioInput: startVerification\n");
        startVerification(onsetUs);
        return;
    }
    logMessage(4, "   OnAudioInput: too early, %d ms\n", elapsedMs(m_syllableStartUs, onsetUs));
    if (!m_tooEarly) {
        m_tooEarly = true;
        ++m_tooEarlyCount;
    }
}

void RunController::startVerification(std::optional<qint64> answerUs)
{
    logMessage(1, "BEGIN: Start Verification\n");
    m_programState = ProgramState::WaitForKey;
    m_isKeyPressed = false;
    m_rejected = false;

    Measurement *current = m_experiment.currentMeasurement();
    m_answerTimeUs = answerUs.value_or(m_clock.nowUs());
    if (current && current->result == NoAnswer)
        m_answerTimeUs = m_syllableStartUs + qint64(m_experiment.answerWindow()) * 1000;
    else if (m_experiment.isTraining())
        m_experiment.setRight();
    const int reactionTime = elapsedMs(m_syllableStartUs, m_answerTimeUs);
    m_experiment.setReactionTime(reactionTime);
    // A sound fault between the syllable and its answer (an underrun, an overflow, a stall, a
    // lost server, a changed device) moves the times by an unknown amount, and so does a clock
    // model that settles again after one; the end of the answer window is the client's "no
    // answer" only while the program listened.
    const bool glitched = m_output.audioGlitchCount() != m_glitchesAtStart;
    const bool unsettled = !m_soundSettledAtStart || !m_output.isSoundSettled();
    if (glitched || unsettled || (!answerUs && !m_output.isListening())) {
        discardFaultyMeasurement(glitched        ? "sound underrun, overflow, stall or lost device"
                                     : unsettled ? "sound clocks settling again after a fault"
                                                 : "the program was not listening",
                                 kVerificationWindowMs);
        logMessage(1, "END  : Start Verification\n");
        return;
    }
    m_soundFaultsInARow = 0;

    const int result = current ? current->result : Unjudged;
    int waitMs = kVerificationWindowMs;
    const int shift = m_experiment.client().timeShift();
    if (m_experiment.isTraining() && shift > kVerificationWindowMs && result == Right) {
        // An answer before the picture: the operator still gets the full window after it.
        const int untilPicture = shift - reactionTime + kVerificationWindowMs;
        if (untilPicture > kVerificationWindowMs)
            waitMs = untilPicture;
    }
    logMessage(1, "Start Verification: waitTime = %dms\n", waitMs);
    // The next syllable (the same one again after a rejection) leaves when the window ends; it
    // is handed to the output a lead before. The last one's window runs to its end.
    const bool lastDone = m_experiment.currentIndex() + 1 >= m_experiment.measurementCount();
    if (startsWithSound() && !lastDone)
        scheduleSyllable(m_answerTimeUs + qint64(waitMs) * 1000);
    else
        m_output.setTimer(WaitTimer, waitMs);

    events().answerTaken(m_experiment.currentIndex());
    logMessage(1, "END  : Start Verification\n");
}

void RunController::discardFaultyMeasurement(const char *why, int waitMs)
{
    const int index = m_experiment.currentIndex();
    logMessage(1, "   SV 05: %s during measurement %d; it is not stored\n", why, index);
    m_isKeyPressed = true; // no verdict on what was not measured
    if (++m_soundFaultsInARow < kMaxSoundFaults) {
        // As after a rejection: the same syllable comes again when the window ends.
        m_rejected = true;
        m_experiment.rejectSyllable();
        if (startsWithSound())
            scheduleSyllable(m_answerTimeUs + qint64(waitMs) * 1000);
        else
            m_output.setTimer(WaitTimer, waitMs);
        events().verdictGiven(index, RunEvents::Verdict::Discarded);
        return;
    }
    // The sound does not come back: the run ends here and says so, on screen and in its comment.
    m_soundFaultsInARow = 0;
    const QString note = m_strings.text(kSoundFaultText).arg(index + 1);
    const QString comment = m_experiment.comment();
    m_experiment.setComment(comment.isEmpty() ? note : comment + QStringLiteral("\r\n") + note);
    events().commentAppended(note);
    logMessage(1, "   SV 07: the sound faults persist; the run ends\n");
    m_programState = ProgramState::StopExp;
    m_output.stopTimer(TimeDiffTimer);
    m_output.stopTimer(WaitTimer);
    endSyllable();
    m_boxes.show(m_strings.text(kTitleWarning), note, MessageIcon::Warning, MessageButtons::Ok);
}

void RunController::onWrongReaction()
{
    logMessage(1, "BEGIN: On Wrong Reaction\n");
    const Measurement *current = m_experiment.currentMeasurement();
    const bool noAnswer = current && current->result == NoAnswer;
    logMessage(4, "   OWR 10: State = %s\n",
               inState(ProgramState::WaitForKey) ? "WaitForKeyBoardInput" : "Doesn't matter");
    logMessage(4, "   OWR 11: ! isKeyPressed = %s\n", yesNo(!m_isKeyPressed));
    logMessage(4, "   OWR 12: ! None Reaction = %s\n", yesNo(!noAnswer));
    logMessage(4, "   OWR 13: Current syllable index = %d\n", m_experiment.currentIndex());
    if (inState(ProgramState::WaitForKey) && !m_isKeyPressed && current && !noAnswer) {
        m_isKeyPressed = true;
        logMessage(1, "   OWR 20: Set wrong: Current syllable index = %d\n",
                   m_experiment.currentIndex());
        m_experiment.setWrong();
        events().verdictGiven(m_experiment.currentIndex(), RunEvents::Verdict::Wrong);
    }
    logMessage(1, "END  : On Wrong Reaction\n");
}

void RunController::onReject()
{
    logMessage(1, "BEGIN: On Reject\n");
    const Measurement *current = m_experiment.currentMeasurement();
    const bool noAnswer = current && current->result == NoAnswer;
    logMessage(4, "   ORJ 10: State = %s\n",
               inState(ProgramState::WaitForKey) ? "WaitForKeyBoardInput" : "Doesn't matter");
    logMessage(4, "   ORJ 11: ! isKeyPressed = %s\n", yesNo(!m_isKeyPressed));
    logMessage(4, "   ORJ 12: ! None Reaction = %s\n", yesNo(!noAnswer));
    logMessage(4, "   ORJ 13: Current syllable index = %d\n", m_experiment.currentIndex());
    if (inState(ProgramState::WaitForKey) && !m_isKeyPressed) {
        m_isKeyPressed = true;
        m_rejected = true;
        logMessage(1, "   ORJ 20: Reject: Current syllable index = %d\n",
                   m_experiment.currentIndex());
        const int index = m_experiment.currentIndex();
        m_experiment.rejectSyllable();
        events().verdictGiven(index, RunEvents::Verdict::Rejected);
    }
    logMessage(1, "END  : On Reject\n");
}

void RunController::onAbort()
{
    logMessage(1, "BEGIN: On Abort\n");
    if (isAwaitingAnswer(m_programState) || inState(ProgramState::Delay)) {
        if (m_experiment.isTestMode())
            m_isKeyPressed = true;
        m_programState = ProgramState::StopExp;
        m_output.stopTimer(TimeDiffTimer);
        m_output.stopTimer(WaitTimer);
        endSyllable();
    }
    logMessage(1, "END  : On Abort\n");
}

void RunController::endSyllable()
{
    logMessage(1, "BEGIN: End Syllable\n");
    // A syllable rejected already (by the operator or for a sound fault) has stepped back once:
    // a second step would clear the measurement before it.
    if (inState(ProgramState::StopExp) && !m_rejected) {
        logMessage(1, "   ESY 02a: rejectSyllable\n");
        m_experiment.rejectSyllable();
        m_rejected = true;
    }
    Measurement *current = m_experiment.currentMeasurement();
    if (current && current->result == Unjudged && current->reactionTime != 0) {
        logMessage(1, "   ESY 03a: setRight\n");
        current->result = Right;
    }
    const bool recorded = !m_rejected && current;
    if (recorded) {
        if (const ORVA_Syllable *syllable = m_experiment.currentSyllable())
            m_experiment.userLog().recordSyllable(syllable->name, current->result,
                                                  current->reactionTime);
    }
    // A too-early onset on a syllable judged wrong, rejected or aborted is not reported.
    if (m_tooEarly && m_tooEarlyCount != 0 && (m_rejected || (current && current->result == Wrong)))
        --m_tooEarlyCount;
    if (!m_experiment.client().displayMode())
        m_highlight = false;

    events().syllableEnded(m_experiment.currentIndex(), recorded);

    const bool lastDone = m_experiment.currentIndex() + 1 >= m_experiment.measurementCount();
    if (inState(ProgramState::StopExp)) {
        logMessage(1, "   ESY 45: endExperiment; END\n");
        endExperiment();
    } else if (lastDone) {
        if (m_experiment.isTestMode())
            logMessage(1, "   ESY 55: endExperiment; END\n");
        endExperiment();
    } else {
        m_experiment.nextSyllable();
        logMessage(1, "   ESY 60: startSyllable\n");
        startSyllable();
        logMessage(1, "END: End Syllable\n");
    }
}

void RunController::endExperiment()
{
    logMessage(1, "BEGIN: End Experiment\n");
    if (inState(ProgramState::StopExp)) {
        m_stateText = m_strings.text(kStateAborted);
        m_runState = RunState::Aborted;
    } else {
        m_stateText = m_strings.text(kStateComplete);
        m_runState = RunState::Finished;
    }
    m_experiment.stopNoise();
    m_programState = ProgramState::ExpCompleted;

    logMessage(1, "EEX 10 : calc statistics\n");
    m_experiment.calcStatistics();
    const Status saved = m_experiment.saveUserLog();
    logMessage(1, "EEX 11 : calc statistics ready\n");
    m_output.stopTimer(WaitTimer);
    // The entries stay in memory and go to the file with the next save of the history.
    if (!saved.ok())
        reportSaveFailure(m_boxes, m_strings, kUserLogNotSaved, saved);

    if (m_tooEarlyCount != 0) {
        const QString text = m_strings.text(kTooEarlyText) + QLatin1Char(' ')
            + QString::number(m_tooEarlyCount) + m_strings.text(kTooEarlyCountText);
        m_boxes.show(m_strings.text(kTitleWarning), text, MessageIcon::Warning, MessageButtons::Ok);
        m_tooEarlyCount = 0;
        m_tooEarly = false;
    }
    events().runEnded();
    logMessage(1, "END  : End Experiment\n");
}

void RunController::onNoiseFadeTimer()
{
    const qint64 elapsedUs = m_clock.nowUs() - m_fadeStartUs;
    if (elapsedUs > qint64(kNoiseFadeMs) * 1000) {
        m_experiment.setNoiseFade(1.0);
        m_output.stopTimer(NoiseFadeTimer);
    } else {
        m_experiment.setNoiseFade(double(elapsedUs) / (kNoiseFadeMs * 1000.0));
    }
}

} // namespace orva
