// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/LatencySelfTest.h"

#include "../fakes/SoundLoop.h"
#include "engine/RunSound.h"
#include "records/Registry.h"
#include "support/StringTable.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

/// The latency self-test as the program runs it: the probe tapped into the run's capture, the
/// result kept for the devices in use, and the offset taken off the voice onsets of that pair
/// only, with the run's warning and note.
class LatencySelfTestTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void keptOffsetIsTakenOffTheOnsetsOfThatPairOnly();
    void notReadyWhenTheInputDoesNotRun();

private:
    /// Plays the clicks through the loop and the run's capture.
    void measureThroughTheLoop(LatencySelfTest &test);

    test::ManualClock m_clock { 0 };
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::SoundLoop> m_loop; // a USB headset's 12.5 ms
    test::ExactAudioInput *m_input = nullptr;
    std::unique_ptr<RunSound> m_sound;
    QList<qint64> m_onsets;
    Registry::Locations m_locations;
};

void LatencySelfTestTest::init()
{
    m_sound.reset(); // before the devices its capture reads
    m_dir = std::make_unique<QTemporaryDir>();
    m_locations = {};
    m_locations.currentUser = m_dir->filePath(QStringLiteral("config/orva/registry.ini"));
    m_loop = std::make_unique<test::SoundLoop>(m_clock, 551);
    m_input = m_loop->input;
    QVERIFY(m_loop->session.startOutput().isOk());
    m_onsets.clear();
    m_sound = std::make_unique<RunSound>(m_clock, [this](qint64 us) { m_onsets.append(us); });
    m_sound->setSession(&m_loop->session);
    QVERIFY(m_sound->startCapture(-40));
}

void LatencySelfTestTest::measureThroughTheLoop(LatencySelfTest &test)
{
    QVERIFY(test.start());
    QVERIFY(test.isRunning());
    m_loop->play(test.durationMs());
    QCoreApplication::processEvents();
    (void)test.finish();
}

void LatencySelfTestTest::keptOffsetIsTakenOffTheOnsetsOfThatPairOnly()
{
    const Registry registry(m_locations);
    {
        LatencySelfTest test(m_loop->session, *m_sound, registry);
        measureThroughTheLoop(test);
        QCOMPARE(int(test.result().outcome), int(LatencyProbe::Outcome::Measured));
        QVERIFY(std::abs(test.result().medianMs - 12.494) < 0.03);
        QVERIFY(test.canKeep());
        const QString words = LatencySelfTest::describe(test.result(), StringTable::german());
        QVERIFY2(words.contains(QStringLiteral("12 von 12"))
                     && words.contains(QStringLiteral("12.49")),
                 qPrintable(words));
        QVERIFY(test.keep().ok());
    }
    // Kept in the user's values and applied at once.
    const LatencyCalibration stored = LatencyCalibration::read(registry);
    QVERIFY(stored.isFor(QStringLiteral("scripted"), QStringLiteral("exact input")));
    QCOMPARE(m_sound->appliedLatencyOffsetUs(), stored.offsetUs());
    QVERIFY(m_sound->latencyWarning(StringTable::german()).isEmpty());
    QVERIFY(m_sound->latencyNote(StringTable::german()).contains(QStringLiteral("12.49")));

    // A voice onset is taken that much earlier; the tap is gone with the test.
    m_onsets.clear();
    std::vector<qint16> voice(1024, 0); // whole buffers, whatever was pending
    voice[300] = 20000;
    m_input->deliver(10'000'000, voice.data(), qint64(voice.size()));
    QCoreApplication::processEvents();
    QCOMPARE(m_onsets.size(), 1);
    QCOMPARE(m_onsets[0], *m_input->frameTimeUs(10'000'300) - stored.offsetUs());

    // Other devices: nothing taken off, and the run is warned of it, naming both pairs.
    m_input->name = QStringLiteral("PulseAudio source (default)");
    QCOMPARE(m_sound->appliedLatencyOffsetUs(), 0);
    QVERIFY(m_sound->latencyNote(StringTable::german()).isEmpty());
    const QString warning = m_sound->latencyWarning(StringTable::german());
    QVERIFY2(warning.contains(QStringLiteral("exact input"))
                 && warning.contains(QStringLiteral("PulseAudio source (default)")),
             qPrintable(warning));
    // The pair again, but a spread too large to trust: taken off, and warned of.
    m_input->name = QStringLiteral("exact input");
    LatencyCalibration wandering = stored;
    wandering.spreadMs = 4.2;
    m_sound->setLatencyCalibration(wandering);
    QCOMPARE(m_sound->appliedLatencyOffsetUs(), stored.offsetUs());
    QVERIFY(m_sound->latencyWarning(StringTable::german()).contains(QStringLiteral("4.20")));
}

void LatencySelfTestTest::notReadyWhenTheInputDoesNotRun()
{
    m_input->running = false;
    const Registry registry(m_locations);
    LatencySelfTest test(m_loop->session, *m_sound, registry);
    QVERIFY(!test.start());
    QVERIFY(!test.canKeep());
    QVERIFY(!test.keep().ok());
    QVERIFY(!QFile::exists(m_locations.currentUser));
    QCOMPARE(LatencySelfTest::describe(test.result(), StringTable::german()),
             StringTable::german().text(928));
}

QTEST_GUILESS_MAIN(LatencySelfTestTest)
#include "LatencySelfTestTest.moc"
