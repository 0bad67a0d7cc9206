// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/DeviceResult.h"

#include <array>
#include <utility>

namespace orva {

namespace {

struct NamedCode
{
    quint32 code;
    const char *name;
};

// The player's names with the values of the DirectSound headers.
constexpr std::array kPlayerNames {
    NamedCode { 0, "NO ERROR" },
    NamedCode { 0x80004001, "DSERR_UNSUPPORTED" },
    NamedCode { 0x80004002, "DSERR_NOINTERFACE" },
    NamedCode { 0x80004005, "DSERR_GENERIC" },
    NamedCode { 0x80040110, "DSERR_NOAGGREGATION" },
    NamedCode { 0x80070005, "DSERR_ACCESSDENIED" },
    NamedCode { 0x8007000E, "DSERR_OUTOFMEMORY" },
    NamedCode { 0x80070057, "DSERR_INVALIDPARAM" },
    NamedCode { 0x8878000A, "DSERR_ALLOCATED" },
    NamedCode { 0x8878001E, "DSERR_CONTROLUNAVAIL" },
    NamedCode { 0x88780032, "DSERR_INVALIDCALL" },
    NamedCode { 0x88780046, "DSERR_PRIOLEVELNEEDED" },
    NamedCode { 0x88780064, "DSERR_BADFORMAT" },
    NamedCode { 0x88780078, "DSERR_NODRIVER" },
    NamedCode { 0x88780082, "DSERR_ALREADYINITIALIZED" },
    NamedCode { 0x88780096, "DSERR_BUFFERLOST" },
    NamedCode { 0x887800A0, "DSERR_OTHERAPPHASPRIO" },
    NamedCode { 0x887800AA, "DSERR_UNINITIALIZED" },
    NamedCode { 0x887800B4, "DSERR_BUFFERTOOSMALL" },
    NamedCode { 0x887800BE, "DSERR_DS8_REQUIRED" },
    NamedCode { 0x887800C8, "DSERR_SENDLOOP" },
    NamedCode { 0x887800D2, "DSERR_BADSENDBUFFERGUID" },
    NamedCode { 0x887800DC, "DSERR_FXUNAVAILABLE" },
    NamedCode { 0x88781161, "DSERR_OBJECTNOTFOUND" },
};

// libpulse's pa_error_code_t, in its order (PA_OK is reported as NO ERROR).
constexpr std::array kPulseNames {
    "PA_OK",
    "PA_ERR_ACCESS",
    "PA_ERR_COMMAND",
    "PA_ERR_INVALID",
    "PA_ERR_EXIST",
    "PA_ERR_NOENTITY",
    "PA_ERR_CONNECTIONREFUSED",
    "PA_ERR_PROTOCOL",
    "PA_ERR_TIMEOUT",
    "PA_ERR_AUTHKEY",
    "PA_ERR_INTERNAL",
    "PA_ERR_CONNECTIONTERMINATED",
    "PA_ERR_KILLED",
    "PA_ERR_INVALIDSERVER",
    "PA_ERR_MODINITFAILED",
    "PA_ERR_BADSTATE",
    "PA_ERR_NODATA",
    "PA_ERR_VERSION",
    "PA_ERR_TOOLARGE",
    "PA_ERR_NOTSUPPORTED",
    "PA_ERR_UNKNOWN",
    "PA_ERR_NOEXTENSION",
    "PA_ERR_OBSOLETE",
    "PA_ERR_NOTIMPLEMENTED",
    "PA_ERR_FORKED",
    "PA_ERR_IO",
    "PA_ERR_BUSY",
};

constexpr quint32 kPulseNoEntity = 5;
constexpr quint32 kPulseConnectionRefused = 6;
constexpr quint32 kPulseTimeout = 8;
constexpr quint32 kPulseConnectionTerminated = 11;
constexpr quint32 kPulseBusy = 26;

} // namespace

QString DeviceResult::name() const
{
    for (const NamedCode &named : kPlayerNames) {
        if (named.code == m_code)
            return QString::fromLatin1(named.name);
    }
    if (m_code > kPulseBase && m_code - kPulseBase < kPulseNames.size())
        return QString::fromLatin1(kPulseNames[m_code - kPulseBase]);
    return QString();
}

bool DeviceResult::isWorthRetrying() const
{
    if (m_code == kAllocated || m_code == kNoDriver)
        return true;
    if (m_code <= kPulseBase)
        return false;
    switch (m_code - kPulseBase) {
    case kPulseNoEntity:
    case kPulseConnectionRefused:
    case kPulseTimeout:
    case kPulseConnectionTerminated:
    case kPulseBusy:
        return true;
    default:
        return false;
    }
}

QString DeviceResult::logLine(int mark) const
{
    const QString named = name();
    if (named.isEmpty())
        return QString::asprintf("DSound Error [mark %4d]: %lu\n", mark,
                                 static_cast<unsigned long>(m_code));
    return QString::asprintf("DSound Error [mark %4d]: ", mark) + named + QLatin1Char('\n');
}

} // namespace orva
