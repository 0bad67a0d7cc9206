// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ORVA_WaveInDevice.h"

#include "support/Clock.h"
#include "support/ErrorReport.h"
#include "support/Logger.h"

#include <QMetaObject>

#include <cmath>
#include <cstring>

namespace orva {

ORVA_WaveInDevice::ORVA_WaveInDevice(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
    (void)m_recording.setFormat(44100, 16);
}

ORVA_WaveInDevice::~ORVA_WaveInDevice()
{
    stopCapture();
}

int ORVA_WaveInDevice::triggerMagnitude(int thresholdDb)
{
    // The same decision as comparing the logarithm, made once per threshold.
    for (int magnitude = 1; magnitude <= 32768; ++magnitude) {
        if (thresholdDb <= 20.0 * std::log10(magnitude / 32767.0))
            return magnitude;
    }
    return 32769; // never reached
}

bool ORVA_WaveInDevice::startCapture(AudioInput *input)
{
    logMessage(1, "WAVE record\n");
    stopCapture();
    if (!input) {
        logMessage(1, "   WAVE record: no capture device\n");
        return false;
    }
    if (!input->supportsCaptureFormat()) {
        reportError("No input device supports format", 1, false);
        return false;
    }
    m_recording.clear();
    (void)m_recording.setFormat(44100, 16);
    m_pending.clear();
    const DeviceResult result = input->start(*this);
    if (!result.isOk()) {
        reportError(QStringLiteral("Input device could not be started: %1").arg(result.name()), 1,
                    false);
        return false;
    }
    m_input = input;
    logMessage(1, QStringLiteral("   WAVE record from %1\n").arg(input->description()));
    return true;
}

void ORVA_WaveInDevice::stopCapture()
{
    if (!m_input)
        return;
    logMessage(1, "WAVE record stop\n");
    m_input->stop();
    m_input = nullptr;
    m_recording.clear();
}

void ORVA_WaveInDevice::samplesCaptured(qint64 firstFrame, const qint16 *samples, qint64 count)
{
    for (qint64 i = 0; i < count; ++i) {
        if (m_pending.isEmpty())
            m_pendingFirstFrame = firstFrame + i;
        m_pending.append(reinterpret_cast<const char *>(samples + i), 2);
        if (m_pending.size() == kBufferBytes) {
            const QByteArray buffer = m_pending;
            const qint64 bufferFrame = m_pendingFirstFrame;
            m_pending.clear();
            // Queued to the UI thread: buffers arrive there in the order they were filled.
            QMetaObject::invokeMethod(
                this, [this, bufferFrame, buffer] { onBufferDone(bufferFrame, buffer); },
                Qt::QueuedConnection);
        }
    }
}

void ORVA_WaveInDevice::onBufferDone(qint64 firstFrame, const QByteArray &bytes)
{
    const int n = static_cast<int>(bytes.size() / 2);
    const int trigger = triggerMagnitude(m_thresholdDb);
    for (int i = 0; i < n; ++i) {
        qint16 sample;
        std::memcpy(&sample, bytes.constData() + 2 * i, 2);
        if (std::abs(int(sample)) < trigger)
            continue;
        // The time the qualifying sample entered the input, by the input's clock model.
        std::optional<qint64> stampUs =
            m_input ? m_input->frameTimeUs(firstFrame + i) : std::nullopt;
        if (m_onset)
            m_onset(stampUs.value_or(m_clock.nowUs()));
        break;
    }
    m_recording.appendBlock(bytes);
}

double ORVA_WaveInDevice::preparePaintVU_Meter(bool waitingForAudio)
{
    logMessage(9, "BEGIN: preparePaintVU_Meter\n");
    const qint32 count = m_recording.sampleCount();
    if (count > 0) {
        m_peak = 0;
        const qint32 first = (waitingForAudio || count <= 1024) ? 0 : count - 1024;
        for (qint32 i = first; i < count; ++i)
            m_peak = std::max<double>(m_peak, std::abs(m_recording.getSample(i)));
        m_recording.clear();
    }
    logMessage(9, "END: preparePaintVU_Meter\n");
    return m_peak;
}

} // namespace orva
