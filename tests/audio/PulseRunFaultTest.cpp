// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferenceTrials.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "engine/RunSound.h"
#include "fakes/RecordingMessageBoxes.h"
#include "support/Logger.h"
#include "support/StringTable.h"

#include <QBasicTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include <csignal>
#include <map>

using namespace orva;

namespace {

/// One syllable as it was handed to the output: the measurement it was for and when it was to
/// leave, on the program clock.
struct Presentation
{
    int measurement = -1;
    qint64 dueUs = 0;
};

/// The run controller's world in real time, as the main window gives it: real timers, the run's
/// sound with its capture, nothing painted.
class RealTimeRunOutput final : public QObject, public RunControllerOutput
{
public:
    RealTimeRunOutput(RunSound &sound, const ORVA_Experiment &experiment, const Clock &clock)
        : m_sound(sound)
        , m_experiment(experiment)
        , m_clock(clock)
    { }

    std::function<void(int)> onTimer;
    /// Called after each syllable was handed to the output.
    std::function<void(const Presentation &)> onPresented;
    std::vector<Presentation> presentations;

    std::optional<qint64> play(ORVA_Wave &wave) override
    {
        return presented(m_sound.play(wave), m_clock.nowUs());
    }
    std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs) override
    {
        return presented(m_sound.playAt(wave, startUs), startUs);
    }
    bool isSoundSettled() const override { return m_sound.isSettled(); }
    bool isListening() const override { return m_sound.isListening(); }
    qint64 audioGlitchCount() const override { return m_sound.glitchCount(); }
    void setTimer(int id, int ms) override
    {
        m_timers[id].start(std::max(ms, 1), Qt::PreciseTimer, this);
    }
    void stopTimer(int id) override { m_timers[id].stop(); }
    bool saveRun() override { return false; }

protected:
    void timerEvent(QTimerEvent *event) override
    {
        for (auto &[id, timer] : m_timers) {
            if (timer.timerId() == event->timerId()) {
                onTimer(id);
                return;
            }
        }
    }

private:
    std::optional<qint64> presented(std::optional<qint64> startUs, qint64 dueUs)
    {
        presentations.push_back({ m_experiment.currentIndex(), dueUs });
        if (onPresented)
            onPresented(presentations.back());
        return startUs;
    }

    RunSound &m_sound;
    const ORVA_Experiment &m_experiment;
    const Clock &m_clock;
    std::map<int, QBasicTimer> m_timers;
};

/// The module index of the sink `name` on the test's server, by pactl; -1 when not found.
int sinkModule(const QString &name)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"),
                { QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("modules") });
    if (!pactl.waitForFinished(5000))
        return -1;
    const QString needle = QStringLiteral("sink_name=%1 ").arg(name);
    for (const QString &line : QString::fromUtf8(pactl.readAllStandardOutput()).split('\n')) {
        if (line.contains(needle))
            return line.section(QLatin1Char('\t'), 0, 0).toInt();
    }
    return -1;
}

/// What one recording of the room heard: the onset of each sound on the headphones' channel and
/// the listener's answer to it on the microphone's, in the recording's samples; an answer of -1
/// when the listener's copy is not in the recording.
struct RecordedSounds
{
    qint64 startedUs = 0; ///< parec's start on the program clock, to find a sound roughly
    std::vector<qint64> heard;
    std::vector<qint64> spoken;
};

RecordedSounds recordedSounds(const test::ParecRecording &room, int trigger)
{
    RecordedSounds sounds;
    sounds.startedUs = room.startedUs();
    // Syllables come at least two seconds apart; a quarter of a second of silence tells them
    // apart, their own pauses are shorter.
    sounds.heard = test::soundOnsets(room.channel(0), trigger, 44100 / 4);
    const std::vector<qint64> spoken = test::soundOnsets(room.channel(1), trigger, 44100 / 4);
    for (qint64 h : sounds.heard) {
        qint64 answer = -1;
        for (qint64 s : spoken) {
            if (s > h && s - h < 44100) {
                answer = s;
                break;
            }
        }
        sounds.spoken.push_back(answer);
    }
    return sounds;
}

enum class Fault { Stall, ServerRestart, HeadphonesUnloaded };

} // namespace

/// A pre-test through the run controller, with a listener who repeats every syllable 300 ms late
/// on one device clock, while the sound server fails in the middle of an answer window: held up
/// for one or five seconds, killed and started again, or the headphones unloaded and loaded
/// again. A recording of the room by parec, outside the program, holds what the client heard and
/// what the microphone heard on one sample clock: every measurement the run stores agrees with it
/// to 1 ms, the one the fault touched is presented again (or the run ends and says so), and the
/// run file reads back.
class PulseRunFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void storedMeasurementsAgreeWithTheRecordingAfterAFault_data();
    void storedMeasurementsAgreeWithTheRecordingAfterAFault();
};

void PulseRunFaultTest::storedMeasurementsAgreeWithTheRecordingAfterAFault_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("faultMs"); // how long the fault lasts
    QTest::newRow("server held up 1 s") << int(Fault::Stall) << 1000;
    QTest::newRow("server held up 5 s") << int(Fault::Stall) << 5000;
    QTest::newRow("server killed and started again") << int(Fault::ServerRestart) << 1000;
    QTest::newRow("headphones unloaded and loaded again") << int(Fault::HeadphonesUnloaded) << 1000;
}

void PulseRunFaultTest::storedMeasurementsAgreeWithTheRecordingAfterAFault()
{
    QFETCH(int, fault);
    QFETCH(int, faultMs);
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/de_de/Silben06/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    if (QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
        QSKIP("pactl and parec are needed");
    const auto layout = test::PulseServer::Layout::OneClockSpare;
    std::vector<std::unique_ptr<test::PulseServer>> servers;
    std::vector<std::unique_ptr<test::ParecRecording>> recordings;
    const auto startServer = [&] {
        servers.push_back(std::make_unique<test::PulseServer>(layout, 300));
        if (servers.back()->isRunning())
            recordings.push_back(std::make_unique<test::ParecRecording>(
                QStringLiteral("room.monitor"), 44100, 2,
                servers.back()->filePath(QStringLiteral("room.raw"))));
    };
    startServer();
    if (!servers.back()->isRunning())
        QSKIP(qPrintable(servers.back()->error()));
    QVERIFY(recordings.back()->isRunning());

    QTemporaryDir dir;
    Logger::Options logOptions;
    logOptions.level = 1;
    logOptions.fileName = dir.filePath(QStringLiteral("log.txt"));
    Logger::instance().start(logOptions);

    SteadyClock clock;
    AudioSession session(clock);
    session.setOutput(std::make_unique<PulseAudioOutput>(clock, QStringLiteral("headphones")));
    session.setInput(std::make_unique<PulseAudioInput>(clock, QStringLiteral("voice.monitor")));
    AudioSession *previous = AudioSession::setCurrent(&session);
    test::RecordingMessageBoxes boxes;
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(demo);
    experiment.setLanguage(DE_DE, true, false);
    RunController *controller = nullptr;
    RunSound sound(clock, [&](qint64 onsetUs) {
        if (controller)
            controller->onAudioInput(onsetUs);
    });
    sound.setSession(&session);
    RealTimeRunOutput output(sound, experiment, clock);
    RunController run(experiment, output, clock, boxes, StringTable::german());
    controller = &run;
    output.onTimer = [&](int id) { run.onTimer(id); };
    QVERIFY(session.startOutput().isOk());
    QVERIFY(sound.startCapture(-40));
    // The level meter's tick, which also starts a microphone again that went away.
    QTimer meter;
    QObject::connect(&meter, &QTimer::timeout, [&] { (void)sound.levelTick(false); });
    meter.start(32);

    // The fault comes 150 ms after measurement 4's syllable was to leave, in its answer window.
    const int faulted = 4;
    bool faultDone = false;
    const int headphones = sinkModule(QStringLiteral("headphones"));
    QVERIFY(headphones >= 0);
    output.onPresented = [&](const Presentation &p) {
        if (p.measurement != faulted || faultDone)
            return;
        faultDone = true;
        const int inMs = int(std::max<qint64>(1, (p.dueUs - clock.nowUs()) / 1000 + 150));
        QTimer::singleShot(inMs, &output, [&, fault, faultMs] {
            switch (Fault(fault)) {
            case Fault::Stall: {
                const pid_t pid = pid_t(servers.back()->pid());
                ::kill(pid, SIGSTOP);
                QTimer::singleShot(faultMs, &output, [pid] { ::kill(pid, SIGCONT); });
                break;
            }
            case Fault::ServerRestart:
                servers.back()->stop();
                QTimer::singleShot(faultMs, &output, startServer);
                break;
            case Fault::HeadphonesUnloaded:
                (void)QProcess::execute(
                    QStringLiteral("pactl"),
                    { QStringLiteral("unload-module"), QString::number(headphones) });
                // The listener went with the headphones' monitor: both come back.
                QTimer::singleShot(faultMs, &output, [] {
                    const auto load = [](const QString &module, const QString &arguments) {
                        (void)QProcess::execute(
                            QStringLiteral("pactl"),
                            QStringList { QStringLiteral("load-module"), module }
                                + arguments.split(QLatin1Char(' ')));
                    };
                    load(QStringLiteral("module-remap-sink"),
                         test::PulseServer::headphonesArguments());
                    load(QStringLiteral("module-loopback"),
                         test::PulseServer::listenerArguments(300));
                });
                break;
            }
        });
    };

    QTest::qWait(2000); // the clock models settle, as at the program's start-up
    run.onStartPreTest();
    QTRY_VERIFY_WITH_TIMEOUT(
        run.runState() == RunState::Finished || run.runState() == RunState::Aborted, 120000);
    QTest::qWait(1000); // the last answer reaches the recording
    meter.stop();
    sound.stopCapture();
    session.stopDevices();
    AudioSession::setCurrent(previous);
    Logger::instance().close();
    for (auto &recording : recordings)
        recording->stop();
    // What the program noticed, for whoever reads the test's output.
    QFile log(logOptions.fileName);
    QVERIFY(log.open(QIODevice::ReadOnly));
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (line.contains("audio:") || line.contains(" SV 0") || line.contains(" OWT "))
            qInfo("log: %s", line.constData());
    }
    QVERIFY(faultDone);
    QVERIFY2(servers.size() == 1 || servers.back()->isRunning(), "the server did not come back");

    // Which presentation each stored measurement comes from: the last of its own.
    const std::vector<Presentation> &shown = output.presentations;
    std::vector<int> storedPresentation(experiment.measurementCount(), -1);
    for (int p = 0; p < int(shown.size()); ++p)
        storedPresentation[shown[p].measurement] = p;
    QStringList figures;
    for (const Presentation &p : shown)
        figures << QString::number(p.measurement);
    qInfo("presentations by measurement: %s", qPrintable(figures.join(QLatin1Char(' '))));

    // The fault touched measurement 4: it was presented again, or the run ended and says so.
    const bool aborted = run.runState() == RunState::Aborted;
    QString note;
    if (aborted) {
        QVERIFY(!boxes.boxes.isEmpty());
        note = boxes.boxes.last().text;
        QVERIFY2(experiment.comment().contains(note), qPrintable(experiment.comment()));
    } else {
        QVERIFY2(std::count_if(shown.begin(), shown.end(),
                               [&](const Presentation &p) { return p.measurement == faulted; })
                     >= 2,
                 "the measurement the fault touched was not presented again");
    }

    // Every stored measurement against the recordings: the sound found near its time in the
    // recording that was running then, the truth the distance to the listener's answer there.
    const int trigger = ORVA_WaveInDevice::triggerMagnitude(-40);
    std::vector<RecordedSounds> recorded;
    for (const auto &recording : recordings)
        recorded.push_back(recordedSounds(*recording, trigger));
    int checked = 0;
    QStringList stored;
    QStringList errors;
    for (int i = 0; i < experiment.measurementCount(); ++i) {
        const Measurement &m = experiment.measurement(i);
        if (aborted && m.reactionTime == 0 && m.result == Unjudged)
            continue; // after the end of an aborted run
        QCOMPARE(m.result, int(Right)); // the listener answers every syllable
        const Presentation &p = shown[storedPresentation[i]];
        std::optional<double> truthMs;
        for (const RecordedSounds &sounds : recorded) {
            for (size_t s = 0; s < sounds.heard.size(); ++s) {
                const qint64 atUs = sounds.startedUs + sounds.heard[s] * 1'000'000 / 44100;
                if (std::abs(atUs - p.dueUs) < 400'000 && sounds.spoken[s] >= 0)
                    truthMs = (sounds.spoken[s] - sounds.heard[s]) / 44.1;
            }
        }
        QVERIFY2(truthMs,
                 qPrintable(QStringLiteral("measurement %1 is stored, but its syllable "
                                           "or its answer is not in the recordings")
                                .arg(i)));
        // The reaction time counts from the syllable's first sample; the recording's onset is
        // the first one at the threshold.
        const ORVA_Wave &recording = experiment.syllableOfMeasurement(i)->recording;
        int ownOnset = 0;
        while (ownOnset < recording.sampleCount()
               && std::abs(recording.getSample(ownOnset)) < trigger)
            ++ownOnset;
        const double error = m.reactionTime - ownOnset / 44.1 - *truthMs;
        stored << QString::number(m.reactionTime);
        errors << QString::number(error, 'f', 2);
        QVERIFY2(std::abs(error) <= 1.0,
                 qPrintable(QStringLiteral("measurement %1: stored %2 ms, error %3 ms")
                                .arg(i)
                                .arg(m.reactionTime)
                                .arg(error)));
        ++checked;
    }
    qInfo("stored reaction times (ms): %s", qPrintable(stored.join(QLatin1Char(' '))));
    qInfo("their errors against parec, less the syllables' own onsets (ms): %s",
          qPrintable(errors.join(QLatin1Char(' '))));
    QVERIFY(checked >= (aborted ? faulted : experiment.measurementCount()));

    // The run file says what the run holds, and reads back.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/de_de")));
    const QString path = dir.filePath(QStringLiteral("data/de_de/run.orv"));
    QVERIFY(experiment.write(path).ok());
    ORVA_Experiment back;
    back.setLanguage(DE_DE, false, false);
    back.createSyllableLists();
    QCOMPARE(back.readDetached(path), 0);
    for (int i = 0; i < experiment.measurementCount(); ++i) {
        QCOMPARE(back.measurement(i).reactionTime, experiment.measurement(i).reactionTime);
        if (experiment.measurement(i).reactionTime != 0) // the file keeps no unmeasured verdict
            QCOMPARE(back.measurement(i).result, experiment.measurement(i).result);
    }
    if (aborted)
        QVERIFY(back.comment().contains(note));
}

QTEST_GUILESS_MAIN(PulseRunFaultTest)
#include "PulseRunFaultTest.moc"
