// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioOutput.h"

#include <cmath>
#include <vector>

namespace orva::test {

/// An output device the test drives: it renders when asked and times frames from a fixed start.
class ScriptedAudioOutput final : public AudioOutput
{
public:
    DeviceResult start(FrameSource &source) override
    {
        if (!startResults.empty()) {
            const DeviceResult result = startResults.front();
            startResults.erase(startResults.begin());
            if (!result.isOk())
                return result;
        }
        m_source = &source;
        firstFrame = source.nextFrame();
        return DeviceResult::ok();
    }
    void stop() override { m_source = nullptr; }
    bool isRunning() const override { return m_source != nullptr; }
    std::optional<qint64> frameTimeUs(qint64 frame) const override
    {
        if (!m_source)
            return std::nullopt;
        if (ppm == 0)
            return startUs + (frame - firstFrame) * 1'000'000 / 44100;
        return startUs
            + qint64(std::floor(double(frame - firstFrame) * 1e6 / 44100 * (1 + ppm / 1e6)));
    }
    qint64 underflowCount() const override { return underflows; }
    QString description() const override { return QStringLiteral("scripted"); }

    /// Renders `frames` stereo frames and keeps them.
    std::vector<qint16> render(qint64 frames)
    {
        std::vector<qint16> out(frames * 2);
        if (m_source)
            m_source->render(out.data(), frames);
        return out;
    }

    qint64 startUs = 5'000'000;
    qint64 firstFrame = 0;
    qint64 underflows = 0;
    /// How much longer than nominal a frame lasts, in parts per million (a slow crystal).
    double ppm = 0;
    std::vector<DeviceResult> startResults; ///< results of the next start() calls

private:
    FrameSource *m_source = nullptr;
};

} // namespace orva::test
