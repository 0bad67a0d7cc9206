// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace orva {

/// An in-memory PCM recording. Until the audio engine lands it only knows whether it holds sound.
class ORVA_Wave
{
public:
    bool hasSound() const { return m_frames > 0; }
    /// Playing length in milliseconds.
    qint64 durationMs() const { return m_frames * 1000 / 44100; }
    void setSilentFrames(qint64 frames) { m_frames = frames; }

private:
    qint64 m_frames = 0;
};

} // namespace orva
