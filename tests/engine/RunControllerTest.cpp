// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RunController.h"

#include "engine/ORVA_Experiment.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedRunOutput.h"
#include "support/Logger.h"
#include "support/StringTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace orva;
using namespace orva::test;

namespace {

constexpr qint64 kCountdownMs = 2250;
constexpr int kLeadMs = RunController::kScheduleLeadMs;

/// What goes wrong with the sound around one measurement.
enum SoundFault { Glitch, NotListening, UnsettledAtStart };

/// A controller with a stand-in material, a manual clock and recorded outputs.
struct Run
{
    Run()
    {
        output.onTimer = [this](int id) { controller.onTimer(id); };
        controller.setEvents(&output);
        // The name tables stand in for the recordings: the lists resolve, nothing sounds.
        experiment.setLanguage(DE_DE, false, false);
        experiment.createSyllableLists();
    }

    /// The client answers `ms` after the current syllable started.
    void answerAfterMs(qint64 ms)
    {
        QCOMPARE_GE(ms, 0);
        clock.setUs(syllableStartUs() + ms * 1000);
        controller.onAudioInput(clock.nowUs());
    }
    qint64 syllableStartUs() const { return controller.syllableStartUs(); }
    /// Lets the rest of the verification window pass so the next syllable starts.
    void finishVerification() { output.advanceMs(output.msUntil(WaitTimer)); }
    ProgramState state() const { return controller.programState(); }
    const Measurement &at(int i) const { return experiment.measurement(i); }

    ManualClock clock;
    ScriptedRunOutput output { clock };
    RecordingMessageBoxes boxes;
    ORVA_Experiment experiment;
    RunController controller { experiment, output, clock, boxes, StringTable::german() };
};

} // namespace

class RunControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void countdownShowsThreeTwoOneAndStartsTheFirstSyllableAt2250Ms();
    void preTestWithAnswersAfter600MsEndsFinishedAndAllRight();
    void mainTestRunsSixtyMeasurements();
    void onsetsBefore200MsAreCountedOncePerSyllable();
    void noAnswerTakesTheAnswerWindowAndKeepsWrongDisabled();
    void onsetStampedAfterTheWindowIsNoAnswerEvenBeforeItsTimer();
    void answerAtTheWindowsEndCountsWhenItsSamplesArriveAfterTheTimer();
    void runWithoutWorkingSoundIsRefusedWithNothingStored_data();
    void runWithoutWorkingSoundIsRefusedWithNothingStored();
    void soundWarningAsksOnceAndTheRunNoteGoesIntoTheComment();
    void wrongVerdictIsTakenOnceAndKeepsTheVerificationWindow();
    void rejectPresentsTheSameMeasurementAgain_data();
    void rejectPresentsTheSameMeasurementAgain();
    void rejectWithoutAnswerWorks();
    void abortDuringCountdownRecordsNothing();
    void abortWhileWaitingClearsTheMeasurementAndItsEarlyOnset();
    void abortDuringVerificationDiscardsTheSyllable();
    void warnsOnceAboutEarlyOnsetsOfSyllablesJudgedRight();
    void trainingWithPictureFirstMeasuresFromThePicture();
    void trainingWithPictureLongAfterTheSoundWidensTheVerificationWindow();
    void trainingAnswerWindowFollowsTheTimeShift_data();
    void trainingAnswerWindowFollowsTheTimeShift();
    void trainingHighlightEndsOnlyInGroupDisplay();
    void reactionTimeCountsFromTheSoundLeavingTheOutput();
    void syllablesLeaveAtTheirScheduledTimes();
    void firstSyllableWaitsForTheSoundClocksToSettle();
    void runWhoseSoundClocksNeverSettleEndsWithNothingStored();
    void soundFaultDuringAMeasurementPresentsTheSyllableAgain_data();
    void soundFaultDuringAMeasurementPresentsTheSyllableAgain();
    void persistentSoundFaultsEndTheRunAndSaySo();
    void abortAfterARejectKeepsTheMeasurementBefore();
    void startCommandsAreIgnoredWhileARunIsActive();
    void unsavedRunIsOfferedForSavingBeforeTheNextStart();
    void trainingWithoutItsListIsRefused_data();
    void trainingWithoutItsListIsRefused();
    void saveAndPrintRules_data();
    void saveAndPrintRules();
    void wholeRunLogsItsBeginAndEndLines();
};

void RunControllerTest::countdownShowsThreeTwoOneAndStartsTheFirstSyllableAt2250Ms()
{
    Run run;
    const qint64 startUs = run.clock.nowUs();
    run.controller.onStartPreTest();
    QCOMPARE(run.state(), ProgramState::Delay);
    QCOMPARE(run.controller.runState(), RunState::Running);
    QCOMPARE(run.controller.modeLabel(), QStringLiteral("Vortest"));
    QCOMPARE(run.controller.stateText(), QStringLiteral("   3"));
    QVERIFY(run.controller.startButtonFlag());
    QCOMPARE(run.output.timerPeriodMs(WaitTimer), 750);
    QCOMPARE(run.experiment.measurementCount(), 12);

    run.output.advanceMs(749);
    QCOMPARE(run.controller.stateText(), QStringLiteral("   3"));
    run.output.advanceMs(1);
    QCOMPARE(run.controller.stateText(), QStringLiteral("   2"));
    run.output.advanceMs(750);
    QCOMPARE(run.controller.stateText(), QStringLiteral("   1"));
    QVERIFY(run.output.plays.isEmpty());
    // The syllable goes to the output a lead ahead, to leave exactly at 2250 ms.
    run.output.advanceMs(750 - kLeadMs - 1);
    QVERIFY(run.output.plays.isEmpty());
    run.output.advanceMs(1);

    QCOMPARE(run.output.plays.size(), 1);
    QCOMPARE(run.output.plays[0].dueUs, std::optional<qint64>(startUs + kCountdownMs * 1000));
    QCOMPARE(run.controller.syllableStartUs(), startUs + kCountdownMs * 1000);
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    QCOMPARE(run.controller.stateText(), QStringLiteral("läuft"));
    QVERIFY(!run.controller.startButtonFlag());
    QCOMPARE(run.output.plays[0].wave, &run.experiment.syllableOfMeasurement(0)->recording);
    QCOMPARE(run.output.msUntil(WaitTimer), 2000 + kLeadMs); // the window counts from the sound
}

void RunControllerTest::preTestWithAnswersAfter600MsEndsFinishedAndAllRight()
{
    Run run;
    run.experiment.client().setLastName(QStringLiteral("Meier"));
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(run.experiment.currentIndex(), i);
        run.answerAfterMs(600);
        QCOMPARE(run.state(), ProgramState::WaitForKey);
        QCOMPARE(run.output.events.last(), QStringLiteral("answerTaken %1").arg(i));
        QVERIFY(!run.controller.isKeyPressed());
        run.finishVerification();
    }
    QCOMPARE(run.state(), ProgramState::ExpCompleted);
    QCOMPARE(run.controller.runState(), RunState::Finished);
    QCOMPARE(run.controller.stateText(), QStringLiteral("komplett"));
    QCOMPARE(run.output.plays.size(), 12);
    for (const Measurement &measurement : run.experiment.measurements()) {
        QCOMPARE(measurement.result, int(Right));
        QCOMPARE(measurement.reactionTime, 600);
    }
    QCOMPARE(run.experiment.statistics()[0].right, 12);
    QCOMPARE(run.output.recordedMeasurements.size(), 12);
    QVERIFY(!run.output.isTimerRunning(WaitTimer));
    QCOMPARE(run.output.events.mid(run.output.events.size() - 2),
             QStringList({ QStringLiteral("syllableEnded 11"), QStringLiteral("runEnded") }));
    QVERIFY(run.boxes.boxes.isEmpty());

    const UserLog &userLog = run.experiment.userLog();
    QCOMPARE(userLog.entries().size(), 1);
    QCOMPARE(userLog.entries()[0].type, 0);
    QCOMPARE(userLog.entries()[0].presented, 12);
    QCOMPARE(userLog.entries()[0].correct, 12);
    QCOMPARE(userLog.entries()[0].average, 600);
}

void RunControllerTest::mainTestRunsSixtyMeasurements()
{
    Run run;
    run.controller.onStartMainTest();
    QCOMPARE(run.controller.modeLabel(), QStringLiteral("Haupttest"));
    run.output.advanceMs(kCountdownMs);
    for (int i = 0; i < 60; ++i) {
        run.answerAfterMs(450 + i);
        run.finishVerification();
    }
    QCOMPARE(run.controller.runState(), RunState::Finished);
    QCOMPARE(run.experiment.measurementCount(), 60);
    QCOMPARE(run.at(59).reactionTime, 509);
    QCOMPARE(run.experiment.statistics().size(), 7); // the whole run and six syllables
}

void RunControllerTest::onsetsBefore200MsAreCountedOncePerSyllable()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    run.answerAfterMs(150);
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    QCOMPARE(run.controller.tooEarlyCount(), 1);
    run.answerAfterMs(199);
    QCOMPARE(run.controller.tooEarlyCount(), 1);
    run.answerAfterMs(200);
    QCOMPARE(run.state(), ProgramState::WaitForKey);
    QCOMPARE(run.at(0).reactionTime, 200);
    run.finishVerification();
    run.answerAfterMs(100);
    QCOMPARE(run.controller.tooEarlyCount(), 2);
}

void RunControllerTest::noAnswerTakesTheAnswerWindowAndKeepsWrongDisabled()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    run.output.advanceMs(1999);
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    run.output.advanceMs(1);
    QCOMPARE(run.state(), ProgramState::WaitForKey);
    QCOMPARE(run.at(0).result, int(NoAnswer));
    QCOMPARE(run.at(0).reactionTime, 2000);
    QCOMPARE(run.output.events.last(), QStringLiteral("answerTaken 0"));
    QVERIFY(!run.controller.isKeyPressed());
    run.controller.onWrongReaction();
    QCOMPARE(run.at(0).result, int(NoAnswer));
    run.controller.onAudioInput(run.clock.nowUs()); // a late onset is no answer any more
    QCOMPARE(run.at(0).reactionTime, 2000);
    run.finishVerification();
    QCOMPARE(run.experiment.currentIndex(), 1);
    QCOMPARE(run.experiment.userLog().entries()[0].presented, 1);
    QCOMPARE(run.experiment.userLog().entries()[0].correct, 0);
}

void RunControllerTest::answerAtTheWindowsEndCountsWhenItsSamplesArriveAfterTheTimer()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    // The window's timer fires while the samples of its last 15 ms are still on their way.
    const qint64 startUs = run.syllableStartUs();
    run.output.heardUntil = startUs + 1'985'000;
    run.output.advanceMs(2000);
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    run.output.advanceMs(5);
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    // They come, with the client's answer 1995 ms after the start: an answer, not silence.
    run.output.heardUntil = startUs + 2'001'000;
    run.controller.onAudioInput(startUs + 1'995'000);
    QCOMPARE(run.state(), ProgramState::WaitForKey);
    QCOMPARE(run.at(0).reactionTime, 1995);
    run.finishVerification();
    QCOMPARE(run.at(0).result, int(Right));

    // The next window: the samples are all there when its timer fires, so no waiting.
    run.output.heardUntil = run.syllableStartUs() + 2'000'000;
    run.output.advanceMs(run.output.msUntil(WaitTimer));
    QCOMPARE(run.state(), ProgramState::WaitForKey);
    QCOMPARE(run.at(1).result, int(NoAnswer));
    run.finishVerification();

    // A capture that stopped delivering is waited for a moment only.
    run.output.heardUntil = run.syllableStartUs() + 1'000'000;
    run.output.advanceMs(run.output.msUntil(WaitTimer));
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    run.output.advanceMs(400);
    QCOMPARE(run.state(), ProgramState::WaitForKey);
}

void RunControllerTest::onsetStampedAfterTheWindowIsNoAnswerEvenBeforeItsTimer()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    // The UI thread was held up: the onset stamped 2016 ms after the start arrives while the
    // window's timer has not fired yet.
    const qint64 startUs = run.syllableStartUs();
    run.controller.onAudioInput(startUs + 2016 * 1000);
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    run.output.advanceMs(run.output.msUntil(WaitTimer));
    QCOMPARE(run.at(0).result, int(NoAnswer));
    run.controller.onWrongReaction(); // no verdict turns it into a value the file refuses
    QCOMPARE(run.at(0).result, int(NoAnswer));
    QCOMPARE(run.at(0).reactionTime, 2000);
}

void RunControllerTest::runWithoutWorkingSoundIsRefusedWithNothingStored_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<bool>("unplayableRecording");
    QTest::addColumn<QString>("named");
    QTest::newRow("no output") << "no headphones" << false << "no headphones";
    QTest::newRow("no input") << "no microphone" << false << "no microphone";
    QTest::newRow("a recording in a format the player refuses") << "" << true << "ba";
}

void RunControllerTest::runWithoutWorkingSoundIsRefusedWithNothingStored()
{
    QFETCH(QString, problem);
    QFETCH(bool, unplayableRecording);
    QFETCH(QString, named);
    Run run;
    run.output.soundProblemText = problem;
    QTemporaryDir dir;
    if (unplayableRecording) {
        // 24-bit PCM: read, but not playable by the mixer.
        const auto le = [](quint32 value, int bytes) {
            QByteArray out(4, '\0');
            qToLittleEndian(value, out.data());
            return out.left(bytes);
        };
        const QByteArray body = "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(44100, 4)
            + le(44100 * 3, 4) + le(3, 2) + le(24, 2) + "data" + le(300, 4) + QByteArray(300, '\1');
        QFile file(dir.filePath(QStringLiteral("ba.wav")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("RIFF" + le(quint32(body.size()), 4) + body);
        file.close();
        for (ORVA_Syllable &syllable : run.experiment.testStock()) {
            if (syllable.name == QLatin1String("ba"))
                QVERIFY(syllable.recording.loadFile(file.fileName()));
        }
    }
    run.controller.onStartPreTest();
    QCOMPARE(run.state(), ProgramState::Idle);
    QCOMPARE(run.controller.runState(), RunState::Empty);
    QVERIFY(run.output.plays.isEmpty());
    QCOMPARE(run.experiment.measurementCount(), 0);
    QVERIFY(run.experiment.userLog().entries().isEmpty());
    QCOMPARE(run.boxes.boxes.size(), 1);
    QVERIFY2(run.boxes.boxes[0].text.contains(named), qPrintable(run.boxes.boxes[0].text));
}

void RunControllerTest::soundWarningAsksOnceAndTheRunNoteGoesIntoTheComment()
{
    Run run;
    run.output.soundWarningText = QStringLiteral("measured on other devices");
    run.output.runNoteText = QStringLiteral("Latenzausgleich: 12.00 ms abgezogen");
    // No: nothing starts, nothing is stored.
    run.boxes.answers = { MessageAnswer::No };
    run.controller.onStartPreTest();
    QCOMPARE(run.boxes.boxes.size(), 1);
    QCOMPARE(run.boxes.boxes[0].text, run.output.soundWarningText);
    QCOMPARE(run.boxes.boxes[0].buttons, MessageButtons::YesNo);
    QCOMPARE(run.state(), ProgramState::Idle);
    QVERIFY(run.output.plays.isEmpty());
    // Yes: the run starts, with the note as its comment.
    run.boxes.answers = { MessageAnswer::Yes };
    run.controller.onStartPreTest();
    QCOMPARE(run.boxes.boxes.size(), 2);
    QVERIFY(run.state() != ProgramState::Idle);
    QCOMPARE(run.experiment.comment(), run.output.runNoteText);
    QCOMPARE(run.output.commentNotes, QStringList({ run.output.runNoteText }));
    run.controller.onAbort();
    // The same warning is not asked again in this session; another one is.
    run.controller.onStartPreTest();
    QCOMPARE(run.boxes.boxes.size(), 2);
    QCOMPARE(run.experiment.comment(), run.output.runNoteText);
    run.controller.onAbort();
    run.output.soundWarningText = QStringLiteral("spreads by 4 ms");
    run.boxes.answers = { MessageAnswer::No };
    run.controller.onStartPreTest();
    QCOMPARE(run.boxes.boxes.size(), 3);
}

void RunControllerTest::wrongVerdictIsTakenOnceAndKeepsTheVerificationWindow()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    run.answerAfterMs(700);
    run.output.advanceMs(300);
    run.controller.onWrongReaction();
    QCOMPARE(run.at(0).result, int(Wrong));
    QVERIFY(run.controller.isKeyPressed());
    QCOMPARE(run.output.events.last(), QStringLiteral("verdictGiven 0 wrong"));
    run.controller.onReject(); // no second verdict
    QCOMPARE(run.experiment.currentIndex(), 0);
    QCOMPARE(run.at(0).result, int(Wrong));
    // The window ends when the next syllable leaves; it goes to the output a lead before.
    QCOMPARE(run.output.msUntil(WaitTimer), 1700 - kLeadMs);
    const qint64 answerUs = run.syllableStartUs() + 700'000;
    run.finishVerification();
    QCOMPARE(run.experiment.currentIndex(), 1);
    QCOMPARE(run.at(0).reactionTime, 700);
    QCOMPARE(run.output.plays.last().dueUs, std::optional<qint64>(answerUs + 2'000'000));
}

void RunControllerTest::rejectPresentsTheSameMeasurementAgain_data()
{
    QTest::addColumn<int>("rejected");
    QTest::newRow("first") << 0;
    QTest::newRow("fifth") << 4;
    QTest::newRow("last") << 11;
}

void RunControllerTest::rejectPresentsTheSameMeasurementAgain()
{
    QFETCH(int, rejected);
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    for (int i = 0; i < rejected; ++i) {
        run.answerAfterMs(500);
        run.finishVerification();
    }
    run.answerAfterMs(800);
    const ORVA_Wave *rejectedWave = run.output.plays.last().wave;
    run.controller.onReject();
    QCOMPARE(run.experiment.currentIndex(), rejected - 1);
    QCOMPARE(run.at(rejected).reactionTime, 0);
    QCOMPARE(run.at(rejected).result, int(Unjudged));
    run.finishVerification();

    QCOMPARE(run.state(), ProgramState::WaitForAudio); // the run goes on, also after the last
    QCOMPARE(run.experiment.currentIndex(), rejected);
    QCOMPARE(run.output.plays.last().wave, rejectedWave);
    QCOMPARE(run.experiment.userLog().entries()[0].presented, rejected); // not the rejected one
    QVERIFY(!run.output.recordedMeasurements.contains(rejected));
    run.answerAfterMs(650);
    run.finishVerification();
    QCOMPARE(run.at(rejected).reactionTime, 650);
    QCOMPARE(run.at(rejected).result, int(Right));
}

void RunControllerTest::rejectWithoutAnswerWorks()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs + 2000);
    QCOMPARE(run.at(0).result, int(NoAnswer));
    run.controller.onReject();
    QCOMPARE(run.experiment.currentIndex(), -1);
    QCOMPARE(run.at(0).result, int(Unjudged));
    run.finishVerification();
    QCOMPARE(run.experiment.currentIndex(), 0);
    QCOMPARE(run.output.plays.size(), 2);
}

void RunControllerTest::abortDuringCountdownRecordsNothing()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(800);
    run.controller.onAbort();
    QCOMPARE(run.state(), ProgramState::ExpCompleted);
    QCOMPARE(run.controller.runState(), RunState::Aborted);
    QCOMPARE(run.controller.stateText(), QStringLiteral("abgebrochen"));
    QVERIFY(run.output.plays.isEmpty());
    QVERIFY(!run.output.isTimerRunning(WaitTimer));
    for (const Measurement &measurement : run.experiment.measurements()) {
        QCOMPARE(measurement.result, int(Unjudged));
        QCOMPARE(measurement.reactionTime, 0);
    }
    QCOMPARE(run.experiment.userLog().entries()[0].presented, 0);
    QCOMPARE(run.experiment.statistics()[0].count, 0);
    run.output.advanceMs(5000);
    QVERIFY(run.output.plays.isEmpty());
}

void RunControllerTest::abortWhileWaitingClearsTheMeasurementAndItsEarlyOnset()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    for (int i = 0; i < 7; ++i) {
        if (i == 2)
            run.answerAfterMs(120); // early onset on a syllable later judged right
        run.answerAfterMs(500);
        run.finishVerification();
    }
    run.answerAfterMs(90);
    QCOMPARE(run.controller.tooEarlyCount(), 2);
    run.controller.onAbort();
    QCOMPARE(run.controller.runState(), RunState::Aborted);
    QCOMPARE(run.at(7), Measurement({ run.at(7).stockIndex, 0, Unjudged }));
    QCOMPARE(run.at(6).result, int(Right));
    QCOMPARE(run.experiment.statistics()[0].count, 7);
    QCOMPARE(run.boxes.boxes.size(), 1);
    QVERIFY(run.boxes.boxes[0].text.contains(QLatin1String("Sie kamen 1 mal vor")));
}

void RunControllerTest::abortDuringVerificationDiscardsTheSyllable()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    run.answerAfterMs(500);
    run.finishVerification();
    run.answerAfterMs(500);
    run.controller.onAbort();
    QCOMPARE(run.controller.runState(), RunState::Aborted);
    QCOMPARE(run.at(1).result, int(Unjudged));
    QCOMPARE(run.at(1).reactionTime, 0);
    QCOMPARE(run.experiment.userLog().entries()[0].presented, 1);
    QCOMPARE(run.output.recordedMeasurements, QList<int>({ 0 }));
}

void RunControllerTest::warnsOnceAboutEarlyOnsetsOfSyllablesJudgedRight()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    for (int i = 0; i < 12; ++i) {
        if (i == 1 || i == 5 || i == 9)
            run.answerAfterMs(50);
        if (i == 3) {
            run.answerAfterMs(60); // judged wrong: not reported
            run.answerAfterMs(500);
            run.controller.onWrongReaction();
        } else {
            run.answerAfterMs(500);
        }
        run.finishVerification();
    }
    QCOMPARE(run.boxes.boxes.size(), 1);
    const RecordingMessageBoxes::Box &box = run.boxes.boxes[0];
    QCOMPARE(box.title, QStringLiteral("ORVA Warnung"));
    QCOMPARE(box.icon, MessageIcon::Warning);
    QCOMPARE(box.text,
             QStringLiteral("Reaktionszeiten unter 200 ms sind nicht möglich. Sie sind vermutlich "
                            "auf Störgeräusche zurückzuführen.\nSie kamen 3 mal vor und wurden "
                            "nicht gewertet. Bitte erhöhen Sie den Mikrofon-Schwellwert "
                            "(Schieberegler rechts)."));
    QCOMPARE(run.controller.tooEarlyCount(), 0);
}

void RunControllerTest::trainingWithPictureFirstMeasuresFromThePicture()
{
    Run run;
    run.experiment.client().setTimeShift(-500);
    run.experiment.client().setRepetitions(1);
    run.controller.onStartTraining();
    QCOMPARE(run.experiment.measurementCount(), 6);
    QCOMPARE(run.controller.modeLabel(), QStringLiteral("Training"));
    run.output.advanceMs(kCountdownMs);
    const qint64 pictureUs = run.clock.nowUs();
    QVERIFY(run.controller.isHighlighted());
    QVERIFY(run.output.plays.isEmpty());
    run.output.advanceMs(499);
    QVERIFY(run.output.plays.isEmpty());
    run.output.advanceMs(1);
    QCOMPARE(run.output.plays.size(), 1);
    QCOMPARE(run.output.plays[0].wave, &run.experiment.syllableOfMeasurement(0)->playCopy);
    QVERIFY(!run.output.isTimerRunning(TimeDiffTimer));
    run.clock.setUs(pictureUs + 900'000);
    run.controller.onAudioInput(run.clock.nowUs());
    QCOMPARE(run.at(0).reactionTime, 900);
    QCOMPARE(run.at(0).result, int(Right)); // training counts an answer as right at once
}

void RunControllerTest::trainingWithPictureLongAfterTheSoundWidensTheVerificationWindow()
{
    Run run;
    run.experiment.client().setTimeShift(3000);
    run.controller.onStartTraining();
    QCOMPARE(run.experiment.measurementCount(), 30);
    run.output.advanceMs(kCountdownMs);
    QCOMPARE(run.output.plays.size(), 1);
    QVERIFY(!run.controller.isHighlighted());
    run.answerAfterMs(1000);
    QCOMPARE(run.output.msUntil(WaitTimer), 4000 - kLeadMs);
    run.output.advanceMs(2000); // the picture follows 3000 ms after the sound
    QVERIFY(run.controller.isHighlighted());
    run.output.advanceMs(2000);
    QCOMPARE(run.experiment.currentIndex(), 1);
}

void RunControllerTest::trainingAnswerWindowFollowsTheTimeShift_data()
{
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("window");
    QTest::newRow("none") << 0 << 2000;
    QTest::newRow("1000") << 1000 << 2000;
    QTest::newRow("1500") << 1500 << 3000;
    QTest::newRow("2000") << 2000 << 3000;
    QTest::newRow("2001") << 2001 << 4000;
    QTest::newRow("-2500") << -2500 << 4000;
}

void RunControllerTest::trainingAnswerWindowFollowsTheTimeShift()
{
    QFETCH(int, shift);
    QFETCH(int, window);
    Run run;
    run.experiment.client().setTimeShift(shift);
    run.controller.onStartTraining();
    run.output.advanceMs(kCountdownMs);
    const qint64 startUs = run.clock.nowUs();
    QCOMPARE(run.output.msUntil(WaitTimer), window);
    run.output.advanceMs(window);
    QCOMPARE(run.at(0).result, int(NoAnswer));
    QCOMPARE(run.at(0).reactionTime, window);
    QCOMPARE(run.clock.nowUs() - startUs, qint64(window) * 1000);
}

void RunControllerTest::trainingHighlightEndsOnlyInGroupDisplay()
{
    for (const bool group : { true, false }) {
        Run run;
        run.experiment.client().setDisplayMode(group);
        run.controller.onStartTraining();
        run.output.advanceMs(kCountdownMs);
        QVERIFY(run.controller.isHighlighted());
        run.output.advanceMs(200);
        QCOMPARE(run.controller.isHighlighted(), !group);
        QVERIFY(!run.output.isTimerRunning(HighLightTimer));
        run.answerAfterMs(400);
        run.finishVerification();
        run.output.advanceMs(1); // the next syllable lights up anew
        QVERIFY(run.controller.isHighlighted());
    }
}

void RunControllerTest::reactionTimeCountsFromTheSoundLeavingTheOutput()
{
    // An output slower than the lead: the sound leaves late, and the reaction time and the
    // answer window count from when it really leaves.
    Run run;
    run.output.soundLatencyUs = 431'250;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    const qint64 soundUs = run.output.plays[0].atUs + 431'250;
    QCOMPARE(run.controller.syllableStartUs(), soundUs);
    QCOMPARE(run.output.msUntil(WaitTimer), (soundUs + 2'000'000 - run.clock.nowUs()) / 1000);
    run.clock.setUs(soundUs + 199'600);
    run.controller.onAudioInput(run.clock.nowUs());
    QCOMPARE(run.controller.tooEarlyCount(), 1);
    run.controller.onAudioInput(soundUs + 612'400);
    QCOMPARE(run.at(0).reactionTime, 612);
    run.finishVerification();
    run.output.advanceMs(2431);
    QCOMPARE(run.at(1).result, int(NoAnswer));
    QCOMPARE(run.at(1).reactionTime, 2000);
}

void RunControllerTest::syllablesLeaveAtTheirScheduledTimes()
{
    // Each syllable leaves when the rules say: 2250 ms after the start, then when the
    // verification window of the one before ends, whenever the UI thread got to its timer.
    Run run;
    run.output.soundLatencyUs = 60'000;
    run.controller.onStartPreTest();
    const qint64 startUs = run.clock.nowUs();
    run.output.advanceMs(kCountdownMs);
    QCOMPARE(run.output.plays[0].dueUs, std::optional<qint64>(startUs + kCountdownMs * 1000));
    QCOMPARE(run.output.plays[0].atUs, startUs + (kCountdownMs - kLeadMs) * 1000);

    // An answer handled 80 ms after its onset: the next syllable counts from the onset.
    const qint64 onsetUs = run.syllableStartUs() + 612'345;
    run.clock.setUs(onsetUs + 80'000);
    run.controller.onAudioInput(onsetUs);
    run.finishVerification();
    QCOMPARE(run.output.plays[1].dueUs, std::optional<qint64>(onsetUs + 2'000'000));
    QCOMPARE(run.syllableStartUs(), onsetUs + 2'000'000);

    // No answer: the window ends 2000 ms after the answer window.
    const qint64 secondUs = run.syllableStartUs();
    run.output.advanceMs(run.output.msUntil(WaitTimer));
    QCOMPARE(run.at(1).result, int(NoAnswer));
    run.controller.onReject();
    run.finishVerification();
    QCOMPARE(run.experiment.currentIndex(), 1); // presented again
    QCOMPARE(run.output.plays[2].dueUs, std::optional<qint64>(secondUs + 4'000'000));
    QCOMPARE(run.syllableStartUs(), secondUs + 4'000'000);
    run.answerAfterMs(500);
    QCOMPARE(run.at(1).reactionTime, 500);
}

void RunControllerTest::firstSyllableWaitsForTheSoundClocksToSettle()
{
    Run run;
    run.output.soundSettled = false;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs + 1000);
    QVERIFY(run.output.plays.isEmpty());
    QCOMPARE(run.state(), ProgramState::Delay);
    run.output.soundSettled = true;
    run.output.advanceMs(RunController::kSettlePollMs);
    QCOMPARE(run.output.plays.size(), 1);
    // Placed a lead ahead like every other syllable.
    QCOMPARE(run.output.plays[0].dueUs, run.output.plays[0].atUs + kLeadMs * 1000);
    QCOMPARE(run.state(), ProgramState::WaitForAudio);
    QVERIFY(run.boxes.boxes.isEmpty());
}

void RunControllerTest::runWhoseSoundClocksNeverSettleEndsWithNothingStored()
{
    Run run;
    run.output.soundSettled = false;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs + RunController::kSettleWaitMs + 200);
    QVERIFY(run.output.plays.isEmpty());
    QCOMPARE(run.controller.runState(), RunState::Aborted);
    QCOMPARE(run.state(), ProgramState::ExpCompleted);
    for (int i = 0; i < run.experiment.measurementCount(); ++i)
        QCOMPARE(run.at(i).reactionTime, 0);
    QCOMPARE(run.boxes.boxes.size(), 1);
    QVERIFY(run.boxes.boxes[0].text.contains(StringTable::german().text(913)));
}

void RunControllerTest::soundFaultDuringAMeasurementPresentsTheSyllableAgain_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("fault");
    QTest::newRow("a stall before the answer") << true << int(Glitch);
    QTest::newRow("a stall in a window without answer") << false << int(Glitch);
    QTest::newRow("not listening when the window ends") << false << int(NotListening);
    // The clocks settled again between the syllable and its answer: the syllable was placed and
    // timed on a line that no longer holds.
    QTest::newRow("clocks settling again as the syllable leaves") << true << int(UnsettledAtStart);
}

void RunControllerTest::soundFaultDuringAMeasurementPresentsTheSyllableAgain()
{
    QFETCH(bool, answered);
    QFETCH(int, fault);
    QTemporaryDir dir;
    Logger::Options options;
    options.fileName = dir.filePath(QStringLiteral("log.txt"));
    Logger::instance().start(options);
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    run.answerAfterMs(500);
    run.output.soundSettled = fault != UnsettledAtStart;
    run.finishVerification();
    run.output.soundSettled = true;
    const ORVA_Wave *second = run.output.plays.last().wave;
    if (fault == Glitch)
        ++run.output.glitches;
    else if (fault == NotListening)
        run.output.listening = false;
    if (answered)
        run.answerAfterMs(800);
    else
        run.output.advanceMs(run.output.msUntil(WaitTimer));
    // Nothing is stored for it, and no verdict turns it into a result.
    QCOMPARE(run.state(), ProgramState::WaitForKey);
    QCOMPARE(run.at(1).reactionTime, 0);
    QCOMPARE(run.at(1).result, int(Unjudged));
    QCOMPARE(run.output.events.last(), QStringLiteral("verdictGiven 1 discarded"));
    QVERIFY(run.controller.isKeyPressed());
    run.controller.onWrongReaction();
    QCOMPARE(run.at(1).result, int(Unjudged));
    QCOMPARE(run.at(0).reactionTime, 500); // the one before stays

    run.output.listening = true;
    const int plays = run.output.plays.size();
    run.finishVerification();
    QCOMPARE(run.output.plays.size(), plays + 1);
    QCOMPARE(run.output.plays.last().wave, second); // the same syllable again
    QCOMPARE(run.experiment.currentIndex(), 1);
    run.answerAfterMs(640);
    QCOMPARE(run.at(1).reactionTime, 640);
    run.finishVerification();
    QCOMPARE(run.at(1).result, int(Right));
    QCOMPARE(run.experiment.userLog().entries()[0].presented, 2); // the faulted one is not
    Logger::instance().close();
    QFile log(options.fileName);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.contains("during measurement 1; it is not stored\n"));
    QVERIFY(!text.contains("during measurement 0"));
    QVERIFY(run.boxes.boxes.isEmpty());
}

void RunControllerTest::persistentSoundFaultsEndTheRunAndSaySo()
{
    Run run;
    run.experiment.client().setLastName(QStringLiteral("Meier"));
    run.controller.onStartPreTest();
    run.experiment.setComment(QStringLiteral("quiet room")); // typed during the run
    run.output.advanceMs(kCountdownMs);
    run.answerAfterMs(500);
    run.finishVerification();
    for (int i = 0; i < RunController::kMaxSoundFaults; ++i) {
        QCOMPARE(run.experiment.currentIndex(), 1);
        ++run.output.glitches;
        run.answerAfterMs(700);
        if (i + 1 < RunController::kMaxSoundFaults)
            run.finishVerification();
    }
    QCOMPARE(run.controller.runState(), RunState::Aborted);
    QCOMPARE(run.state(), ProgramState::ExpCompleted);
    QCOMPARE(run.at(0).reactionTime, 500);
    QCOMPARE(run.at(0).result, int(Right));
    for (int i = 1; i < run.experiment.measurementCount(); ++i)
        QCOMPARE(run.at(i).reactionTime, 0);
    const QString note = StringTable::german().text(914).arg(2);
    QCOMPARE(run.boxes.boxes.size(), 1);
    QCOMPARE(run.boxes.boxes[0].text, note);
    QCOMPARE(run.experiment.comment(), QStringLiteral("quiet room\r\n") + note);
    QCOMPARE(run.output.commentNotes, QStringList { note });

    // The run file says so too, and reads back.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/de_de")));
    const QString path = dir.filePath(QStringLiteral("data/de_de/run.orv"));
    QVERIFY(run.experiment.write(path).ok());
    ORVA_Experiment back;
    back.setLanguage(DE_DE, false, false);
    back.createSyllableLists();
    QCOMPARE(back.readDetached(path), 0);
    QVERIFY(back.comment().contains(note));
    QCOMPARE(back.measurement(0).reactionTime, 500);
    QCOMPARE(back.measurement(1).reactionTime, 0);
}

void RunControllerTest::abortAfterARejectKeepsTheMeasurementBefore()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    run.answerAfterMs(500);
    run.finishVerification();
    run.answerAfterMs(600);
    run.controller.onReject();
    run.controller.onAbort();
    QCOMPARE(run.controller.runState(), RunState::Aborted);
    QCOMPARE(run.at(0).reactionTime, 500);
    QCOMPARE(run.at(0).result, int(Right));
    QCOMPARE(run.at(1).reactionTime, 0);
}

void RunControllerTest::startCommandsAreIgnoredWhileARunIsActive()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    run.controller.onStartTraining();
    run.controller.startExperiment(MainTest);
    QCOMPARE(run.experiment.mode(), int(PreTest));
    QCOMPARE(run.state(), ProgramState::WaitForAudio);

    Run audio;
    audio.controller.setProgramState(ProgramState::OtherAudio);
    audio.controller.onStartPreTest();
    QCOMPARE(audio.state(), ProgramState::OtherAudio);
    QVERIFY(audio.output.calls.isEmpty());
    QVERIFY(audio.output.events.isEmpty());
}

void RunControllerTest::unsavedRunIsOfferedForSavingBeforeTheNextStart()
{
    Run run;
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs + 12 * 4000);
    QCOMPARE(run.controller.runState(), RunState::Finished);
    QVERIFY(run.controller.mustAskToSave());

    run.boxes.answers = { MessageAnswer::Cancel };
    run.controller.onStartPreTest();
    QCOMPARE(run.boxes.boxes.size(), 1);
    QCOMPARE(run.boxes.boxes[0].title, QStringLiteral("Bestätigung"));
    QCOMPARE(run.boxes.boxes[0].buttons, MessageButtons::YesNoCancel);
    QCOMPARE(run.state(), ProgramState::ExpCompleted);

    run.boxes.answers = { MessageAnswer::Yes };
    run.output.saveSucceeds = false;
    run.controller.onStartPreTest();
    QCOMPARE(run.output.saveRequests, 1);
    QCOMPARE(run.state(), ProgramState::ExpCompleted);

    run.boxes.answers = { MessageAnswer::No };
    run.controller.onStartMainTest();
    QCOMPARE(run.output.saveRequests, 1);
    QCOMPARE(run.state(), ProgramState::Delay);
    QCOMPARE(run.experiment.measurementCount(), 60);
}

void RunControllerTest::trainingWithoutItsListIsRefused_data()
{
    QTest::addColumn<int>("listId");
    QTest::addColumn<int>("repetitions");
    QTest::newRow("a list that does not exist") << 77 << 5;
    QTest::newRow("no list chosen") << -1 << 5;
    QTest::newRow("a syllable count of 0") << 0 << 0;
}

void RunControllerTest::trainingWithoutItsListIsRefused()
{
    QFETCH(int, listId);
    QFETCH(int, repetitions);
    Run run;
    run.experiment.client().setChosenList(DE_DE, listId);
    run.experiment.client().setRepetitions(repetitions);
    run.controller.onStartTraining();
    QCOMPARE(run.state(), ProgramState::Idle);
    QCOMPARE(run.controller.runState(), RunState::Empty);
    QCOMPARE(run.experiment.measurementCount(), 0);
    QCOMPARE(run.output.plays.size(), 0);
    QCOMPARE(run.boxes.boxes.size(), 1);
    QCOMPARE(run.boxes.boxes[0].text,
             StringTable::german().text(RunController::kNoTrainingChoiceText));
    QVERIFY(!run.boxes.boxes[0].text.startsWith(u'#'));

    Run noStock;
    noStock.experiment.testStock().clear();
    noStock.controller.onStartPreTest();
    QCOMPARE(noStock.state(), ProgramState::Idle);
}

void RunControllerTest::saveAndPrintRules_data()
{
    QTest::addColumn<int>("runState");
    QTest::addColumn<int>("rule");
    QTest::addColumn<bool>("askToSave");
    QTest::addColumn<bool>("mayPrint");
    QTest::addColumn<bool>("maySave");
    // run state: 0 empty, 1 running, 2 finished, 3 aborted, 4 loaded, 5 saved
    const bool no = false;
    const bool yes = true;
    QTest::newRow("empty, always") << 0 << 2 << no << no << no;
    QTest::newRow("running, always") << 1 << 2 << no << no << no;
    QTest::newRow("finished, never") << 2 << 0 << no << no << no;
    QTest::newRow("finished, when complete") << 2 << 1 << yes << yes << yes;
    QTest::newRow("finished, always") << 2 << 2 << yes << yes << yes;
    QTest::newRow("aborted, when complete") << 3 << 1 << no << no << no;
    QTest::newRow("aborted, always") << 3 << 2 << yes << yes << yes;
    QTest::newRow("loaded, when complete") << 4 << 1 << no << yes << yes;
    QTest::newRow("loaded, never") << 4 << 0 << no << no << no;
    QTest::newRow("saved, when complete") << 5 << 1 << no << no << yes;
    QTest::newRow("saved, always") << 5 << 2 << no << yes << yes;
}

void RunControllerTest::saveAndPrintRules()
{
    QFETCH(int, runState);
    QFETCH(int, rule);
    QFETCH(bool, askToSave);
    QFETCH(bool, mayPrint);
    QFETCH(bool, maySave);
    for (const int mode : { PreTest, MainTest, Training }) {
        Run run;
        run.experiment.prepareRun(mode);
        RunFileRules rules;
        rules.saveMode[mode - 1] = rule;
        rules.printMode[mode - 1] = rule;
        rules.saveMode[mode % 3] = 3 - rule; // the other kinds' rules do not matter
        rules.printMode[mode % 3] = 3 - rule;
        run.controller.setFileRules(rules);
        run.controller.setRunState(static_cast<RunState>(runState));
        QCOMPARE(run.controller.mustAskToSave(), askToSave);
        QCOMPARE(run.controller.mayPrint(), mayPrint);
        QCOMPARE(run.controller.maySave(), maySave);
    }
}

void RunControllerTest::wholeRunLogsItsBeginAndEndLines()
{
    Run run;
    QTemporaryDir dir;
    Logger::Options options;
    options.fileName = dir.filePath(QStringLiteral("log.txt"));
    Logger::instance().start(options); // the run's lines only, not the material's
    run.controller.onStartPreTest();
    run.output.advanceMs(kCountdownMs);
    for (int i = 0; i < 12; ++i) {
        run.answerAfterMs(500);
        if (i == 0)
            run.controller.onWrongReaction();
        run.finishVerification();
    }
    Logger::instance().close();
    QFile file(options.fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QList<QByteArray> steps; // the begin, end and progress lines
    for (const QByteArray &line : lines) {
        if (line.startsWith("BEGIN") || line.startsWith("END") || line.startsWith("   "))
            steps.append(line);
    }

    const QList<QByteArray> start = {
        "BEGIN: On Start Pre Test",
        "   OSPT 40: startExperiment",
        "BEGIN: Start Experiment",
        "BEGIN: choose Syllable Mode",
        "END: choose Syllable Mode",
        "   SE: onStart; END",
        "BEGIN: onStart",
        "END OS",
        "END: Start Experiment",
        "END   OSPT",
        "BEGIN: Start Syllable",
        "END  : Start Syllable",
    };
    QCOMPARE(steps.mid(0, start.size()), start);
    QCOMPARE(lines.count("BEGIN: Start Syllable"), 12);
    QCOMPARE(lines.count("   OnAudioInput: startVerification"), 12);
    QCOMPARE(lines.count("Start Verification: waitTime = 2000ms"), 12);
    QCOMPARE(lines.count("   OWR 20: Set wrong: Current syllable index = 0"), 1);
    QCOMPARE(lines.count("   ESY 03a: setRight"), 11);
    QCOMPARE(lines.count("   ESY 60: startSyllable"), 11);
    const QList<QByteArray> end = {
        "BEGIN: End Syllable",           "   ESY 03a: setRight",
        "   ESY 55: endExperiment; END", "BEGIN: End Experiment",
        "EEX 10 : calc statistics",      "EEX 11 : calc statistics ready",
        "END  : End Experiment",         "",
    };
    QCOMPARE(lines.mid(lines.size() - end.size()), end);
}

QTEST_GUILESS_MAIN(RunControllerTest)
#include "RunControllerTest.moc"
