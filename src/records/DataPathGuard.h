// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace orva {

/// Keeps the program's file access inside its data folders, which several users may share: a
/// path below a data folder is refused when it, or a folder on its way, is a symbolic link that
/// leads out of that folder (or nowhere). Paths outside every data folder (a file the operator
/// chose) are not its business. Owned by the run model; UI thread only.
///
/// Writes go through a new file renamed over the target, which replaces a link instead of
/// following it; run files and training histories are opened without following a link at their
/// own name, so that a file swapped for a link after this check is not read either.
class DataPathGuard
{
public:
    /// Told once per refused path: the path and where it leads (empty for a dangling link).
    using Reporter = std::function<void(const QString &path, const QString &target)>;

    /// The data folders; paths below them are checked. Empty names are left out.
    void setFolders(const QStringList &folders);
    const QStringList &folders() const { return m_folders; }
    void setReporter(Reporter reporter) { m_reporter = std::move(reporter); }

    /// True when `path` may be opened. A refusal is logged every time and reported once.
    [[nodiscard]] bool allows(const QString &path) const;

    /// Where `path` leads: links followed (at most 40), ".." resolved, a missing last part kept
    /// as it is. Empty when a link leads nowhere or a folder on the way is missing.
    static QString resolvedPath(const QString &path);

private:
    QStringList m_folders;
    Reporter m_reporter;
    mutable QSet<QString> m_reported;
};

} // namespace orva
