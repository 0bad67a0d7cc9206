// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioBackendChoice.h"

namespace orva {

namespace {

/// Whether `value` is `scheme` or starts with "scheme:"; `device` gets what follows the colon.
bool names(const QString &value, QLatin1String scheme, QString &device)
{
    if (value == scheme) {
        device.clear();
        return true;
    }
    if (value.size() > scheme.size() && value.startsWith(scheme)
        && value.at(scheme.size()) == QLatin1Char(':')) {
        device = value.mid(scheme.size() + 1).trimmed();
        return true;
    }
    return false;
}

} // namespace

AudioBackendChoice AudioBackendChoice::choose(const QString &value,
                                              const std::function<bool()> &pipeWireAnswers)
{
    const QString trimmed = value.trimmed();
    AudioBackendChoice choice;
    if (names(trimmed, QLatin1String("pipewire"), choice.m_device)) {
        choice.m_backend = Backend::PipeWire;
        choice.m_forced = true;
    } else if (names(trimmed, QLatin1String("pulse"), choice.m_device)) {
        choice.m_backend = Backend::Pulse;
        choice.m_forced = true;
    } else if (names(trimmed, QLatin1String("system"), choice.m_device)) {
        choice.m_backend =
            pipeWireAnswers && pipeWireAnswers() ? Backend::PipeWire : Backend::Pulse;
    }
    return choice;
}

QString AudioBackendChoice::reason() const
{
    switch (m_backend) {
    case Backend::PipeWire:
        return m_forced ? QStringLiteral("PipeWire natively (asked for)")
                        : QStringLiteral("PipeWire natively (the sound server is PipeWire: its "
                                         "core answered)");
    case Backend::Pulse:
        return m_forced ? QStringLiteral("PulseAudio through libpulse (asked for)")
                        : QStringLiteral("PulseAudio through libpulse (no PipeWire server "
                                         "answered)");
    case Backend::Other:
        break;
    }
    return QStringLiteral("not a sound server");
}

} // namespace orva
