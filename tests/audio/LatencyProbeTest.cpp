// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/LatencyProbe.h"

#include "../fakes/SoundLoop.h"
#include "audio/AudioSession.h"
#include "audio/SoftwareMixer.h"

#include <QTest>

#include <cmath>

using namespace orva;

namespace {

constexpr double kUsPerFrame = 1e6 / 44100;
using Stamp = LatencyProbe::Stamp;

// Blocks of 256 samples on the nominal rate: frame f entered at f / 44.1 ms.
std::vector<Stamp> exactBlocks(size_t frames, qint64 faults = 0)
{
    std::vector<Stamp> blocks;
    for (qint64 f = 0; f < qint64(frames); f += 256)
        blocks.push_back({ f, qint64(std::floor(double(f) * kUsPerFrame)), faults });
    return blocks;
}

} // namespace

/// The latency self-test's analysis and its clicks through the mixer, on devices whose timing is
/// exact by construction: the latency each test makes is the one the probe must find.
class LatencyProbeTest : public QObject
{
    Q_OBJECT

private slots:
    void analysisFindsEachClickOnceAndIgnoresNoiseAndRinging();
    void tooFewClicksOrTooMuchSpreadAreNotTrusted();
    void clicksThroughTheMixerComeBackAfterTheLoopsDelay_data();
    void clicksThroughTheMixerComeBackAfterTheLoopsDelay();
    void clicksTouchedByAFaultAreLeftOut();
    void noRunningInputNoTest();
};

void LatencyProbeTest::analysisFindsEachClickOnceAndIgnoresNoiseAndRinging()
{
    LatencyProbe::Options options;
    options.clicks = 5;
    std::vector<Stamp> clicks;
    std::vector<qint16> samples(44100 * 5, 0);
    // A noise floor of ±100 everywhere, a spike of noise between two windows.
    for (size_t i = 0; i < samples.size(); i += 7)
        samples[i] = qint16(i % 2 ? 100 : -100);
    const double latenciesMs[] = { 0.50, 0.60, 0.40, 0.55, 0.45 };
    for (int k = 0; k < options.clicks; ++k) {
        const qint64 click = 600'000 + k * 700'000;
        clicks.push_back({ 0, click, 0 });
        const qint64 onset = qint64(std::ceil((click + latenciesMs[k] * 1000) / kUsPerFrame));
        // The click and its ringing for 30 ms, loud enough to pass the trigger again.
        for (qint64 f = onset; f < onset + 1323; ++f)
            samples[size_t(f)] = qint16(f % 20 < 10 ? 12000 : -12000);
    }
    // A knock before the first click does not raise the trigger above the clicks.
    samples[size_t(44100 * 0.2)] = 30000;
    samples[size_t((600'000 + 650'000) / kUsPerFrame)] = 30000; // between windows of 0 and 1
    const LatencyProbe::Result result =
        LatencyProbe::analyse(clicks, exactBlocks(samples.size()), 0, samples, options);
    QCOMPARE(int(result.outcome), int(LatencyProbe::Outcome::Measured));
    QCOMPARE(result.heard, 5);
    // Each onset comes at the first whole frame at or after the latency: within one frame.
    for (int k = 0; k < 5; ++k)
        QVERIFY2(std::abs(result.latenciesMs[size_t(k)] - latenciesMs[k]) < 0.023,
                 qPrintable(QString::number(result.latenciesMs[size_t(k)])));
    QVERIFY(std::abs(result.medianMs - 0.50) < 0.023);
    QVERIFY2(result.spreadMs < 0.2, qPrintable(QString::number(result.spreadMs)));
    QVERIFY(result.trusted);
}

void LatencyProbeTest::tooFewClicksOrTooMuchSpreadAreNotTrusted()
{
    LatencyProbe::Options options;
    options.clicks = 6;
    std::vector<Stamp> clicks;
    for (int k = 0; k < options.clicks; ++k)
        clicks.push_back({ 0, 600'000 + k * 700'000, 0 });
    const auto withClicks = [&](const std::vector<double> &latenciesMs) {
        std::vector<qint16> samples(44100 * 5, 0);
        for (size_t k = 0; k < latenciesMs.size(); ++k) {
            if (latenciesMs[k] < 0)
                continue; // not heard
            const qint64 onset =
                qint64(std::ceil((clicks[k].timeUs + latenciesMs[k] * 1000) / kUsPerFrame));
            for (qint64 f = onset; f < onset + 88; ++f)
                samples[size_t(f)] = 16000;
        }
        return LatencyProbe::analyse(clicks, exactBlocks(samples.size()), 0, samples, options);
    };
    // Two of six: not heard.
    LatencyProbe::Result result = withClicks({ 1, -1, -1, 1, -1, -1 });
    QCOMPARE(int(result.outcome), int(LatencyProbe::Outcome::NotHeard));
    QCOMPARE(result.heard, 2);
    QVERIFY(!result.trusted);
    // Three of six: measured, but too many missing to trust.
    result = withClicks({ 1, -1, 1, -1, 1, -1 });
    QCOMPARE(int(result.outcome), int(LatencyProbe::Outcome::Measured));
    QVERIFY(!result.trusted);
    // All heard, but the latency wanders as over Bluetooth.
    result = withClicks({ 150, 155, 148, 160, 152, 146 });
    QCOMPARE(int(result.outcome), int(LatencyProbe::Outcome::Measured));
    QVERIFY(std::abs(result.medianMs - 151) < 0.05);
    QVERIFY(result.spreadMs > 4);
    QVERIFY(!result.trusted);
    // A latency beyond the longest looked for is not a click of its own window.
    result = withClicks({ 650, 650, 650, 650, 650, 650 });
    QCOMPARE(result.heard, 0);
}

void LatencyProbeTest::clicksThroughTheMixerComeBackAfterTheLoopsDelay_data()
{
    QTest::addColumn<int>("delayFrames");
    QTest::addColumn<double>("ppm");
    QTest::newRow("cable, no delay") << 0 << 0.0;
    QTest::newRow("USB headset, 12.5 ms") << 551 << 0.0;
    QTest::newRow("300 ms, both on one crystal 80 ppm slow") << 13230 << 80.0;
}

void LatencyProbeTest::clicksThroughTheMixerComeBackAfterTheLoopsDelay()
{
    QFETCH(int, delayFrames);
    QFETCH(double, ppm);
    test::ManualClock clock(5'000'000);
    test::SoundLoop loop(clock, delayFrames);
    loop.input->ppm = ppm;
    loop.output->ppm = ppm;
    QVERIFY(loop.session.startOutput().isOk());
    // The input's frame f hears the output's frame f - delay: the loop's delay, in frames of
    // one crystal that may run slow.
    const double truthMs =
        (*loop.input->frameTimeUs(delayFrames) - *loop.input->frameTimeUs(0)) / 1000.0;

    LatencyProbe probe(loop.session);
    QVERIFY(probe.start());
    loop.play(probe.durationMs(), &probe);
    const LatencyProbe::Result result = probe.finish();
    QCOMPARE(int(result.outcome), int(LatencyProbe::Outcome::Measured));
    QCOMPARE(result.heard, result.clicks);
    QVERIFY2(
        std::abs(result.medianMs - truthMs) < 0.03,
        qPrintable(QStringLiteral("%1 ms measured, %2 ms true").arg(result.medianMs).arg(truthMs)));
    QVERIFY(result.spreadMs < 0.03);
    QVERIFY(result.trusted);
    QCOMPARE(loop.session.mixer()->voiceCount(), 0); // the clicks are gone
}

void LatencyProbeTest::clicksTouchedByAFaultAreLeftOut()
{
    // One overflow, frames that never came, or a fault in every block.
    for (const QString &fault :
         { QStringLiteral("overflow"), QStringLiteral("gap"), QStringLiteral("always") }) {
        test::ManualClock clock(5'000'000);
        test::SoundLoop loop(clock, 551);
        QVERIFY(loop.session.startOutput().isOk());
        LatencyProbe probe(loop.session);
        QVERIFY(probe.start());
        while (loop.done() < qint64(probe.durationMs()) * 441 / 10) {
            const bool fourSecondsIn = loop.done() == 441 * 400;
            if (fault == QLatin1String("always")
                || (fourSecondsIn && fault == QLatin1String("overflow")))
                ++loop.input->overflows;
            loop.step(&probe, !(fourSecondsIn && fault == QLatin1String("gap")));
        }
        const LatencyProbe::Result result = probe.finish();
        if (fault == QLatin1String("always")) {
            QCOMPARE(int(result.outcome), int(LatencyProbe::Outcome::SoundFault));
            QVERIFY(!result.trusted);
            continue;
        }
        // The click whose window held the fault is left out; the others measure the loop.
        QCOMPARE(result.touched, 1);
        QCOMPARE(result.heard, result.clicks - 1);
        QCOMPARE(int(result.outcome), int(LatencyProbe::Outcome::Measured));
        QVERIFY(std::abs(result.medianMs - 12.494) < 0.03);
    }
}

void LatencyProbeTest::noRunningInputNoTest()
{
    test::ManualClock clock(5'000'000);
    test::SoundLoop loop(clock, 0);
    loop.input->running = false;
    QVERIFY(loop.session.startOutput().isOk());
    LatencyProbe probe(loop.session);
    QVERIFY(!probe.start());
    QCOMPARE(loop.session.mixer()->voiceCount(), 0);
    QCOMPARE(int(probe.finish().outcome), int(LatencyProbe::Outcome::NoSound));
}

QTEST_GUILESS_MAIN(LatencyProbeTest)
#include "LatencyProbeTest.moc"
