// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RunSound.h"

#include "audio/AudioSession.h"
#include "audio/LatencyProbe.h"
#include "audio/ORVA_Wave.h"
#include "audio/ORVA_WaveInDevice.h"
#include "support/Logger.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QStringList>

namespace orva {

RunSound::RunSound(const Clock &clock, std::function<void(qint64 onsetUs)> onset)
    : m_capture(std::make_unique<ORVA_WaveInDevice>(clock))
{
    // The onsets arrive on the UI thread, as does the calibration.
    m_capture->setOnsetHandler([this, onset = std::move(onset)](qint64 onsetUs) {
        onset(onsetUs - appliedLatencyOffsetUs());
    });
}

RunSound::~RunSound()
{
    m_capture->stopCapture();
}

void RunSound::setSession(AudioSession *session)
{
    if (session != m_session)
        m_capture->stopCapture();
    m_session = session;
}

bool RunSound::startCapture(int thresholdDb)
{
    m_capture->setThreshold(thresholdDb);
    if (m_capture->startCapture(m_session ? m_session->input() : nullptr))
        return true;
    logMessage(1, "   InitInstance: no capture; voice onsets will not be detected\n");
    return false;
}

void RunSound::stopCapture()
{
    m_capture->stopCapture();
}

void RunSound::setThreshold(int thresholdDb)
{
    m_capture->setThreshold(thresholdDb);
}

std::optional<qint64> RunSound::play(ORVA_Wave &wave)
{
    wave.play(false, false);
    return wave.playStartUs();
}

std::optional<qint64> RunSound::playAt(ORVA_Wave &wave, qint64 startUs)
{
    wave.playAt(startUs);
    return wave.playStartUs();
}

bool RunSound::isSettled() const
{
    return !m_session || m_session->areClocksSettled();
}

bool RunSound::isListening() const
{
    return !m_session || (m_session->isListening() && m_capture->isCapturing());
}

QString
RunSound::problem(const StringTable &strings, const QString &outputName, const QString &inputName)
{
    if (!m_session)
        return QString();
    QStringList missing;
    AudioOutput *output = m_session->output();
    if (!output || (!output->isRunning() && !m_session->startOutput().isOk()))
        missing << strings.text(Text::kNoOutput).arg(outputName);
    if (!m_capture->isCapturing())
        missing << strings.text(Text::kNoInput).arg(inputName);
    return missing.join(QLatin1Char('\n'));
}

void RunSound::setCaptureTap(CaptureSink *tap)
{
    m_capture->setTap(tap);
}

namespace {

// Descriptions of the session's devices, empty for a missing one.
std::pair<QString, QString> devicesOf(const AudioSession *session)
{
    if (!session)
        return {};
    return { session->output() ? session->output()->description() : QString(),
             session->input() ? session->input()->description() : QString() };
}

} // namespace

void RunSound::setLatencyCalibration(const LatencyCalibration &calibration)
{
    m_calibration = calibration;
    if (!calibration.isSet())
        return;
    const auto [output, input] = devicesOf(m_session);
    if (calibration.isFor(output, input))
        logMessage(
            1,
            QStringLiteral("   latency: %1 ms (spread %2 ms) taken off the reaction times on "
                           "%3 and %4\n")
                .arg(calibration.offsetMs, 0, 'f', 3)
                .arg(calibration.spreadMs, 0, 'f', 3)
                .arg(output, input));
    else
        logMessage(1,
                   QStringLiteral("   latency: the offset of %1 ms was measured on %2 and %3, not "
                                  "on %4 and %5; nothing taken off\n")
                       .arg(calibration.offsetMs, 0, 'f', 3)
                       .arg(calibration.output, calibration.input, output, input));
}

qint64 RunSound::appliedLatencyOffsetUs() const
{
    const auto [output, input] = devicesOf(m_session);
    return m_calibration.isFor(output, input) ? m_calibration.offsetUs() : 0;
}

QString RunSound::latencyWarning(const StringTable &strings) const
{
    if (!m_calibration.isSet() || !m_session)
        return QString();
    const auto [output, input] = devicesOf(m_session);
    if (!m_calibration.isFor(output, input))
        return strings.text(Text::kLatencyOtherDevices)
            .arg(m_calibration.output, m_calibration.input, output, input);
    if (m_calibration.spreadMs > LatencyProbe::Options().trustedSpreadMs)
        return strings.text(Text::kLatencyUntrusted)
            .arg(QString::number(m_calibration.spreadMs, 'f', 2));
    return QString();
}

QString RunSound::latencyNote(const StringTable &strings) const
{
    if (appliedLatencyOffsetUs() == 0)
        return QString();
    return strings.text(Text::kLatencyNote)
        .arg(QString::number(m_calibration.offsetMs, 'f', 2), m_calibration.output,
             m_calibration.input);
}

std::optional<qint64> RunSound::heardUntilUs() const
{
    return m_capture->heardUntilUs();
}

qint64 RunSound::glitchCount() const
{
    return m_session ? m_session->glitchCount() : 0;
}

double RunSound::levelTick(bool listening)
{
    m_capture->restartLostInput();
    return m_capture->preparePaintVU_Meter(listening);
}

} // namespace orva
