// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/LineSource.h"
#include "support/Status.h"

#include <QByteArray>
#include <QString>

namespace orva {

/// A whole text file held in memory and handed out line by line as wide text, whatever its
/// encoding (8-bit Latin-1, UTF-8 or UTF-16 of either byte order, told apart by the byte-order
/// mark; big-endian text is read, never written).
/// Every file format of the program is read through it. It can also collect text and write it out
/// with the byte-order mark of a chosen encoding. One object per file; not thread-safe.
class TextFile final : public LineSource
{
public:
    enum class Encoding { EightBit = 1, Utf8 = 2, Utf16LE = 3 };
    enum class Mode { Closed = 0, Reading = 1, Writing = 2 };
    enum class Origin { Start = 0, Current = 1, End = 2 };

    /// Larger files are not read: no file of the program comes near this, and reading one whole
    /// file of several gigabytes into memory would take the program down.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    TextFile();
    /// A file still open for writing is discarded, not written.
    ~TextFile() override;
    TextFile(const TextFile &) = delete;
    TextFile &operator=(const TextFile &) = delete;

    /// Whether a symbolic link at the path itself is followed when reading.
    enum class Links { Follow, Refuse };

    /// 0 when the file was read, and also when it does not exist or cannot be read (isOpen()
    /// then stays false); 1 when this object is already open. With Links::Refuse a link at `path`
    /// is not read (the files of the data folder, which others may write).
    int openRead(const QString &path, Links links = Links::Follow);
    /// Reads `bytes` as the content of a file (byte-order mark included); same results as openRead.
    int openBytes(const QByteArray &bytes);
    /// Prepares writing `path` in `encoding`: 0 when the file can be created, -1 when not, 1 when
    /// this object is already open. The file on disk changes only when close() succeeds.
    int openWrite(const QString &path, Encoding encoding);

    bool isOpen() const { return m_mode != Mode::Closed; }
    Mode mode() const { return m_mode; }
    Encoding encoding() const { return m_encoding; }
    /// True when not reading, or when every line has been read.
    bool atEnd() const { return m_mode != Mode::Reading || m_position >= m_data.size(); }
    /// Bytes of text held, without the byte-order mark.
    qint64 size() const { return m_data.size(); }

    /// The next line without its line end (LF, CR LF or a lone CR), cut after `maxChars`
    /// characters (the rest of the line is skipped). False, with an empty line, at the end.
    bool readLine(QString &line, int maxChars = 1023) override;
    /// The next line as 8-bit text: the bytes as stored in 8-bit and UTF-8 files, UTF-8 for UTF-16.
    bool readLine8Bit(QByteArray &line, int maxChars = 1023);
    /// Byte offset of the next line in the text.
    qint64 position() const override { return m_position; }
    void seek(qint64 position) override { seek(position, Origin::Start); }
    /// Moves the read position, clamped to the text.
    void seek(qint64 offset, Origin origin);

    /// Appends printf-style 8-bit text while writing: stored as it is in 8-bit and UTF-8 files,
    /// converted from UTF-8 in UTF-16 files.
    void append(const char *format, ...) __attribute__((format(printf, 2, 3)));
    /// Appends wide text in the file's encoding (characters beyond Latin-1 become "?" in 8-bit).
    void appendText(const QString &text);

    /// Reading: empties the object. Writing: replaces the file with the byte-order mark and the
    /// collected text as a whole (see AtomicFileWriter), then empties the object; a failure
    /// leaves any previous file untouched and is returned.
    Status close();

    /// Writes `text` the way the program stores its own files: UTF-8 with a byte-order mark and
    /// every "\n" as CR LF, replacing `path` only once everything was written.
    static Status saveProgramText(const QString &path, const QString &text);

private:
    void startReading(QByteArray bytes);
    /// Finds the end of the line at the position: the line's bytes end at `lineEnd`, the next
    /// line begins at `next`.
    void findLineEnd(qint64 &lineEnd, qint64 &next) const;
    quint16 unitAt(qint64 offset) const;
    int unitBytes() const { return m_encoding == Encoding::Utf16LE ? 2 : 1; }
    void reset();

    Mode m_mode = Mode::Closed;
    Encoding m_encoding = Encoding::EightBit;
    QByteArray m_data; ///< the text without its byte-order mark
    qint64 m_position = 0;
    QString m_fileName;
};

} // namespace orva
