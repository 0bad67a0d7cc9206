// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/WaveFormat.h"
#include "support/Status.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace orva {

class CDirectSound;

/// A RIFF/WAVE file taken apart: the format and the bytes of its "data" chunk.
struct RiffWave
{
    WaveFormat format;
    QByteArray data;
};

/// Reads a WAV file held in memory. Never reads past `bytes`; a damaged file gives the message
/// of the step that failed ("Wave::Load : Not a PCM file", ...).
Result<RiffWave> parseRiffWave(const QByteArray &bytes);

/// An in-memory PCM recording: 8- or 16-bit samples, mono or interleaved stereo, in one or more
/// blocks. Every sound the program plays or records is one. UI thread only.
class ORVA_Wave
{
public:
    /// Larger files are refused before they are read: the longest recording of the program, an
    /// instruction of a few minutes, takes a few tens of megabytes, and reading a file of
    /// gigabytes would take the memory of the whole machine.
    static constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;

    ORVA_Wave();
    /// Copies format and samples; the copy's player is a new, idle one.
    ORVA_Wave(const ORVA_Wave &other);
    /// Copies format and samples; this wave keeps its own player.
    ORVA_Wave &operator=(const ORVA_Wave &other);
    virtual ~ORVA_Wave();

    /// Empties the wave and sets a mono PCM format; rates 11,025, 22,050 or 44,100 Hz, 8 or 16
    /// bits. Reports "Invalid sample rate: %d" or "Invalid sample size: %d" otherwise.
    bool setFormat(quint32 rate, quint16 bits);
    /// Replaces format and samples by the file's. Every failure is reported (a box each, the
    /// step's message and then "Load WAV-File: Failed to load file").
    bool loadFile(const QString &path);

    const WaveFormat &format() const { return m_format; }
    /// Samples over all blocks; the channels of a frame count separately.
    qint32 sampleCount() const;
    /// Sample `index` on the 16-bit scale (8-bit samples as (byte - 128) × 256); 0 beyond the end.
    qint32 getSample(qint32 index) const;
    /// Stores `value` clipped to the sample size; nothing beyond the end.
    void setSample(qint32 index, qint32 value);
    /// sampleCount × 1000 ÷ rate ÷ channels, truncated.
    qint32 durationMs() const;
    /// Adds `other` × `otherGain` under this wave × `ownGain`, with 20 ms ramps at both ends.
    bool mixIn(const ORVA_Wave &other, double otherGain, double ownGain);
    /// Drops every sample.
    void clear();
    /// Adds a block of raw samples in this wave's format at the end.
    void appendBlock(const QByteArray &bytes);
    int blockCount() const { return static_cast<int>(m_blocks.size()); }
    const QByteArray &block(int i) const { return m_blocks[i]; }

    /// Plays the first block from its start, endlessly with `loop`, silent with `startSilent`.
    bool play(bool loop, bool startSilent);
    /// Plays the first block once at its volume so that its first frame leaves the output at
    /// `startUs` on the program clock, or as soon after as the output allows.
    void playAt(qint64 startUs);
    void stop();
    /// Volume in dB: 0 full, -100 silent.
    void setVolume(int dB);
    /// When the first frame of the last play() left the output, on the program clock (µs);
    /// nothing when no device plays it.
    std::optional<qint64> playStartUs() const;

private:
    void copySamplesFrom(const ORVA_Wave &other);
    /// Hands the first block to the player; false when there is nothing to play or it failed.
    bool createPlayer();
    /// The block and the byte offset of sample `index`, or false beyond the end.
    bool locate(qint32 index, int &block, qint32 &offset) const;

    WaveFormat m_format;
    QList<QByteArray> m_blocks;
    std::unique_ptr<CDirectSound> m_player; ///< made on the first play
};

} // namespace orva
