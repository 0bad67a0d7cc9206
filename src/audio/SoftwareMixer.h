// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioOutput.h"
#include "audio/DeviceResult.h"
#include "audio/WaveFormat.h"

#include <QMutex>

#include <map>
#include <optional>
#include <vector>

namespace orva {

/// The one mixer of the process (the players' "primary buffer"): sums every player's voice into
/// a 44,100 Hz, 16-bit stereo stream that runs for the whole session, silence when nothing plays.
/// A voice (a player's "output buffer") holds its own copy of the samples converted to the
/// mixer's format, a loop flag, a linear gain and the output frame at which it started.
/// Voices are changed on the UI thread; render() runs on the output device's thread.
class SoftwareMixer final : public FrameSource
{
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    using VoiceId = qint64;

    /// Converts `bytes` of PCM in `format` (8 or 16 bits, 1 or 2 channels, any rate, resampled
    /// linearly) and keeps them as a stopped voice at gain 1. Returns 0 and sets `result` when
    /// the format cannot be played.
    VoiceId addVoice(const WaveFormat &format,
                     const char *bytes,
                     qint64 size,
                     DeviceResult *result = nullptr);
    void removeVoice(VoiceId voice);
    /// Starts `voice` at its own frame `fromFrame` (in the wave's frames) with the next frame the
    /// mixer renders, playing it once or endlessly. Returns that output frame.
    std::optional<qint64> startVoice(VoiceId voice, qint64 fromFrame, bool loop);
    /// As startVoice(), but the voice's first frame goes out as output frame `outputFrame`, with
    /// silence from it until then; a frame already rendered is too late, and the voice then
    /// starts with the next frame the mixer renders. Returns the output frame it starts at.
    std::optional<qint64>
    startVoiceAt(VoiceId voice, qint64 fromFrame, bool loop, qint64 outputFrame);
    /// Stops `voice` where it is.
    void stopVoice(VoiceId voice);
    /// Linear gain, 0 silent .. 1 as recorded.
    void setVoiceGain(VoiceId voice, double gain);
    bool isVoicePlaying(VoiceId voice) const;
    /// The output frame at which the voice's last start begins (it may lie ahead); nothing when
    /// never started.
    std::optional<qint64> voiceStartFrame(VoiceId voice) const;
    int voiceCount() const;

    qint64 nextFrame() const override;
    /// Sums every playing voice × its gain, rounded and clipped to 16 bits.
    void render(qint16 *out, qint64 frames) override;

    /// Whether the mixer plays PCM of `format` (8 or 16 bits, 1 or 2 channels, a rate it can
    /// resample).
    static bool canPlay(const WaveFormat &format);
    /// The conversion addVoice() applies: interleaved stereo 16-bit at 44,100 Hz; nothing for a
    /// format the mixer cannot play.
    static std::optional<std::vector<qint16>>
    convert(const WaveFormat &format, const char *bytes, qint64 size);

private:
    struct Voice
    {
        std::vector<qint16> samples; ///< interleaved stereo
        qint64 position = 0; ///< next frame of the voice to play
        std::optional<qint64> startFrame;
        float gain = 1.0f;
        bool playing = false;
        bool loop = false;
    };

    mutable QMutex m_lock; // guards everything below between the UI and the device thread
    std::map<VoiceId, Voice> m_voices;
    VoiceId m_lastId = 0;
    qint64 m_nextFrame = 0;
    std::vector<float> m_sum;
};

} // namespace orva
