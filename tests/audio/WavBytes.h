// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QtEndian>

#include <cmath>

namespace orva::test {

/// Builds WAV files byte by byte for the tests.
struct WavBytes
{
    static QByteArray u32(quint32 value)
    {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    }
    static QByteArray u16(quint16 value)
    {
        QByteArray bytes(2, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    }
    static QByteArray chunk(const QByteArray &id, const QByteArray &body)
    {
        QByteArray bytes = id + u32(body.size()) + body;
        if (body.size() % 2)
            bytes += '\0';
        return bytes;
    }
    static QByteArray format(quint16 channels, quint32 rate, quint16 bits, quint16 tag = 1)
    {
        const quint16 align = channels * bits / 8;
        return u16(tag) + u16(channels) + u32(rate) + u32(align * rate) + u16(align) + u16(bits);
    }
    static QByteArray riff(const QList<QByteArray> &chunks)
    {
        QByteArray body = "WAVE";
        for (const QByteArray &c : chunks)
            body += c;
        return "RIFF" + u32(body.size()) + body;
    }
    /// 16-bit little-endian samples.
    static QByteArray samples16(const QList<qint16> &values)
    {
        QByteArray bytes;
        for (qint16 v : values)
            bytes += u16(static_cast<quint16>(v));
        return bytes;
    }
    static QByteArray wav16(quint16 channels, quint32 rate, const QByteArray &data)
    {
        return riff({ chunk("fmt ", format(channels, rate, 16)), chunk("data", data) });
    }
    /// A mono 44.1 kHz 16-bit sine of `frames` frames at `amplitude`.
    static QByteArray sine(int frames, double frequency, double amplitude, int silentFrames = 0)
    {
        QList<qint16> values(silentFrames, 0);
        for (int i = 0; i < frames; ++i)
            values.append(
                static_cast<qint16>(amplitude * std::sin(2 * M_PI * frequency * i / 44100)));
        return wav16(1, 44100, samples16(values));
    }
    static bool write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
};

} // namespace orva::test
