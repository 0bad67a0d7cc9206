// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ORVA_Wave.h"

#include "audio/CDirectSound.h"
#include "support/ErrorReport.h"
#include "support/Logger.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cmath>

namespace orva {

namespace {

constexpr const char *kLoadFailed = "Load WAV-File: Failed to load file";

quint32 readUInt32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint16 readUInt16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

struct Chunk
{
    QByteArray id;
    qint64 bodyOffset = 0;
    qint64 size = 0; ///< as the header says; may reach beyond the file
};

/// The chunks in `bytes` between `begin` and `end`, in order; a header cut off by the end stops
/// the walk. Bodies are padded to an even length.
QList<Chunk> chunksIn(const QByteArray &bytes, qint64 begin, qint64 end)
{
    QList<Chunk> chunks;
    qint64 position = begin;
    while (position + 8 <= end) {
        Chunk chunk;
        chunk.id = bytes.mid(position, 4);
        chunk.size = readUInt32(bytes.constData() + position + 4);
        chunk.bodyOffset = position + 8;
        chunks.append(chunk);
        position = chunk.bodyOffset + chunk.size + (chunk.size & 1);
    }
    return chunks;
}

} // namespace

Result<RiffWave> parseRiffWave(const QByteArray &bytes)
{
    const qint64 size = bytes.size();
    if (size < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE")
        return Status::failure(QStringLiteral("Wave::Load : Not a RIFF or WAVE file"));
    // The RIFF size may claim more than the file holds; the file's end bounds every read.
    const qint64 riffEnd = std::min<qint64>(size, 8 + qint64(readUInt32(bytes.constData() + 4)));
    const QList<Chunk> chunks = chunksIn(bytes, 12, riffEnd);
    qsizetype formatIndex = -1;
    for (qsizetype i = 0; i < chunks.size(); ++i) {
        if (chunks[i].id == "fmt ") {
            formatIndex = i;
            break;
        }
    }
    if (formatIndex < 0)
        return Status::failure(QStringLiteral("Wave::Load : No fmt chunk in file"));
    const Chunk &fmt = chunks[formatIndex];
    if (fmt.size < 16 || fmt.bodyOffset + fmt.size > riffEnd)
        return Status::failure(QStringLiteral("Wave::Load : Failed to read fmt chunk"));
    RiffWave wave;
    const char *f = bytes.constData() + fmt.bodyOffset;
    wave.format.formatTag = readUInt16(f);
    wave.format.channels = readUInt16(f + 2);
    wave.format.sampleRate = readUInt32(f + 4);
    wave.format.bytesPerSecond = readUInt32(f + 8);
    wave.format.blockAlign = readUInt16(f + 12);
    wave.format.bitsPerSample = readUInt16(f + 14);
    if (wave.format.formatTag != 1)
        return Status::failure(QStringLiteral("Wave::Load : Not a PCM file"));
    for (qsizetype i = formatIndex + 1; i < chunks.size(); ++i) {
        if (chunks[i].id != "data")
            continue;
        if (chunks[i].bodyOffset + chunks[i].size > riffEnd)
            return Status::failure(QStringLiteral("Wave::Load : Failed to read data chunk"));
        wave.data = bytes.mid(chunks[i].bodyOffset, chunks[i].size);
        return wave;
    }
    return Status::failure(QStringLiteral("Wave::Load : No data chunk in file"));
}

ORVA_Wave::ORVA_Wave() = default;

ORVA_Wave::ORVA_Wave(const ORVA_Wave &other)
{
    copySamplesFrom(other);
}

ORVA_Wave &ORVA_Wave::operator=(const ORVA_Wave &other)
{
    if (this != &other)
        copySamplesFrom(other);
    return *this;
}

ORVA_Wave::~ORVA_Wave()
{
    stop();
}

void ORVA_Wave::copySamplesFrom(const ORVA_Wave &other)
{
    clear();
    m_format = other.m_format;
    // Same block lengths, filled sample by sample, so the values pass through setSample.
    for (const QByteArray &block : other.m_blocks)
        m_blocks.append(QByteArray(block.size(), '\0'));
    const qint32 count = other.sampleCount();
    for (qint32 i = 0; i < count; ++i)
        setSample(i, other.getSample(i));
}

bool ORVA_Wave::setFormat(quint32 rate, quint16 bits)
{
    if (rate != 11025 && rate != 22050 && rate != 44100) {
        reportError(QStringLiteral("Invalid sample rate: %1").arg(rate), 1, true);
        return false;
    }
    if (bits != 8 && bits != 16) {
        reportError(QStringLiteral("Invalid sample size: %1").arg(bits), 1, true);
        return false;
    }
    clear();
    m_format.formatTag = 1;
    m_format.channels = 1;
    m_format.bitsPerSample = bits;
    m_format.sampleRate = rate;
    m_format.blockAlign = m_format.channels * bits / 8;
    m_format.bytesPerSecond = m_format.blockAlign * rate;
    return true;
}

bool ORVA_Wave::loadFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    // Every message names the file, so that the operator knows which recording to replace.
    const auto failed = [&](const QString &message) {
        reportError(QStringLiteral("%1: %2").arg(message, QDir::toNativeSeparators(path)), 1, true);
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failed(QStringLiteral("Load WAV-File: Couldnt create file handle"));
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        failed(QStringLiteral("Load WAV-File: %1 MB, far more than any recording of the program; "
                              "the file is not loaded")
                   .arg(file.size() / (1024 * 1024)));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        failed(QStringLiteral("Wave::Load: mmioOpen failed"));
        failed(QString::fromLatin1(kLoadFailed));
        return false;
    }
    clear();
    Result<RiffWave> wave = parseRiffWave(bytes);
    if (!wave.ok()) {
        failed(wave.error());
        failed(QString::fromLatin1(kLoadFailed));
        return false;
    }
    m_format = wave.value().format;
    m_blocks.append(std::move(wave).value().data);
    return true;
}

qint32 ORVA_Wave::sampleCount() const
{
    const int bytesPerSample = m_format.bitsPerSample / 8;
    if (bytesPerSample == 0)
        return 0;
    qint64 count = 0;
    for (const QByteArray &block : m_blocks)
        count += block.size() / bytesPerSample;
    return static_cast<qint32>(std::min<qint64>(count, std::numeric_limits<qint32>::max()));
}

bool ORVA_Wave::locate(qint32 index, int &block, qint32 &offset) const
{
    const int bytesPerSample = m_format.bitsPerSample / 8;
    if (index < 0 || (bytesPerSample != 1 && bytesPerSample != 2) || m_format.bitsPerSample % 8)
        return false;
    qint64 first = 0;
    for (int i = 0; i < m_blocks.size(); ++i) {
        const qint64 count = m_blocks[i].size() / bytesPerSample;
        if (index < first + count) {
            block = i;
            offset = static_cast<qint32>((index - first) * bytesPerSample);
            return true;
        }
        first += count;
    }
    return false;
}

qint32 ORVA_Wave::getSample(qint32 index) const
{
    int block = 0;
    qint32 offset = 0;
    if (!locate(index, block, offset))
        return 0;
    const char *data = m_blocks[block].constData() + offset;
    if (m_format.bitsPerSample == 16)
        return qFromLittleEndian<qint16>(data);
    return (static_cast<quint8>(*data) - 128) * 256;
}

void ORVA_Wave::setSample(qint32 index, qint32 value)
{
    int block = 0;
    qint32 offset = 0;
    if (!locate(index, block, offset))
        return;
    char *data = m_blocks[block].data() + offset;
    if (m_format.bitsPerSample == 16) {
        qToLittleEndian<qint16>(static_cast<qint16>(std::clamp(value, -32768, 32767)), data);
    } else {
        *data = static_cast<char>(static_cast<quint8>(std::clamp(value / 256 + 128, 0, 255)));
    }
}

qint32 ORVA_Wave::durationMs() const
{
    if (m_format.sampleRate == 0 || m_format.channels == 0)
        return 0;
    return static_cast<qint32>(double(sampleCount()) * 1000.0 / m_format.sampleRate
                               / m_format.channels);
}

bool ORVA_Wave::mixIn(const ORVA_Wave &other, double otherGain, double ownGain)
{
    const qint32 n = sampleCount();
    const qint32 m = other.sampleCount();
    const qint32 ramp = static_cast<qint32>(m_format.sampleRate * 0.02);
    double envelope = 0.0;
    for (qint32 i = 0; i < n; ++i) {
        qint64 value = static_cast<qint64>(std::trunc(getSample(i) * ownGain));
        if (i < m)
            value += static_cast<qint64>(std::trunc(other.getSample(i) * otherGain * envelope));
        setSample(i, static_cast<qint32>(std::clamp<qint64>(value, INT32_MIN, INT32_MAX)));
        if (ramp > 0 && i < ramp)
            envelope += 1.0 / ramp;
        else if (ramp > 0 && i > n - ramp)
            envelope -= 1.0 / ramp;
        else
            envelope = 1.0;
    }
    return true;
}

void ORVA_Wave::clear()
{
    m_blocks.clear();
}

void ORVA_Wave::appendBlock(const QByteArray &bytes)
{
    m_blocks.append(bytes);
}

bool ORVA_Wave::play(bool loop, bool startSilent)
{
    if (!createPlayer())
        return true;
    if (startSilent)
        m_player->setVolume(-100);
    m_player->play(0, loop);
    logMessage(1, "PLAY: Vol=%f\n", m_player->getVolume());
    return true;
}

void ORVA_Wave::playAt(qint64 startUs)
{
    if (!createPlayer())
        return;
    m_player->playAt(0, false, startUs);
    logMessage(1, "PLAY: Vol=%f\n", m_player->getVolume());
}

bool ORVA_Wave::createPlayer()
{
    if (m_blocks.isEmpty() || m_blocks.first().isEmpty())
        return false;
    if (!m_player)
        m_player = std::make_unique<CDirectSound>();
    const QByteArray &block = m_blocks.first();
    return m_player->create(&m_format, block.constData(), quint32(block.size())) != 0;
}

void ORVA_Wave::stop()
{
    if (m_player)
        m_player->stop();
}

void ORVA_Wave::setVolume(int dB)
{
    if (m_player)
        m_player->setVolume(dB);
}

std::optional<qint64> ORVA_Wave::playStartUs() const
{
    return m_player ? m_player->playStartUs() : std::nullopt;
}

} // namespace orva
