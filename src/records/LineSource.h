// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace orva {

/// Wide text lines read one by one, with a position that can be taken and restored, so that a
/// section reader can hand a foreign section header back to the next reader.
class LineSource
{
public:
    virtual ~LineSource() = default;
    /// The next line without its line end; false at the end of the source.
    /// Lines longer than `maxChars` are cut (the rest of the line is skipped).
    virtual bool readLine(QString &line, int maxChars = 1023) = 0;
    /// Position of the next line to be read.
    virtual qint64 position() const = 0;
    virtual void seek(qint64 position) = 0;
};

/// Lines held in memory.
class StringLineSource final : public LineSource
{
public:
    explicit StringLineSource(QStringList lines)
        : m_lines(std::move(lines))
    { }
    /// Splits `text` at "\n" (a "\r" before it is dropped); a final line end adds no empty line.
    static StringLineSource fromText(const QString &text);

    bool readLine(QString &line, int maxChars = 1023) override;
    qint64 position() const override { return m_next; }
    void seek(qint64 position) override;

private:
    QStringList m_lines;
    qint64 m_next = 0;
};

} // namespace orva
