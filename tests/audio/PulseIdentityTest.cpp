// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseServer.h"
#include "WavBytes.h"
#include "audio/AudioSession.h"
#include "audio/ORVA_Wave.h"
#include "audio/ORVA_WaveInDevice.h"
#include "audio/backends/pulse/PulseAudio.h"
#include "support/Clock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace orva;
using orva::test::WavBytes;

/// Playing and capturing through a PulseAudio server of the test's own: a null sink
/// "headphones" is the client's ears, its monitor the listener. A sound whose first loud sample is
/// frame k of the wave must be heard k / 44.1 ms after the time the player gave for its start.
class PulseIdentityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onsetComesWhereTheWaveSaysOnOneClock();

private:
    std::unique_ptr<test::PulseServer> m_server;
};

void PulseIdentityTest::initTestCase()
{
    m_server = std::make_unique<test::PulseServer>();
    if (!m_server->isRunning())
        QSKIP(qPrintable(m_server->error()));
}

void PulseIdentityTest::onsetComesWhereTheWaveSaysOnOneClock()
{
    SteadyClock clock;
    AudioSession session(clock);
    session.setOutput(std::make_unique<PulseAudioOutput>(clock, QStringLiteral("headphones")));
    AudioSession::setCurrent(&session);
    QVERIFY(session.startOutput().isOk());
    PulseAudioInput input(clock, QStringLiteral("headphones.monitor"));
    ORVA_WaveInDevice capture(clock);
    QList<qint64> onsets;
    capture.setOnsetHandler([&](qint64 us) { onsets.append(us); });
    QVERIFY(capture.startCapture(&input));
    QTest::qWait(2000); // the clock models settle

    const int k = 441; // 10 ms of silence before the sound
    QList<double> errors;
    // What the program knew of each trial: a discontinuity of either stream during it (an
    // underrun, a stall, a re-anchored clock) or a clock model that had not settled.
    QStringList faults;
    const auto discontinuities = [&] { return session.glitchCount() + input.overflowCount(); };
    for (int trial = 0; trial < 5; ++trial) {
        QList<qint16> samples(k, 0);
        for (int i = 0; i < 4410; ++i)
            samples.append(qint16(20000 * std::sin(2 * M_PI * 440 * i / 44100.0)));
        ORVA_Wave wave;
        QVERIFY(wave.setFormat(44100, 16));
        wave.appendBlock(WavBytes::samples16(samples));
        onsets.clear();
        const qint64 before = discontinuities();
        const bool settled = session.areClocksSettled() && input.isClockSettled();
        QVERIFY(wave.play(false, false));
        const std::optional<qint64> start = wave.playStartUs();
        QVERIFY(start);
        QTRY_VERIFY_WITH_TIMEOUT(!onsets.isEmpty(), 3000);
        const double heardMs = (onsets.first() - *start) / 1000.0;
        errors.append(heardMs - k / 44.1);
        faults << QStringLiteral("%1 discontinuities%2")
                      .arg(discontinuities() - before)
                      .arg(settled ? QString() : QStringLiteral(", clocks unsettled"));
        QTest::qWait(300);
    }
    qInfo() << "onset minus start, less k / 44.1 ms, per trial (ms):" << errors;
    for (int trial = 0; trial < errors.size(); ++trial)
        QVERIFY2(std::abs(errors[trial]) <= 1.0,
                 qPrintable(QStringLiteral("trial %1: %2 ms (%3)")
                                .arg(trial)
                                .arg(errors[trial])
                                .arg(faults[trial])));
    capture.stopCapture();
    AudioSession::setCurrent(nullptr);
}

QTEST_GUILESS_MAIN(PulseIdentityTest)
#include "PulseIdentityTest.moc"
