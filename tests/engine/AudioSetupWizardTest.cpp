// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/AudioSetupWizard.h"

#include <QStringList>
#include <QTest>

using namespace orva;

namespace {

using Mixer = AudioSetupWizard::Mixer;

QString name(Mixer mixer)
{
    switch (mixer) {
    case Mixer::Playback:
        return QStringLiteral("playback");
    case Mixer::Recording:
        return QStringLiteral("recording");
    case Mixer::None:
        break;
    }
    return QStringLiteral("none");
}

/// The program around the wizard: records every call in order and keeps which mixers run, as a
/// launcher of real processes would.
class RecordingOutput final : public AudioSetupWizard::Output
{
public:
    bool startMixer(Mixer mixer) override
    {
        calls << QStringLiteral("start ") + name(mixer);
        if (!mixersStart)
            return false;
        running << mixer;
        return true;
    }
    void endMixer(Mixer mixer) override
    {
        calls << QStringLiteral("end ") + name(mixer);
        running.removeOne(mixer);
    }
    void playTestTone() override { calls << QStringLiteral("tone"); }
    void stepShown(int index, const AudioSetupWizard::Step &step) override
    {
        calls << QStringLiteral("step %1").arg(index);
        shown = step;
    }

    QStringList calls;
    QList<Mixer> running;
    AudioSetupWizard::Step shown;
    bool mixersStart = true;
};

} // namespace

/// The wizard's steps, buttons and mixers, driven through its buttons.
class AudioSetupWizardTest : public QObject
{
    Q_OBJECT

private slots:
    void eachStepHasItsButtonsAndMixer_data();
    void eachStepHasItsButtonsAndMixer();
    void everyStepChangeEndsTheEarlierMixerFirst();
    void backFromRecordingToPlaybackSwapsTheMixers();
    void playRestartsTheToneAndThePlaybackMixerEachTime();
    void stepsStayWithinTheFirstAndTheLast();
    void finishEndsTheMixerAndCountsOnce();
    void aMixerThatWillNotStartLeavesTheWizardGoing();
    void closingWithoutFinishEndsTheMixerToo();
};

void AudioSetupWizardTest::eachStepHasItsButtonsAndMixer_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("textId");
    QTest::addColumn<QString>("buttons"); // Zurück, Weiter, Play, OK, Abbrechen as 1 and 0
    QTest::addColumn<QString>("mixer");
    QTest::addColumn<bool>("picture");
    QTest::newRow("0 introduction") << 0 << 223 << "01001"
                                    << "none" << false;
    QTest::newRow("1 sockets") << 1 << 275 << "11001"
                               << "none" << true;
    QTest::newRow("2 output") << 2 << 276 << "11001"
                              << "playback" << false;
    QTest::newRow("3 playback") << 3 << 277 << "11101"
                                << "playback" << false;
    QTest::newRow("4 recording") << 4 << 278 << "11001"
                                 << "recording" << false;
    QTest::newRow("5 microphone level") << 5 << 279 << "11001"
                                        << "playback" << false;
    QTest::newRow("6 end") << 6 << 280 << "10010"
                           << "none" << false;
}

void AudioSetupWizardTest::eachStepHasItsButtonsAndMixer()
{
    QFETCH(int, step);
    QFETCH(int, textId);
    QFETCH(QString, buttons);
    QFETCH(QString, mixer);
    QFETCH(bool, picture);
    RecordingOutput output;
    AudioSetupWizard wizard(output);
    wizard.start();
    for (int i = 0; i < step; ++i)
        wizard.next();
    QCOMPARE(wizard.step(), step);
    const AudioSetupWizard::Step &shown = output.shown;
    QCOMPARE(shown.textId, textId);
    const auto bit = [](bool on) { return on ? QLatin1Char('1') : QLatin1Char('0'); };
    const QString actual = QString() + bit(shown.back) + bit(shown.next) + bit(shown.play)
        + bit(shown.ok) + bit(shown.cancel);
    QCOMPARE(actual, buttons);
    QCOMPARE(name(wizard.mixer()), mixer);
    QCOMPARE(shown.picture, picture);
    // Exactly the step's mixer runs; none of the earlier steps' is left over.
    QCOMPARE(output.running.size(), mixer == QStringLiteral("none") ? 0 : 1);
}

void AudioSetupWizardTest::everyStepChangeEndsTheEarlierMixerFirst()
{
    RecordingOutput output;
    AudioSetupWizard wizard(output);
    wizard.start();
    for (int i = 0; i < 6; ++i)
        wizard.next();
    // The same playback mixer of steps 2 and 3 is still started anew.
    const QStringList expected = {
        "step 0",         "step 1",         "start playback", "step 2",          "end playback",
        "start playback", "step 3",         "end playback",   "start recording", "step 4",
        "end recording",  "start playback", "step 5",         "end playback",    "step 6",
    };
    QCOMPARE(output.calls, expected);
    QVERIFY(output.running.isEmpty());
}

void AudioSetupWizardTest::backFromRecordingToPlaybackSwapsTheMixers()
{
    RecordingOutput output;
    AudioSetupWizard wizard(output);
    wizard.start();
    for (int i = 0; i < 4; ++i)
        wizard.next();
    QCOMPARE(output.running, QList<Mixer> { Mixer::Recording });
    output.calls.clear();
    wizard.back();
    QCOMPARE(wizard.step(), 3);
    QCOMPARE(output.calls, QStringList({ "end recording", "start playback", "step 3" }));
    QCOMPARE(output.running, QList<Mixer> { Mixer::Playback });
    QVERIFY(output.shown.play);
}

void AudioSetupWizardTest::playRestartsTheToneAndThePlaybackMixerEachTime()
{
    RecordingOutput output;
    AudioSetupWizard wizard(output);
    wizard.start();
    for (int i = 0; i < 3; ++i)
        wizard.next();
    output.calls.clear();
    wizard.play();
    wizard.play();
    QCOMPARE(output.calls,
             QStringList({ "tone", "end playback", "start playback", "tone", "end playback",
                           "start playback" }));
    QCOMPARE(output.running, QList<Mixer> { Mixer::Playback });
}

void AudioSetupWizardTest::stepsStayWithinTheFirstAndTheLast()
{
    RecordingOutput output;
    AudioSetupWizard wizard(output);
    wizard.start();
    wizard.back();
    QCOMPARE(wizard.step(), 0);
    for (int i = 0; i < 10; ++i)
        wizard.next();
    QCOMPARE(wizard.step(), AudioSetupWizard::lastStep());
    QCOMPARE(AudioSetupWizard::lastStep(), 6);
    QCOMPARE(output.shown.textId, 280);
}

void AudioSetupWizardTest::finishEndsTheMixerAndCountsOnce()
{
    RecordingOutput output;
    AudioSetupWizard wizard(output);
    wizard.start();
    for (int i = 0; i < 4; ++i)
        wizard.next();
    output.calls.clear();
    QVERIFY(wizard.finish());
    QCOMPARE(output.calls, QStringList { "end recording" });
    QVERIFY(output.running.isEmpty());
    QVERIFY(wizard.hasEnded());
    // A second way of closing (the close button after Abbrechen) counts no more, and the
    // buttons do nothing once it has ended.
    QVERIFY(!wizard.finish());
    wizard.next();
    wizard.play();
    QCOMPARE(output.calls, QStringList { "end recording" });
}

void AudioSetupWizardTest::aMixerThatWillNotStartLeavesTheWizardGoing()
{
    RecordingOutput output;
    output.mixersStart = false;
    AudioSetupWizard wizard(output);
    wizard.start();
    wizard.next();
    wizard.next();
    QCOMPARE(wizard.step(), 2);
    QCOMPARE(wizard.mixer(), Mixer::None);
    wizard.next();
    // Nothing was started, so nothing is ended; the step is shown all the same.
    QVERIFY(!output.calls.contains(QStringLiteral("end playback")));
    QCOMPARE(output.calls.last(), QStringLiteral("step 3"));
}

void AudioSetupWizardTest::closingWithoutFinishEndsTheMixerToo()
{
    RecordingOutput output;
    {
        AudioSetupWizard wizard(output);
        wizard.start();
        wizard.next();
        wizard.next();
        QCOMPARE(output.running, QList<Mixer> { Mixer::Playback });
    }
    QVERIFY(output.running.isEmpty());
}

QTEST_GUILESS_MAIN(AudioSetupWizardTest)
#include "AudioSetupWizardTest.moc"
