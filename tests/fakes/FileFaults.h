// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/AtomicFileWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cerrno>

namespace orva::test {

/// While it lives, every file the program saves fails at `step` with `error`, as on a disk that
/// fills up after the file was opened.
class FailingSaves
{
public:
    explicit FailingSaves(AtomicFileWriter::Step step = AtomicFileWriter::Step::Write,
                          int error = ENOSPC)
    {
        AtomicFileWriter::setFaultHook(
            [step, error](AtomicFileWriter::Step now) { return now == step ? error : 0; });
    }
    ~FailingSaves() { AtomicFileWriter::setFaultHook({}); }
    FailingSaves(const FailingSaves &) = delete;
    FailingSaves &operator=(const FailingSaves &) = delete;
};

/// The bytes of a file, or "<missing>".
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

/// The names of the files in `folder`, hidden ones included, sorted.
inline QStringList folderFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace orva::test
