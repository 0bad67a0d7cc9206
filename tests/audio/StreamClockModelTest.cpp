// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/StreamClockModel.h"

#include <QTest>

using namespace orva;

class StreamClockModelTest : public QObject
{
    Q_OBJECT

private slots:
    void mapsFramesThroughTheMedianOffset();
    void ignoresWhatCameBeforeItSettled();
    void aSingleOutlierDoesNotMoveIt();
    void aLastingJumpReanchorsIt();
    void exactModelTimesFramesFromFrameZero();
};

namespace {

StreamClockModel::Options quick()
{
    StreamClockModel::Options options;
    options.settleUs = 100'000;
    options.windowUs = 1'000'000;
    return options;
}

} // namespace

void StreamClockModelTest::mapsFramesThroughTheMedianOffset()
{
    StreamClockModel model(QStringLiteral("test"), quick());
    QVERIFY(!model.frameTimeUs(0));
    // Stream time runs 1 s behind the program clock, with a scatter of a few µs.
    const qint64 jitter[] = { 0, 30, -20, 10, 500, -10, 20 };
    qint64 now = 10'000'000;
    for (int round = 0; round < 5; ++round) {
        for (qint64 j : jitter) {
            now += 5'000;
            model.observe(now, now - 1'000'000 - j);
        }
    }
    QVERIFY(model.isSettled());
    QCOMPARE(model.offsetUs(), std::optional<qint64>(1'000'000 + 10));
    QCOMPARE(model.frameTimeUs(44100), std::optional<qint64>(2'000'010));
    QCOMPARE(model.frameTimeUs(441), std::optional<qint64>(1'010'010));
}

void StreamClockModelTest::ignoresWhatCameBeforeItSettled()
{
    StreamClockModel model(QStringLiteral("test"), quick());
    qint64 now = 0;
    for (int i = 0; i < 10; ++i) { // a stream that starts with 40 ms of slack
        now += 5'000;
        model.observe(now, now - 40'000);
    }
    for (int i = 0; i < 30; ++i) {
        now += 5'000;
        model.observe(now, now - 25'000);
    }
    QCOMPARE(model.offsetUs(), std::optional<qint64>(25'000));
    QCOMPARE(model.reanchorCount(), 0);
}

void StreamClockModelTest::aSingleOutlierDoesNotMoveIt()
{
    StreamClockModel model(QStringLiteral("test"), quick());
    qint64 now = 0;
    for (int i = 0; i < 40; ++i) {
        now += 5'000;
        model.observe(now, now - 20'000);
    }
    now += 5'000;
    QVERIFY(!model.observe(now, now - 90'000));
    QCOMPARE(model.offsetUs(), std::optional<qint64>(20'000));
}

void StreamClockModelTest::aLastingJumpReanchorsIt()
{
    StreamClockModel model(QStringLiteral("test"), quick());
    qint64 now = 0;
    for (int i = 0; i < 40; ++i) {
        now += 5'000;
        model.observe(now, now - 20'000);
    }
    bool moved = false;
    for (int i = 0; i < 6; ++i) { // the server dropped 50 ms of stream time
        now += 5'000;
        moved = model.observe(now, now - 70'000) || moved;
    }
    QVERIFY(moved);
    QCOMPARE(model.reanchorCount(), 1);
    QCOMPARE(model.offsetUs(), std::optional<qint64>(70'000));
}

void StreamClockModelTest::exactModelTimesFramesFromFrameZero()
{
    StreamClockModel model(QStringLiteral("file"));
    model.setExact(3'000'000);
    QCOMPARE(model.frameTimeUs(0), std::optional<qint64>(3'000'000));
    QCOMPARE(model.frameTimeUs(44100 * 2), std::optional<qint64>(5'000'000));
    QCOMPARE(model.frameAtUs(4'000'000), std::optional<qint64>(44100));
}

QTEST_GUILESS_MAIN(StreamClockModelTest)
#include "StreamClockModelTest.moc"
