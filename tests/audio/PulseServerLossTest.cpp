// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseServer.h"
#include "WavBytes.h"
#include "audio/AudioSession.h"
#include "audio/ORVA_Wave.h"
#include "audio/ORVA_WaveInDevice.h"
#include "audio/backends/pulse/PulseAudio.h"
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

} // namespace

/// A desktop without a sound server, whose server quits while the program runs, or without the
/// device the installation names: the player says so once with its box, the program goes on
/// without sound, and nothing waits for ever.
class PulseServerLossTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void serverThatQuitsLeavesTheProgramWorking();
    void noServerAtAll();
    void namedDevicesThatAreNotThere();

private:
    /// `wave` played when the output does not open: every attempt, then the player's box, and
    /// no sound.
    void playIntoAnOutputThatDoesNotOpen(ORVA_Wave &wave);

    SteadyClock m_clock;
    std::unique_ptr<AudioSession> m_session;
    test::RecordingMessageBoxes m_boxes;
    QList<int> m_waits;
};

void PulseServerLossTest::init()
{
    m_boxes.boxes.clear();
    m_waits.clear();
    m_session = std::make_unique<AudioSession>(m_clock);
    m_session->setMessageBoxes(&m_boxes);
    m_session->setRetryWait([this](int ms) { m_waits.append(ms); });
    AudioSession::setCurrent(m_session.get());
}

void PulseServerLossTest::cleanup()
{
    AudioSession::setCurrent(nullptr);
    m_session.reset();
}

void PulseServerLossTest::playIntoAnOutputThatDoesNotOpen(ORVA_Wave &wave)
{
    wave.play(false, false);
    QCOMPARE(m_waits, QList<int>(9, 500));
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].title, QStringLiteral("ERROR"));
    QCOMPARE(m_boxes.boxes[0].text, QStringLiteral("Fehler bei Create DirectSoundPuffer 00"));
    QVERIFY(!wave.playStartUs());
}

void PulseServerLossTest::serverThatQuitsLeavesTheProgramWorking()
{
    auto server = std::make_unique<test::PulseServer>();
    if (!server->isRunning())
        QSKIP(qPrintable(server->error()));
    m_session->setOutput(std::make_unique<PulseAudioOutput>(m_clock, QStringLiteral("headphones")));
    PulseAudioInput input(m_clock, QStringLiteral("headphones.monitor"));
    ORVA_WaveInDevice capture(m_clock);
    QVERIFY(capture.startCapture(&input));

    ORVA_Wave wave = tone();
    wave.play(false, false);
    QTRY_VERIFY_WITH_TIMEOUT(wave.playStartUs().has_value(), 3000);
    QVERIFY(m_boxes.boxes.isEmpty());

    server->stop();
    QTRY_VERIFY_WITH_TIMEOUT(!m_session->output()->isRunning(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!input.isRunning(), 5000);

    // The same wave again: its device is gone, so the player opens one anew, with every attempt
    // and then its box.
    playIntoAnOutputThatDoesNotOpen(wave);
    if (QTest::currentTestFailed())
        return;
    // Later sounds try once, without waiting and without another box.
    ORVA_Wave next = tone();
    next.play(false, false);
    QCOMPARE(m_waits.size(), 9);
    QCOMPARE(m_boxes.boxes.size(), 1);
    // The meter goes on as usual.
    capture.preparePaintVU_Meter(false);

    // A server that comes back is used again by the next sound, and the microphone hears it.
    test::PulseServer again;
    if (!again.isRunning())
        QSKIP(qPrintable(again.error()));
    QVERIFY(capture.restartLostInput());
    QVERIFY(input.isRunning());
    int onsets = 0;
    capture.setOnsetHandler([&](qint64) { ++onsets; });
    ORVA_Wave later = tone();
    later.play(false, false);
    QVERIFY(m_session->output()->isRunning());
    QCOMPARE(m_boxes.boxes.size(), 1);
    QVERIFY(!m_session->hasOutputGivenUp());
    QTRY_VERIFY_WITH_TIMEOUT(onsets > 0, 5000);
    capture.stopCapture();
}

void PulseServerLossTest::noServerAtAll()
{
    QTemporaryDir nowhere;
    qputenv("PULSE_SERVER", ("unix:" + nowhere.filePath(QStringLiteral("native"))).toUtf8());
    m_session->setOutput(std::make_unique<PulseAudioOutput>(m_clock, QString()));
    PulseAudioInput input(m_clock, QString());
    ORVA_WaveInDevice capture(m_clock);
    QVERIFY(!capture.startCapture(&input)); // silently: no box for the capture
    QVERIFY(m_boxes.boxes.isEmpty());

    ORVA_Wave wave = tone();
    playIntoAnOutputThatDoesNotOpen(wave);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_session->hasOutputGivenUp());
}

void PulseServerLossTest::namedDevicesThatAreNotThere()
{
    test::PulseServer server;
    if (!server.isRunning())
        QSKIP(qPrintable(server.error()));
    // The server takes the streams and only then finds that their devices do not exist: that is
    // a device that cannot be opened, not one that opened and went away.
    PulseAudioInput input(m_clock, QStringLiteral("unplugged-microphone"));
    ORVA_WaveInDevice capture(m_clock);
    QVERIFY(!capture.startCapture(&input));
    QVERIFY(!input.isRunning());
    QVERIFY(m_boxes.boxes.isEmpty());

    m_session->setOutput(
        std::make_unique<PulseAudioOutput>(m_clock, QStringLiteral("unplugged-headset")));
    ORVA_Wave wave = tone();
    playIntoAnOutputThatDoesNotOpen(wave);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!m_session->output()->isRunning());

    // The devices that are there open as usual.
    m_session->setOutput(std::make_unique<PulseAudioOutput>(m_clock, QStringLiteral("headphones")));
    PulseAudioInput monitor(m_clock, QStringLiteral("headphones.monitor"));
    QVERIFY(capture.startCapture(&monitor));
    ORVA_Wave next = tone();
    next.play(false, false);
    QVERIFY(m_session->output()->isRunning());
    QCOMPARE(m_boxes.boxes.size(), 1);
    capture.stopCapture();
}

QTEST_GUILESS_MAIN(PulseServerLossTest)
#include "PulseServerLossTest.moc"
