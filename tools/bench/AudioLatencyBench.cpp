// SPDX-License-Identifier: GPL-3.0-or-later
// How exactly the program times a reaction: trials through a PulseAudio server of its own whose
// listener repeats everything 300 ms late. Prints the reaction times measured on one clock (the
// time the sound left the output, the time the answer entered the input) beside those of reading
// the clock at the play call and when the capture buffer was handled, and the delays behind them.
//   orva_audio_latency_bench [trials, default 50]
#include "audio/AudioSession.h"
#include "audio/ORVA_Wave.h"
#include "audio/ORVA_WaveInDevice.h"
#include "audio/PulseServer.h"
#include "audio/WavBytes.h"
#include "audio/backends/pulse/PulseAudio.h"
#include "support/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

using namespace orva;

namespace {

/// Passes captured samples on and notes when each delivery came.
class TimedSink final : public CaptureSink
{
public:
    TimedSink(CaptureSink &next, const Clock &clock)
        : m_next(next)
        , m_clock(clock)
    { }
    void samplesCaptured(qint64 firstFrame, const qint16 *samples, qint64 count) override
    {
        {
            std::lock_guard lock(m_lock);
            m_deliveries.push_back(m_clock.nowUs());
        }
        m_next.samplesCaptured(firstFrame, samples, count);
    }
    std::vector<qint64> intervals()
    {
        std::lock_guard lock(m_lock);
        std::vector<qint64> result;
        for (std::size_t i = 1; i < m_deliveries.size(); ++i)
            result.push_back(m_deliveries[i] - m_deliveries[i - 1]);
        return result;
    }

private:
    CaptureSink &m_next;
    const Clock &m_clock;
    std::mutex m_lock;
    std::vector<qint64> m_deliveries;
};

/// The input, but its samples go through a TimedSink first.
class TimedInput final : public AudioInput
{
public:
    TimedInput(AudioInput &input, const Clock &clock)
        : m_input(input)
        , m_clock(clock)
    { }
    bool supportsCaptureFormat() const override { return m_input.supportsCaptureFormat(); }
    DeviceResult start(CaptureSink &sink) override
    {
        m_sink = std::make_unique<TimedSink>(sink, m_clock);
        return m_input.start(*m_sink);
    }
    void stop() override { m_input.stop(); }
    bool isRunning() const override { return m_input.isRunning(); }
    std::optional<qint64> frameTimeUs(qint64 frame) const override
    {
        return m_input.frameTimeUs(frame);
    }
    qint64 overflowCount() const override { return m_input.overflowCount(); }
    QString description() const override { return m_input.description(); }
    TimedSink &sink() { return *m_sink; }

private:
    AudioInput &m_input;
    const Clock &m_clock;
    std::unique_ptr<TimedSink> m_sink;
};

struct Figures
{
    double mean = 0;
    double sd = 0;
    double median = 0;
    double worst = 0;
};

Figures figures(std::vector<double> values)
{
    Figures f;
    if (values.empty())
        return f;
    for (double v : values)
        f.mean += v / values.size();
    for (double v : values)
        f.sd += (v - f.mean) * (v - f.mean) / std::max<std::size_t>(1, values.size() - 1);
    f.sd = std::sqrt(f.sd);
    std::sort(values.begin(), values.end());
    f.median = values[values.size() / 2];
    f.worst = values.back();
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int trials = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    const int listenerMs = argc > 2 ? std::max(0, atoi(argv[2])) : 300;
    test::PulseServer server(listenerMs);
    if (!server.isRunning()) {
        std::fprintf(stderr, "audio latency bench: %s\n", qPrintable(server.error()));
        return 1;
    }
    SteadyClock clock;
    AudioSession session(clock);
    session.setOutput(std::make_unique<PulseAudioOutput>(clock, QStringLiteral("headphones")));
    AudioSession::setCurrent(&session);
    if (!session.startOutput().isOk()) {
        std::fprintf(stderr, "audio latency bench: the output did not start\n");
        return 1;
    }
    PulseAudioInput pulseInput(clock,
                               listenerMs > 0 ? QStringLiteral("voice.monitor")
                                              : QStringLiteral("headphones.monitor"));
    TimedInput input(pulseInput, clock);
    ORVA_WaveInDevice capture(clock);
    std::optional<qint64> onsetUs;
    qint64 handledUs = 0;
    capture.setOnsetHandler([&](qint64 us) {
        if (!onsetUs) {
            onsetUs = us;
            handledUs = clock.nowUs(); // what reading the clock in the handler gives
        }
    });
    if (!capture.startCapture(&input)) {
        std::fprintf(stderr, "audio latency bench: the capture did not start\n");
        return 1;
    }
    QTest::qWait(2000);

    const int k = 441;
    QList<qint16> samples(k, 0);
    for (int i = 0; i < 4410; ++i)
        samples.append(qint16(20000 * std::sin(2 * M_PI * 440 * i / 44100.0)));
    std::vector<double> oneClock, clockReading, playDelay;
    int missed = 0;
    int glitched = 0;
    // Trial 0 warms the loop up (the loopback's first buffers) and is not counted.
    for (int trial = -1; trial < trials; ++trial) {
        ORVA_Wave wave;
        (void)wave.setFormat(44100, 16);
        wave.appendBlock(test::WavBytes::samples16(samples));
        onsetUs.reset();
        const qint64 glitchesBefore = session.glitchCount();
        const qint64 callUs = clock.nowUs();
        wave.play(false, false);
        const std::optional<qint64> startUs = wave.playStartUs();
        QElapsedTimer waited;
        waited.start();
        while (!onsetUs && waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!onsetUs || !startUs) {
            missed += trial >= 0 ? 1 : 0;
            continue;
        }
        if (trial < 0) {
            QTest::qWait(900); // the delayed sound of this trial is over
            continue;
        }
        // A trial with an underrun or overflow between the sound and its onset is counted, and
        // its figures are kept: they show what such a glitch does to a measurement.
        glitched += session.glitchCount() != glitchesBefore ? 1 : 0;
        oneClock.push_back((*onsetUs - *startUs) / 1000.0 - k / 44.1);
        clockReading.push_back((handledUs - callUs) / 1000.0 - k / 44.1);
        playDelay.push_back((*startUs - callUs) / 1000.0);
        QTest::qWait(900); // the delayed sound of this trial is over
    }
    std::vector<double> delivery;
    for (qint64 us : input.sink().intervals())
        delivery.push_back(us / 1000.0);
    capture.stopCapture();
    session.stopDevices();
    AudioSession::setCurrent(nullptr);

    const Figures one = figures(oneClock);
    const Figures reading = figures(clockReading);
    const Figures play = figures(playDelay);
    const Figures deliveries = figures(delivery);
    std::printf("reaction times on one clock, less the sound's own onset (ms):");
    for (double v : oneClock)
        std::printf(" %.2f", v);
    std::printf("\n");
    std::printf("trials: %d answered, %d missed; the listener repeats %d ms late\n",
                int(oneClock.size()), missed, listenerMs);
    std::printf("reaction time on one clock:        mean %8.3f ms  SD %6.3f ms\n", one.mean,
                one.sd);
    std::printf("reaction time from clock readings: mean %8.3f ms  SD %6.3f ms\n", reading.mean,
                reading.sd);
    std::printf("play call to sound leaving:        median %6.2f ms  worst %6.2f ms\n", play.median,
                play.worst);
    std::printf("capture delivery interval:         median %6.2f ms  worst %6.2f ms\n",
                deliveries.median, deliveries.worst);
    std::printf("glitches (underruns and overflows): %lld in all, in %d of the trials\n",
                static_cast<long long>(session.glitchCount()), glitched);
    return missed == 0 ? 0 : 1;
}
