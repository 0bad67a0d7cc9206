// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/mount.h>
#include <unistd.h>

namespace orva::test {

/// A real file system of a few kilobytes (a tmpfs mounted on a temporary folder) that a test can
/// fill to the last byte or make read-only. Mounting needs root, as in CI; elsewhere isMounted()
/// is false and the test skips. Unmounted when the object goes.
class SmallDisk
{
public:
    explicit SmallDisk(int kilobytes = 64)
    {
        if (::geteuid() != 0 || !m_folder.isValid())
            return;
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        m_mounted = ::mount("orva-test", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0,
                            options.constData())
            == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString &name) const { return m_folder.filePath(name); }

    /// Takes every free byte with a file of its own; freeSpace() lets it go again.
    bool fill()
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(512, 'f');
        while (filler.write(block) == block.size()) { }
        // The last partial block: one byte at a time until none fits.
        while (filler.write("f", 1) == 1) { }
        return true;
    }
    void freeSpace() { QFile::remove(filePath(QStringLiteral("filler"))); }

    /// Remounts the disk read-only (or writable again).
    bool setReadOnly(bool readOnly)
    {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("orva-test", QFile::encodeName(m_folder.path()).constData(), "tmpfs", flags,
                       nullptr)
            == 0;
    }

    /// Files of the folder other than the filler, hidden ones included.
    QStringList files(const QString &folder = QString()) const
    {
        QStringList names = QDir(folder.isEmpty() ? path() : folder)
                                .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
};

} // namespace orva::test
