// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/DataFolderLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace orva;

class DataFolderLockTest : public QObject
{
    Q_OBJECT

private slots:
    void secondHolderIsRefusedUntilTheFirstLetsGo();
    void lockOfAProcessThatDiedIsTakenOver();
    void missingFolderHoldsNothing();
};

void DataFolderLockTest::secondHolderIsRefusedUntilTheFirstLetsGo()
{
    QTemporaryDir data;
    auto first = std::make_unique<DataFolderLock>();
    QCOMPARE(first->lock(data.path()), DataFolderLock::Outcome::Locked);
    DataFolderLock second;
    QCOMPARE(second.lock(data.path()), DataFolderLock::Outcome::HeldByOther);
    QCOMPARE(second.holder(), qint64(QCoreApplication::applicationPid()));
    first.reset();
    QCOMPARE(second.lock(data.path()), DataFolderLock::Outcome::Locked);
    QCOMPARE(second.holder(), qint64(0));
}

void DataFolderLockTest::lockOfAProcessThatDiedIsTakenOver()
{
    QTemporaryDir data;
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        auto *lock = new DataFolderLock; // never released: the process "crashes" holding it
        ::_exit(lock->lock(data.path()) == DataFolderLock::Outcome::Locked ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QVERIFY(QFile::exists(DataFolderLock::lockFilePath(data.path())));
    DataFolderLock next;
    QCOMPARE(next.lock(data.path()), DataFolderLock::Outcome::Locked);
}

void DataFolderLockTest::missingFolderHoldsNothing()
{
    DataFolderLock lock;
    QCOMPARE(lock.lock(QStringLiteral("/nonexistent/orva/data")),
             DataFolderLock::Outcome::NotPossible);
}

QTEST_GUILESS_MAIN(DataFolderLockTest)
#include "DataFolderLockTest.moc"
