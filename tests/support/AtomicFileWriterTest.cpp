// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AtomicFileWriter.h"

#include "fakes/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orva;

class AtomicFileWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { AtomicFileWriter::setFaultHook({}); }

    void replacesTheFileAndKeepsItsPermissions();
    void failingSystemCallKeepsThePreviousFile_data();
    void failingSystemCallKeepsThePreviousFile();
    void fullDiskKeepsThePreviousFileAndWritesOnceThereIsSpace();
    void readOnlyDiskKeepsThePreviousFile();
    void symbolicLinkAtTheTargetIsReplacedNotFollowed();
    void killedWriterLeavesThePreviousFileAndNoTemporaryFile_data();
    void killedWriterLeavesThePreviousFileAndNoTemporaryFile();
};

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool holdsUnnamedFiles(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

QStringList allFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

void AtomicFileWriterTest::replacesTheFileAndKeepsItsPermissions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ORVA.ini"));
    QVERIFY(AtomicFileWriter::write(path, "first").ok());
    QCOMPARE(fileBytes(path), QByteArray("first"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
    QVERIFY(AtomicFileWriter::write(path, "second, longer").ok());
    QCOMPARE(fileBytes(path), QByteArray("second, longer"));
    struct stat info = {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
    QCOMPARE(allFiles(dir.path()), QStringList { QStringLiteral("ORVA.ini") });
}

void AtomicFileWriterTest::failingSystemCallKeepsThePreviousFile_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("error");
    QTest::newRow("create: folder full") << int(AtomicFileWriter::Step::Create) << ENOSPC;
    QTest::newRow("write: disk full") << int(AtomicFileWriter::Step::Write) << ENOSPC;
    QTest::newRow("sync: device error") << int(AtomicFileWriter::Step::Sync) << EIO;
    QTest::newRow("close: quota") << int(AtomicFileWriter::Step::Close) << EDQUOT;
    QTest::newRow("rename: read-only") << int(AtomicFileWriter::Step::Rename) << EROFS;
}

void AtomicFileWriterTest::failingSystemCallKeepsThePreviousFile()
{
    QFETCH(int, step);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Meier-Anna.orl"));
    writeBytes(path, "the client's history");
    AtomicFileWriter::setFaultHook(
        [&](AtomicFileWriter::Step now) { return int(now) == step ? error : 0; });
    const Status status = AtomicFileWriter::write(path, "a new history");
    QVERIFY(!status.ok());
    QVERIFY2(status.error().contains(path), qPrintable(status.error()));
    QVERIFY2(status.error().contains(QString::fromLocal8Bit(strerror(error))),
             qPrintable(status.error()));
    QCOMPARE(fileBytes(path), QByteArray("the client's history"));
    QCOMPARE(allFiles(dir.path()), QStringList { QStringLiteral("Meier-Anna.orl") });

    // Once the fault is gone the same write goes through.
    AtomicFileWriter::setFaultHook({});
    QVERIFY(AtomicFileWriter::write(path, "a new history").ok());
    QCOMPARE(fileBytes(path), QByteArray("a new history"));
}

void AtomicFileWriterTest::fullDiskKeepsThePreviousFileAndWritesOnceThereIsSpace()
{
    test::SmallDisk disk;
    if (!disk.isMounted())
        QSKIP("mounting a small tmpfs needs root");
    const QString path = disk.filePath(QStringLiteral("ORVA.ors"));
    writeBytes(path, "old lists");
    QVERIFY(disk.fill());
    const QByteArray content(8192, 'n');
    const Status status = AtomicFileWriter::write(path, content);
    QVERIFY(!status.ok());
    QVERIFY2(status.error().contains(QString::fromLocal8Bit(strerror(ENOSPC))),
             qPrintable(status.error()));
    QCOMPARE(fileBytes(path), QByteArray("old lists"));
    QCOMPARE(disk.files(), QStringList { QStringLiteral("ORVA.ors") });

    disk.freeSpace();
    QVERIFY(AtomicFileWriter::write(path, content).ok());
    QCOMPARE(fileBytes(path), content);
}

void AtomicFileWriterTest::readOnlyDiskKeepsThePreviousFile()
{
    test::SmallDisk disk;
    if (!disk.isMounted())
        QSKIP("mounting a small tmpfs needs root");
    const QString path = disk.filePath(QStringLiteral("ORVA.ini"));
    writeBytes(path, "Threshold -40");
    QVERIFY(disk.setReadOnly(true));
    QVERIFY(!AtomicFileWriter::write(path, "Threshold -35").ok());
    QCOMPARE(fileBytes(path), QByteArray("Threshold -40"));
    QVERIFY(disk.setReadOnly(false));
    QCOMPARE(disk.files(), QStringList { QStringLiteral("ORVA.ini") });
}

void AtomicFileWriterTest::symbolicLinkAtTheTargetIsReplacedNotFollowed()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("data")));
    const QString outside = dir.filePath(QStringLiteral("elsewhere.txt"));
    writeBytes(outside, "not the program's");
    const QString path = dir.filePath(QStringLiteral("data/Meier.orl"));
    QVERIFY(QFile::link(outside, path));
    QVERIFY(AtomicFileWriter::write(path, "history").ok());
    QCOMPARE(fileBytes(outside), QByteArray("not the program's"));
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(fileBytes(path), QByteArray("history"));
}

void AtomicFileWriterTest::killedWriterLeavesThePreviousFileAndNoTemporaryFile_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("killed while writing") << int(AtomicFileWriter::Step::Write);
    QTest::newRow("killed before the sync") << int(AtomicFileWriter::Step::Sync);
    QTest::newRow("killed just before the rename") << int(AtomicFileWriter::Step::Rename);
}

void AtomicFileWriterTest::killedWriterLeavesThePreviousFileAndNoTemporaryFile()
{
    QFETCH(int, step);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.orv"));
    writeBytes(path, "saved run");
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        AtomicFileWriter::setFaultHook([&](AtomicFileWriter::Step now) {
            if (int(now) == step)
                ::raise(SIGKILL);
            return 0;
        });
        (void)AtomicFileWriter::write(path, QByteArray(100000, 'x'));
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(fileBytes(path), QByteArray("saved run"));
    // Where the file system cannot hold an unnamed file until its rename, a kill in that moment
    // leaves a marked file, which the next save of the same file removes.
    const QStringList strays = AtomicFileWriter::strayTemporaryFiles(path);
    if (step != int(AtomicFileWriter::Step::Rename) && holdsUnnamedFiles(dir.path()))
        QCOMPARE(strays, QStringList());
    QVERIFY(AtomicFileWriter::write(path, "saved again").ok());
    QCOMPARE(allFiles(dir.path()), QStringList { QStringLiteral("run.orv") });
}

QTEST_GUILESS_MAIN(AtomicFileWriterTest)
#include "AtomicFileWriterTest.moc"
