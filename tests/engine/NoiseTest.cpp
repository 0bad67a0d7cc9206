// SPDX-License-Identifier: GPL-3.0-or-later
#include "../audio/WavBytes.h"
#include "audio/AudioSession.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedAudioOutput.h"
#include "fakes/ScriptedRunOutput.h"
#include "support/StringTable.h"

#include <QTest>

#include <cmath>

using namespace orva;
using namespace orva::test;

/// Background noise of a training run, heard through a scripted output device.
class NoiseTest : public QObject
{
    Q_OBJECT

private slots:
    void continuousNoiseFadesInOverHalfASecondAndStopsWithTheRun();
    void mixedNoiseIsLaidUnderFreshPlayCopies();
};

namespace {

struct TrainingRun
{
    TrainingRun()
    {
        auto device = std::make_unique<ScriptedAudioOutput>();
        output = device.get();
        session.setOutput(std::move(device));
        AudioSession::setCurrent(&session);
        experiment.setLanguage(DE_DE, false, false);
        experiment.createSyllableLists();
        for (ORVA_Syllable &syllable : experiment.trainStock()) {
            (void)syllable.recording.setFormat(44100, 16);
            syllable.recording.appendBlock(WavBytes::samples16(QList<qint16>(2000, 1000)));
        }
        for (ORVA_Wave &noise : experiment.noise()) {
            (void)noise.setFormat(44100, 16);
            noise.appendBlock(WavBytes::samples16(QList<qint16>(44100, 10000)));
        }
        runOutput.onTimer = [this](int id) { controller.onTimer(id); };
    }
    ~TrainingRun() { AudioSession::setCurrent(nullptr); }

    /// The left channel of the next rendered frame.
    int heard() { return output->render(1)[0]; }

    ManualClock clock;
    AudioSession session { clock };
    ScriptedAudioOutput *output = nullptr;
    ORVA_Experiment experiment;
    ScriptedRunOutput runOutput { clock };
    RecordingMessageBoxes boxes;
    RunController controller { experiment, runOutput, clock, boxes, StringTable::german() };
};

} // namespace

void NoiseTest::continuousNoiseFadesInOverHalfASecondAndStopsWithTheRun()
{
    TrainingRun t;
    ORVA_Proband &client = t.experiment.client();
    client.setNoiseOn(true);
    client.setNoiseContinuous(true);
    client.setNoiseLevel(-15);
    t.controller.onStartTraining();
    QCOMPARE(t.heard(), 0); // starts silent
    t.runOutput.advanceMs(250);
    QCOMPARE(t.heard(), int(std::lrint(10000 * std::pow(10.0, -58 / 20.0))));
    t.runOutput.advanceMs(251);
    QCOMPARE(t.heard(), int(std::lrint(10000 * std::pow(10.0, -15 / 20.0))));
    QVERIFY(!t.runOutput.isTimerRunning(NoiseFadeTimer));
    // The play copies stay clean with continuous noise.
    QCOMPARE(t.experiment.syllableOfMeasurement(0)->playCopy.getSample(1000), 1000);
    t.controller.onAbort();
    t.output->render(44100); // whatever was still playing
    QCOMPARE(t.heard(), 0);
}

void NoiseTest::mixedNoiseIsLaidUnderFreshPlayCopies()
{
    TrainingRun t;
    ORVA_Proband &client = t.experiment.client();
    client.setNoiseOn(true);
    client.setNoiseLevel(-15);
    t.controller.onStartTraining();
    const ORVA_Wave &copy = t.experiment.syllableOfMeasurement(0)->playCopy;
    const double gain = std::pow(10.0, -15 / 20.0);
    QCOMPARE(copy.getSample(1000), 1000 + int(std::trunc(10000 * gain * 1.0)));
    QCOMPARE(copy.getSample(0), 1000); // the ramp starts at nothing
    QCOMPARE(t.heard(), 0); // no continuous noise
    t.controller.onAbort();
    client.setNoiseOn(false);
    t.controller.onStartTraining(); // a second run rebuilds the copies without noise
    QCOMPARE(t.experiment.syllableOfMeasurement(0)->playCopy.getSample(1000), 1000);
}

QTEST_GUILESS_MAIN(NoiseTest)
#include "NoiseTest.moc"
