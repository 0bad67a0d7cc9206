// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace orva {

/// Replaces a file as a whole or not at all. The bytes go to a new file in the target's folder,
/// are synced to disk and only then renamed over the target, so that a full disk, a read-only
/// folder, a failed sync or a killed process leaves the previous file byte for byte as it was.
/// Every failing system call is noticed: the writes are unbuffered and checked one by one, unlike
/// QSaveFile, whose commit misses a failed final flush (QTBUG-75077).
/// A symbolic link at the target is replaced by the new file, never written through.
/// Stateless apart from the test seam; callable from any thread.
class AtomicFileWriter
{
public:
    /// The system calls of a write, in their order; a test makes one of them fail.
    enum class Step { Create, Write, Sync, Close, Rename };

    /// Writes `bytes` as the new content of `path`. The failure names the operation, the file and
    /// the system's reason ("cannot write /d/x.orl: No space left on device"); the previous file
    /// is then untouched and no temporary file is left behind.
    static Status write(const QString &path, const QByteArray &bytes);

    /// Test seam: called before each step of every write; a non-zero errno value makes that step
    /// fail as if the system call had. An empty hook (the default) fails nothing. Not for use
    /// while other threads write.
    using FaultHook = std::function<int(Step)>;
    static void setFaultHook(FaultHook hook);

    /// The temporary files of `path` that an earlier write left behind when its process was
    /// killed in the middle of it: hidden names beside the target with a fixed marker.
    static QStringList strayTemporaryFiles(const QString &path);
};

} // namespace orva
