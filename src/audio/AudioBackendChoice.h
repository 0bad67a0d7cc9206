// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace orva {

/// Which sound server backend an "AudioOutput" or "AudioInput" value names, and why: "system"
/// and "system:NAME" take PipeWire natively when the desktop's server is PipeWire and libpulse
/// otherwise; "pipewire[:NAME]" and "pulse[:NAME]" force one. NAME is a node's name as
/// pavucontrol or `pw-cli` show it (a sink, a source, or a sink's NAME.monitor), for either
/// backend. Any other value is for the devices of the core ("file:PATH", "none"). Plain value.
class AudioBackendChoice
{
public:
    enum class Backend {
        Other, ///< not a sound server: the core's devices
        PipeWire,
        Pulse,
    };

    /// `pipeWireAnswers` says whether a PipeWire server answers; it is asked for "system" only.
    static AudioBackendChoice choose(const QString &value,
                                     const std::function<bool()> &pipeWireAnswers);

    Backend backend() const { return m_backend; }
    /// The device's name; empty for the server's default.
    const QString &device() const { return m_device; }
    /// For the log: "PipeWire natively (the sound server is PipeWire: its core answered)", ...
    QString reason() const;

private:
    Backend m_backend = Backend::Other;
    QString m_device;
    bool m_forced = false;
};

} // namespace orva
