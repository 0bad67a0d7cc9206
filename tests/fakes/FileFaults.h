// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/AtomicFileWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <functional>

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

/// Writes `bytes` to `path` with plain QFile calls, as another program would, so that the file a
/// save test starts from shares no code with the writer under test.
inline bool writeByHand(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size() && file.flush();
}

/// Rows "step" (AtomicFileWriter::Step as int) and "error" (errno) for each step of a save after
/// its file was opened, each failing as the system would fail it there.
inline void addFailingStepsAfterTheOpen()
{
    using Step = AtomicFileWriter::Step;
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("error");
    QTest::newRow("write: disk full") << int(Step::Write) << ENOSPC;
    QTest::newRow("sync: device error") << int(Step::Sync) << EIO;
    QTest::newRow("close: quota") << int(Step::Close) << EDQUOT;
    QTest::newRow("rename: permission") << int(Step::Rename) << EACCES;
}

/// Writes `previous` to `path` by hand, runs `save` while `step` fails with `error`, and returns
/// what went wrong, or an empty text: the failure must be reported, naming the file and the
/// system's reason; the previous bytes must survive byte for byte with no temporary file beside
/// them; and the same save without the fault must replace them, or the test proved nothing.
inline QString failedSaveProblem(const QString &path,
                                 const QByteArray &previous,
                                 AtomicFileWriter::Step step,
                                 int error,
                                 const std::function<Status()> &save)
{
    if (!writeByHand(path, previous))
        return QStringLiteral("cannot write the previous file ") + path;
    const QStringList filesBefore = folderFiles(QFileInfo(path).absolutePath());
    const Status failed = [&] {
        FailingSaves failing(step, error);
        return save();
    }();
    if (failed.ok())
        return QStringLiteral("the failed save was reported as success");
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (!failed.error().contains(path) || !failed.error().contains(reason))
        return QStringLiteral("the message names neither the file nor \"%1\": %2")
            .arg(reason, failed.error());
    if (fileBytes(path) != previous)
        return QStringLiteral("the previous file changed: ") + QString::fromUtf8(fileBytes(path));
    if (folderFiles(QFileInfo(path).absolutePath()) != filesBefore)
        return QStringLiteral("files left beside it: ")
            + folderFiles(QFileInfo(path).absolutePath()).join(QLatin1Char(' '));
    const Status again = save();
    if (!again.ok())
        return QStringLiteral("the save fails without the fault too: ") + again.error();
    if (fileBytes(path) == previous)
        return QStringLiteral("the save writes the previous bytes: the test proves nothing");
    return QString();
}

} // namespace orva::test
