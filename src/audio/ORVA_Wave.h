// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace orva {

/// An in-memory PCM recording with its own player.
/// Placeholder until the audio engine lands: it holds no samples and plays nothing.
class ORVA_Wave
{
public:
    ORVA_Wave() = default;
    ORVA_Wave(const ORVA_Wave &) = default;
    ORVA_Wave &operator=(const ORVA_Wave &) = default;
    virtual ~ORVA_Wave() = default;

    bool loadFile(const QString &) { return false; }
    qint32 sampleCount() const { return 0; }
    qint32 durationMs() const { return 0; }
    bool mixIn(const ORVA_Wave &, double, double) { return true; }
    bool play(bool, bool) { return true; }
    void stop() { }
    void setVolume(int) { }
    /// When the first frame of the last play() left the output, on the program clock (µs);
    /// nothing when no device plays it.
    std::optional<qint64> playStartUs() const { return std::nullopt; }
};

} // namespace orva
