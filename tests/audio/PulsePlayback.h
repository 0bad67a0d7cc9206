// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ReferenceTrials.h"
#include "audio/AudioSession.h"
#include "audio/backends/pulse/PulseAudio.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedRunOutput.h"
#include "records/StartupData.h"

#include <utility>

namespace orva::test {

/// The program's own playback (instruction, hearing check, test tone) on a PulseAudio server of
/// the test's own: the session's output is the "headphones" sink, and parec records its monitor
/// (the client's ears) from construction on. The demo installation's material and a run
/// controller stand around it. Check skipReason() first.
struct PulsePlayback
{
    explicit PulsePlayback(const QString &demo)
    {
        startup.baseDirectory = demo;
        if (!server.isRunning())
            return;
        session.setOutput(std::make_unique<PulseAudioOutput>(clock, QStringLiteral("headphones")));
        previous = AudioSession::setCurrent(&session);
    }
    ~PulsePlayback() { stop(); }

    /// Why the test cannot run here; empty when it can.
    QString skipReason() const
    {
        if (!server.isRunning())
            return server.error();
        return ears.isRunning() ? QString() : QStringLiteral("parec did not start");
    }
    /// Ends the recording and the sound.
    void stop()
    {
        ears.stop();
        session.stopDevices();
        if (AudioSession::current() == &session)
            AudioSession::setCurrent(previous);
    }

    PulseServer server;
    ParecRecording ears { QStringLiteral("headphones.monitor"), 44100, 2,
                          server.filePath(QStringLiteral("ears.raw")) };
    SteadyClock clock;
    AudioSession session { clock };
    AudioSession *previous = nullptr;
    StartupData startup;
    ORVA_Experiment experiment;
    ManualClock runClock;
    ScriptedRunOutput runOutput { runClock };
    RecordingMessageBoxes boxes;
    RunController controller { experiment, runOutput, clock, boxes, startup.strings };
};

/// The first and the last frame at which any of `channels` reaches `audible`; (-1, -1) for none.
inline std::pair<qint64, qint64> audibleExtent(const std::vector<std::vector<qint16>> &channels,
                                               int audible)
{
    qint64 first = -1;
    qint64 last = -1;
    for (const std::vector<qint16> &samples : channels) {
        for (qint64 i = 0; i < qint64(samples.size()); ++i) {
            if (std::abs(samples[size_t(i)]) >= audible) {
                if (first < 0 || i < first)
                    first = i;
                last = std::max(last, i);
            }
        }
    }
    return { first, last };
}

} // namespace orva::test
