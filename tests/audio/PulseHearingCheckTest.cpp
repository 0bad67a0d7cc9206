// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulsePlayback.h"
#include "engine/AudioOutPlayback.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedRunOutput.h"
#include "records/StartupData.h"

#include <QTest>

#include <cmath>

using namespace orva;
using namespace orva::test;

namespace {

/// The window around the playback, which only keeps the hearing check's timer.
class TimerView final : public AudioOutPlayback::View
{
public:
    void storeComment() override { }
    void stateChanged() override { }
    void menuSettings() override { }
    void setTimer(int id, int ms) override
    {
        if (id == AudioOutPlayback::kHearingCheckTimer)
            periodMs = ms;
    }
    void stopTimer(int) override { }
    void showNotice(int) override { ++notices; }
    void openInstructionDialog() override { }
    void closeModelessDialog() override { }

    int periodMs = -1;
    int notices = 0;
};

double rms(const std::vector<qint16> &samples, qint64 from, qint64 to)
{
    double sum = 0;
    for (qint64 i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

} // namespace

/// The hearing check of the demo installation played on a PulseAudio server of the test's own;
/// what reached the headphones is recorded by parec from the sink's monitor.
class PulseHearingCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void toneMovesFromTheLeftEarToTheRight();
};

void PulseHearingCheckTest::toneMovesFromTheLeftEarToTheRight()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/Hoertest01.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    PulsePlayback sound(demo);
    if (!sound.skipReason().isEmpty())
        QSKIP(qPrintable(sound.skipReason()));
    QVERIFY(sound.session.startOutput().isOk());
    const SteadyClock &clock = sound.clock;
    ORVA_Experiment &experiment = sound.experiment;
    RunController &controller = sound.controller;
    RecordingMessageBoxes &boxes = sound.boxes;
    const StartupData &startup = sound.startup;
    TimerView view;
    AudioOutPlayback playback(startup, experiment, controller, clock, boxes, view);

    QTest::qWait(300); // some silence before the tone
    playback.onStartAuditionTest();
    QCOMPARE(view.notices, 2);
    QCOMPARE(controller.programState(), ProgramState::OtherAudio);
    QVERIFY(view.periodMs > 1000);
    // The main window's timer would end it now; the tone has left the output by then.
    QTest::qWait(view.periodMs + 300);
    playback.onAudioEnd();
    QCOMPARE(controller.programState(), ProgramState::Idle);
    QTest::qWait(200);
    sound.stop();
    QVERIFY(boxes.boxes.isEmpty());

    const std::vector<qint16> left = sound.ears.channel(0);
    const std::vector<qint16> right = sound.ears.channel(1);
    // The tone's extent: from the first to the last frame either ear hears.
    const auto [first, last] = audibleExtent({ left, right }, 300);
    QVERIFY2(first >= 0, "nothing reached the headphones");
    const qint64 frames = last - first + 1;
    qInfo("tone heard for %.3f s of a %d ms recording", frames / 44100.0, view.periodMs);
    QVERIFY(qAbs(frames * 1000 / 44100 - view.periodMs) < 100);
    const qint64 quarter = frames / 4;
    const double firstLeft = rms(left, first, first + quarter);
    const double firstRight = rms(right, first, first + quarter);
    const double lastLeft = rms(left, last + 1 - quarter, last + 1);
    const double lastRight = rms(right, last + 1 - quarter, last + 1);
    qInfo("first quarter: left %.0f, right %.0f; last quarter: left %.0f, right %.0f", firstLeft,
          firstRight, lastLeft, lastRight);
    QVERIFY(firstLeft > 3 * firstRight);
    QVERIFY(lastRight > 3 * lastLeft);
}

QTEST_GUILESS_MAIN(PulseHearingCheckTest)
#include "PulseHearingCheckTest.moc"
