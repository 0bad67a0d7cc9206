// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"

#include <QString>

#include <memory>
#include <optional>

namespace orva {

class AudioBackendChoice;
class Clock;

/// Makes the devices of the "AudioOutput" and "AudioInput" values: the sound server's through the
/// backend the value chooses (asking once whether PipeWire answers, and saying in the log which
/// backend and why), the core's otherwise. UI thread.
class SoundDevices
{
public:
    explicit SoundDevices(const Clock &clock)
        : m_clock(clock)
    { }

    std::unique_ptr<AudioOutput> output(const QString &value);
    std::unique_ptr<AudioInput> input(const QString &value);

private:
    AudioBackendChoice choose(const char *role, const QString &value);

    const Clock &m_clock;
    std::optional<bool> m_pipeWire;
};

} // namespace orva
