// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DirectoryListing.h"

#include <QDir>
#include <QSet>

namespace orva {

namespace {

void listInto(const QString &folder,
              const QString &pattern,
              bool recursive,
              QSet<QString> &visited,
              QStringList &paths)
{
    QDir dir(folder);
    const QString canonical = dir.canonicalPath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);
    if (recursive) {
        const QStringList folders =
            dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
        for (const QString &name : folders)
            listInto(folder + QLatin1Char('/') + name, pattern, recursive, visited, paths);
    }
    const QStringList files =
        dir.entryList({ pattern }, QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString &name : files)
        paths.append(folder + QLatin1Char('/') + name);
}

} // namespace

QStringList listFiles(const QString &folder, const QString &pattern, bool recursive)
{
    QStringList paths;
    QSet<QString> visited;
    listInto(folder, pattern, recursive, visited, paths);
    return paths;
}

} // namespace orva
