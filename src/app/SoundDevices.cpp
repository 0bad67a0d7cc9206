// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundDevices.h"

#include "audio/AudioBackendChoice.h"
#include "audio/backends/FileAudio.h"
#include "audio/backends/pipewire/PipeWireAudio.h"
#include "audio/backends/pulse/PulseAudio.h"
#include "support/Logger.h"

namespace orva {

std::unique_ptr<AudioOutput> SoundDevices::output(const QString &value)
{
    const AudioBackendChoice choice = choose("output", value);
    switch (choice.backend()) {
    case AudioBackendChoice::Backend::PipeWire:
        return std::make_unique<PipeWireAudioOutput>(m_clock, choice.device());
    case AudioBackendChoice::Backend::Pulse:
        return std::make_unique<PulseAudioOutput>(m_clock, choice.device());
    case AudioBackendChoice::Backend::Other:
        break;
    }
    return makeAudioOutput(value, m_clock);
}

std::unique_ptr<AudioInput> SoundDevices::input(const QString &value)
{
    const AudioBackendChoice choice = choose("input", value);
    switch (choice.backend()) {
    case AudioBackendChoice::Backend::PipeWire:
        return std::make_unique<PipeWireAudioInput>(m_clock, choice.device());
    case AudioBackendChoice::Backend::Pulse:
        return std::make_unique<PulseAudioInput>(m_clock, choice.device());
    case AudioBackendChoice::Backend::Other:
        break;
    }
    return makeAudioInput(value, m_clock);
}

AudioBackendChoice SoundDevices::choose(const char *role, const QString &value)
{
    const AudioBackendChoice choice = AudioBackendChoice::choose(value, [this] {
        if (!m_pipeWire)
            m_pipeWire = pipeWireServerAnswers();
        return *m_pipeWire;
    });
    if (choice.backend() != AudioBackendChoice::Backend::Other)
        logMessage(1,
                   QStringLiteral("   audio: %1 \"%2\": %3\n")
                       .arg(QLatin1String(role), value.trimmed(), choice.reason()));
    return choice;
}

} // namespace orva
