// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RunSound.h"

#include "audio/AudioSession.h"
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
    m_capture->setOnsetHandler(std::move(onset));
}

RunSound::~RunSound()
{
    m_capture->stopCapture();
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
