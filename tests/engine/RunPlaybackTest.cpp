// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioSession.h"
#include "audio/SoftwareMixer.h"
#include "audio/backends/FileAudio.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedRunOutput.h"
#include "support/StringTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace orva;
using namespace orva::test;

/// A pre-test on the demo installation's recordings, driven by simulated onsets on a manual clock,
/// played through the file output: what the client heard is a WAV file.
class RunPlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void preTestPlaysTheRealRecordingsThroughTheFileOutput();
};

void RunPlaybackTest::preTestPlaysTheRealRecordingsThroughTheFileOutput()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/de_de/Silben06/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    QTemporaryDir dir;
    const QString heard = dir.filePath(QStringLiteral("heard.wav"));
    ManualClock clock;
    AudioSession session(clock);
    auto fileOutput = std::make_unique<FileAudioOutput>(heard, clock);
    FileAudioOutput *output = fileOutput.get();
    session.setOutput(std::move(fileOutput));
    AudioSession::setCurrent(&session);

    ORVA_Experiment experiment;
    experiment.setBaseDirectory(demo);
    experiment.setLanguage(DE_DE, true, false);
    ScriptedRunOutput runOutput(clock);
    runOutput.playForReal = true;
    RecordingMessageBoxes boxes;
    RunController controller(experiment, runOutput, clock, boxes, StringTable::german());
    runOutput.onTimer = [&](int id) { controller.onTimer(id); };

    // The output renders on its own thread; before each play it must have caught up with the
    // manual clock, as a real device keeps up with real time.
    const auto advanceMs = [&](qint64 ms) {
        runOutput.advanceMs(ms);
        const qint64 due = (clock.nowUs() - *output->frameTimeUs(0)) * 44100 / 1'000'000;
        QTRY_VERIFY(session.mixer()->nextFrame() >= due);
    };
    controller.onStartPreTest();
    QVERIFY(session.startOutput().isOk());
    advanceMs(2250);
    QList<qint64> starts;
    for (int i = 0; i < 12; ++i) {
        const ORVA_Syllable *syllable = experiment.currentSyllable();
        QCOMPARE(runOutput.plays.last().wave, &syllable->recording);
        const std::optional<qint64> start = syllable->recording.playStartUs();
        QVERIFY(start);
        starts.append(*start);
        advanceMs(650);
        controller.onAudioInput(*start + 600'000);
        QCOMPARE(experiment.measurement(i).reactionTime, 600);
        advanceMs(runOutput.msUntil(WaitTimer));
    }
    QCOMPARE(controller.runState(), RunState::Finished);
    const qint64 firstFrameUs = *output->frameTimeUs(0);
    session.stopDevices();
    AudioSession::setCurrent(nullptr);

    QFile file(heard);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const Result<RiffWave> wave = parseRiffWave(bytes);
    QVERIFY(wave.ok());
    QCOMPARE(wave.value().format.channels, 2);
    const auto left = [&](qint64 frame) {
        return qFromLittleEndian<qint16>(wave.value().data.constData() + frame * 4);
    };
    // Each syllable's recording is in the file where its start time puts it.
    for (int i = 0; i < 12; ++i) {
        const ORVA_Wave &recording = experiment.syllableOfMeasurement(i)->recording;
        const qint64 at = (starts[i] - firstFrameUs) * 44100 / 1'000'000;
        bool found = false;
        for (qint64 frame = at - 1; frame <= at + 1 && !found; ++frame) {
            found = true;
            for (int k = 0; k < 200 && found; ++k)
                found = left(frame + k) == recording.getSample(k);
        }
        QVERIFY2(found, qPrintable(QStringLiteral("syllable %1 at frame %2").arg(i).arg(at)));
    }
}

QTEST_GUILESS_MAIN(RunPlaybackTest)
#include "RunPlaybackTest.moc"
