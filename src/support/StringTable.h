// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace orva {

/// The user-visible texts of one user-interface language: resource strings by number, and the
/// menu and dialog texts by name ("menu.32787", "dialog.132.1109").
/// Read-only after loading; any thread may read it.
class StringTable
{
public:
    /// The German table built into the program.
    static const StringTable &german();

    /// Parses "<number>=<text>" and "<name>=<text>" lines (names of letters, digits, dots and
    /// underscores, beginning with a letter). The text is the rest of the line after the first
    /// "=", blanks included; "\n", "\t" and "\\" are escapes. "#" starts a comment line. A key
    /// given twice keeps its last text and is listed by duplicates().
    static Result<StringTable> parse(const QByteArray &utf8, const QString &sourceName);
    static Result<StringTable> load(const QString &path);

    /// The table of user-interface language `language`, read from
    /// "<installationDir>/bin/<code>/strings.txt". Index 0 gives the built-in German table and
    /// reads no file. When the file cannot be read or parsed, or the index is unknown, the result
    /// is the built-in German table as well, and its error() says why; it is never a failure.
    static Result<StringTable> loadForLanguage(const QString &installationDir, int language);

    /// The text of resource string `id`; a number missing here falls back to German, and one
    /// missing there too gives "#<id>" so the gap is visible.
    QString text(int id) const;
    /// The text of a named entry ("menu.32787", "dialog.132.1109"), with the same fallbacks
    /// ("#<key>" when German lacks it too).
    QString text(const QString &key) const;

    bool contains(int id) const { return m_texts.contains(id); }
    bool contains(const QString &key) const { return m_named.contains(key); }
    /// The number of resource strings (named entries not counted).
    qsizetype size() const { return m_texts.size(); }
    /// The numbers of the resource strings held here, ascending.
    QList<int> ids() const;
    /// The names of the named entries held here, sorted.
    QStringList keys() const;
    /// Keys that the parsed text gave more than once, as written, in the order met.
    const QStringList &duplicates() const { return m_duplicates; }

private:
    QHash<int, QString> m_texts;
    QHash<QString, QString> m_named;
    QStringList m_duplicates;
};

} // namespace orva
