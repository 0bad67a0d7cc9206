// SPDX-License-Identifier: GPL-3.0-or-later
// The WAV reader on any bytes: it must not crash or read outside them, and what it accepts must be
// a PCM format with a data chunk that lies inside the file.
#include "audio/ORVA_Wave.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const orva::Result<orva::RiffWave> wave = orva::parseRiffWave(bytes);
    if (!wave.ok())
        return 0;
    if (wave.value().format.formatTag != 1 || wave.value().data.size() > bytes.size())
        std::abort();
    return 0;
}
