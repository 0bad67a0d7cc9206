// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/WaveFormat.h"

#include <QtGlobal>

#include <memory>
#include <optional>

namespace orva {

class AudioSession;
class SoftwareMixer;

/// The player of one wave: copies a block of PCM data into an output buffer of its own (a voice
/// of the session's mixer) and plays, stops and turns it down. Every ORVA_Wave owns one.
///
/// All players share one output device, opened lazily by the first create() after a player was
/// constructed (construction drops the shared reference, so the next create() opens the device
/// anew and sets the mixing format again); opening retries 10 times 500 ms apart while the device
/// is taken or missing. A buffer keeps playing on the device it was created on.
/// UI thread only; the mixer plays the buffers on the device's thread.
class CDirectSound
{
public:
    CDirectSound();
    ~CDirectSound();
    CDirectSound(const CDirectSound &) = delete;
    CDirectSound &operator=(const CDirectSound &) = delete;

    /// Copies `size` bytes of `data` in `format` into a new output buffer, replacing (and
    /// silencing) the previous one. `window` owns boxes on the original platform and is unused.
    /// Returns 1 on success, 0 on failure (the player then holds no buffer).
    int create(const WaveFormat *format, const char *data, quint32 size, void *window = nullptr);
    /// Plays from sample frame `start` (limited to the data), endlessly with `loop`.
    void play(quint32 start, bool loop);
    /// As play(), but so that the first frame leaves the output at `startUs` on the program clock,
    /// by the output's clock model: the mixer places it at the frame that leaves then. A time too
    /// near to be met (the frame is rendered already) starts it as soon as it can; without a
    /// clock model it starts as play() does. playStartUs() tells when it leaves.
    void playAt(quint32 start, bool loop, qint64 startUs);
    /// Stops where it is; the next play sets the position.
    void stop();
    /// Attenuation in dB: 0 full, -100 silent; a positive value changes nothing.
    void setVolume(double dB);
    /// The buffer's attenuation in dB; 0 without a buffer.
    double getVolume() const;

    /// Device, output buffer, data and a non-zero size are all present.
    bool isReady() const;
    /// When the first frame of the last play() leaves the output, on the program clock (µs), by
    /// the output's clock model; nothing when that is not known or no device plays it.
    std::optional<qint64> playStartUs() const;
    /// The mixer's output frame of the last play()'s first frame; nothing before a play.
    std::optional<qint64> playStartFrame() const { return m_playStartFrame; }

    /// Live players in the process.
    static qint32 m_dwInstances;

    /// The device that players share while it is open: the session's mixer and output.
    struct SharedDevice;

private:
    void releaseBuffer();
    /// Starts the voice at `start` (the wave's frames) for output frame `outputFrame`.
    void startBuffer(quint32 start, bool loop, qint64 outputFrame);

    const char *m_data = nullptr; // not owned: the wave's first block at the last create
    quint32 m_size = 0;
    qint64 m_buffer = 0; // the voice in the device's mixer; 0: none
    std::shared_ptr<SharedDevice> m_bufferDevice; // the device m_buffer was created on
    qint32 m_durationMs = 0;
    quint32 m_sampleRate = 0;
    WaveFormat m_format;
    qint32 m_volumeHundredths = 0; // as the device holds it: 0 .. -10,000
    std::optional<qint64> m_playStartFrame;

    static std::shared_ptr<SharedDevice> s_sharedDevice;
};

} // namespace orva
