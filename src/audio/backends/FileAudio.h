// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace orva {

class Clock;

/// Everything the mixer produces, in real time, into a WAV file (44,100 Hz, 16-bit stereo): what
/// the client would have heard. Frame times follow from the frame count on the program clock.
class FileAudioOutput final : public AudioOutput
{
public:
    FileAudioOutput(QString path, const Clock &clock);
    ~FileAudioOutput() override;

    DeviceResult start(FrameSource &source) override;
    void stop() override;
    bool isRunning() const override { return m_running.load(); }
    std::optional<qint64> frameTimeUs(qint64 frame) const override;
    qint64 underflowCount() const override { return 0; }
    QString description() const override { return QStringLiteral("file ") + m_path; }

private:
    void run(FrameSource &source);

    const QString m_path;
    const Clock &m_clock;
    std::thread m_thread;
    std::atomic<bool> m_running { false };
    std::atomic<bool> m_stopping { false };
    std::atomic<qint64> m_startUs { 0 };
    std::atomic<qint64> m_firstFrame { 0 };
};

/// A WAV file streamed in real time as if it were the microphone; after its end the input is
/// silent, or with `Ending::Loop` the file starts again. Any PCM format is taken (the left
/// channel of stereo, resampled to 44,100 Hz). Frame k entered the input at start + k / 44.1 ms
/// on the clock, exactly.
class FileAudioInput final : public AudioInput
{
public:
    enum class Ending { Silence, Loop };

    FileAudioInput(QString path, const Clock &clock, Ending ending = Ending::Silence);
    ~FileAudioInput() override;

    bool supportsCaptureFormat() const override { return true; }
    DeviceResult start(CaptureSink &sink) override;
    void stop() override;
    bool isRunning() const override { return m_running.load(); }
    std::optional<qint64> frameTimeUs(qint64 frame) const override;
    qint64 overflowCount() const override { return 0; }
    QString description() const override { return QStringLiteral("file ") + m_path; }

private:
    void run(CaptureSink &sink);

    const QString m_path;
    const Clock &m_clock;
    const Ending m_ending;
    std::vector<qint16> m_samples;
    std::thread m_thread;
    std::atomic<bool> m_running { false };
    std::atomic<bool> m_stopping { false };
    std::atomic<qint64> m_startUs { 0 };
};

/// No sound at all: buffers are taken and never played, so the program works without a device.
class NullAudioOutput final : public AudioOutput
{
public:
    DeviceResult start(FrameSource &) override
    {
        m_running = true;
        return DeviceResult::ok();
    }
    void stop() override { m_running = false; }
    bool isRunning() const override { return m_running; }
    std::optional<qint64> frameTimeUs(qint64) const override { return std::nullopt; }
    qint64 underflowCount() const override { return 0; }
    QString description() const override { return QStringLiteral("none"); }

private:
    bool m_running = false;
};

/// Picks the devices of a configuration value: "file:PATH", "none", or "system" (the desktop's
/// sound server); for the input also "file-loop:PATH", a recording played again and again. A value
/// that names no device this build can open gives nullptr and a log line.
std::unique_ptr<AudioOutput> makeAudioOutput(const QString &value, const Clock &clock);
std::unique_ptr<AudioInput> makeAudioInput(const QString &value, const Clock &clock);

} // namespace orva
