// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QHash>
#include <QString>

namespace orva {

/// The user-visible texts of one user-interface language, by resource number.
/// Read-only after loading; any thread may read it.
class StringTable
{
public:
    /// The German table built into the program.
    static const StringTable &german();

    /// Parses "<number>=<text>" and "<name>=<text>" lines (names of letters, digits and dots) ("#"
    /// starts a comment line, "\n" and "\\" are escapes).
    static Result<StringTable> parse(const QByteArray &utf8, const QString &sourceName);
    static Result<StringTable> load(const QString &path);

    /// The text of resource string `id`; a number missing here falls back to German, and one
    /// missing there too gives "#<id>" so the gap is visible.
    QString text(int id) const;
    /// The text of a named entry ("menu.32787", "dialog.132.1109"), with the same fallbacks.
    QString text(const QString &key) const;
    bool contains(int id) const { return m_texts.contains(id); }
    qsizetype size() const { return m_texts.size(); }

private:
    QHash<int, QString> m_texts;
    QHash<QString, QString> m_named;
};

} // namespace orva
