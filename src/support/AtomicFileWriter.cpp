// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AtomicFileWriter.h"

#include "support/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orva {

namespace {

AtomicFileWriter::FaultHook &faultHook()
{
    static AtomicFileWriter::FaultHook hook;
    return hook;
}

// 0 to go on, else the errno value the test wants this step to fail with.
int injectedFault(AtomicFileWriter::Step step)
{
    const AtomicFileWriter::FaultHook &hook = faultHook();
    return hook ? hook(step) : 0;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString markerOf(const QString &fileName)
{
    return QStringLiteral(".%1.orva-save-").arg(fileName);
}

/// An open file descriptor that is closed once; close() reports whether the close succeeded.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    /// errno of a failed close, else 0.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        // A close interrupted by a signal has released the descriptor on Linux; it must not be
        // repeated, and the data was synced before.
        if (::close(fd) != 0 && errno != EINTR)
            return errno;
        return 0;
    }

private:
    int m_fd = -1;
};

// Writes everything, going on after short writes and signals; errno of the failure, else 0.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        left -= written;
    }
    return 0;
}

void removeStrays(const QString &path)
{
    for (const QString &stray : AtomicFileWriter::strayTemporaryFiles(path)) {
        if (QFile::remove(stray))
            logMessage(2, "   AtomicFileWriter: removed %s, left by an interrupted save\n",
                       stray.toUtf8().constData());
    }
}

} // namespace

void AtomicFileWriter::setFaultHook(FaultHook hook)
{
    faultHook() = std::move(hook);
}

QStringList AtomicFileWriter::strayTemporaryFiles(const QString &path)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    QStringList strays;
    const QString marker = markerOf(target.fileName());
    const QStringList names =
        folder.entryList({ marker + QLatin1Char('*') }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        strays << folder.filePath(name);
    return strays;
}

Status AtomicFileWriter::write(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    auto failure = [&](const QString &operation, int error) {
        const QString message = QStringLiteral("cannot %1 %2: %3")
                                    .arg(operation, target.absoluteFilePath(), systemReason(error));
        logMessage(2, "   AtomicFileWriter: %s\n", message.toUtf8().constData());
        return Status::failure(message);
    };

    removeStrays(path);

    // The new content keeps the permissions of the file it replaces; a new file gets the usual
    // ones less the umask (open applies it).
    struct stat previous = {};
    const bool replacing =
        ::lstat(targetName.constData(), &previous) == 0 && S_ISREG(previous.st_mode);

    // The new content is written to an unnamed file of the folder where the file system allows
    // it, so that a process killed while writing leaves nothing behind; it gets its hidden name
    // with a marker only for the rename. Elsewhere the named file is created at once, and the
    // next save of the same file removes what a kill left.
    QByteArray temporaryName;
    int error = injectedFault(Step::Create);
    int fd = -1;
    bool unnamed = false;
    if (error == 0) {
        fd = ::open(folderName.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        unnamed = fd >= 0;
    }
    for (int attempt = 0; error == 0 && attempt < 100; ++attempt) {
        const QString name = markerOf(target.fileName())
            + QString::number(QRandomGenerator::global()->generate(), 36);
        temporaryName = QFile::encodeName(QDir(folder).filePath(name));
        if (unnamed)
            break;
        fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            error = fd >= 0 ? 0 : errno;
            break;
        }
    }
    if (error == 0 && fd < 0)
        error = EEXIST;
    if (error != 0)
        return failure(QStringLiteral("create"), error);
    Descriptor file(fd);
    bool named = !unnamed;
    auto discard = [&](const QString &operation, int failed) {
        if (named)
            ::unlink(temporaryName.constData());
        return failure(operation, failed);
    };

    if (replacing)
        ::fchmod(file.get(), previous.st_mode & 07777);
    error = injectedFault(Step::Write);
    if (error == 0)
        error = writeAll(file.get(), bytes);
    if (error != 0)
        return discard(QStringLiteral("write"), error);
    // Only a file whose bytes reached the disk may replace the old one: a delayed write error
    // (a full disk on a network share, a failing device) shows up here.
    error = injectedFault(Step::Sync);
    if (error == 0 && ::fsync(file.get()) != 0)
        error = errno;
    if (error != 0)
        return discard(QStringLiteral("write"), error);
    if (unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.get());
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporaryName.constData(),
                     AT_SYMLINK_FOLLOW)
            != 0)
            return discard(QStringLiteral("write"), errno);
        named = true;
    }
    error = injectedFault(Step::Close);
    if (error == 0)
        error = file.close();
    if (error != 0)
        return discard(QStringLiteral("write"), error);
    error = injectedFault(Step::Rename);
    if (error == 0 && ::rename(temporaryName.constData(), targetName.constData()) != 0)
        error = errno;
    if (error != 0)
        return discard(QStringLiteral("replace"), error);

    // The rename itself reaches the disk with the folder. The new content is in place by now, so
    // a failure here is logged and not reported: the old file is gone either way.
    Descriptor directory(::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.isValid() && ::fsync(directory.get()) != 0 && errno != EINVAL)
        logMessage(2, "   AtomicFileWriter: cannot sync the folder %s: %s\n",
                   folderName.constData(), std::strerror(errno));
    return Status::success();
}

} // namespace orva
