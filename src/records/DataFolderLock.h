// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace orva {

/// Keeps two running programs off one data folder: both would save the same user logs and run
/// files, and one would silently replace what the other wrote. The lock is a file in the folder
/// that names the holding process; a lock left by a process that no longer runs (a crash, a
/// kill) is taken over. Held until the object goes. Not thread-safe.
class DataFolderLock
{
public:
    enum class Outcome {
        Locked, ///< this program holds the folder
        HeldByOther, ///< another running program holds it
        NotPossible, ///< no lock could be made (a missing or read-only folder); nothing is held
    };

    DataFolderLock();
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    Outcome lock(const QString &folder);
    /// The process id of the other program after HeldByOther, else 0.
    qint64 holder() const { return m_holder; }

    static QString lockFilePath(const QString &folder);

private:
    std::unique_ptr<QLockFile> m_lock;
    qint64 m_holder = 0;
};

} // namespace orva
