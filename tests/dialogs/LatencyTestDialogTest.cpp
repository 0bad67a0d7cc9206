// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/LatencyTestDialog.h"

#include "audio/SoftwareMixer.h"
#include "engine/LatencySelfTest.h"
#include "engine/RunSound.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/SoundLoop.h"
#include "records/LatencyCalibration.h"
#include "records/Registry.h"
#include "support/Languages.h"
#include "support/StringTable.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace orva;

/// The latency self-test's window over a loop of 12.5 ms played in real time: what it says before,
/// during and after a measurement, keeping the result, and closing it while the clicks play.
class LatencyTestDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void measuresKeepsAndShowsTheResult_data();
    void measuresKeepsAndShowsTheResult();
    void withoutSoundItSaysSoAndKeepsNothing();
    void closedWhileMeasuringTheClicksStop();

private:
    test::ManualClock m_clock { 0 };
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::SoundLoop> m_loop; // a USB headset's 12.5 ms
    std::unique_ptr<RunSound> m_sound;
    std::unique_ptr<Registry> m_registry;
    QTimer m_feeder; // plays the loop in real time
};

void LatencyTestDialogTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    Registry::Locations locations;
    locations.currentUser = m_dir->filePath(QStringLiteral("registry.ini"));
    m_registry = std::make_unique<Registry>(locations);
    m_loop = std::make_unique<test::SoundLoop>(m_clock, 551);
    QVERIFY(m_loop->session.startOutput().isOk());
    m_sound = std::make_unique<RunSound>(m_clock, [](qint64) {});
    m_sound->setSession(&m_loop->session);
    QVERIFY(m_sound->startCapture(-40));
    m_feeder.setInterval(10);
    m_feeder.callOnTimeout([this] { m_loop->step(); });
    m_feeder.start();
}

void LatencyTestDialogTest::cleanup()
{
    m_feeder.stop();
    m_feeder.disconnect();
    m_sound.reset();
    m_loop.reset();
}

void LatencyTestDialogTest::measuresKeepsAndShowsTheResult_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("de_de") << 0;
    QTest::newRow("en_uk") << 2;
}

void LatencyTestDialogTest::measuresKeepsAndShowsTheResult()
{
    QFETCH(int, language);
    const QString code = languageCode(language);
    const Result<StringTable> loaded =
        StringTable::load(QStringLiteral(ORVA_RESOURCES_DIR "/strings/%1.txt").arg(code));
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    LatencyProbe::Options quick;
    quick.clicks = 4;
    LatencySelfTest test(m_loop->session, *m_sound, *m_registry, quick);
    test::RecordingMessageBoxes boxes;
    LatencyTestDialog dialog(test, loaded.value(), boxes);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.canKeep());

    dialog.measure();
    QVERIFY(dialog.isMeasuring());
    QCOMPARE(dialog.resultText(), loaded.value().text(933));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isMeasuring(), 10000);
    QVERIFY2(dialog.resultText().contains(QStringLiteral("12.49")),
             qPrintable(dialog.resultText()));
    QVERIFY(dialog.canKeep());
    QVERIFY(QDir().mkpath(QStringLiteral(ORVA_ARTEFACTS_DIR)));
    QVERIFY(dialog.grab().toImage().save(
        QStringLiteral(ORVA_ARTEFACTS_DIR "/dialog-latency-test-%1.png").arg(code)));

    dialog.keep();
    QVERIFY(!dialog.canKeep());
    QVERIFY(dialog.resultText().endsWith(loaded.value().text(934)));
    QVERIFY(boxes.boxes.isEmpty());
    const LatencyCalibration kept = LatencyCalibration::read(*m_registry);
    QVERIFY(kept.isFor(QStringLiteral("scripted"), QStringLiteral("exact input")));
    QCOMPARE(m_sound->appliedLatencyOffsetUs(), kept.offsetUs());
}

void LatencyTestDialogTest::withoutSoundItSaysSoAndKeepsNothing()
{
    m_loop->input->running = false;
    LatencySelfTest test(m_loop->session, *m_sound, *m_registry);
    test::RecordingMessageBoxes boxes;
    LatencyTestDialog dialog(test, StringTable::german(), boxes);
    dialog.measure();
    QVERIFY(!dialog.isMeasuring());
    QCOMPARE(dialog.resultText(), StringTable::german().text(928));
    QVERIFY(!dialog.canKeep());
}

void LatencyTestDialogTest::closedWhileMeasuringTheClicksStop()
{
    {
        LatencySelfTest test(m_loop->session, *m_sound, *m_registry);
        test::RecordingMessageBoxes boxes;
        LatencyTestDialog dialog(test, StringTable::german(), boxes);
        dialog.measure();
        QVERIFY(dialog.isMeasuring());
        QCOMPARE(m_loop->session.mixer()->voiceCount(), 1);
        QTest::qWait(200);
        dialog.reject();
    }
    QCOMPARE(m_loop->session.mixer()->voiceCount(), 0);
    QVERIFY(!LatencyCalibration::read(*m_registry).isSet());
}

QTEST_MAIN(LatencyTestDialogTest)
#include "LatencyTestDialogTest.moc"
