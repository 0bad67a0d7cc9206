// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/LatencySelfTest.h"

#include "audio/AudioSession.h"
#include "engine/RunSound.h"
#include "records/Registry.h"
#include "support/Logger.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

namespace orva {

namespace {

QString milliseconds(double ms)
{
    return QString::number(ms, 'f', 2);
}

} // namespace

LatencySelfTest::LatencySelfTest(AudioSession &session,
                                 RunSound &sound,
                                 const Registry &registry,
                                 LatencyProbe::Options options)
    : m_session(session)
    , m_sound(sound)
    , m_registry(registry)
    , m_probe(std::make_unique<LatencyProbe>(session, options))
{ }

LatencySelfTest::~LatencySelfTest()
{
    m_sound.setCaptureTap(nullptr);
}

bool LatencySelfTest::start()
{
    m_result = {};
    m_sound.setCaptureTap(m_probe.get());
    if (m_probe->start())
        return true;
    m_sound.setCaptureTap(nullptr);
    return false;
}

bool LatencySelfTest::isRunning() const
{
    return m_probe->isStarted();
}

int LatencySelfTest::durationMs() const
{
    return m_probe->durationMs();
}

const LatencyProbe::Result &LatencySelfTest::finish()
{
    m_sound.setCaptureTap(nullptr);
    m_result = m_probe->finish();
    return m_result;
}

Status LatencySelfTest::keep()
{
    if (!canKeep() || !m_session.output() || !m_session.input())
        return Status::failure(QStringLiteral("nothing measured to keep"));
    LatencyCalibration calibration;
    calibration.output = m_session.output()->description();
    calibration.input = m_session.input()->description();
    calibration.offsetMs = m_result.medianMs;
    calibration.spreadMs = m_result.spreadMs;
    const Status written = calibration.write(m_registry);
    if (!written.ok()) {
        logMessage(1, QStringLiteral("   latency: not kept: %1\n").arg(written.error()));
        return written;
    }
    m_sound.setLatencyCalibration(calibration);
    return written;
}

QString LatencySelfTest::describe(const LatencyProbe::Result &result, const StringTable &strings)
{
    switch (result.outcome) {
    case LatencyProbe::Outcome::NoSound:
        return strings.text(Text::kLatencyTestNoSound);
    case LatencyProbe::Outcome::SoundFault:
        return strings.text(Text::kLatencyTestSoundFault);
    case LatencyProbe::Outcome::NotHeard:
        return strings.text(Text::kLatencyTestNotHeard).arg(result.heard).arg(result.clicks);
    case LatencyProbe::Outcome::Measured:
        break;
    }
    QString text = strings.text(Text::kLatencyTestResult)
                       .arg(result.heard)
                       .arg(result.clicks)
                       .arg(milliseconds(result.medianMs), milliseconds(result.spreadMs));
    if (!result.trusted)
        text += QStringLiteral("\n\n") + strings.text(Text::kLatencyTestUntrusted);
    return text;
}

} // namespace orva
