// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/backends/FileAudio.h"

#include "WavBytes.h"
#include "audio/ORVA_WaveInDevice.h"
#include "fakes/ManualClock.h"

#include <QTemporaryDir>
#include <QTest>

using namespace orva;
using orva::test::WavBytes;

Q_DECLARE_METATYPE(orva::FileAudioInput::Ending)

/// A recording played as the microphone: what the capture hears and when, on a clock the test
/// moves.
class FileAudioTest : public QObject
{
    Q_OBJECT

private slots:
    void microphoneFileIsTimedToTheSample_data();
    void microphoneFileIsTimedToTheSample();
    void missingFileCapturesNothing();
    void configurationValuesPickTheDevices();
};

void FileAudioTest::microphoneFileIsTimedToTheSample_data()
{
    QTest::addColumn<FileAudioInput::Ending>("ending");
    QTest::addColumn<QList<qint64>>("onsetFrames");
    // 600 frames with one loud sample at 300; 2048 frames (eight buffers) are captured.
    QTest::newRow("then silence") << FileAudioInput::Ending::Silence << QList<qint64> { 300 };
    QTest::newRow("looping") << FileAudioInput::Ending::Loop << QList<qint64> { 300, 900, 1500 };
}

void FileAudioTest::microphoneFileIsTimedToTheSample()
{
    QFETCH(FileAudioInput::Ending, ending);
    QFETCH(QList<qint64>, onsetFrames);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("voice.wav"));
    QList<qint16> samples(600, 0);
    samples[300] = -12000;
    QVERIFY(WavBytes::write(path, WavBytes::wav16(1, 44100, WavBytes::samples16(samples))));

    test::ManualClock clock;
    FileAudioInput input(path, clock, ending);
    ORVA_WaveInDevice capture(clock);
    QList<qint64> onsets;
    capture.setOnsetHandler([&](qint64 us) { onsets.append(us); });
    const qint64 startUs = clock.nowUs();
    QVERIFY(capture.startCapture(&input));
    clock.advanceMs(50); // 2205 frames: eight whole buffers
    QTRY_COMPARE(capture.recording().sampleCount(), 2048);
    QTest::qWait(30); // nothing more comes while the clock stands
    QCOMPARE(capture.recording().sampleCount(), 2048);

    QList<qint64> expected;
    for (qint64 frame : onsetFrames)
        expected.append(startUs + frame * 1'000'000 / 44100);
    QCOMPARE(onsets, expected);
    QCOMPARE(input.frameTimeUs(44100), std::optional<qint64>(startUs + 1'000'000));
    capture.stopCapture();
    QVERIFY(!input.isRunning());
    QVERIFY(!input.frameTimeUs(0));
}

void FileAudioTest::missingFileCapturesNothing()
{
    QTemporaryDir dir;
    test::ManualClock clock;
    FileAudioInput input(dir.filePath(QStringLiteral("absent.wav")), clock);
    ORVA_WaveInDevice capture(clock);
    QVERIFY(!capture.startCapture(&input));
    QVERIFY(!capture.isCapturing());
    QVERIFY(!input.isRunning());
}

void FileAudioTest::configurationValuesPickTheDevices()
{
    test::ManualClock clock;
    QCOMPARE(makeAudioInput(QStringLiteral(" file:/tmp/a b.wav "), clock)->description(),
             QStringLiteral("file /tmp/a b.wav"));
    QCOMPARE(makeAudioInput(QStringLiteral("file-loop:/tmp/x.wav"), clock)->description(),
             QStringLiteral("file /tmp/x.wav"));
    QVERIFY(!makeAudioInput(QStringLiteral("none"), clock));
    QVERIFY(!makeAudioInput(QStringLiteral("speakers"), clock));
    QCOMPARE(makeAudioOutput(QStringLiteral("file:/tmp/heard.wav"), clock)->description(),
             QStringLiteral("file /tmp/heard.wav"));
    QCOMPARE(makeAudioOutput(QStringLiteral("none"), clock)->description(), QStringLiteral("none"));
    QCOMPARE(makeAudioOutput(QStringLiteral("speakers"), clock)->description(),
             QStringLiteral("none")); // plays nothing rather than fail
}

QTEST_GUILESS_MAIN(FileAudioTest)
#include "FileAudioTest.moc"
