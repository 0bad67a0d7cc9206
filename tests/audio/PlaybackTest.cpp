// SPDX-License-Identifier: GPL-3.0-or-later
#include "WavBytes.h"
#include "audio/AudioSession.h"
#include "audio/CDirectSound.h"
#include "audio/ORVA_Wave.h"
#include "audio/SoftwareMixer.h"
#include "fakes/ManualClock.h"
#include "fakes/ScriptedAudioOutput.h"

#include <QTest>

#include <cmath>

using namespace orva;
using orva::test::WavBytes;

class PlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void mixerConvertsFormats_data();
    void mixerConvertsFormats();
    void mixerSumsVoicesAndClips();
    void mixerPlaysSilenceWhenNothingPlays();
    void loopingVoiceStartsAgain();
    void waveStartsAtTheNextRenderedFrameAndKnowsWhen();
    void voiceStartedForAFrameAheadBeginsExactlyThere_data();
    void voiceStartedForAFrameAheadBeginsExactlyThere();
    void voiceAskedForAFrameAlreadyRenderedStartsWithTheNext();
    void waveAskedForATimeLeavesAtThatTimeOnTheDevicesOwnRate_data();
    void waveAskedForATimeLeavesAtThatTimeOnTheDevicesOwnRate();
    void volumeInDecibelsSetsTheGain_data();
    void volumeInDecibelsSetsTheGain();
    void positiveVolumeChangesNothing();
    void deviceTakenIsTriedTenTimesHalfASecondApart();
    void copiedWaveGetsAnIdlePlayer();
    void underrunsOfTheOutputCountAsGlitchesThatNeverGoBack();

private:
    ORVA_Wave wave(const QList<qint16> &samples, quint32 rate = 44100)
    {
        ORVA_Wave result;
        (void)result.setFormat(rate == 44100 ? 44100 : 22050, 16);
        result.appendBlock(WavBytes::samples16(samples));
        return result;
    }

    test::ManualClock m_clock;
    std::unique_ptr<AudioSession> m_session;
    test::ScriptedAudioOutput *m_output = nullptr;
    QList<int> m_waits;
};

void PlaybackTest::init()
{
    m_session = std::make_unique<AudioSession>(m_clock);
    auto output = std::make_unique<test::ScriptedAudioOutput>();
    m_output = output.get();
    m_session->setOutput(std::move(output));
    m_waits.clear();
    m_session->setRetryWait([this](int ms) { m_waits.append(ms); });
    AudioSession::setCurrent(m_session.get());
    CDirectSound drop; // a new player drops the shared device, so each test opens its own
}

void PlaybackTest::cleanup()
{
    AudioSession::setCurrent(nullptr);
    m_session.reset();
}

void PlaybackTest::mixerConvertsFormats_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("stereo");
    QTest::newRow("16-bit mono") << 1 << 44100 << 16 << WavBytes::samples16({ 100, -200 })
                                 << QList<int>({ 100, 100, -200, -200 });
    QTest::newRow("16-bit stereo")
        << 2 << 44100 << 16 << WavBytes::samples16({ 1, 2, 3, 4 }) << QList<int>({ 1, 2, 3, 4 });
    QTest::newRow("8-bit mono") << 1 << 44100 << 8 << QByteArray("\x80\xc8", 2)
                                << QList<int>({ 0, 0, 18432, 18432 });
    QTest::newRow("22,050 Hz doubled") << 1 << 22050 << 16 << WavBytes::samples16({ 0, 1000 })
                                       << QList<int>({ 0, 0, 500, 500, 1000, 1000 });
}

void PlaybackTest::mixerConvertsFormats()
{
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, stereo);
    WaveFormat format;
    format.channels = channels;
    format.sampleRate = rate;
    format.bitsPerSample = bits;
    format.blockAlign = channels * bits / 8;
    format.bytesPerSecond = format.blockAlign * rate;
    const auto converted = SoftwareMixer::convert(format, bytes.constData(), bytes.size());
    QVERIFY(converted);
    QList<int> first;
    for (std::size_t i = 0; i < std::min<std::size_t>(converted->size(), stereo.size()); ++i)
        first.append((*converted)[i]);
    QCOMPARE(first, stereo);
    format.bitsPerSample = 24;
    QVERIFY(!SoftwareMixer::convert(format, bytes.constData(), bytes.size()));
}

void PlaybackTest::mixerSumsVoicesAndClips()
{
    SoftwareMixer mixer;
    WaveFormat format { 1, 1, 44100, 88200, 2, 16 };
    const QByteArray loud = WavBytes::samples16({ 30000, 30000, -30000 });
    const QByteArray soft = WavBytes::samples16({ 1000, 6000, -6000 });
    const auto a = mixer.addVoice(format, loud.constData(), loud.size());
    const auto b = mixer.addVoice(format, soft.constData(), soft.size());
    mixer.startVoice(a, 0, false);
    mixer.startVoice(b, 0, false);
    mixer.setVoiceGain(b, 0.5);
    std::vector<qint16> out(8);
    mixer.render(out.data(), 4);
    QCOMPARE(out[0], qint16(30500));
    QCOMPARE(out[2], qint16(32767)); // clipped
    QCOMPARE(out[4], qint16(-32768));
    QCOMPARE(out[6], qint16(0)); // both ended
    QVERIFY(!mixer.isVoicePlaying(a));
}

void PlaybackTest::mixerPlaysSilenceWhenNothingPlays()
{
    SoftwareMixer mixer;
    std::vector<qint16> out(20, 7);
    mixer.render(out.data(), 10);
    QCOMPARE(out, std::vector<qint16>(20, 0));
    QCOMPARE(mixer.nextFrame(), 10);
}

void PlaybackTest::loopingVoiceStartsAgain()
{
    SoftwareMixer mixer;
    WaveFormat format { 1, 1, 44100, 88200, 2, 16 };
    const QByteArray data = WavBytes::samples16({ 1, 2, 3 });
    const auto voice = mixer.addVoice(format, data.constData(), data.size());
    mixer.startVoice(voice, 0, true);
    std::vector<qint16> out(14);
    mixer.render(out.data(), 7);
    QList<int> left;
    for (int i = 0; i < 7; ++i)
        left.append(out[2 * i]);
    QCOMPARE(left, QList<int>({ 1, 2, 3, 1, 2, 3, 1 }));
    mixer.stopVoice(voice);
    mixer.render(out.data(), 1);
    QCOMPARE(out[0], qint16(0));
}

void PlaybackTest::waveStartsAtTheNextRenderedFrameAndKnowsWhen()
{
    ORVA_Wave syllable = wave({ 1000, 2000, 3000 });
    m_output->render(0);
    QVERIFY(syllable.play(false, false));
    m_output->render(100); // the first wave started with frame 0
    ORVA_Wave second = wave({ 500 });
    QVERIFY(second.play(false, false));
    // The second wave starts with frame 100, which leaves the output 100 / 44.1 ms after the start.
    QCOMPARE(second.playStartUs(),
             std::optional<qint64>(m_output->startUs + 100 * 1'000'000 / 44100));
    QCOMPARE(syllable.playStartUs(), std::optional<qint64>(m_output->startUs));
    const std::vector<qint16> out = m_output->render(2);
    QCOMPARE(out[0], qint16(500));
}

void PlaybackTest::voiceStartedForAFrameAheadBeginsExactlyThere_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<qint64>("startFrame");
    QTest::newRow("inside the first block") << 256 << qint64(10);
    QTest::newRow("on a block boundary") << 256 << qint64(512);
    QTest::newRow("blocks later, mid-block") << 256 << qint64(1000);
    QTest::newRow("one frame per block") << 1 << qint64(7);
}

void PlaybackTest::voiceStartedForAFrameAheadBeginsExactlyThere()
{
    QFETCH(int, block);
    QFETCH(qint64, startFrame);
    SoftwareMixer mixer;
    WaveFormat format { 1, 1, 44100, 88200, 2, 16 };
    const QByteArray data = WavBytes::samples16({ 100, 200, 300 });
    const auto voice = mixer.addVoice(format, data.constData(), data.size());
    QCOMPARE(mixer.startVoiceAt(voice, 0, false, startFrame), std::optional<qint64>(startFrame));
    QVERIFY(mixer.isVoicePlaying(voice)); // waiting for its frame counts as playing
    std::vector<qint16> left;
    std::vector<qint16> out(2 * block);
    while (qint64(left.size()) < startFrame + 4 + block) {
        mixer.render(out.data(), block);
        for (int i = 0; i < block; ++i)
            left.push_back(out[2 * i]);
    }
    for (qint64 f = 0; f < startFrame; ++f)
        QCOMPARE(left[f], qint16(0));
    QCOMPARE(left[startFrame], qint16(100));
    QCOMPARE(left[startFrame + 1], qint16(200));
    QCOMPARE(left[startFrame + 2], qint16(300));
    QCOMPARE(left[startFrame + 3], qint16(0));
    QVERIFY(!mixer.isVoicePlaying(voice));
}

void PlaybackTest::voiceAskedForAFrameAlreadyRenderedStartsWithTheNext()
{
    SoftwareMixer mixer;
    WaveFormat format { 1, 1, 44100, 88200, 2, 16 };
    const QByteArray data = WavBytes::samples16({ 100 });
    const auto voice = mixer.addVoice(format, data.constData(), data.size());
    std::vector<qint16> out(2 * 500);
    mixer.render(out.data(), 500);
    QCOMPARE(mixer.startVoiceAt(voice, 0, false, 100), std::optional<qint64>(500));
    QCOMPARE(mixer.voiceStartFrame(voice), std::optional<qint64>(500));
    mixer.render(out.data(), 1);
    QCOMPARE(out[0], qint16(100));
}

void PlaybackTest::waveAskedForATimeLeavesAtThatTimeOnTheDevicesOwnRate_data()
{
    QTest::addColumn<double>("ppm");
    QTest::addColumn<qint64>("aheadUs");
    QTest::newRow("nominal rate, 150 ms ahead") << 0.0 << qint64(150'000);
    QTest::newRow("slow crystal, 2 s ahead") << 400.0 << qint64(2'000'000);
    QTest::newRow("fast crystal, 10 s ahead") << -700.0 << qint64(10'000'000);
}

void PlaybackTest::waveAskedForATimeLeavesAtThatTimeOnTheDevicesOwnRate()
{
    QFETCH(double, ppm);
    QFETCH(qint64, aheadUs);
    m_output->ppm = ppm;
    ORVA_Wave syllable = wave({ 1000, 2000 });
    QVERIFY(m_session->startOutput().isOk());
    m_output->render(333); // the mixer has moved on from the device's first frame
    const qint64 dueUs = *m_output->frameTimeUs(333) + aheadUs;
    syllable.playAt(dueUs);
    const std::optional<qint64> startUs = syllable.playStartUs();
    QVERIFY(startUs);
    // Within half a frame (11.3 µs) of the time asked for, by the device's own rate.
    QVERIFY2(std::abs(*startUs - dueUs) <= 12,
             qPrintable(QStringLiteral("%1 µs off").arg(*startUs - dueUs)));
    // And the frame the device plays then holds the wave's first sample.
    const qint64 frames = (aheadUs * 44100) / 1'000'000 + 1000;
    const std::vector<qint16> out = m_output->render(frames);
    qint64 first = 0;
    while (first < frames && out[2 * first] == 0)
        ++first;
    QCOMPARE(*m_output->frameTimeUs(333 + first), *startUs);
    QCOMPARE(out[2 * first], qint16(1000));
}

void PlaybackTest::volumeInDecibelsSetsTheGain_data()
{
    QTest::addColumn<int>("dB");
    QTest::addColumn<double>("gain");
    QTest::newRow("0 dB") << 0 << 1.0;
    QTest::newRow("-6 dB") << -6 << std::pow(10.0, -6 / 20.0);
    QTest::newRow("-58 dB, the fade at 250 ms") << -58 << std::pow(10.0, -58 / 20.0);
    QTest::newRow("-100 dB is silence") << -100 << 0.0;
}

void PlaybackTest::volumeInDecibelsSetsTheGain()
{
    QFETCH(int, dB);
    QFETCH(double, gain);
    ORVA_Wave tone = wave(QList<qint16>(10, 20000));
    QVERIFY(tone.play(false, false));
    tone.setVolume(dB);
    const std::vector<qint16> out = m_output->render(1);
    QVERIFY2(std::abs(out[0] - 20000 * gain) <= 1, qPrintable(QString::number(out[0])));
}

void PlaybackTest::positiveVolumeChangesNothing()
{
    CDirectSound player;
    WaveFormat format { 1, 1, 44100, 88200, 2, 16 };
    const QByteArray data = WavBytes::samples16({ 100, 100 });
    QCOMPARE(player.create(&format, data.constData(), data.size()), 1);
    player.setVolume(-10);
    player.setVolume(3);
    QCOMPARE(player.getVolume(), -10.0);
    QVERIFY(player.isReady());
}

void PlaybackTest::deviceTakenIsTriedTenTimesHalfASecondApart()
{
    m_output->startResults = std::vector<DeviceResult>(9, DeviceResult(DeviceResult::kAllocated));
    CDirectSound player;
    WaveFormat format { 1, 1, 44100, 88200, 2, 16 };
    const QByteArray data = WavBytes::samples16({ 100 });
    QCOMPARE(player.create(&format, data.constData(), data.size()), 1);
    QCOMPARE(m_waits, QList<int>(9, 500));

    m_waits.clear();
    m_output->stop();
    m_output->startResults = std::vector<DeviceResult>(10, DeviceResult(DeviceResult::kAllocated));
    CDirectSound later; // drops the shared device
    QCOMPARE(later.create(&format, data.constData(), data.size()), 0);
    QCOMPARE(m_waits.size(), 9);
    QVERIFY(!later.isReady());

    // Once given up, the next player tries once without waiting: a missing server holds nothing up.
    m_waits.clear();
    m_output->startResults = std::vector<DeviceResult>(10, DeviceResult(DeviceResult::kAllocated));
    CDirectSound third;
    QCOMPARE(third.create(&format, data.constData(), data.size()), 0);
    QVERIFY(m_waits.isEmpty());
    QCOMPARE(m_output->startResults.size(), size_t(9));
    CDirectSound fourth; // the device is free again
    m_output->startResults.clear();
    QCOMPARE(fourth.create(&format, data.constData(), data.size()), 1);
    QVERIFY(!m_session->hasOutputGivenUp());
}

void PlaybackTest::copiedWaveGetsAnIdlePlayer()
{
    ORVA_Wave original = wave({ 1, 2, 3 });
    QVERIFY(original.play(false, false));
    const ORVA_Wave copy(original);
    QVERIFY(!copy.playStartUs());
    QVERIFY(original.playStartUs());
}

void PlaybackTest::underrunsOfTheOutputCountAsGlitchesThatNeverGoBack()
{
    QCOMPARE(m_session->glitchCount(), 0);
    m_output->underflows = 2; // the writer stalled twice
    QCOMPARE(m_session->glitchCount(), 2);
    m_session->countCaptureOverflow();
    QCOMPARE(m_session->glitchCount(), 3);
    // A replaced device keeps its glitches in the count.
    m_session->setOutput(std::make_unique<test::ScriptedAudioOutput>());
    m_output = nullptr;
    QCOMPARE(m_session->glitchCount(), 3);
}

QTEST_GUILESS_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
