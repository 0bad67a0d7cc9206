// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/AudioOutPlayback.h"

#include "../audio/WavBytes.h"
#include "audio/AudioSession.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedAudioOutput.h"
#include "fakes/ScriptedRunOutput.h"
#include "records/StartupData.h"
#include "support/ErrorReport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace orva;
using namespace orva::test;

namespace {

/// The window around the playback: records what it was asked to do, in order.
class RecordingView final : public AudioOutPlayback::View
{
public:
    void storeComment() override { calls << QStringLiteral("comment"); }
    void stateChanged() override { calls << QStringLiteral("state"); }
    void menuSettings() override { calls << QStringLiteral("menus"); }
    void setTimer(int id, int ms) override
    {
        calls << QStringLiteral("timer %1 %2").arg(id).arg(ms);
    }
    void stopTimer(int id) override { calls << QStringLiteral("stop timer %1").arg(id); }
    void showNotice(int textId) override
    {
        calls << QStringLiteral("notice %1").arg(textId);
        boxesAtNotice << boxes->boxes.size();
    }
    void openInstructionDialog() override { calls << QStringLiteral("dialog"); }
    void closeModelessDialog() override { calls << QStringLiteral("close dialog"); }

    QStringList calls;
    const RecordingMessageBoxes *boxes = nullptr;
    QList<qsizetype> boxesAtNotice; ///< how many boxes had been shown when each notice came
};

constexpr int kFrameRate = 44100;

} // namespace

/// The instruction and the hearing check on recordings written here, on a manual clock, with the
/// program state in a real run controller.
class AudioOutPlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ageDecidesTheRecording_data();
    void ageDecidesTheRecording();
    void instructionOfTheClientsAgeIsLoaded_data();
    void instructionOfTheClientsAgeIsLoaded();
    void instructionHoldsStateEightUntilItsEnd();
    void progressCountsMillisecondsAndStaysWithinTheBar();
    void hearingCheckShowsTwoNoticesAndEndsByItsTimer();
    void missingOrDamagedRecordingLeavesTheProgramIdle_data();
    void missingOrDamagedRecordingLeavesTheProgramIdle();
    void nothingStartsDuringARunOrAnotherPlayback_data();
    void nothingStartsDuringARunOrAnotherPlayback();
    void endingEarlySilencesTheOutputAtOnce();
    void testToneIsReadOncePerOpeningAndStartsAgainAtEachPlay();
    void missingTestToneIsReportedOnceAndTheWizardGoesOn();

private:
    QString media(const QString &relative) const
    {
        return m_dir->filePath(QStringLiteral("media/") + relative);
    }
    /// A mono tone of `ms` milliseconds at `path` below media/.
    void writeTone(const QString &relative, int ms, double frequency = 1000)
    {
        QVERIFY(WavBytes::write(media(relative),
                                WavBytes::sine(kFrameRate * ms / 1000, frequency, 12000)));
    }
    ProgramState state() const { return m_controller->programState(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    ManualClock m_clock;
    RecordingMessageBoxes m_boxes;
    MessageBoxes *m_previousErrorBoxes = nullptr;
    StartupData m_startup;
    ORVA_Experiment m_experiment;
    std::unique_ptr<ScriptedRunOutput> m_runOutput;
    std::unique_ptr<RunController> m_controller;
    RecordingView m_view;
    std::unique_ptr<AudioOutPlayback> m_playback;
};

void AudioOutPlaybackTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("media/de_de")));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("media/en_uk")));
    writeTone(QStringLiteral("de_de/child_in.wav"), 600);
    writeTone(QStringLiteral("de_de/adult_in.wav"), 900);
    writeTone(QStringLiteral("Hoertest01.wav"), 1500);
    m_startup = StartupData();
    m_startup.baseDirectory = m_dir->path();
    m_startup.uiLanguage = DE_DE;
    m_experiment.client() = ORVA_Proband();
    m_boxes.boxes.clear();
    m_previousErrorBoxes = setErrorBoxes(&m_boxes);
    m_runOutput = std::make_unique<ScriptedRunOutput>(m_clock);
    m_controller = std::make_unique<RunController>(m_experiment, *m_runOutput, m_clock, m_boxes,
                                                   m_startup.strings);
    m_view = RecordingView();
    m_view.boxes = &m_boxes;
    m_playback = std::make_unique<AudioOutPlayback>(m_startup, m_experiment, *m_controller, m_clock,
                                                    m_boxes, m_view);
}

void AudioOutPlaybackTest::cleanup()
{
    m_playback.reset();
    m_controller.reset();
    setErrorBoxes(m_previousErrorBoxes);
}

void AudioOutPlaybackTest::ageDecidesTheRecording_data()
{
    QTest::addColumn<ORVA_Date>("birthday");
    QTest::addColumn<ORVA_Date>("runDate");
    QTest::addColumn<int>("age"); ///< -1: not known
    QTest::addColumn<bool>("adult");
    QTest::newRow("a day before the 15th birthday")
        << ORVA_Date(15, 6, 2000) << ORVA_Date(14, 6, 2015) << 14 << false;
    QTest::newRow("on the 15th birthday")
        << ORVA_Date(15, 6, 2000) << ORVA_Date(15, 6, 2015) << 15 << true;
    QTest::newRow("a month before, on a later day")
        << ORVA_Date(15, 6, 2000) << ORVA_Date(20, 5, 2015) << 14 << false;
    QTest::newRow("born on 29 February, on 28 February")
        << ORVA_Date(29, 2, 2000) << ORVA_Date(28, 2, 2015) << 14 << false;
    QTest::newRow("born on 29 February, on 1 March")
        << ORVA_Date(29, 2, 2000) << ORVA_Date(1, 3, 2015) << 15 << true;
    QTest::newRow("born on 29 February, on 29 February")
        << ORVA_Date(29, 2, 2000) << ORVA_Date(29, 2, 2016) << 16 << true;
    QTest::newRow("no birthday entered (0.0.1990)")
        << ORVA_Date() << ORVA_Date(10, 12, 2026) << -1 << false;
    QTest::newRow("29 February of a common year")
        << ORVA_Date(29, 2, 2001) << ORVA_Date(10, 12, 2026) << -1 << false;
    QTest::newRow("31 April") << ORVA_Date(31, 4, 1980) << ORVA_Date(10, 12, 2026) << -1 << false;
    QTest::newRow("born after the run date")
        << ORVA_Date(1, 1, 2030) << ORVA_Date(10, 12, 2026) << -1 << false;
    QTest::newRow("run date not a day")
        << ORVA_Date(1, 1, 1980) << ORVA_Date(0, 0, 2026) << -1 << false;
    QTest::newRow("born on the run date")
        << ORVA_Date(10, 12, 2026) << ORVA_Date(10, 12, 2026) << 0 << false;
}

void AudioOutPlaybackTest::ageDecidesTheRecording()
{
    QFETCH(ORVA_Date, birthday);
    QFETCH(ORVA_Date, runDate);
    QFETCH(int, age);
    QFETCH(bool, adult);
    QCOMPARE(AudioOutPlayback::ageInYears(birthday, runDate).value_or(-1), age);
    QCOMPARE(AudioOutPlayback::hearsAdultInstruction(birthday, runDate), adult);
}

void AudioOutPlaybackTest::instructionOfTheClientsAgeIsLoaded_data()
{
    QTest::addColumn<ORVA_Date>("birthday");
    QTest::addColumn<int>("durationMs"); ///< the child's recording is 600 ms, the adult's 900
    QTest::newRow("14 years") << ORVA_Date(15, 6, 2000) << 600;
    QTest::newRow("15 years") << ORVA_Date(14, 6, 2000) << 900;
    QTest::newRow("no birthday") << ORVA_Date() << 600;
}

void AudioOutPlaybackTest::instructionOfTheClientsAgeIsLoaded()
{
    QFETCH(ORVA_Date, birthday);
    QFETCH(int, durationMs);
    m_experiment.client().birthday() = birthday;
    m_experiment.client().runDate() = ORVA_Date(14, 6, 2015, 10, 30);
    m_playback->onStartInstruction();
    QVERIFY(m_playback->wave());
    QCOMPARE(m_playback->durationMs(), durationMs);

    // The folder is the user interface's language, not the syllables'.
    m_playback->onAudioEnd();
    m_startup.uiLanguage = EN_UK;
    QCOMPARE(AudioOutPlayback::instructionPath(m_startup.baseDirectory, EN_UK, false),
             media(QStringLiteral("en_uk/child_in.wav")));
    m_boxes.boxes.clear();
    m_playback->onStartInstruction();
    QVERIFY(!m_playback->wave()); // en_uk has no recordings here
    QCOMPARE(m_boxes.boxes.last().text, m_startup.strings.text(149));
}

void AudioOutPlaybackTest::instructionHoldsStateEightUntilItsEnd()
{
    m_experiment.client().birthday() = ORVA_Date(15, 6, 2000);
    m_experiment.client().runDate() = ORVA_Date(14, 6, 2015);
    m_controller->setProgramState(ProgramState::ExpCompleted);
    m_controller->setStateText(QStringLiteral("Durchgang beendet"));
    m_playback->onStartInstruction();
    QCOMPARE(state(), ProgramState::OtherAudio);
    QCOMPARE(m_view.calls,
             (QStringList { QStringLiteral("comment"), QStringLiteral("dialog"),
                            QStringLiteral("state") }));
    QVERIFY(m_controller->stateText().isEmpty());
    QVERIFY(m_boxes.boxes.isEmpty());

    // It does not end by itself.
    m_clock.advanceMs(5000);
    QCOMPARE(state(), ProgramState::OtherAudio);
    QVERIFY(m_playback->wave());

    m_view.calls.clear();
    m_playback->onAudioEnd();
    QCOMPARE(state(), ProgramState::Idle);
    QVERIFY(!m_playback->wave());
    QCOMPARE(m_view.calls,
             (QStringList { QStringLiteral("stop timer 1154"), QStringLiteral("menus"),
                            QStringLiteral("close dialog") }));
    // A second end changes nothing more.
    m_view.calls.clear();
    m_playback->onAudioEnd();
    QCOMPARE(m_view.calls, QStringList { QStringLiteral("close dialog") });
    QCOMPARE(state(), ProgramState::Idle);
}

void AudioOutPlaybackTest::progressCountsMillisecondsAndStaysWithinTheBar()
{
    // A recording shorter than a second: whole seconds would make its length 0.
    m_clock.setUs(7'000'000);
    m_playback->onStartInstruction();
    QCOMPARE(m_playback->durationMs(), 600);
    QCOMPARE(m_playback->progressFraction(), 0.0);
    m_clock.advanceMs(300);
    QCOMPARE(m_playback->progressFraction(), 0.5);
    m_clock.advanceMs(150);
    QCOMPARE(m_playback->progressFraction(), 0.75);
    m_clock.advanceMs(150);
    QCOMPARE(m_playback->progressFraction(), 1.0);
    m_clock.advanceMs(4000);
    QCOMPARE(m_playback->progressFraction(), 1.0);
    QCOMPARE(m_playback->progressFraction(6'000'000), 0.0); // a clock read before the start
    m_playback->onAudioEnd();

    // A 1.5 s recording is half played after 750 ms, not after 500 ms (1.5 s truncated to 1 s).
    writeTone(QStringLiteral("de_de/child_in.wav"), 1500);
    m_playback->onStartInstruction();
    m_clock.advanceMs(750);
    QCOMPARE(m_playback->progressFraction(), 0.5);
    m_clock.advanceMs(749);
    QVERIFY(m_playback->progressFraction() < 1.0);
}

void AudioOutPlaybackTest::hearingCheckShowsTwoNoticesAndEndsByItsTimer()
{
    m_playback->onStartAuditionTest();
    QCOMPARE(m_view.calls,
             (QStringList { QStringLiteral("notice 145"), QStringLiteral("notice 207"),
                            QStringLiteral("timer 1154 1500"), QStringLiteral("state") }));
    QCOMPARE(state(), ProgramState::OtherAudio);
    QVERIFY(m_playback->wave());
    // The main window's timer comes back as the end of the audio.
    m_playback->onAudioEnd();
    QCOMPARE(state(), ProgramState::Idle);
    QVERIFY(!m_playback->wave());
    QVERIFY(m_boxes.boxes.isEmpty());
}

void AudioOutPlaybackTest::missingOrDamagedRecordingLeavesTheProgramIdle_data()
{
    QTest::addColumn<bool>("hearingCheck");
    QTest::addColumn<QByteArray>("bytes"); ///< the file's content; empty: no file
    QTest::addColumn<QString>("loaderMessage");
    QTest::addColumn<int>("missingText");
    const QByteArray damaged = QByteArray("RIFF") + WavBytes::u32(4) + "WAVX";
    QTest::newRow("instruction missing")
        << false << QByteArray() << QStringLiteral("Load WAV-File: Couldnt create file handle")
        << 149;
    QTest::newRow("instruction damaged") << false << damaged << QStringLiteral("Wave::Load") << 149;
    QTest::newRow("hearing check missing")
        << true << QByteArray() << QStringLiteral("Load WAV-File: Couldnt create file handle")
        << 148;
    QTest::newRow("hearing check damaged")
        << true << damaged << QStringLiteral("Wave::Load") << 148;
}

void AudioOutPlaybackTest::missingOrDamagedRecordingLeavesTheProgramIdle()
{
    QFETCH(bool, hearingCheck);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, loaderMessage);
    QFETCH(int, missingText);
    const QString path = hearingCheck ? media(QStringLiteral("Hoertest01.wav"))
                                      : media(QStringLiteral("de_de/child_in.wav"));
    QVERIFY(QFile::remove(path));
    if (!bytes.isEmpty())
        QVERIFY(WavBytes::write(path, bytes));
    m_controller->setProgramState(ProgramState::DataLoaded);

    if (hearingCheck)
        m_playback->onStartAuditionTest();
    else
        m_playback->onStartInstruction();

    // The loader's own message first, naming the file, then the playback's.
    QVERIFY(m_boxes.boxes.size() >= 2);
    QVERIFY2(m_boxes.boxes.first().text.startsWith(loaderMessage),
             qPrintable(m_boxes.boxes.first().text));
    QVERIFY(m_boxes.boxes.first().text.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(m_boxes.boxes.last().title, m_startup.strings.text(110));
    QCOMPARE(m_boxes.boxes.last().text, m_startup.strings.text(missingText));
    QCOMPARE(m_boxes.boxes.last().icon, MessageIcon::Error);
    if (hearingCheck)
        QCOMPARE(m_view.boxesAtNotice, (QList<qsizetype> { 0, 0 })); // both notices came first
    // Usable again: idle, no wave, no dialog, no timer; the menus follow.
    QCOMPARE(state(), ProgramState::Idle);
    QVERIFY(!m_playback->wave());
    QCOMPARE(m_view.calls.last(), QStringLiteral("state"));
    QVERIFY(!m_view.calls.contains(QStringLiteral("dialog")));
    QVERIFY(!m_view.calls.join(u' ').contains(QStringLiteral("timer 1154")));
    QVERIFY(mayStartRun(state()));

    // With the file back the next attempt plays.
    writeTone(hearingCheck ? QStringLiteral("Hoertest01.wav")
                           : QStringLiteral("de_de/child_in.wav"),
              600);
    m_boxes.boxes.clear();
    if (hearingCheck)
        m_playback->onStartAuditionTest();
    else
        m_playback->onStartInstruction();
    QVERIFY(m_boxes.boxes.isEmpty());
    QCOMPARE(state(), ProgramState::OtherAudio);
}

void AudioOutPlaybackTest::nothingStartsDuringARunOrAnotherPlayback_data()
{
    QTest::addColumn<int>("busy");
    for (ProgramState busy : { ProgramState::ExpRunning, ProgramState::WaitForAudio,
                               ProgramState::WaitForKey, ProgramState::Delay, ProgramState::StopExp,
                               ProgramState::OtherAudio, ProgramState::TestAudio })
        QTest::newRow(qPrintable(QString::number(int(busy)))) << int(busy);
}

void AudioOutPlaybackTest::nothingStartsDuringARunOrAnotherPlayback()
{
    QFETCH(int, busy);
    m_controller->setProgramState(ProgramState(busy));
    m_controller->setStateText(QStringLiteral("3"));
    m_playback->onStartInstruction();
    m_playback->onStartAuditionTest();
    QVERIFY(!m_playback->onStartAudioSetup());
    QVERIFY(m_view.calls.isEmpty()); // no notice, no comment taken, no dialog
    QVERIFY(m_boxes.boxes.isEmpty());
    QVERIFY(!m_playback->wave());
    QCOMPARE(int(state()), busy);
    QCOMPARE(m_controller->stateText(), QStringLiteral("3"));
}

void AudioOutPlaybackTest::endingEarlySilencesTheOutputAtOnce()
{
    AudioSession session(m_clock);
    auto scripted = std::make_unique<ScriptedAudioOutput>();
    ScriptedAudioOutput *output = scripted.get();
    session.setOutput(std::move(scripted));
    AudioSession *previous = AudioSession::setCurrent(&session);
    QVERIFY(session.startOutput().isOk());

    const auto peak = [](const std::vector<qint16> &samples) {
        int result = 0;
        for (qint16 sample : samples)
            result = std::max(result, std::abs(int(sample)));
        return result;
    };
    m_playback->onStartInstruction();
    // The first 100 ms carry the tone (written at 12,000) ...
    QVERIFY(peak(output->render(kFrameRate / 10)) > 6000);
    // ... and the frames after the end, 500 ms before the recording's own end, carry nothing.
    m_playback->onAudioEnd();
    QCOMPARE(peak(output->render(kFrameRate / 10)), 0);

    m_playback.reset();
    session.stopDevices();
    AudioSession::setCurrent(previous);
}

void AudioOutPlaybackTest::testToneIsReadOncePerOpeningAndStartsAgainAtEachPlay()
{
    AudioSession session(m_clock);
    auto scripted = std::make_unique<ScriptedAudioOutput>();
    ScriptedAudioOutput *output = scripted.get();
    session.setOutput(std::move(scripted));
    AudioSession *previous = AudioSession::setCurrent(&session);
    QVERIFY(session.startOutput().isOk());

    writeTone(QStringLiteral("500Hz.wav"), 400, 500);
    QVERIFY(m_playback->onStartAudioSetup());
    QCOMPARE(state(), ProgramState::TestAudio);
    m_playback->playTestTone();
    const std::vector<qint16> first = output->render(kFrameRate / 20);
    (void)output->render(kFrameRate / 10); // well into the tone
    // Read once: the file may go, the second Play still sounds, from the tone's start.
    QVERIFY(QFile::remove(media(QStringLiteral("500Hz.wav"))));
    m_playback->playTestTone();
    const std::vector<qint16> again = output->render(kFrameRate / 20);
    QVERIFY(std::any_of(first.begin(), first.end(), [](qint16 s) { return std::abs(s) > 6000; }));
    QVERIFY(first == again);
    QVERIFY(m_boxes.boxes.isEmpty());

    m_playback->onAudioEnd();
    QCOMPARE(state(), ProgramState::Idle);
    QVERIFY(!m_playback->wave());
    // With the wizard gone, Play has nothing to play through.
    m_playback->playTestTone();
    QVERIFY(!m_playback->wave());

    m_playback.reset();
    session.stopDevices();
    AudioSession::setCurrent(previous);
}

void AudioOutPlaybackTest::missingTestToneIsReportedOnceAndTheWizardGoesOn()
{
    QVERIFY(m_playback->onStartAudioSetup());
    m_playback->playTestTone();
    const qsizetype reported = m_boxes.boxes.size();
    QVERIFY(reported > 0); // the loader's own messages
    m_playback->playTestTone();
    QCOMPARE(m_boxes.boxes.size(), reported);
    QCOMPARE(state(), ProgramState::TestAudio);
    m_playback->onAudioEnd();
    QCOMPARE(state(), ProgramState::Idle);
}

QTEST_GUILESS_MAIN(AudioOutPlaybackTest)
#include "AudioOutPlaybackTest.moc"
