// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ORVA_WaveInDevice.h"

#include "audio/AudioSession.h"
#include "support/Clock.h"
#include "support/ErrorReport.h"
#include "support/Logger.h"

#include <QMetaObject>
#include <QMutexLocker>

#include <algorithm>
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

WaveFormat ORVA_WaveInDevice::captureFormat()
{
    return WaveFormat { 1, 1, 44100, 88200, 2, 16 };
}

bool ORVA_WaveInDevice::startCapture(AudioInput *input)
{
    logMessage(1, "WAVE record\n");
    stopCapture();
    if (!input) {
        logMessage(1, "   WAVE record: no capture device\n");
        return false;
    }
    // No fallback: a device that cannot record the capture format is not used at all.
    if (!input->supportsCaptureFormat()) {
        logMessage(1,
                   QStringLiteral("   WAVE record: %1 cannot record 44,100 Hz 16-bit mono\n")
                       .arg(input->description()));
        return false;
    }
    if (!open(input, captureFormat()))
        return false;
    m_recording.clear();
    (void)m_recording.setFormat(44100, 16);
    (void)startRecording(input, m_recording, kBufferBytes);
    return m_running;
}

void ORVA_WaveInDevice::stopCapture()
{
    if (!m_open && !m_input)
        return;
    logMessage(1, "WAVE record stop\n");
    close();
    m_target->clear();
}

bool ORVA_WaveInDevice::open(AudioInput *input, const WaveFormat &format)
{
    if (m_open) {
        if (queryFormat(format))
            return true;
        reportError("Open for different format", 1, true);
        return false;
    }
    if (!input || !input->supportsCaptureFormat() || format != captureFormat())
        return false;
    m_input = input;
    m_open = true;
    return true;
}

bool ORVA_WaveInDevice::queryFormat(const WaveFormat &format) const
{
    if (!m_open) {
        reportError("Not open", 1, true);
        return false;
    }
    return m_input->supportsCaptureFormat() && format == captureFormat();
}

bool ORVA_WaveInDevice::startRecording(AudioInput *input, ORVA_Wave &target, int bufferBytes)
{
    if (m_open) {
        if (!queryFormat(target.format())) {
            reportError("Input device is already open and doesn't support format", 1, true);
            return false;
        }
    } else if (!open(input, target.format())) {
        reportError("No input device supports format", 1, true);
        return false;
    }
    if (m_running)
        m_input->stop();
    m_running = false;
    // Whole samples only; a buffer holds at least one.
    m_bufferBytes = std::max(2, bufferBytes & ~1);
    m_target = &target;
    m_pending.clear();
    const DeviceResult result = m_input->start(*this);
    if (!result.isOk()) {
        // Like a device that cannot be opened: no box, the program goes on without capture.
        logMessage(1,
                   QStringLiteral("   WAVE record: %1 did not start: %2\n")
                       .arg(m_input->description(), result.name()));
        return false;
    }
    m_running = true;
    logMessage(1, QStringLiteral("   WAVE record from %1\n").arg(m_input->description()));
    return true;
}

bool ORVA_WaveInDevice::restartLostInput()
{
    if (!m_running || !m_input)
        return false;
    if (m_input->isRunning())
        return true;
    const qint64 nowUs = m_clock.nowUs();
    if (!m_lastRestartUs) {
        // What the microphone heard meanwhile is lost, like audio no buffer was free for.
        if (AudioSession *session = AudioSession::current())
            session->countCaptureOverflow();
        logMessage(1,
                   QStringLiteral("   WAVE record: %1 stopped; trying to start it again\n")
                       .arg(m_input->description()));
    } else if (nowUs - *m_lastRestartUs < qint64(kRestartIntervalMs) * 1000) {
        return false;
    }
    m_lastRestartUs = nowUs;
    // The device's thread is gone once it stopped: its half-filled buffer can be dropped here.
    m_input->stop();
    m_pending.clear();
    m_dropping = false;
    const DeviceResult result = m_input->start(*this);
    if (!result.isOk()) {
        // A server that is there but does not answer holds the UI thread until the device gives
        // up; that is not done to the operator again and again.
        if (m_clock.nowUs() - nowUs > qint64(kRestartMaxWaitMs) * 1000) {
            logMessage(1,
                       QStringLiteral("   WAVE record: %1 does not answer (%2); no more attempts\n")
                           .arg(m_input->description(), result.name()));
            m_running = false;
        }
        return false;
    }
    m_lastRestartUs.reset();
    logMessage(1, QStringLiteral("   WAVE record from %1 again\n").arg(m_input->description()));
    return true;
}

void ORVA_WaveInDevice::close()
{
    if (m_input && m_running)
        m_input->stop();
    m_running = false;
    m_open = false;
    m_input = nullptr;
    m_lastRestartUs.reset();
    m_heardUntilFrame.reset();
}

void ORVA_WaveInDevice::setTap(CaptureSink *tap)
{
    QMutexLocker locker(&m_tapLock);
    m_tap = tap;
}

void ORVA_WaveInDevice::samplesCaptured(qint64 firstFrame, const qint16 *samples, qint64 count)
{
    {
        QMutexLocker locker(&m_tapLock);
        if (m_tap)
            m_tap->samplesCaptured(firstFrame, samples, count);
    }
    for (qint64 i = 0; i < count; ++i) {
        if (m_pending.isEmpty())
            m_pendingFirstFrame = firstFrame + i;
        m_pending.append(reinterpret_cast<const char *>(samples + i), 2);
        if (m_pending.size() == m_bufferBytes) {
            const QByteArray buffer = m_pending;
            const qint64 bufferFrame = m_pendingFirstFrame;
            m_pending.clear();
            // Scanned and stamped here, where the samples arrive, so that the stamp does not
            // wait for the UI thread.
            const std::optional<qint64> onsetUs = scanForOnset(bufferFrame, buffer);
            const bool keep = m_outstanding.load() < kMaximumWaiting;
            if (!keep && !m_dropping) {
                // Only the level meter misses these samples; their onsets still go through.
                logMessage(1, "   WAVE record: %d buffers wait; samples dropped from the meter\n",
                           kMaximumWaiting);
            }
            m_dropping = !keep;
            if (!keep && !onsetUs)
                continue;
            m_outstanding.fetch_add(1);
            // Queued to the UI thread: buffers arrive there in the order they were filled.
            QMetaObject::invokeMethod(
                this,
                [this, end = bufferFrame + buffer.size() / 2, buffer = keep ? buffer : QByteArray(),
                 onsetUs] {
                    m_outstanding.fetch_sub(1);
                    if (m_open)
                        m_heardUntilFrame = end;
                    deliver(buffer, onsetUs);
                },
                Qt::QueuedConnection);
        }
    }
}

std::optional<qint64> ORVA_WaveInDevice::scanForOnset(qint64 firstFrame,
                                                      const QByteArray &bytes) const
{
    const int n = static_cast<int>(bytes.size() / 2);
    const int trigger = m_trigger.load();
    for (int i = 0; i < n; ++i) {
        qint16 sample;
        std::memcpy(&sample, bytes.constData() + 2 * i, 2);
        if (std::abs(int(sample)) < trigger)
            continue;
        // The time the qualifying sample entered the input, by the input's clock model.
        const AudioInput *input = m_input;
        const std::optional<qint64> stampUs =
            input ? input->frameTimeUs(firstFrame + i) : std::nullopt;
        return stampUs.value_or(m_clock.nowUs());
    }
    return std::nullopt;
}

void ORVA_WaveInDevice::onBufferDone(qint64 firstFrame, const QByteArray &bytes)
{
    if (!m_open)
        return;
    deliver(bytes, scanForOnset(firstFrame, bytes));
}

std::optional<qint64> ORVA_WaveInDevice::heardUntilUs() const
{
    if (!m_running || !m_input || !m_heardUntilFrame)
        return std::nullopt;
    return m_input->frameTimeUs(*m_heardUntilFrame);
}

void ORVA_WaveInDevice::deliver(const QByteArray &bytes, std::optional<qint64> onsetUs)
{
    // Buffers still on their way when the device closed are dropped.
    if (!m_open)
        return;
    if (onsetUs && m_onset)
        m_onset(*onsetUs);
    if (!bytes.isEmpty())
        m_target->appendBlock(bytes);
}

double ORVA_WaveInDevice::preparePaintVU_Meter(bool waitingForAudio)
{
    logMessage(9, "BEGIN: preparePaintVU_Meter\n");
    ORVA_Wave &recording = *m_target;
    const qint32 count = recording.sampleCount();
    if (count > 0) {
        m_peak = 0;
        const qint32 first = (waitingForAudio || count <= 1024) ? 0 : count - 1024;
        for (qint32 i = first; i < count; ++i)
            m_peak = std::max<double>(m_peak, std::abs(recording.getSample(i)));
        recording.clear();
    }
    logMessage(9, "END: preparePaintVU_Meter\n");
    return m_peak;
}

} // namespace orva
