// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace orva {

/// The format of a wave: the first 16 bytes of a WAV file's "fmt " chunk, field by field.
struct WaveFormat
{
    quint16 formatTag = 1; ///< 1: PCM
    quint16 channels = 1;
    quint32 sampleRate = 11025;
    quint32 bytesPerSecond = 11025;
    quint16 blockAlign = 1;
    quint16 bitsPerSample = 8;

    bool operator==(const WaveFormat &) const = default;
};

} // namespace orva
