// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ORVA_WaveInDevice.h"

#include "WavBytes.h"
#include "audio/AudioSession.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "support/ErrorReport.h"

#include <QTest>

using namespace orva;
using orva::test::WavBytes;

namespace {

/// A microphone the test feeds: frames are timed from a fixed start.
class ScriptedInput final : public AudioInput
{
public:
    bool supportsCaptureFormat() const override { return supported; }
    DeviceResult start(CaptureSink &sink) override
    {
        ++starts;
        if (clock)
            clock->advanceMs(startTakesMs);
        if (!startResult.isOk())
            return startResult;
        this->sink = &sink;
        lost = false;
        return DeviceResult::ok();
    }
    void stop() override { sink = nullptr; }
    bool isRunning() const override { return sink != nullptr && !lost; }
    std::optional<qint64> frameTimeUs(qint64 frame) const override
    {
        if (!timed)
            return std::nullopt;
        return startUs + frame * 1'000'000 / 44100;
    }
    qint64 overflowCount() const override { return 0; }
    QString description() const override { return QStringLiteral("scripted"); }

    CaptureSink *sink = nullptr;
    int starts = 0;
    DeviceResult startResult;
    bool lost = false; ///< the device went away (its server quit)
    test::ManualClock *clock = nullptr; ///< moved by startTakesMs in every start
    int startTakesMs = 0;
    bool supported = true;
    bool timed = true;
    qint64 startUs = 2'000'000;
};

QByteArray buffer(int index, qint16 value)
{
    QList<qint16> samples(ORVA_WaveInDevice::kBufferSamples, 0);
    samples[index] = value;
    return WavBytes::samples16(samples);
}

} // namespace

class ORVA_WaveInDeviceTest : public QObject
{
    Q_OBJECT

private slots:
    void triggerMagnitudeMatchesTheLogarithm_data();
    void triggerMagnitudeMatchesTheLogarithm();
    void onsetIsStampedWithTheTimeItsSampleEnteredTheInput();
    void oneMessagePerBufferAtTheFirstQualifyingSample();
    void samplesReachTheUiThreadInBuffersOf256InOrder();
    void meterTakesTheLast1024SamplesUnlessWaiting();
    void captureNeedsADeviceWithTheFormat();
    void formatMismatchesAreReported();
    void buffersAfterTheDeviceClosedAreDropped();
    void aBusyUiThreadLosesNoOnset();
    void aDeviceThatWentAwayIsStartedAgain();
    void aServerThatDoesNotAnswerEndsTheAttempts();
};

void ORVA_WaveInDeviceTest::triggerMagnitudeMatchesTheLogarithm_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("magnitude");
    QTest::newRow("-40 dB") << -40 << 328;
    QTest::newRow("-90 dB") << -90 << 2;
    QTest::newRow("-30 dB") << -30 << 1037;
    QTest::newRow("0 dB") << 0 << 32767;
}

void ORVA_WaveInDeviceTest::triggerMagnitudeMatchesTheLogarithm()
{
    QFETCH(int, threshold);
    QFETCH(int, magnitude);
    QCOMPARE(ORVA_WaveInDevice::triggerMagnitude(threshold), magnitude);
    test::ManualClock clock;
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    device.setThreshold(threshold);
    int onsets = 0;
    device.setOnsetHandler([&](qint64) { ++onsets; });
    device.onBufferDone(0, buffer(3, qint16(magnitude - 1)));
    QCOMPARE(onsets, 0);
    device.onBufferDone(256, buffer(3, qint16(-magnitude)));
    QCOMPARE(onsets, 1);
    if (threshold == 0) {
        device.onBufferDone(512, buffer(3, -32768)); // the most negative sample counts too
        QCOMPARE(onsets, 2);
    }
}

void ORVA_WaveInDeviceTest::onsetIsStampedWithTheTimeItsSampleEnteredTheInput()
{
    test::ManualClock clock;
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    QList<qint64> stamps;
    device.setOnsetHandler([&](qint64 us) { stamps.append(us); });
    device.onBufferDone(44100, buffer(100, 0)); // nothing
    device.onBufferDone(44100, buffer(100, 5000));
    QCOMPARE(stamps, QList<qint64>({ input.startUs + 1'000'000 + 100 * 1'000'000 / 44100 }));
    input.timed = false; // an input that cannot time its frames: the clock stamps the onset
    device.onBufferDone(0, buffer(0, 5000));
    QCOMPARE(stamps.last(), clock.nowUs());
}

void ORVA_WaveInDeviceTest::oneMessagePerBufferAtTheFirstQualifyingSample()
{
    test::ManualClock clock;
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    QList<qint64> stamps;
    device.setOnsetHandler([&](qint64 us) { stamps.append(us); });
    device.onBufferDone(0, WavBytes::samples16(QList<qint16>(256, 20000)));
    QCOMPARE(stamps.size(), 1);
    QCOMPARE(stamps[0], input.startUs);
}

void ORVA_WaveInDeviceTest::samplesReachTheUiThreadInBuffersOf256InOrder()
{
    test::ManualClock clock;
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    QList<qint64> stamps;
    device.setOnsetHandler([&](qint64 us) { stamps.append(us); });
    QList<qint16> samples(700, 0);
    samples[300] = 9000; // in the second buffer
    samples[600] = 9000; // in the third, which is not complete yet
    input.sink->samplesCaptured(0, samples.constData(), 300);
    input.sink->samplesCaptured(300, samples.constData() + 300, 400);
    QCoreApplication::processEvents();
    QCOMPARE(stamps, QList<qint64>({ input.startUs + 300 * 1'000'000 / 44100 }));
    QCOMPARE(device.recording().sampleCount(), 512);
    QCOMPARE(device.recording().blockCount(), 2);
}

void ORVA_WaveInDeviceTest::meterTakesTheLast1024SamplesUnlessWaiting()
{
    test::ManualClock clock;
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    for (int i = 0; i < 6; ++i) // 1536 samples; the loud one is early
        device.onBufferDone(256 * i, buffer(10, i == 0 ? 30000 : 1000));
    QCOMPARE(device.preparePaintVU_Meter(false), 1000.0);
    QCOMPARE(device.recording().sampleCount(), 0);
    QCOMPARE(device.preparePaintVU_Meter(false), 1000.0); // nothing new: the peak stays
    for (int i = 0; i < 6; ++i)
        device.onBufferDone(256 * i, buffer(10, i == 0 ? -30000 : 1000));
    QCOMPARE(device.preparePaintVU_Meter(true), 30000.0); // waiting for an answer: all of them
}

void ORVA_WaveInDeviceTest::captureNeedsADeviceWithTheFormat()
{
    test::ManualClock clock;
    ORVA_WaveInDevice device(clock);
    QVERIFY(!device.startCapture(nullptr));
    ScriptedInput input;
    input.supported = false;
    QVERIFY(!device.startCapture(&input));
    QVERIFY(!device.isCapturing());
}

void ORVA_WaveInDeviceTest::formatMismatchesAreReported()
{
    test::RecordingMessageBoxes boxes;
    setErrorBoxes(&boxes);
    test::ManualClock clock;
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    ORVA_Wave slow;
    (void)slow.setFormat(22050, 16);

    QVERIFY(!device.queryFormat(ORVA_WaveInDevice::captureFormat()));
    QVERIFY(!device.startRecording(&input, slow, 512)); // not open, and it cannot open for that
    QVERIFY(!device.isCapturing());
    QVERIFY(device.startCapture(&input));
    QVERIFY(device.open(&input, ORVA_WaveInDevice::captureFormat())); // already open: same format
    QVERIFY(!device.open(&input, slow.format()));
    QVERIFY(!device.startRecording(&input, slow, 512));
    QVERIFY(device.isCapturing()); // the running capture goes on
    setErrorBoxes(nullptr);

    QStringList texts;
    for (const auto &box : boxes.boxes) {
        QCOMPARE(box.title, QStringLiteral("Error"));
        texts << box.text;
    }
    QCOMPARE(
        texts,
        QStringList({ "Not open", "No input device supports format", "Open for different format",
                      "Input device is already open and doesn't support format" }));
}

void ORVA_WaveInDeviceTest::buffersAfterTheDeviceClosedAreDropped()
{
    test::ManualClock clock;
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    int onsets = 0;
    device.setOnsetHandler([&](qint64) { ++onsets; });
    QList<qint16> loud(256, 20000);
    input.sink->samplesCaptured(0, loud.constData(), 256); // queued to the UI thread
    device.stopCapture();
    QVERIFY(!input.isRunning());
    QCoreApplication::processEvents();
    QCOMPARE(onsets, 0);
    QCOMPARE(device.recording().sampleCount(), 0);
}

void ORVA_WaveInDeviceTest::aBusyUiThreadLosesNoOnset()
{
    test::ManualClock clock;
    AudioSession session(clock);
    AudioSession::setCurrent(&session);
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    QList<qint64> stamps;
    device.setOnsetHandler([&](qint64 us) { stamps.append(us); });
    // More buffers than may wait arrive while the UI thread is busy, each with a loud sample at
    // its start; the clock moves on meanwhile, and the stamps must not.
    const int count = ORVA_WaveInDevice::kMaximumWaiting + 10;
    QList<qint16> samples(count * 256, 0);
    for (int i = 0; i < count; ++i)
        samples[i * 256] = 10000;
    input.sink->samplesCaptured(0, samples.constData(), samples.size());
    clock.advanceMs(20'000);
    // Until the UI thread gets to them, the samples have not been heard there.
    QVERIFY(!device.heardUntilUs());
    QCoreApplication::processEvents();
    QCOMPARE(device.heardUntilUs(), input.frameTimeUs(qint64(count) * 256));
    QCOMPARE(stamps.size(), count);
    for (int i : { 0, 31, 32, count - 1 })
        QCOMPARE(stamps[i], input.frameTimeUs(qint64(i) * 256).value());
    // Only the meter misses the samples beyond what may wait; no measurement is flagged.
    QCOMPARE(device.recording().sampleCount(), ORVA_WaveInDevice::kMaximumWaiting * 256);
    QCOMPARE(session.glitchCount(), 0);
    // Once the UI thread caught up the next buffer comes through with its own frame number.
    input.sink->samplesCaptured(qint64(count) * 256, samples.constData(), 256);
    QCoreApplication::processEvents();
    QCOMPARE(stamps.last(), input.frameTimeUs(qint64(count) * 256).value());
    AudioSession::setCurrent(nullptr);
}

void ORVA_WaveInDeviceTest::aDeviceThatWentAwayIsStartedAgain()
{
    test::ManualClock clock;
    AudioSession session(clock);
    AudioSession::setCurrent(&session);
    ScriptedInput input;
    ORVA_WaveInDevice device(clock);
    QVERIFY(!device.restartLostInput()); // capture never started: nothing to bring back
    QCOMPARE(input.starts, 0);
    QVERIFY(device.startCapture(&input));
    QVERIFY(device.restartLostInput()); // running: left alone
    QCOMPARE(input.starts, 1);

    // Half a buffer, then the server quits: the half is dropped with the old stream.
    QList<qint16> quiet(128, 0);
    input.sink->samplesCaptured(0, quiet.constData(), quiet.size());
    input.lost = true;
    input.startResult = DeviceResult::fromPulseError(6); // connection refused: still away
    QVERIFY(!device.restartLostInput()); // tried at once
    QCOMPARE(input.starts, 2);
    QCOMPARE(session.glitchCount(), 1); // a measurement meanwhile is flagged
    clock.advanceMs(ORVA_WaveInDevice::kRestartIntervalMs - 1);
    QVERIFY(!device.restartLostInput());
    QCOMPARE(input.starts, 2);
    clock.advanceMs(1);
    input.startResult = DeviceResult::ok(); // the server is back
    QVERIFY(device.restartLostInput());
    QCOMPARE(input.starts, 3);
    QVERIFY(device.isCapturing());

    // The new stream goes on counting frames; its buffers are whole and carry their onsets.
    QList<qint64> stamps;
    device.setOnsetHandler([&](qint64 us) { stamps.append(us); });
    QList<qint16> loud(256, 0);
    loud[7] = 20000;
    input.sink->samplesCaptured(128, loud.constData(), loud.size());
    QCoreApplication::processEvents();
    QCOMPARE(stamps, QList<qint64>({ input.startUs + (128 + 7) * 1'000'000 / 44100 }));
    QCOMPARE(device.recording().sampleCount(), 256);

    // A device lost again is tried at once again, not only after the interval.
    input.lost = true;
    QVERIFY(device.restartLostInput());
    QCOMPARE(input.starts, 4);
    QCOMPARE(session.glitchCount(), 2);
    device.stopCapture();
    QVERIFY(!device.restartLostInput());
    QCOMPARE(input.starts, 4);
    AudioSession::setCurrent(nullptr);
}

void ORVA_WaveInDeviceTest::aServerThatDoesNotAnswerEndsTheAttempts()
{
    test::ManualClock clock;
    ScriptedInput input;
    input.clock = &clock;
    ORVA_WaveInDevice device(clock);
    QVERIFY(device.startCapture(&input));
    input.lost = true;
    input.startResult = DeviceResult::fromPulseError(6); // refused at once: try again later
    QVERIFY(!device.restartLostInput());
    QVERIFY(device.isCapturing());
    clock.advanceMs(ORVA_WaveInDevice::kRestartIntervalMs);
    input.startTakesMs = ORVA_WaveInDevice::kRestartMaxWaitMs + 1; // then no answer for long
    QVERIFY(!device.restartLostInput());
    QCOMPARE(input.starts, 3);
    QVERIFY(!device.isCapturing());
    clock.advanceMs(60'000);
    QVERIFY(!device.restartLostInput());
    QCOMPARE(input.starts, 3);
}

QTEST_GUILESS_MAIN(ORVA_WaveInDeviceTest)
#include "ORVA_WaveInDeviceTest.moc"
