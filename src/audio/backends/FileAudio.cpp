// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/backends/FileAudio.h"

#include "audio/ORVA_Wave.h"
#include "audio/SoftwareMixer.h"
#include "support/AtomicFileWriter.h"
#include "support/Clock.h"
#include "support/Logger.h"

#include <QFile>
#include <QtEndian>

#include <chrono>

namespace orva {

namespace {

constexpr int kRate = 44100;
constexpr int kTickMs = 5;
// The output renders this far ahead of the clock, as a device buffer would.
constexpr qint64 kLeadFrames = kRate * 20 / 1000;

qint64 framesAt(qint64 elapsedUs)
{
    return elapsedUs * kRate / 1'000'000;
}

QByteArray wavHeader(quint16 channels, quint32 dataBytes)
{
    QByteArray header;
    const auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        header.append(b, 4);
    };
    const auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        header.append(b, 2);
    };
    header.append("RIFF");
    u32(36 + dataBytes);
    header.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(channels);
    u32(kRate);
    u32(kRate * channels * 2);
    u16(channels * 2);
    u16(16);
    header.append("data");
    u32(dataBytes);
    return header;
}

} // namespace

FileAudioOutput::FileAudioOutput(QString path, const Clock &clock)
    : m_path(std::move(path))
    , m_clock(clock)
{ }

FileAudioOutput::~FileAudioOutput()
{
    stop();
}

DeviceResult FileAudioOutput::start(FrameSource &source)
{
    if (m_running)
        return DeviceResult::ok();
    QFile probe(m_path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return DeviceResult(DeviceResult::kNoDriver);
    probe.close();
    m_stopping = false;
    m_firstFrame = source.nextFrame();
    m_startUs = m_clock.nowUs();
    m_running = true;
    m_thread = std::thread([this, &source] { run(source); });
    return DeviceResult::ok();
}

void FileAudioOutput::run(FrameSource &source)
{
    QByteArray data;
    std::vector<qint16> buffer;
    qint64 written = 0;
    while (!m_stopping) {
        const qint64 due = framesAt(m_clock.nowUs() - m_startUs) + kLeadFrames;
        if (due > written) {
            const qint64 frames = due - written;
            buffer.resize(frames * 2);
            source.render(buffer.data(), frames);
            data.append(reinterpret_cast<const char *>(buffer.data()), frames * 4);
            written = due;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
    }
    const Status saved = AtomicFileWriter::write(m_path, wavHeader(2, quint32(data.size())) + data);
    if (!saved.ok())
        logMessage(1, "ERROR: the sound output could not be saved: %s\n",
                   saved.error().toUtf8().constData());
}

void FileAudioOutput::stop()
{
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    m_thread.join();
    m_running = false;
}

std::optional<qint64> FileAudioOutput::frameTimeUs(qint64 frame) const
{
    if (!m_running)
        return std::nullopt;
    return m_startUs + (frame - m_firstFrame) * 1'000'000 / kRate;
}

FileAudioInput::FileAudioInput(QString path, const Clock &clock, Ending ending)
    : m_path(std::move(path))
    , m_clock(clock)
    , m_ending(ending)
{ }

FileAudioInput::~FileAudioInput()
{
    stop();
}

DeviceResult FileAudioInput::start(CaptureSink &sink)
{
    if (m_running)
        return DeviceResult::ok();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return DeviceResult(DeviceResult::kNoDriver);
    const Result<RiffWave> wave = parseRiffWave(file.readAll());
    if (!wave.ok())
        return DeviceResult(DeviceResult::kBadFormat);
    const std::optional<std::vector<qint16>> stereo = SoftwareMixer::convert(
        wave.value().format, wave.value().data.constData(), wave.value().data.size());
    if (!stereo)
        return DeviceResult(DeviceResult::kBadFormat);
    m_samples.clear();
    for (std::size_t i = 0; i < stereo->size(); i += 2)
        m_samples.push_back((*stereo)[i]);
    m_stopping = false;
    m_startUs = m_clock.nowUs();
    m_running = true;
    m_thread = std::thread([this, &sink] { run(sink); });
    return DeviceResult::ok();
}

void FileAudioInput::run(CaptureSink &sink)
{
    // Delivered in fragments of 256 frames once they are complete, as a sound server would.
    constexpr qint64 kFragment = 256;
    std::vector<qint16> fragment(kFragment);
    qint64 delivered = 0;
    while (!m_stopping) {
        const qint64 available = framesAt(m_clock.nowUs() - m_startUs);
        while (available - delivered >= kFragment) {
            for (qint64 i = 0; i < kFragment; ++i) {
                const qint64 frame = delivered + i;
                const qint64 length = qint64(m_samples.size());
                if (m_ending == Ending::Loop && length > 0)
                    fragment[i] = m_samples[frame % length];
                else
                    fragment[i] = frame < length ? m_samples[frame] : 0;
            }
            sink.samplesCaptured(delivered, fragment.data(), kFragment);
            delivered += kFragment;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
    }
}

void FileAudioInput::stop()
{
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    m_thread.join();
    m_running = false;
}

std::optional<qint64> FileAudioInput::frameTimeUs(qint64 frame) const
{
    if (!m_running)
        return std::nullopt;
    return m_startUs + frame * 1'000'000 / kRate;
}

std::unique_ptr<AudioOutput> makeAudioOutput(const QString &value, const Clock &clock)
{
    const QString trimmed = value.trimmed();
    if (trimmed.startsWith(QLatin1String("file:")))
        return std::make_unique<FileAudioOutput>(trimmed.mid(5), clock);
    if (trimmed == QLatin1String("none"))
        return std::make_unique<NullAudioOutput>();
    logMessage(1, "   Audio: no output device \"%s\" in this build; playing nothing\n",
               trimmed.toUtf8().constData());
    return std::make_unique<NullAudioOutput>();
}

std::unique_ptr<AudioInput> makeAudioInput(const QString &value, const Clock &clock)
{
    const QString trimmed = value.trimmed();
    if (trimmed.startsWith(QLatin1String("file:")))
        return std::make_unique<FileAudioInput>(trimmed.mid(5), clock);
    if (trimmed.startsWith(QLatin1String("file-loop:")))
        return std::make_unique<FileAudioInput>(trimmed.mid(10), clock,
                                                FileAudioInput::Ending::Loop);
    if (trimmed != QLatin1String("none"))
        logMessage(1, "   Audio: no capture device \"%s\" in this build\n",
                   trimmed.toUtf8().constData());
    return nullptr;
}

} // namespace orva
