// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/DataFolderLock.h"

#include "support/Logger.h"

#include <QDir>
#include <QLockFile>

namespace orva {

DataFolderLock::DataFolderLock() = default;
DataFolderLock::~DataFolderLock() = default;

QString DataFolderLock::lockFilePath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".orva.lock"));
}

DataFolderLock::Outcome DataFolderLock::lock(const QString &folder)
{
    m_lock.reset();
    m_holder = 0;
    auto lock = std::make_unique<QLockFile>(lockFilePath(folder));
    // Only a lock whose process is gone counts as stale, however old it is.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return Outcome::Locked;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        QString host;
        QString application;
        lock->getLockInfo(&m_holder, &host, &application);
        logMessage(1, "   DataFolderLock: %s is in use by process %lld on %s\n",
                   folder.toUtf8().constData(), m_holder, host.toUtf8().constData());
        return Outcome::HeldByOther;
    }
    logMessage(1, "   DataFolderLock: no lock in %s (error %d); two programs are not kept apart\n",
               folder.toUtf8().constData(), int(lock->error()));
    return Outcome::NotPossible;
}

} // namespace orva
