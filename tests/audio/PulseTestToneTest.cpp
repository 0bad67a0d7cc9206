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

/// The window around the playback; the wizard needs none of it here.
class QuietView final : public AudioOutPlayback::View
{
public:
    void storeComment() override { }
    void stateChanged() override { }
    void menuSettings() override { }
    void setTimer(int, int) override { }
    void stopTimer(int) override { }
    void showNotice(int) override { }
    void openInstructionDialog() override { }
    void closeModelessDialog() override { }
};

constexpr int kRate = 44100;

/// The amplitude of the `frequency` component of `samples[from, from + count)`, by the Goertzel
/// recurrence (one bin of a DFT of that length).
double
goertzelAmplitude(const std::vector<qint16> &samples, qint64 from, qint64 count, double frequency)
{
    const double omega = 2 * M_PI * frequency / kRate;
    const double coefficient = 2 * std::cos(omega);
    double previous = 0;
    double beforePrevious = 0;
    for (qint64 i = from; i < from + count; ++i) {
        const double current = samples[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious
        - coefficient * previous * beforePrevious;
    return 2 * std::sqrt(std::max(0.0, power)) / double(count);
}

double rms(const std::vector<qint16> &samples, qint64 from, qint64 count)
{
    double sum = 0;
    for (qint64 i = from; i < from + count; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(count));
}

/// Sign changes from negative to non-negative: one per period of a clean tone.
int upwardCrossings(const std::vector<qint16> &samples, qint64 from, qint64 count)
{
    int crossings = 0;
    for (qint64 i = from + 1; i < from + count; ++i)
        crossings += samples[i - 1] < 0 && samples[i] >= 0 ? 1 : 0;
    return crossings;
}

} // namespace

/// The wizard's Play on a PulseAudio server of the test's own: what reached the headphones is
/// recorded by parec from the sink's monitor and analysed here.
class PulseTestToneTest : public QObject
{
    Q_OBJECT

private slots:
    void playSounds500HzAndASecondPlayStartsItAgain();
};

void PulseTestToneTest::playSounds500HzAndASecondPlayStartsItAgain()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/500Hz.wav")))
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
    QuietView view;
    AudioOutPlayback playback(startup, experiment, controller, clock, boxes, view);

    // The demo's tone lasts 3 s. Played at 0 and again at 1 s, it sounds 4 s when the second
    // Play starts it from the beginning, 3 s when it does not.
    QTest::qWait(300);
    QVERIFY(playback.onStartAudioSetup());
    playback.playTestTone();
    QTest::qWait(1000);
    playback.playTestTone();
    QTest::qWait(3600);
    playback.onAudioEnd();
    QCOMPARE(controller.programState(), ProgramState::Idle);
    QTest::qWait(200);
    sound.stop();
    QVERIFY(boxes.boxes.isEmpty());

    const std::vector<qint16> left = sound.ears.channel(0);
    const auto [first, last] = audibleExtent({ left }, 300);
    QVERIFY2(first >= 0, "nothing reached the headphones");
    const double heardS = double(last - first + 1) / kRate;
    qInfo("tone heard for %.3f s", heardS);
    QVERIFY2(std::abs(heardS - 4.0) < 0.15, qPrintable(QString::number(heardS)));

    // Half-second windows across what was heard: the tone is 500 Hz and nothing much beside it.
    // A window that an underrun of the output cut (a loaded machine) is left out; most are whole.
    const qint64 window = kRate / 2;
    int windows = 0;
    int pure = 0;
    for (qint64 from = first + kRate / 8; from + window <= last - kRate / 8; from += window) {
        ++windows;
        const double total = rms(left, from, window) * std::sqrt(2.0);
        const double at500 = goertzelAmplitude(left, from, window, 500);
        const double at450 = goertzelAmplitude(left, from, window, 450);
        const double at1000 = goertzelAmplitude(left, from, window, 1000);
        const int crossings = upwardCrossings(left, from, window);
        qInfo("window at %.2f s: amplitude %.0f; at 500 Hz %.0f, 450 Hz %.1f, 1000 Hz %.1f; %d "
              "periods in 0.5 s",
              double(from - first) / kRate, total, at500, at450, at1000, crossings);
        if (at500 > 0.9 * total && at450 < 0.02 * at500 && at1000 < 0.02 * at500
            && std::abs(crossings - 250) <= 2)
            ++pure;
    }
    qInfo("%d of %d windows hold a pure 500 Hz tone", pure, windows);
    QVERIFY(windows >= 6);
    QVERIFY2(pure * 2 > windows, qPrintable(QStringLiteral("%1 of %2").arg(pure).arg(windows)));
}

QTEST_GUILESS_MAIN(PulseTestToneTest)
#include "PulseTestToneTest.moc"
