// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/StreamClockModel.h"

#include <QTest>

using namespace orva;

class StreamClockModelTest : public QObject
{
    Q_OBJECT

private slots:
    void followsTheDevicesOwnRate_data();
    void followsTheDevicesOwnRate();
    void ignoresWhatCameBeforeItSettled();
    void aSingleOutlierDoesNotMoveIt();
    void reportsSentLateDoNotPullItLate_data();
    void reportsSentLateDoNotPullItLate();
    void aLastingJumpReanchorsIt();
    void aLateReportWhenItSettlesDoesNotBecomeTheLine();
    void aJumpAfterReportsStoppedIsCounted();
    void aShortWindowKeepsTheNominalRate();
    void exactModelTimesFramesFromFrameZero();
    void aStampIsNotMovedByAThreadHeldUpBetweenTheClocks();
};

namespace {

StreamClockModel::Options quick()
{
    StreamClockModel::Options options;
    options.settleUs = 100'000;
    options.windowUs = 3'000'000;
    options.rateSpanUs = 1'000'000;
    return options;
}

/// A device whose frames last (1 + ppm·10⁻⁶) / 44,100 s, frame 0 at 1 s; observed every 20 ms
/// with a scatter of up to ±150 µs.
struct Device
{
    double ppm = 0;
    double timeOf(qint64 frame) const { return 1e6 + frame * (1 + ppm * 1e-6) * 1e6 / 44100; }
    void feed(StreamClockModel &model, qint64 fromFrame, int count) const
    {
        static const int scatter[] = { 0, 150, -120, 40, -150, 90, -60, 10 };
        for (int i = 0; i < count; ++i) {
            const qint64 frame = fromFrame + qint64(i) * 882;
            model.observe(frame, qint64(timeOf(frame)) + scatter[i % 8]);
        }
    }
};

} // namespace

void StreamClockModelTest::followsTheDevicesOwnRate_data()
{
    QTest::addColumn<double>("ppm");
    QTest::newRow("nominal") << 0.0;
    QTest::newRow("a crystal 80 ppm slow") << 80.0;
    QTest::newRow("a crystal 120 ppm fast") << -120.0;
}

void StreamClockModelTest::followsTheDevicesOwnRate()
{
    QFETCH(double, ppm);
    StreamClockModel model(QStringLiteral("test"), quick());
    QVERIFY(!model.frameTimeUs(0));
    const Device device { ppm };
    // Ten minutes of observations: an offset-only model would be off by 48 ms at 80 ppm.
    device.feed(model, 0, 30'000);
    QVERIFY(model.isSettled());
    QCOMPARE(model.reanchorCount(), 0);
    const qint64 last = 29'999 * 882;
    // The frame a quarter of a second after the last observation, as a syllable about to leave.
    for (qint64 frame : { last - 44100, last, last + 11025 }) {
        const double error = double(*model.frameTimeUs(frame)) - device.timeOf(frame);
        QVERIFY2(std::abs(error) < 50, qPrintable(QStringLiteral("%1 us").arg(error)));
    }
    QVERIFY(std::abs(model.deviationPpm() - ppm) < 5);
    const qint64 back = *model.frameAtUs(qint64(device.timeOf(last)) + 1);
    QVERIFY(std::abs(back - last) <= 1);
}

void StreamClockModelTest::ignoresWhatCameBeforeItSettled()
{
    StreamClockModel model(QStringLiteral("test"), quick());
    // A stream that starts with 40 ms of slack (a playback stream filling its buffer).
    for (int i = 0; i < 5; ++i)
        model.observe(i * 882, 1'040'000 + i * 20'000);
    const Device device;
    device.feed(model, 5 * 882, 100);
    QCOMPARE(model.reanchorCount(), 0);
    QVERIFY(std::abs(*model.frameTimeUs(0) - 1'000'000) < 20);
}

void StreamClockModelTest::aSingleOutlierDoesNotMoveIt()
{
    StreamClockModel model(QStringLiteral("test"), quick());
    const Device device;
    device.feed(model, 0, 100);
    const qint64 frame = 100 * 882;
    QVERIFY(!model.observe(frame, qint64(device.timeOf(frame)) + 70'000));
    QVERIFY(std::abs(*model.frameTimeUs(frame) - device.timeOf(frame)) < 20);
    QCOMPARE(model.reanchorCount(), 0);
}

void StreamClockModelTest::reportsSentLateDoNotPullItLate_data()
{
    QTest::addColumn<int>("latePerTen");
    QTest::addColumn<double>("ppm");
    QTest::newRow("one in ten late") << 1 << 0.0;
    QTest::newRow("half of them late") << 5 << 0.0;
    QTest::newRow("seven in ten late, a crystal 80 ppm slow") << 7 << 80.0;
}

void StreamClockModelTest::reportsSentLateDoNotPullItLate()
{
    // On a busy machine the server's reports wait before they are sent, now and then or most of
    // the time: each comes 0.4 to 1.9 ms late, within the jump limit, never early.
    QFETCH(int, latePerTen);
    QFETCH(double, ppm);
    StreamClockModel model(QStringLiteral("test"), quick());
    const Device device { ppm };
    device.feed(model, 0, 100);
    static const int delays[] = { 1900, 400, 1300, 700, 1600, 1000, 500, 1800, 900, 1200 };
    qint64 frame = 0;
    for (int i = 100; i < 400; ++i) {
        frame = qint64(i) * 882;
        const int late = (i * 3) % 10 < latePerTen ? delays[i % 10] : 0;
        model.observe(frame, qint64(device.timeOf(frame)) + late + (i % 2 ? 40 : -40));
    }
    QCOMPARE(model.reanchorCount(), 0);
    const qint64 next = frame + 2205; // a sound about to leave
    const double error = double(*model.frameTimeUs(next)) - device.timeOf(next);
    QVERIFY2(std::abs(error) < 100, qPrintable(QStringLiteral("%1 us").arg(error)));
}

void StreamClockModelTest::aLastingJumpReanchorsIt()
{
    StreamClockModel model(QStringLiteral("test"), quick());
    Device device;
    device.feed(model, 0, 100);
    // An underrun: from frame 100 × 882 on, every frame leaves 50 ms later.
    bool moved = false;
    for (int i = 100; i < 106; ++i) {
        const qint64 frame = qint64(i) * 882;
        moved = model.observe(frame, qint64(device.timeOf(frame)) + 50'000) || moved;
    }
    QVERIFY(moved);
    QCOMPARE(model.reanchorCount(), 1);
    const qint64 frame = 110 * 882;
    QVERIFY(std::abs(*model.frameTimeUs(frame) - (device.timeOf(frame) + 50'000)) < 20);
}

void StreamClockModelTest::aLateReportWhenItSettlesDoesNotBecomeTheLine()
{
    // On a busy machine a report now and then comes stamped 23 ms late. One that happens to be
    // the first after the settling time must not time the frames of the next reports, nor count
    // as a jump once the reports after it agree on where the line was all along.
    StreamClockModel model(QStringLiteral("test"), quick());
    const Device device;
    device.feed(model, 0, 5); // up to 80 ms: still settling
    const qint64 late = 5 * 882;
    model.observe(late, qint64(device.timeOf(late)) + 23'180);
    for (int i = 6; i < 20; ++i) {
        const qint64 frame = qint64(i) * 882;
        model.observe(frame, qint64(device.timeOf(frame)));
        if (!model.isSettled())
            continue;
        const qint64 next = frame + 2205; // a sound about to leave
        const double error = double(*model.frameTimeUs(next)) - device.timeOf(next);
        QVERIFY2(std::abs(error) < 50,
                 qPrintable(QStringLiteral("report %1: %2 us").arg(i).arg(error)));
    }
    QVERIFY(model.isSettled());
    QCOMPARE(model.reanchorCount(), 0);
}

void StreamClockModelTest::aJumpAfterReportsStoppedIsCounted()
{
    // No usable report for longer than the window (a stream that was not playing), and the line
    // has moved by 23 ms when they come back: that is a discontinuity like any other.
    StreamClockModel model(QStringLiteral("test"), quick());
    const Device device;
    device.feed(model, 0, 100);
    QCOMPARE(model.reanchorCount(), 0);
    const qint64 from = 100 * 882 + 4 * 44100; // four seconds later; the window holds three
    for (int i = 0; i < 6; ++i) {
        const qint64 frame = from + qint64(i) * 882;
        model.observe(frame, qint64(device.timeOf(frame)) + 23'180);
    }
    QCOMPARE(model.reanchorCount(), 1);
    const qint64 frame = from + 10 * 882;
    QVERIFY(std::abs(*model.frameTimeUs(frame) - (device.timeOf(frame) + 23'180)) < 20);
}

void StreamClockModelTest::aShortWindowKeepsTheNominalRate()
{
    // Right after the start (or a re-anchoring) a few observations must not make up a rate:
    // scatter over 0.3 s would give hundreds of ppm.
    StreamClockModel model(QStringLiteral("test"), quick());
    model.observe(0, 1'000'000);
    model.observe(441, 1'000'000 + 10'000);
    for (int i = 0; i < 15; ++i)
        model.observe(44100 / 5 + i * 882, 1'200'000 + i * 20'000 + (i % 2 ? 200 : -200));
    QCOMPARE(model.deviationPpm(), 0.0);
}

void StreamClockModelTest::exactModelTimesFramesFromFrameZero()
{
    StreamClockModel model(QStringLiteral("file"));
    model.setExact(3'000'000);
    QCOMPARE(model.frameTimeUs(0), std::optional<qint64>(3'000'000));
    QCOMPARE(model.frameTimeUs(44100 * 2), std::optional<qint64>(5'000'000));
    QCOMPARE(model.frameAtUs(4'000'000), std::optional<qint64>(44100));
}

void StreamClockModelTest::aStampIsNotMovedByAThreadHeldUpBetweenTheClocks()
{
    // The server stamped its report at program time 5 s on its wall clock, which runs a fixed
    // offset ahead. The thread that converts the stamp is held up for 4 ms between reading the
    // program clock and the wall clock (a busy machine): read once, the report would be 4 ms
    // early.
    const qint64 offsetUs = 1'700'000'000'000'000;
    qint64 programUs = 5'020'000;
    int heldUp = 1;
    const auto program = [&] { return programUs++; };
    const auto wall = [&] {
        if (heldUp-- > 0)
            programUs += 4'000;
        return programUs + offsetUs;
    };
    const std::optional<qint64> stamp =
        StreamClockModel::programTimeOf(5'000'000 + offsetUs, program, wall);
    QVERIFY(stamp);
    QVERIFY2(std::abs(*stamp - 5'000'000) <= 2, qPrintable(QString::number(*stamp)));

    // Held up at every reading: nothing is known.
    heldUp = 100;
    QVERIFY(!StreamClockModel::programTimeOf(5'000'000 + offsetUs, program, wall));
}

QTEST_GUILESS_MAIN(StreamClockModelTest)
#include "StreamClockModelTest.moc"
