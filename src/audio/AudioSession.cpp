// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioSession.h"

#include "audio/SoftwareMixer.h"
#include "support/Logger.h"

#include <QThread>

namespace orva {

namespace {
std::atomic<AudioSession *> s_current { nullptr };
}

AudioSession::AudioSession(const Clock &clock)
    : m_clock(clock)
    , m_mixer(std::make_shared<SoftwareMixer>())
    , m_retryWait([](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); })
{ }

AudioSession::~AudioSession()
{
    AudioSession *self = this;
    s_current.compare_exchange_strong(self, nullptr);
    stopDevices();
}

AudioSession *AudioSession::current()
{
    return s_current.load();
}

AudioSession *AudioSession::setCurrent(AudioSession *session)
{
    return s_current.exchange(session);
}

void AudioSession::setOutput(std::unique_ptr<AudioOutput> output)
{
    if (m_output) {
        m_output->stop();
        m_retiredGlitches.fetch_add(m_output->underflowCount());
    }
    m_output = std::move(output);
}

void AudioSession::setInput(std::unique_ptr<AudioInput> input)
{
    if (m_input) {
        m_input->stop();
        m_retiredGlitches.fetch_add(m_input->overflowCount());
    }
    m_input = std::move(input);
}

DeviceResult AudioSession::startOutput()
{
    if (!m_output)
        return DeviceResult(DeviceResult::kNoDriver);
    if (m_output->isRunning())
        return DeviceResult::ok();
    const DeviceResult result = m_output->start(*m_mixer);
    if (result.isOk())
        logMessage(1, QStringLiteral("   audio: output %1 started\n").arg(m_output->description()));
    return result;
}

bool AudioSession::areClocksSettled() const
{
    return (!m_output || m_output->isClockSettled()) && (!m_input || m_input->isClockSettled());
}

bool AudioSession::isListening() const
{
    return m_output && m_output->isRunning() && !m_output->isStalled() && m_input
        && m_input->isRunning() && !m_input->isStalled();
}

void AudioSession::stopDevices()
{
    if (m_output)
        m_output->stop();
    if (m_input)
        m_input->stop();
}

qint64 AudioSession::glitchCount() const
{
    qint64 count = m_retiredGlitches.load() + m_captureOverflows.load();
    if (m_output)
        count += m_output->underflowCount();
    if (m_input)
        count += m_input->overflowCount();
    return count;
}

void AudioSession::setRetryWait(std::function<void(int ms)> wait)
{
    m_retryWait = std::move(wait);
}

void AudioSession::waitBeforeRetry(int ms) const
{
    if (m_retryWait)
        m_retryWait(ms);
}

} // namespace orva
