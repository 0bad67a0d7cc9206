// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

/// The outcome of a sound-device call. The player has always written these to the log by name
/// ("DSound Error [mark 110]: NO ERROR"); the mixer reports its own conditions with the names the
/// player always used, the PulseAudio backend with libpulse's error names. Plain value, any thread.
class DeviceResult
{
public:
    // The mixer's conditions, with the values the player's log names stand for.
    static constexpr quint32 kOk = 0;
    static constexpr quint32 kAllocated = 0x8878000A; ///< DSERR_ALLOCATED
    static constexpr quint32 kInvalidParam = 0x80070057; ///< DSERR_INVALIDPARAM
    static constexpr quint32 kGeneric = 0x80004005; ///< DSERR_GENERIC
    static constexpr quint32 kOutOfMemory = 0x8007000E; ///< DSERR_OUTOFMEMORY
    static constexpr quint32 kBadFormat = 0x88780064; ///< DSERR_BADFORMAT
    static constexpr quint32 kNoDriver = 0x88780078; ///< DSERR_NODRIVER
    static constexpr quint32 kUninitialized = 0x887800AA; ///< DSERR_UNINITIALIZED
    /// libpulse's pa_error_code_t n is reported as kPulseBase + n.
    static constexpr quint32 kPulseBase = 0x50410000;

    DeviceResult() = default;
    explicit DeviceResult(quint32 code)
        : m_code(code)
    { }
    static DeviceResult ok() { return DeviceResult(kOk); }
    static DeviceResult fromPulseError(int error)
    {
        return DeviceResult(kPulseBase + quint32(error));
    }

    bool isOk() const { return m_code == kOk; }
    quint32 code() const { return m_code; }
    /// "NO ERROR", "DSERR_BADFORMAT", "PA_ERR_CONNECTIONREFUSED", ...; empty for an unknown code.
    QString name() const;
    /// Whether opening the device again later may succeed: the device is taken by another
    /// program, or there is no driver or sound server (yet).
    bool isWorthRetrying() const;
    /// The player's log line: "DSound Error [mark %4d]: <name>\n", or the code for an unknown one.
    QString logLine(int mark) const;

    bool operator==(const DeviceResult &) const = default;

private:
    quint32 m_code = kOk;
};

} // namespace orva
