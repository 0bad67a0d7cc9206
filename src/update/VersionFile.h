// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QByteArray>
#include <QString>

#include <map>

namespace orva {

/// "version.ini", through which the program and the update program talk: 8-bit "key=value" lines
/// between two "[VersionInfo]" lines. Keys compare bytewise. Headless.
class VersionFile
{
public:
    static constexpr char kCurrentVersion[] = "CurrentVersion";
    static constexpr char kLang[] = "Lang";
    static constexpr char kProgramRuns[] = "ProgramRuns";
    static constexpr char kDownloading[] = "downloading";
    static constexpr char kPatchName[] = "PatchName";
    /// The SHA-256 (hex) of the patch, written by the update program once it has checked it.
    static constexpr char kPatchSha256[] = "PatchSHA256";
    /// "version.ini" is small; anything larger is not one.
    static constexpr qint64 kMaxBytes = 64 * 1024;

    /// Empties the map and reads `path`: each line with "=" is cut at the "=" characters into
    /// non-empty pieces, the first the key and the second its value ("Key=" has an empty value);
    /// other lines are ignored. A file that is missing, a link, or too large fails.
    Status read(const QString &path);
    /// Writes the map in key order between the two section lines, replacing `path` at once:
    /// a reader sees the old file or the new one, never a part.
    Status write(const QString &path) const;
    /// The file's bytes as write() puts them.
    QByteArray toBytes() const;

    QByteArray value(const char *key) const;
    void set(const char *key, const QByteArray &value) { m_values[QByteArray(key)] = value; }
    const std::map<QByteArray, QByteArray> &values() const { return m_values; }

    /// Whether `candidate` is a newer version than `installed`: equal texts are not; otherwise
    /// the pieces between "." compare as decimal numbers over the shorter length, the first
    /// difference deciding; all equal is not newer (3.1.31.1 is not newer than 3.1.31).
    static bool isNewer(const QByteArray &candidate, const QByteArray &installed);

private:
    std::map<QByteArray, QByteArray> m_values;
};

} // namespace orva
