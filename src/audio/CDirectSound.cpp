// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/CDirectSound.h"

#include "audio/AudioSession.h"
#include "audio/SoftwareMixer.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"

#include <cmath>

namespace orva {

struct CDirectSound::SharedDevice
{
    std::shared_ptr<SoftwareMixer> mixer;
    AudioSession *session = nullptr; // outlives its devices' players in a running program
};

qint32 CDirectSound::m_dwInstances = 0;
std::shared_ptr<CDirectSound::SharedDevice> CDirectSound::s_sharedDevice;

namespace {

constexpr int kOpenAttempts = 10;
constexpr int kOpenRetryMs = 500;
constexpr qint32 kSilentHundredths = -10000;

void logResult(int mark, const DeviceResult &result)
{
    logMessage(1, result.logLine(mark));
}

void showError(AudioSession *session, const char *text)
{
    if (session && session->messageBoxes())
        session->messageBoxes()->show(QStringLiteral("ERROR"), QString::fromLatin1(text),
                                      MessageIcon::None, MessageButtons::Ok);
}

double gainOf(qint32 hundredths)
{
    // The device's floor of -100 dB is silence, not a very quiet sound.
    if (hundredths <= kSilentHundredths)
        return 0.0;
    return std::pow(10.0, hundredths / 2000.0);
}

} // namespace

CDirectSound::CDirectSound()
{
    ++m_dwInstances;
    s_sharedDevice.reset();
    logMessage(9, "mark 1000 : m_dwInstances = %10d\n", m_dwInstances);
}

CDirectSound::~CDirectSound()
{
    releaseBuffer();
    logMessage(9, "mark 1110 : m_dwInstances = %10d\n", m_dwInstances);
    if (m_dwInstances-- == 1)
        s_sharedDevice.reset();
    logMessage(9, "mark 1120 : m_dwInstances = %10d\n", m_dwInstances);
}

void CDirectSound::releaseBuffer()
{
    if (m_buffer && m_bufferDevice)
        m_bufferDevice->mixer->removeVoice(m_buffer);
    m_buffer = 0;
    m_bufferDevice.reset();
    m_playStartFrame.reset();
}

int CDirectSound::create(const WaveFormat *format, const char *data, quint32 size, void *)
{
    logMessage(9, "CDirectSound::create 000\n");
    AudioSession *const current = AudioSession::current();
    if (s_sharedDevice
        && (s_sharedDevice->session != current || !current->output()
            || !current->output()->isRunning())) {
        // The output went away under the shared device (a sound server quit, the session was
        // replaced): it is opened anew as after a construction, with the same attempts and box.
        logMessage(1, "   CDirectSound: the output device went away\n");
        s_sharedDevice.reset();
    }
    if (!s_sharedDevice) {
        AudioSession *session = current;
        if (!session) {
            // A process without a sound session (a tool, a test of other parts) plays nothing.
            logResult(4000, DeviceResult(DeviceResult::kUninitialized));
            return 0;
        }
        DeviceResult result;
        // Without a sound server the program goes on silently: after one full round of attempts
        // each later player tries once, without waiting and without another box.
        const bool givenUp = session->hasOutputGivenUp();
        const int attempts = givenUp ? 1 : kOpenAttempts;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            if (attempt > 0)
                session->waitBeforeRetry(kOpenRetryMs);
            result = session->startOutput();
            if (result.isOk() || !result.isWorthRetrying())
                break;
        }
        logResult(4000, result);
        session->setOutputGivenUp(!result.isOk());
        if (!result.isOk()) {
            if (!givenUp)
                showError(session, "Fehler bei Create DirectSoundPuffer 00");
            return 0;
        }
        // Cooperation level, primary buffer and its format: the mixer runs at its fixed format
        // for the whole session, so each step succeeds.
        logResult(4010, DeviceResult::ok());
        logResult(4020, DeviceResult::ok());
        logResult(4030, DeviceResult::ok());
        logMessage(9, "CDirectSound:: create 4 PrimBuffer AudioFormat:\n");
        logMessage(9, "CDirectSound:: create 4 PrimBuffer TAG (should be 1): %d\n", 1);
        logMessage(9, "CDirectSound:: create 4 PrimBuffer Channels: %d\n",
                   SoftwareMixer::kChannels);
        logMessage(9, "CDirectSound:: create 4 PrimBuffer SampleRate: %d\n",
                   SoftwareMixer::kSampleRate);
        logMessage(9, "CDirectSound:: create 4 PrimBuffer BitsPerSample: %d\n", 16);
        s_sharedDevice = std::make_shared<SharedDevice>(SharedDevice { session->mixer(), session });
    }

    logMessage(9, "CDirectSound::create 100\n");
    m_data = data;
    m_size = size;
    m_format = format ? *format : WaveFormat();
    m_sampleRate = m_format.sampleRate;
    releaseBuffer();

    DeviceResult result = DeviceResult(DeviceResult::kInvalidParam);
    qint64 voice = 0;
    if (format && data && size > 0)
        voice = s_sharedDevice->mixer->addVoice(m_format, data, size, &result);
    logResult(110, result);
    if (!voice)
        return 0;
    // The samples were copied with the voice: locking, filling and unlocking cannot fail.
    logResult(210, DeviceResult::ok());
    logResult(230, DeviceResult::ok());
    m_buffer = voice;
    m_bufferDevice = s_sharedDevice;
    m_volumeHundredths = 0;

    const double bytesPerSample = m_format.bitsPerSample / 8;
    m_durationMs = static_cast<qint32>(double(size) / bytesPerSample
                                       / (double(m_format.channels) * m_format.sampleRate) * 1000);
    logMessage(9, "CDirectSound:: create 4 AudioFormat:\n");
    logMessage(9, "CDirectSound:: create 4 TAG (should be 1): %d\n", m_format.formatTag);
    logMessage(9, "CDirectSound:: create 4 Channels: %d\n", m_format.channels);
    logMessage(9, "CDirectSound:: create 4 SampleRate: %d\n", int(m_format.sampleRate));
    logMessage(9, "CDirectSound:: create 4 BitsPerSample: %d\n", m_format.bitsPerSample);
    logMessage(9, "CDirectSound:: create 4 NbSamples: %d\n",
               static_cast<int>(size / (m_format.bitsPerSample / 8)));
    logMessage(9, "CDirectSound:: create 4 Duration: %d ms\n", m_durationMs);
    return 1;
}

bool CDirectSound::isReady() const
{
    // The device is the one this buffer was created on, so a sound that plays can always be
    // stopped, even after another player dropped the shared reference.
    return m_bufferDevice && m_buffer && m_data && m_size > 0;
}

void CDirectSound::play(quint32 start, bool loop)
{
    logMessage(9, "CDirectSound::play 000\n");
    if (!isReady())
        return;
    startBuffer(start, loop, 0);
    logMessage(9, "CDirectSound::play END\n");
}

void CDirectSound::playAt(quint32 start, bool loop, qint64 startUs)
{
    logMessage(9, "CDirectSound::playAt 000\n");
    if (!isReady())
        return;
    const SoftwareMixer &mixer = *m_bufferDevice->mixer;
    const AudioOutput *output =
        m_bufferDevice->session ? m_bufferDevice->session->output() : nullptr;
    qint64 target = 0;
    const qint64 next = mixer.nextFrame();
    const std::optional<qint64> nextUs =
        output && output->isRunning() ? output->frameTimeUs(next) : std::nullopt;
    if (nextUs) {
        // At the nominal rate first, then once more by the model's own rate: a frame lasts within
        // a few hundred ppm of 1/44,100 s, so the second step moves it by a fraction of a frame.
        const auto framesIn = [](qint64 us) {
            return static_cast<qint64>(std::llround(double(us) * SoftwareMixer::kSampleRate / 1e6));
        };
        target = next + framesIn(startUs - *nextUs);
        if (const std::optional<qint64> targetUs = output->frameTimeUs(target))
            target += framesIn(startUs - *targetUs);
    }
    startBuffer(start, loop, target);
    logMessage(9, "CDirectSound::playAt END\n");
}

void CDirectSound::startBuffer(quint32 start, bool loop, qint64 outputFrame)
{
    const quint32 align = m_format.blockAlign ? m_format.blockAlign : 1;
    const quint64 position = std::min<quint64>(quint64(start) * align, m_size);
    // The voice counts in the mixer's frames: the position scales with the rate.
    const qint64 frame = static_cast<qint64>(position / align) * SoftwareMixer::kSampleRate
        / std::max<quint32>(m_format.sampleRate, 1);
    m_playStartFrame = m_bufferDevice->mixer->startVoiceAt(m_buffer, frame, loop, outputFrame);
}

void CDirectSound::stop()
{
    logMessage(9, "CDirectSound::stop 000\n");
    if (!isReady())
        return;
    m_bufferDevice->mixer->stopVoice(m_buffer);
}

void CDirectSound::setVolume(double dB)
{
    logMessage(9, "CDirectSound::setVolume 000\n");
    if (dB > 0 || !isReady())
        return;
    m_volumeHundredths =
        static_cast<qint32>(std::max(std::trunc(dB * 100), double(kSilentHundredths)));
    m_bufferDevice->mixer->setVoiceGain(m_buffer, gainOf(m_volumeHundredths));
}

double CDirectSound::getVolume() const
{
    if (!m_buffer)
        return 0.0;
    return m_volumeHundredths / 100.0;
}

std::optional<qint64> CDirectSound::playStartUs() const
{
    if (!m_playStartFrame || !m_bufferDevice || !m_bufferDevice->session)
        return std::nullopt;
    const AudioOutput *output = m_bufferDevice->session->output();
    if (!output || !output->isRunning())
        return std::nullopt;
    return output->frameTimeUs(*m_playStartFrame);
}

} // namespace orva
