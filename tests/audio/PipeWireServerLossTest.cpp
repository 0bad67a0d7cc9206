// SPDX-License-Identifier: GPL-3.0-or-later
#include "PipeWireServer.h"
#include "WavBytes.h"
#include "audio/AudioSession.h"
#include "audio/ORVA_Wave.h"
#include "audio/ORVA_WaveInDevice.h"
#include "audio/backends/pipewire/PipeWireAudio.h"
#include "fakes/RecordingMessageBoxes.h"
#include "support/Clock.h"

#include <QTest>

using namespace orva;
using orva::test::WavBytes;

namespace {

ORVA_Wave tone()
{
    ORVA_Wave wave;
    (void)wave.setFormat(44100, 16);
    QList<qint16> samples(4410);
    for (int i = 0; i < samples.size(); ++i)
        samples[i] = qint16((i % 100) * 200 - 10000);
    wave.appendBlock(WavBytes::samples16(samples));
    return wave;
}

/// Silence for a device started directly.
class Silence final : public FrameSource
{
public:
    qint64 nextFrame() const override { return m_next; }
    void render(qint16 *out, qint64 frames) override
    {
        std::fill(out, out + frames * 2, qint16(0));
        m_next += frames;
    }

private:
    qint64 m_next = 0;
};

} // namespace

/// The native PipeWire backend when its server quits and comes back during a session, and when
/// the nodes the installation names are not there: as with libpulse, the player says so once
/// with its box, the program goes on without sound, nothing waits for ever, and the devices come
/// back with their server.
class PipeWireServerLossTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void serverStoppedAndStartedAgain();
    void namedNodesThatAreNotThere();
    void sinkThatGoesAway();

private:
    void playIntoAnOutputThatDoesNotOpen(ORVA_Wave &wave);

    SteadyClock m_clock;
    std::unique_ptr<AudioSession> m_session;
    test::RecordingMessageBoxes m_boxes;
    QList<int> m_waits;
};

void PipeWireServerLossTest::init()
{
    m_boxes.boxes.clear();
    m_waits.clear();
    m_session = std::make_unique<AudioSession>(m_clock);
    m_session->setMessageBoxes(&m_boxes);
    m_session->setRetryWait([this](int ms) { m_waits.append(ms); });
    AudioSession::setCurrent(m_session.get());
}

void PipeWireServerLossTest::cleanup()
{
    AudioSession::setCurrent(nullptr);
    m_session.reset();
}

void PipeWireServerLossTest::playIntoAnOutputThatDoesNotOpen(ORVA_Wave &wave)
{
    wave.play(false, false);
    QCOMPARE(m_waits, QList<int>(9, 500));
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text, QStringLiteral("Fehler bei Create DirectSoundPuffer 00"));
    QVERIFY(!wave.playStartUs());
}

void PipeWireServerLossTest::serverStoppedAndStartedAgain()
{
    test::PipeWireServer server;
    if (server.error().contains(QStringLiteral("not installed")))
        QSKIP(qPrintable(server.error()));
    QVERIFY2(server.isRunning(), qPrintable(server.error()));
    // What the program asks to choose its backend for "system".
    QVERIFY(pipeWireServerAnswers());
    m_session->setOutput(
        std::make_unique<PipeWireAudioOutput>(m_clock, QStringLiteral("headphones")));
    PipeWireAudioInput input(m_clock, QStringLiteral("headphones.monitor"));
    ORVA_WaveInDevice capture(m_clock);
    QVERIFY(capture.startCapture(&input));
    int onsets = 0;
    capture.setOnsetHandler([&](qint64) { ++onsets; });
    ORVA_Wave wave = tone();
    wave.play(false, false);
    QTRY_VERIFY_WITH_TIMEOUT(wave.playStartUs().has_value(), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(onsets > 0, 5000);
    const qint64 underflows = m_session->output()->underflowCount();
    const qint64 overflows = input.overflowCount();

    server.stopServer();
    QTRY_VERIFY_WITH_TIMEOUT(!m_session->output()->isRunning(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!input.isRunning(), 5000);
    // The loss is a discontinuity of both streams: a measurement across it is flagged.
    QVERIFY(m_session->output()->underflowCount() > underflows);
    QVERIFY(input.overflowCount() > overflows);
    QVERIFY(!m_session->output()->frameTimeUs(0));
    QVERIFY(!pipeWireServerAnswers());

    playIntoAnOutputThatDoesNotOpen(wave);
    if (QTest::currentTestFailed())
        return;
    // The meter goes on as usual.
    capture.preparePaintVU_Meter(false);

    // The server back: the next sound opens the output again, and the microphone hears it.
    QVERIFY2(server.startServer(), qPrintable(server.error()));
    QVERIFY(capture.restartLostInput());
    QVERIFY(input.isRunning());
    onsets = 0;
    ORVA_Wave later = tone();
    later.play(false, false);
    QVERIFY(m_session->output()->isRunning());
    QCOMPARE(m_boxes.boxes.size(), 1);
    QVERIFY(!m_session->hasOutputGivenUp());
    QTRY_VERIFY_WITH_TIMEOUT(onsets > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(input.frameTimeUs(0).has_value(), 3000);
    capture.stopCapture();
}

void PipeWireServerLossTest::namedNodesThatAreNotThere()
{
    test::PipeWireServer server;
    if (server.error().contains(QStringLiteral("not installed")))
        QSKIP(qPrintable(server.error()));
    QVERIFY2(server.isRunning(), qPrintable(server.error()));
    // The same message as libpulse gives for a device that is not there.
    Silence silence;
    PipeWireAudioOutput headset(m_clock, QStringLiteral("unplugged-headset"));
    QCOMPARE(headset.start(silence).name(), QStringLiteral("PA_ERR_NOENTITY"));
    QVERIFY(!headset.isRunning());
    PipeWireAudioInput microphone(m_clock, QStringLiteral("unplugged-microphone"));
    ORVA_WaveInDevice capture(m_clock);
    QVERIFY(!capture.startCapture(&microphone));
    QVERIFY(!microphone.isRunning());
    // A sink is no source, and a source's monitor does not exist.
    PipeWireAudioInput sinkAsSource(m_clock, QStringLiteral("headphones"));
    QVERIFY(!capture.startCapture(&sinkAsSource));
    QVERIFY(m_boxes.boxes.isEmpty());

    m_session->setOutput(
        std::make_unique<PipeWireAudioOutput>(m_clock, QStringLiteral("unplugged-headset")));
    ORVA_Wave wave = tone();
    playIntoAnOutputThatDoesNotOpen(wave);
    if (QTest::currentTestFailed())
        return;

    // The nodes that are there open as usual, by the names pavucontrol shows.
    m_session->setOutput(
        std::make_unique<PipeWireAudioOutput>(m_clock, QStringLiteral("headphones")));
    PipeWireAudioInput monitor(m_clock, QStringLiteral("headphones.monitor"));
    QVERIFY(capture.startCapture(&monitor));
    ORVA_Wave next = tone();
    next.play(false, false);
    QVERIFY(m_session->output()->isRunning());
    QCOMPARE(m_boxes.boxes.size(), 1);
    capture.stopCapture();
}

/// The named sink removed while the program plays into it and records its monitor: both
/// streams count as lost (the server would not send the sound to the client's headphones), and a
/// measurement across it is flagged.
void PipeWireServerLossTest::sinkThatGoesAway()
{
    test::PipeWireServer server;
    if (server.error().contains(QStringLiteral("not installed")))
        QSKIP(qPrintable(server.error()));
    QVERIFY2(server.isRunning(), qPrintable(server.error()));
    Silence silence;
    PipeWireAudioOutput output(m_clock, QStringLiteral("headphones"));
    QVERIFY(output.start(silence).isOk());
    PipeWireAudioInput input(m_clock, QStringLiteral("headphones.monitor"));
    ORVA_WaveInDevice capture(m_clock);
    QVERIFY(capture.startCapture(&input));
    QTRY_VERIFY_WITH_TIMEOUT(output.frameTimeUs(0).has_value(), 3000);
    const qint64 underflows = output.underflowCount();
    const qint64 overflows = input.overflowCount();
    QVERIFY(!server.pactl({ QStringLiteral("unload-module"), QStringLiteral("module-null-sink") })
                 .isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!output.isRunning(), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!input.isRunning(), 3000);
    QVERIFY(output.underflowCount() > underflows);
    QVERIFY(input.overflowCount() > overflows);
    capture.stopCapture();
}

QTEST_GUILESS_MAIN(PipeWireServerLossTest)
#include "PipeWireServerLossTest.moc"
