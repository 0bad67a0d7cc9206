// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/LatencyProbe.h"

#include "audio/AudioSession.h"
#include "audio/SoftwareMixer.h"
#include "support/Clock.h"
#include "support/Logger.h"

#include <QMutexLocker>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orva {

namespace {

constexpr int kRate = SoftwareMixer::kSampleRate;
constexpr qint16 kClickLevel = 16384; // -6 dB: loud in an earpiece held to the microphone
constexpr qint64 kEarlyUs = 5'000; // a clock model may place an onset a little before its click
constexpr int kQuietestTrigger = 328; // -40 dB

qint64 framesOf(qint64 ms)
{
    return ms * kRate / 1000;
}

} // namespace

LatencyProbe::LatencyProbe(AudioSession &session)
    : LatencyProbe(session, Options())
{ }

LatencyProbe::LatencyProbe(AudioSession &session, const Options &options)
    : m_session(session)
    , m_options(options)
{ }

LatencyProbe::~LatencyProbe()
{
    if (m_voice != 0)
        m_session.mixer()->removeVoice(m_voice);
}

std::vector<qint16> LatencyProbe::clickTrain(const Options &options)
{
    const qint64 interval = framesOf(options.intervalMs);
    const qint64 click = std::max<qint64>(1, framesOf(options.clickMs));
    std::vector<qint16> frames(size_t((options.clicks - 1) * interval + click) * 2, 0);
    for (int k = 0; k < options.clicks; ++k)
        std::fill_n(frames.begin() + k * interval * 2, click * 2, kClickLevel);
    return frames;
}

bool LatencyProbe::start()
{
    AudioOutput *output = m_session.output();
    AudioInput *input = m_session.input();
    if (m_voice != 0 || !output || !input || !output->isRunning() || !input->isRunning()
        || !m_session.areClocksSettled()) {
        logMessage(1, "   latency test: no running, settled output and input\n");
        return false;
    }
    const std::vector<qint16> train = clickTrain(m_options);
    WaveFormat format;
    format.channels = 2;
    format.sampleRate = kRate;
    format.bitsPerSample = 16;
    format.blockAlign = 4;
    format.bytesPerSecond = kRate * 4;
    SoftwareMixer &mixer = *m_session.mixer();
    m_voice = mixer.addVoice(format, reinterpret_cast<const char *>(train.data()),
                             qint64(train.size() * sizeof(qint16)));
    if (m_voice == 0)
        return false;
    const std::optional<qint64> first =
        mixer.startVoiceAt(m_voice, 0, false, mixer.nextFrame() + framesOf(m_options.leadMs));
    if (!first) {
        mixer.removeVoice(m_voice);
        m_voice = 0;
        return false;
    }
    {
        QMutexLocker locker(&m_lock);
        m_firstClickFrame = *first;
        m_samples.clear();
        m_firstFrame.reset();
        m_blocks.clear();
        m_clicks.clear();
        m_gaps = 0;
        m_listening = true;
    }
    logMessage(1,
               QStringLiteral("   latency test: %1 clicks from output frame %2 on %3 and %4\n")
                   .arg(m_options.clicks)
                   .arg(*first)
                   .arg(output->description(), input->description()));
    return true;
}

int LatencyProbe::durationMs() const
{
    return m_options.leadMs + (m_options.clicks - 1) * m_options.intervalMs + m_options.longestMs
        + 300;
}

void LatencyProbe::samplesCaptured(qint64 firstFrame, const qint16 *samples, qint64 count)
{
    QMutexLocker locker(&m_lock);
    if (!m_listening || count <= 0)
        return;
    if (!m_firstFrame)
        m_firstFrame = firstFrame;
    const qint64 missing = firstFrame - (*m_firstFrame + qint64(m_samples.size()));
    // Two minutes at most, whatever the caller does.
    if (missing < 0 || m_samples.size() + size_t(missing + count) > size_t(kRate) * 120) {
        ++m_gaps;
        return;
    }
    if (missing > 0) {
        // Frames that never came: a fault, and silence in their place keeps the frames in line.
        ++m_gaps;
        m_samples.insert(m_samples.end(), size_t(missing), 0);
    }
    m_samples.insert(m_samples.end(), samples, samples + count);
    const qint64 faults = m_session.glitchCount() + m_gaps;
    const AudioInput *input = m_session.input();
    const std::optional<qint64> blockUs = input ? input->frameTimeUs(firstFrame) : std::nullopt;
    if (blockUs)
        m_blocks.push_back({ firstFrame - *m_firstFrame, *blockUs, faults });
    // The clicks that have left by now, on the output's clock model of now.
    const AudioOutput *output = m_session.output();
    const qint64 nowUs = m_session.clock().nowUs();
    while (output && int(m_clicks.size()) < m_options.clicks) {
        const qint64 frame =
            m_firstClickFrame + qint64(m_clicks.size()) * framesOf(m_options.intervalMs);
        const std::optional<qint64> clickUs = output->frameTimeUs(frame);
        if (!clickUs || *clickUs > nowUs)
            break;
        m_clicks.push_back({ frame, *clickUs, faults });
    }
}

LatencyProbe::Result LatencyProbe::finish()
{
    Result result;
    result.clicks = m_options.clicks;
    if (m_voice == 0)
        return result;
    std::vector<qint16> samples;
    std::vector<Stamp> blocks;
    std::vector<Stamp> clicks;
    {
        QMutexLocker locker(&m_lock);
        m_listening = false;
        samples.swap(m_samples);
        blocks.swap(m_blocks);
        clicks.swap(m_clicks);
    }
    m_session.mixer()->removeVoice(m_voice);
    m_voice = 0;
    if (clicks.empty() || blocks.empty())
        return result;
    result = analyse(clicks, blocks, 0, samples, m_options);
    logMessage(
        1,
        QStringLiteral("   latency test: %1 of %2 clicks, %3 touched by sound faults, median "
                       "%4 ms, spread %5 ms\n")
            .arg(result.heard)
            .arg(result.clicks)
            .arg(result.touched)
            .arg(result.medianMs, 0, 'f', 3)
            .arg(result.spreadMs, 0, 'f', 3));
    return result;
}

namespace {

// The block a frame lies in: the last whose first frame is not after it.
const LatencyProbe::Stamp *blockOf(const std::vector<LatencyProbe::Stamp> &blocks, qint64 frame)
{
    const auto after = std::upper_bound(
        blocks.begin(), blocks.end(), frame,
        [](qint64 f, const LatencyProbe::Stamp &block) { return f < block.frame; });
    return after == blocks.begin() ? nullptr : &*(after - 1);
}

// The fault count of the first block that entered at or after `us`; the last block's when the
// recording ended before.
qint64 faultsAt(const std::vector<LatencyProbe::Stamp> &blocks, qint64 us)
{
    for (const LatencyProbe::Stamp &block : blocks) {
        if (block.timeUs >= us)
            return block.faults;
    }
    return blocks.back().faults;
}

} // namespace

LatencyProbe::Result LatencyProbe::analyse(const std::vector<Stamp> &clicks,
                                           const std::vector<Stamp> &blocks,
                                           qint64 firstFrame,
                                           const std::vector<qint16> &samples,
                                           const Options &options)
{
    Result result;
    result.clicks = options.clicks;
    result.outcome = Outcome::NotHeard;
    if (clicks.empty() || blocks.empty() || samples.empty())
        return result;
    const auto timeOf = [&](qint64 frame) -> std::optional<qint64> {
        const Stamp *block = blockOf(blocks, frame);
        if (!block)
            return std::nullopt;
        return block->timeUs + qint64(std::llround(double(frame - block->frame) * 1e6 / kRate));
    };

    // The noise floor: what came in before the first click could have.
    qint64 quietFrames = 0;
    for (const Stamp &block : blocks) {
        if (block.timeUs >= clicks.front().timeUs - kEarlyUs)
            break;
        quietFrames = block.frame - firstFrame;
    }
    quietFrames = std::clamp<qint64>(quietFrames, 0, qint64(samples.size()));
    // Its 99th percentile: a single cough or knock before the first click does not raise it.
    std::vector<int> quiet;
    quiet.reserve(size_t(quietFrames));
    for (qint64 i = 0; i < quietFrames; ++i)
        quiet.push_back(std::abs(int(samples[size_t(i)])));
    int noise = 0;
    if (!quiet.empty()) {
        const auto percentile = quiet.begin() + qint64(quiet.size()) * 99 / 100;
        std::nth_element(quiet.begin(), percentile, quiet.end());
        noise = *percentile;
    }
    const int trigger = std::max(kQuietestTrigger, 4 * noise);

    const qint64 longestUs = qint64(options.longestMs) * 1000;
    std::vector<std::optional<qint64>> onsets(clicks.size());
    size_t next = 0; // the first click without its onset
    for (size_t i = size_t(quietFrames); i < samples.size() && next < clicks.size(); ++i) {
        if (std::abs(int(samples[i])) < trigger)
            continue;
        const std::optional<qint64> us = timeOf(firstFrame + qint64(i));
        if (!us)
            continue;
        // Clicks whose window has passed were not heard.
        while (next < clicks.size() && *us > clicks[next].timeUs + longestUs)
            ++next;
        if (next == clicks.size() || *us < clicks[next].timeUs - kEarlyUs)
            continue; // noise between the windows
        onsets[next] = *us;
        // The click's ringing is not the next click.
        i += size_t(
            std::max<qint64>(0, (clicks[next].timeUs + longestUs - *us) * kRate / 1'000'000));
        ++next;
    }

    int left = 0;
    for (size_t k = 0; k < clicks.size(); ++k) {
        if (faultsAt(blocks, clicks[k].timeUs + longestUs) != clicks[k].faults) {
            ++result.touched;
            continue;
        }
        ++left;
        if (onsets[k])
            result.latenciesMs.push_back(double(*onsets[k] - clicks[k].timeUs) / 1000.0);
    }
    // Clicks that never left (the test ended early) are neither heard nor touched.
    result.heard = int(result.latenciesMs.size());
    if (left * 2 < result.clicks) {
        result.outcome = Outcome::SoundFault;
        return result;
    }
    if (result.heard * 2 < left || result.heard == 0)
        return result;
    std::vector<double> sorted = result.latenciesMs;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    result.medianMs = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    // The spread as the median distance from the median, scaled to a standard deviation: a
    // latency that wanders (Bluetooth) shows in it, a single stray click does not.
    std::vector<double> distances;
    for (double v : sorted)
        distances.push_back(std::abs(v - result.medianMs));
    std::sort(distances.begin(), distances.end());
    const double medianDistance =
        n % 2 ? distances[n / 2] : (distances[n / 2 - 1] + distances[n / 2]) / 2;
    result.spreadMs = 1.4826 * medianDistance;
    result.outcome = Outcome::Measured;
    result.trusted = result.heard + 2 >= left && result.spreadMs <= options.trustedSpreadMs;
    return result;
}

} // namespace orva
