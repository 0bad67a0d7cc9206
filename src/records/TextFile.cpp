// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/TextFile.h"

#include "support/AtomicFileWriter.h"
#include "support/Logger.h"
#include "support/Printf.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace orva {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kUtf16Mark[] = "\xFF\xFE";
constexpr char kUtf16BigEndianMark[] = "\xFE\xFF";

QByteArray utf16LittleEndian(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

// Cuts after `maxChars` UTF-16 code units without leaving half of a surrogate pair.
void cutLine(QString &line, int maxChars)
{
    if (line.size() <= maxChars)
        return;
    line.truncate(maxChars);
    if (!line.isEmpty() && line.back().isHighSurrogate())
        line.chop(1);
}

} // namespace

TextFile::TextFile() = default;

TextFile::~TextFile()
{
    if (m_mode == Mode::Writing)
        logMessage(2, "   TextFile: %s was not closed and is not written\n",
                   m_fileName.toUtf8().constData());
}

void TextFile::reset()
{
    m_mode = Mode::Closed;
    m_encoding = Encoding::EightBit;
    m_data.clear();
    m_position = 0;
    m_fileName.clear();
}

int TextFile::openRead(const QString &path, Links links)
{
    if (isOpen())
        return 1;
    QFile file(path);
    if (links == Links::Refuse) {
        // Opened by the system call itself, so that a link put in the file's place after the
        // caller checked the path is not followed either.
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            if (errno != ENOENT)
                logMessage(2, "   TextFile: cannot read %s: %s\n", path.toUtf8().constData(),
                           errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
            return 0;
        }
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return 0;
        }
    } else if (!file.exists()) {
        return 0;
    }
    if (!file.isOpen() && !file.open(QIODevice::ReadOnly)) {
        logMessage(2, "   TextFile: cannot read %s: %s\n", path.toUtf8().constData(),
                   file.errorString().toUtf8().constData());
        return 0;
    }
    QByteArray bytes;
    if (!file.isSequential() && file.size() <= kMaxFileBytes) {
        bytes = file.readAll();
    } else {
        // A pipe or device tells no size: read in pieces up to one past the limit.
        while (bytes.size() <= kMaxFileBytes && !file.atEnd()) {
            const QByteArray piece = file.read(64 * 1024);
            if (piece.isEmpty())
                break;
            bytes += piece;
        }
    }
    if (bytes.size() > kMaxFileBytes || (!file.isSequential() && file.size() > kMaxFileBytes)) {
        logMessage(2, "   TextFile: %s is larger than %lld bytes and is not read\n",
                   path.toUtf8().constData(), static_cast<long long>(kMaxFileBytes));
        return 0;
    }
    startReading(std::move(bytes));
    m_fileName = path;
    return 0;
}

int TextFile::openBytes(const QByteArray &bytes)
{
    if (isOpen())
        return 1;
    if (bytes.size() > kMaxFileBytes)
        return 0;
    startReading(bytes);
    return 0;
}

void TextFile::startReading(QByteArray bytes)
{
    if (bytes.startsWith(kUtf8Mark)) {
        m_encoding = Encoding::Utf8;
        bytes.remove(0, 3);
    } else if (bytes.startsWith(kUtf16Mark)) {
        m_encoding = Encoding::Utf16LE;
        bytes.remove(0, 2);
    } else if (bytes.startsWith(kUtf16BigEndianMark)) {
        // Written by other editors; held in the order the rest of the reader knows.
        m_encoding = Encoding::Utf16LE;
        bytes.remove(0, 2);
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    } else {
        m_encoding = Encoding::EightBit;
    }
    m_data = std::move(bytes);
    m_position = 0;
    m_mode = Mode::Reading;
}

int TextFile::openWrite(const QString &path, Encoding encoding)
{
    if (isOpen())
        return 1;
    // Nothing is created yet: close() writes the whole file at once. Only a folder that is not
    // there or cannot be written is refused now.
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        logMessage(2, "   TextFile: cannot create %s: the folder is missing or read-only\n",
                   path.toUtf8().constData());
        return -1;
    }
    m_fileName = path;
    m_encoding = encoding;
    m_data.clear();
    m_position = 0;
    m_mode = Mode::Writing;
    return 0;
}

quint16 TextFile::unitAt(qint64 offset) const
{
    const auto *bytes = reinterpret_cast<const uchar *>(m_data.constData());
    if (m_encoding == Encoding::Utf16LE)
        return static_cast<quint16>(bytes[offset] | (bytes[offset + 1] << 8));
    return bytes[offset];
}

void TextFile::findLineEnd(qint64 &lineEnd, qint64 &next) const
{
    // UTF-16 is scanned in whole code units, so that a character such as U+010D, whose low byte
    // is 13, does not end a line; a trailing odd byte is no character.
    const int unit = unitBytes();
    const qint64 end = m_data.size() - (m_data.size() % unit);
    qint64 i = m_position;
    while (i < end) {
        const quint16 c = unitAt(i);
        if (c == 10 || c == 13)
            break;
        i += unit;
    }
    lineEnd = i;
    if (i >= end) {
        next = m_data.size();
        return;
    }
    next = i + unit;
    // CR LF is one line end; a lone CR ends its line without taking the next line's first
    // character with it.
    if (unitAt(i) == 13 && next < end && unitAt(next) == 10)
        next += unit;
}

bool TextFile::readLine(QString &line, int maxChars)
{
    line.clear();
    if (atEnd())
        return false;
    maxChars = qMax(0, maxChars);
    qint64 lineEnd = 0;
    qint64 next = 0;
    findLineEnd(lineEnd, next);
    const char *start = m_data.constData() + m_position;
    const qint64 length = lineEnd - m_position;
    switch (m_encoding) {
    case Encoding::EightBit:
        line = QString::fromLatin1(start, qMin<qint64>(length, maxChars));
        break;
    case Encoding::Utf8:
        // Only a prefix is decoded: a code unit takes at most three bytes, and the four spare
        // bytes cover a sequence cut at the end.
        line = QString::fromUtf8(start, qMin<qint64>(length, qint64(maxChars) * 3 + 4));
        cutLine(line, maxChars);
        break;
    case Encoding::Utf16LE: {
        const qint64 units = qMin<qint64>(length / 2, maxChars);
        line.resize(units);
        for (qint64 k = 0; k < units; ++k)
            line[k] = QChar(unitAt(m_position + 2 * k));
        cutLine(line, maxChars);
        break;
    }
    }
    m_position = next;
    return true;
}

bool TextFile::readLine8Bit(QByteArray &line, int maxChars)
{
    line.clear();
    if (atEnd())
        return false;
    if (m_encoding == Encoding::Utf16LE) {
        QString wide;
        readLine(wide, maxChars);
        line = wide.toUtf8();
        return true;
    }
    qint64 lineEnd = 0;
    qint64 next = 0;
    findLineEnd(lineEnd, next);
    line = m_data.mid(m_position, qMin<qint64>(lineEnd - m_position, qMax(0, maxChars)));
    m_position = next;
    return true;
}

void TextFile::seek(qint64 offset, Origin origin)
{
    if (m_mode != Mode::Reading)
        return;
    qint64 base = 0;
    if (origin == Origin::Current)
        base = m_position;
    else if (origin == Origin::End)
        base = m_data.size();
    // Saturating: an offset from a damaged caller must not wrap around.
    qint64 target = 0;
    if (__builtin_add_overflow(base, offset, &target))
        target = offset < 0 ? 0 : m_data.size();
    target = qBound<qint64>(0, target, m_data.size());
    if (m_encoding == Encoding::Utf16LE)
        target -= target % 2;
    m_position = target;
}

void TextFile::append(const char *format, ...)
{
    if (m_mode != Mode::Writing)
        return;
    va_list args;
    va_start(args, format);
    const QByteArray bytes = vformat(format, args);
    va_end(args);
    if (m_encoding == Encoding::Utf16LE)
        m_data += utf16LittleEndian(QString::fromUtf8(bytes));
    else
        m_data += bytes;
}

void TextFile::appendText(const QString &text)
{
    if (m_mode != Mode::Writing)
        return;
    switch (m_encoding) {
    case Encoding::EightBit:
        m_data += text.toLatin1();
        break;
    case Encoding::Utf8:
        m_data += text.toUtf8();
        break;
    case Encoding::Utf16LE:
        m_data += utf16LittleEndian(text);
        break;
    }
}

Status TextFile::close()
{
    if (m_mode != Mode::Writing) {
        reset();
        return Status::success();
    }
    QByteArray bytes;
    if (m_encoding == Encoding::Utf8)
        bytes = kUtf8Mark;
    else if (m_encoding == Encoding::Utf16LE)
        bytes = kUtf16Mark;
    bytes += m_data;
    const QString path = m_fileName;
    reset();
    return AtomicFileWriter::write(path, bytes);
}

Status TextFile::saveProgramText(const QString &path, const QString &text)
{
    TextFile file;
    if (file.openWrite(path, Encoding::Utf8) != 0)
        return Status::failure(QStringLiteral("cannot create %1").arg(path));
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    file.appendText(crlf);
    return file.close();
}

} // namespace orva
