// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExactAudioInput.h"
#include "ManualClock.h"
#include "ScriptedAudioOutput.h"
#include "audio/AudioSession.h"

#include <vector>

namespace orva::test {

/// A sound session whose output comes back into its input `delayFrames` later (a cable, or a
/// headset whose latency nobody reports), both devices timed exactly on one crystal from the
/// clock's time at construction. The test plays it block by block; the clock follows the frames.
class SoundLoop
{
public:
    static constexpr qint64 kBlock = 441; ///< 10 ms

    SoundLoop(ManualClock &clock, int delayFrames)
        : clock(clock)
        , session(clock)
        , m_heard(size_t(delayFrames), 0)
    {
        auto scripted = std::make_unique<ScriptedAudioOutput>();
        auto exact = std::make_unique<ExactAudioInput>();
        output = scripted.get();
        input = exact.get();
        output->startUs = input->startUs = clock.nowUs();
        session.setOutput(std::move(scripted));
        session.setInput(std::move(exact));
    }

    /// Renders the next block and moves the clock to its end; the input hears it late. Hands
    /// the block to `sink`, or to whoever started the input, unless `deliver` is false (frames
    /// that never arrive).
    void step(CaptureSink *sink = nullptr, bool deliver = true)
    {
        const std::vector<qint16> frames = output->render(kBlock);
        for (size_t i = 0; i < frames.size(); i += 2)
            m_heard.push_back(frames[i]);
        clock.setUs(*input->frameTimeUs(m_done + kBlock));
        if (deliver && sink)
            sink->samplesCaptured(m_done, m_heard.data() + m_done, kBlock);
        else if (deliver)
            input->deliver(m_done, m_heard.data() + m_done, kBlock);
        m_done += kBlock;
    }
    /// Steps through `ms` of sound.
    void play(qint64 ms, CaptureSink *sink = nullptr)
    {
        for (qint64 end = m_done + ms * 441 / 10; m_done < end;)
            step(sink);
    }
    /// Frames played so far.
    qint64 done() const { return m_done; }

    ManualClock &clock;
    AudioSession session;
    ScriptedAudioOutput *output = nullptr;
    ExactAudioInput *input = nullptr;

private:
    std::vector<qint16> m_heard;
    qint64 m_done = 0;
};

} // namespace orva::test
