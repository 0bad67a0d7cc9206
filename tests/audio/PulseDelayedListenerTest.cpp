// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseServer.h"
#include "audio/AudioSession.h"
#include "audio/ORVA_WaveInDevice.h"
#include "audio/backends/pulse/PulseAudio.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "fakes/RecordingMessageBoxes.h"
#include "support/Clock.h"
#include "support/Logger.h"
#include "support/StringTable.h"

#include <QBasicTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimerEvent>

#include <atomic>
#include <cmath>
#include <map>
#include <thread>

using namespace orva;

namespace {

/// The PulseAudio output with a writer that can be made to stall once: the next time the server
/// asks for frames, the mixer is held up for `stallMs` on libpulse's thread, long enough for the
/// server's buffer to run dry.
class StallingOutput final : public AudioOutput, private FrameSource
{
public:
    StallingOutput(const Clock &clock, const QString &device)
        : m_output(clock, device)
    { }
    void stallOnce(int ms) { m_stallMs = ms; }

    DeviceResult start(FrameSource &source) override
    {
        m_source = &source;
        return m_output.start(*this);
    }
    void stop() override { m_output.stop(); }
    bool isRunning() const override { return m_output.isRunning(); }
    std::optional<qint64> frameTimeUs(qint64 frame) const override
    {
        return m_output.frameTimeUs(frame);
    }
    qint64 underflowCount() const override { return m_output.underflowCount(); }
    bool isClockSettled() const override { return m_output.isClockSettled(); }
    bool isStalled() const override { return m_output.isStalled(); }
    QString description() const override { return m_output.description(); }

private:
    qint64 nextFrame() const override { return m_source->nextFrame(); }
    void render(qint16 *out, qint64 frames) override
    {
        if (const int ms = m_stallMs.exchange(0))
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        m_source->render(out, frames);
    }

    PulseAudioOutput m_output;
    FrameSource *m_source = nullptr;
    std::atomic<int> m_stallMs { 0 };
};

/// The run controller's world in real time: real timers, real playing, nothing painted.
class RealTimeRunOutput final : public QObject, public RunControllerOutput
{
public:
    std::function<void(int)> onTimer;

    std::optional<qint64> play(ORVA_Wave &wave) override
    {
        wave.play(false, false);
        stallIfDue();
        return wave.playStartUs();
    }
    std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs) override
    {
        wave.playAt(startUs);
        stallIfDue();
        return wave.playStartUs();
    }
    bool isSoundSettled() const override { return !session || session->areClocksSettled(); }
    bool isListening() const override { return !session || session->isListening(); }
    void setTimer(int id, int ms) override
    {
        m_timers[id].start(std::max(ms, 1), Qt::PreciseTimer, this);
    }
    void stopTimer(int id) override { m_timers[id].stop(); }
    bool saveRun() override { return false; }
    qint64 audioGlitchCount() const override { return session ? session->glitchCount() : 0; }

    AudioSession *session = nullptr;
    StallingOutput *stalling = nullptr;
    /// The measurements whose first presentation stalls. A measurement discarded for a fault is
    /// presented again, so the stall follows the measurement, not the count of sounds played.
    const ORVA_Experiment *experiment = nullptr;
    QList<int> stallAtMeasurements;
    QList<int> stalledMeasurements;

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
    void stallIfDue()
    {
        const int index = experiment ? experiment->currentIndex() : -1;
        if (!stalling || !stallAtMeasurements.contains(index)
            || stalledMeasurements.contains(index))
            return;
        stalling->stallOnce(150);
        stalledMeasurements.append(index);
    }

    std::map<int, QBasicTimer> m_timers;
};

/// The first onset of every sound: onsets more than 600 ms after the one before start a new one.
QList<qint64> firstOnsets(const QList<qint64> &onsets)
{
    QList<qint64> first;
    for (int i = 0; i < onsets.size(); ++i) {
        if (i == 0 || onsets[i] - onsets[i - 1] > 600'000)
            first.append(onsets[i]);
    }
    return first;
}

} // namespace

/// A pre-test through the run controller with a listener who repeats everything 300 ms late: a
/// loopback from the headphones' monitor into a second sink whose monitor is the microphone.
/// Halfway through, the playback writer stalls once right after a syllable started: that
/// measurement is not stored and the syllable is presented again, and every stored one is timed
/// as exactly as before.
class PulseDelayedListenerTest : public QObject
{
    Q_OBJECT

private slots:
    void preTestMeasuresTheListenersDelay();
};

void PulseDelayedListenerTest::preTestMeasuresTheListenersDelay()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/de_de/Silben06/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    test::PulseServer server(300);
    if (!server.isRunning())
        QSKIP(qPrintable(server.error()));

    QTemporaryDir logDir;
    Logger::Options logOptions;
    logOptions.level = 1;
    logOptions.fileName = logDir.filePath(QStringLiteral("log.txt"));
    Logger::instance().start(logOptions);

    SteadyClock clock;
    AudioSession session(clock);
    auto stalling = std::make_unique<StallingOutput>(clock, QStringLiteral("headphones"));
    StallingOutput *stallingOutput = stalling.get();
    session.setOutput(std::move(stalling));
    AudioSession::setCurrent(&session);
    QVERIFY(session.startOutput().isOk());
    PulseAudioInput input(clock, QStringLiteral("voice.monitor"));

    ORVA_Experiment experiment;
    experiment.setBaseDirectory(demo);
    experiment.setLanguage(DE_DE, true, false);
    RealTimeRunOutput output;
    output.session = &session;
    output.stalling = stallingOutput;
    const int stalled = 6;
    output.experiment = &experiment;
    output.stallAtMeasurements = { stalled };
    // By hand (tools/timing-fault-stress.sh), one more stall earlier on stands for a fault of a
    // busy machine: the measurement it touches is presented again before the one stalled here.
    if (qEnvironmentVariableIsSet("ORVA_EARLIER_STALL"))
        output.stallAtMeasurements.prepend(qEnvironmentVariableIntValue("ORVA_EARLIER_STALL"));
    test::RecordingMessageBoxes boxes;
    RunController controller(experiment, output, clock, boxes, StringTable::german());
    output.onTimer = [&](int id) { controller.onTimer(id); };
    ORVA_WaveInDevice capture(clock);
    QList<qint64> voiceOnsets;
    capture.setOnsetHandler([&](qint64 us) {
        voiceOnsets.append(us);
        controller.onAudioInput(us);
    });
    QVERIFY(capture.startCapture(&input));
    // The listener's delay is measured beside the run, syllable by syllable: a second microphone
    // on the headphones hears each syllable as it leaves. The loopback may start a few
    // milliseconds off on a busy machine and take seconds to reach its delay; what is checked
    // is our timing, not the listener.
    PulseAudioInput earsInput(clock, QStringLiteral("headphones.monitor"));
    ORVA_WaveInDevice ears(clock);
    QList<qint64> earOnsets;
    ears.setOnsetHandler([&](qint64 us) { earOnsets.append(us); });
    QVERIFY(ears.startCapture(&earsInput));
    QTest::qWait(2000); // the clock models settle

    controller.onStartPreTest();
    QTRY_VERIFY_WITH_TIMEOUT(controller.runState() == RunState::Finished, 90000);

    capture.stopCapture();
    ears.stopCapture();
    session.stopDevices();
    AudioSession::setCurrent(nullptr);
    Logger::instance().close();
    QFile log(logOptions.fileName);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray logText = log.readAll();
    QVERIFY(session.glitchCount() > 0);
    // Others may be discarded too: a busy machine runs a stream dry now and then, and a clock
    // that re-anchors counts as well. Each was presented once more.
    QList<int> discarded;
    const QRegularExpression flag(QStringLiteral("during measurement (\\d+); it is not stored"));
    for (const QRegularExpressionMatch &m : flag.globalMatch(QString::fromUtf8(logText)))
        discarded.append(m.captured(1).toInt());
    qInfo() << "measurements discarded for a sound fault, in order:" << discarded;
    QCOMPARE(output.stalledMeasurements, output.stallAtMeasurements);
    for (int m : output.stalledMeasurements)
        QVERIFY2(discarded.contains(m),
                 qPrintable(QStringLiteral("the stalled measurement %1 is stored").arg(m)));
    QVERIFY2(discarded.size() <= experiment.measurementCount() / 2,
             qPrintable(QStringLiteral("%1 measurements discarded").arg(discarded.size())));

    // The presentation whose measurement was stored, for each measurement: the last of its own.
    const QList<qint64> heard = firstOnsets(earOnsets);
    const QList<qint64> answered = firstOnsets(voiceOnsets);
    QCOMPARE(heard.size(), experiment.measurementCount() + discarded.size());
    QCOMPARE(answered.size(), heard.size());
    QList<int> storedPresentation;
    for (int i = 0, presentation = 0; i < experiment.measurementCount(); ++i) {
        presentation += int(discarded.count(i));
        storedPresentation.append(presentation++);
    }
    const int trigger = ORVA_WaveInDevice::triggerMagnitude(capture.threshold());
    QList<double> delays;
    QList<double> listener;
    QList<double> errors;
    for (int i = 0; i < experiment.measurementCount(); ++i) {
        const Measurement &m = experiment.measurement(i);
        QCOMPARE(m.result, int(Right));
        const ORVA_Wave &recording = experiment.syllableOfMeasurement(i)->recording;
        int k = 0;
        while (k < recording.sampleCount() && std::abs(recording.getSample(k)) < trigger)
            ++k;
        const int p = storedPresentation[i];
        delays.append(m.reactionTime - k / 44.1);
        listener.append((answered[p] - heard[p]) / 1000.0);
        // The reaction time is the listener's delay plus the syllable's own onset, less what
        // storing whole milliseconds cuts off.
        errors.append(delays.last() - listener.last());
    }
    double mean = 0;
    for (double d : delays)
        mean += d / delays.size();
    qInfo() << "reaction time less the syllable's own onset, per measurement (ms):" << delays;
    qInfo() << "the listener's delay beside the run (ms):" << listener;
    QVERIFY2(mean > 280 && mean < 360, qPrintable(QString::number(mean)));
    // Storing whole milliseconds cuts off up to 1 ms; beyond that, 1.5 ms either way: the 1 ms
    // the timing may be off and a little more for a busy machine.
    for (double e : errors)
        QVERIFY2(e >= -2.5 && e <= 1.5, qPrintable(QStringLiteral("error %1 ms").arg(e)));
}

QTEST_GUILESS_MAIN(PulseDelayedListenerTest)
#include "PulseDelayedListenerTest.moc"
