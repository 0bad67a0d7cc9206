// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/SoftwareMixer.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <new>

namespace orva {

namespace {

/// Highest source rate the mixer resamples; beyond it a format is taken as damaged.
constexpr quint32 kMaximumRate = 384000;

qint32 sampleAt(const char *frame, int channel, int bits)
{
    if (bits == 16)
        return qFromLittleEndian<qint16>(frame + 2 * channel);
    return (static_cast<quint8>(frame[channel]) - 128) * 256;
}

} // namespace

bool SoftwareMixer::canPlay(const WaveFormat &format)
{
    const int bits = format.bitsPerSample;
    const int channels = format.channels;
    return format.formatTag == 1 && (bits == 8 || bits == 16) && (channels == 1 || channels == 2)
        && format.sampleRate != 0 && format.sampleRate <= kMaximumRate;
}

std::optional<std::vector<qint16>>
SoftwareMixer::convert(const WaveFormat &format, const char *bytes, qint64 size)
{
    if (!canPlay(format) || size < 0)
        return std::nullopt;
    const int bits = format.bitsPerSample;
    const int channels = format.channels;
    const int frameBytes = channels * bits / 8;
    const qint64 inFrames = size / frameBytes;
    const quint32 rate = format.sampleRate;
    // Output frame j lies at input position j × rate / 44,100; the last one still inside.
    const qint64 outFrames = rate == quint32(kSampleRate)
        ? inFrames
        : (inFrames == 0 ? 0 : ((inFrames - 1) * kSampleRate) / rate + 1);
    std::vector<qint16> out(static_cast<size_t>(outFrames * kChannels));
    for (qint64 j = 0; j < outFrames; ++j) {
        const qint64 scaled = j * rate;
        const qint64 index = scaled / kSampleRate;
        const double fraction = double(scaled % kSampleRate) / kSampleRate;
        const char *frame = bytes + index * frameBytes;
        const char *next = index + 1 < inFrames ? frame + frameBytes : frame;
        for (int channel = 0; channel < kChannels; ++channel) {
            const int from = channels == 1 ? 0 : channel;
            const qint32 a = sampleAt(frame, from, bits);
            if (fraction == 0.0) {
                out[j * kChannels + channel] = static_cast<qint16>(a);
                continue;
            }
            const qint32 b = sampleAt(next, from, bits);
            out[j * kChannels + channel] = static_cast<qint16>(std::lrint(a + (b - a) * fraction));
        }
    }
    return out;
}

SoftwareMixer::VoiceId SoftwareMixer::addVoice(const WaveFormat &format,
                                               const char *bytes,
                                               qint64 size,
                                               DeviceResult *result)
{
    std::optional<std::vector<qint16>> samples;
    try {
        samples = convert(format, bytes, size);
    } catch (const std::bad_alloc &) {
        if (result)
            *result = DeviceResult(DeviceResult::kOutOfMemory);
        return 0;
    }
    if (!samples) {
        if (result)
            *result = DeviceResult(DeviceResult::kBadFormat);
        return 0;
    }
    QMutexLocker locker(&m_lock);
    const VoiceId id = ++m_lastId;
    m_voices[id].samples = std::move(*samples);
    if (result)
        *result = DeviceResult::ok();
    return id;
}

void SoftwareMixer::removeVoice(VoiceId voice)
{
    std::vector<qint16> released;
    {
        QMutexLocker locker(&m_lock);
        const auto found = m_voices.find(voice);
        if (found == m_voices.end())
            return;
        released.swap(found->second.samples); // freed outside the lock
        m_voices.erase(found);
    }
}

std::optional<qint64> SoftwareMixer::startVoice(VoiceId voice, qint64 fromFrame, bool loop)
{
    return startVoiceAt(voice, fromFrame, loop, 0);
}

std::optional<qint64>
SoftwareMixer::startVoiceAt(VoiceId voice, qint64 fromFrame, bool loop, qint64 outputFrame)
{
    QMutexLocker locker(&m_lock);
    const auto found = m_voices.find(voice);
    if (found == m_voices.end())
        return std::nullopt;
    Voice &v = found->second;
    const qint64 frames = qint64(v.samples.size()) / kChannels;
    v.position = std::clamp<qint64>(fromFrame, 0, frames);
    v.loop = loop;
    v.playing = true;
    v.startFrame = std::max(outputFrame, m_nextFrame);
    return v.startFrame;
}

void SoftwareMixer::stopVoice(VoiceId voice)
{
    QMutexLocker locker(&m_lock);
    const auto found = m_voices.find(voice);
    if (found != m_voices.end())
        found->second.playing = false;
}

void SoftwareMixer::setVoiceGain(VoiceId voice, double gain)
{
    QMutexLocker locker(&m_lock);
    const auto found = m_voices.find(voice);
    if (found != m_voices.end())
        found->second.gain = static_cast<float>(std::clamp(gain, 0.0, 1.0));
}

bool SoftwareMixer::isVoicePlaying(VoiceId voice) const
{
    QMutexLocker locker(&m_lock);
    const auto found = m_voices.find(voice);
    return found != m_voices.end() && found->second.playing;
}

std::optional<qint64> SoftwareMixer::voiceStartFrame(VoiceId voice) const
{
    QMutexLocker locker(&m_lock);
    const auto found = m_voices.find(voice);
    if (found == m_voices.end())
        return std::nullopt;
    return found->second.startFrame;
}

int SoftwareMixer::voiceCount() const
{
    QMutexLocker locker(&m_lock);
    return static_cast<int>(m_voices.size());
}

qint64 SoftwareMixer::nextFrame() const
{
    QMutexLocker locker(&m_lock);
    return m_nextFrame;
}

void SoftwareMixer::render(qint16 *out, qint64 frames)
{
    if (frames <= 0)
        return;
    QMutexLocker locker(&m_lock);
    m_sum.assign(static_cast<size_t>(frames * kChannels), 0.0f);
    for (auto &[id, voice] : m_voices) {
        if (!voice.playing)
            continue;
        const qint64 voiceFrames = qint64(voice.samples.size()) / kChannels;
        const qint16 *samples = voice.samples.data();
        qint64 f = 0;
        if (voice.startFrame && *voice.startFrame > m_nextFrame) {
            // Started for a frame ahead: silent until then.
            const qint64 wait = *voice.startFrame - m_nextFrame;
            if (wait >= frames)
                continue;
            f = wait;
        }
        while (f < frames) {
            if (voice.position >= voiceFrames) {
                if (!voice.loop || voiceFrames == 0) {
                    voice.playing = false;
                    break;
                }
                voice.position = 0;
            }
            const qint64 run = std::min(frames - f, voiceFrames - voice.position);
            const qint16 *from = samples + voice.position * kChannels;
            float *to = m_sum.data() + f * kChannels;
            for (qint64 k = 0; k < run * kChannels; ++k)
                to[k] += from[k] * voice.gain;
            voice.position += run;
            f += run;
        }
        if (voice.position >= voiceFrames && !voice.loop)
            voice.playing = false;
    }
    for (qint64 k = 0; k < frames * kChannels; ++k)
        out[k] = static_cast<qint16>(std::clamp<long>(std::lrint(m_sum[k]), -32768, 32767));
    m_nextFrame += frames;
}

} // namespace orva
