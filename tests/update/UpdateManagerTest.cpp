// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateManager.h"

#include "fakes/RecordingMessageBoxes.h"
#include "support/StringTable.h"
#include "update/UpdateFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace orva;

namespace {

/// The program around the update: timers by id, the update program's start and the close.
class FakeHost final : public UpdateManager::Host
{
public:
    void setTimer(int id, int ms) override { timers[id] = ms; }
    void stopTimer(int id) override { timers.erase(id); }
    bool startUpdateProgram(const QString &folder) override
    {
        starts.append(folder);
        return startWorks;
    }
    bool closeProgram() override
    {
        ++closeRequests;
        return closeAccepted;
    }
    std::map<int, int> timers;
    QStringList starts;
    bool startWorks = true;
    int closeRequests = 0;
    bool closeAccepted = true;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

/// An update folder of the test's own, with its version file.
struct Folder
{
    explicit Folder(const QByteArray &version)
    {
        QDir(dir.path()).mkpath(QStringLiteral("extract"));
        QDir(dir.path()).mkpath(QStringLiteral("download"));
        writeFile(versionIni(), version);
    }
    QString versionIni() const { return dir.filePath(QStringLiteral("version.ini")); }
    QString path() const { return dir.path(); }
    /// A patch script in "extract" that leaves `marker` behind when it runs; its SHA-256.
    QByteArray addPatch(const QString &name, const QString &marker, bool executable = true)
    {
        const QString path = dir.filePath(QStringLiteral("extract/") + name);
        writeFile(path, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
        if (executable)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256).toHex();
    }
    void answer(const QByteArray &downloading, const QByteArray &extra = QByteArray())
    {
        writeFile(versionIni(),
                  "[VersionInfo]\r\nCurrentVersion=3.1.31\r\ndownloading=" + downloading + "\r\n"
                      + extra + "[VersionInfo]\r\n");
    }
    QTemporaryDir dir;
};

struct Update
{
    FakeHost host;
    test::RecordingMessageBoxes boxes;
    UpdateManager manager { host, boxes, StringTable::german() };
    void start(const QString &folder) { manager.initialize(folder, "3.1.31", "de"); }
};

} // namespace

/// The program's side of the update: what it writes into "version.ini", how it reads the update
/// program's answers on the timer, and that it never starts anything it has not checked.
class UpdateManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void versionsCompareByTheirNumbers_data();
    void versionsCompareByTheirNumbers();
    void versionFileReadingRules();
    void olderVersionIsRewrittenCleanedAndTheUpdateProgramStarted();
    void waitingUpdateIsOfferedAtOnceWithoutStartingTheUpdateProgram();
    void answersOnTheTimerMoveTheState_data();
    void answersOnTheTimerMoveTheState();
    void downloadedPatchIsStartedOnlyAfterTheCloseAndOnlyWhenChecked();
    void patchesThatMustNotRun_data();
    void patchesThatMustNotRun();
    void unusableFolderOrFailedStartLeavesTheUpdateIdle_data();
    void unusableFolderOrFailedStartLeavesTheUpdateIdle();
    void readerOfTheOldFileNeverSeesAPart();
};

void UpdateManagerTest::versionsCompareByTheirNumbers_data()
{
    QTest::addColumn<QByteArray>("candidate");
    QTest::addColumn<bool>("newer");
    QTest::newRow("equal") << QByteArray("3.1.31") << false;
    QTest::newRow("next build") << QByteArray("3.1.32") << true;
    QTest::newRow("next minor") << QByteArray("3.2.0") << true;
    QTest::newRow("next major, short") << QByteArray("4.0") << true;
    QTest::newRow("older") << QByteArray("3.1.30") << false;
    QTest::newRow("numbers, not text") << QByteArray("3.1.100") << true;
    QTest::newRow("longer but equal") << QByteArray("3.1.31.1") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void UpdateManagerTest::versionsCompareByTheirNumbers()
{
    QFETCH(QByteArray, candidate);
    QFETCH(bool, newer);
    QCOMPARE(VersionFile::isNewer(candidate, "3.1.31"), newer);
}

void UpdateManagerTest::versionFileReadingRules()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("version.ini"));
    writeFile(path,
              "[VersionInfo]\r\nEmpty=\r\nTwo=a=b\r\n=x\r\nno pair here\nUnix=1\n[VersionInfo]");
    VersionFile file;
    QVERIFY(file.read(path).ok());
    QCOMPARE(file.value("Empty"), QByteArray());
    QVERIFY(file.values().count("Empty"));
    QCOMPARE(file.value("Two"), QByteArray("a"));
    QVERIFY(file.values().count("x"));
    QCOMPARE(file.value("Unix"), QByteArray("1"));
    QCOMPARE(int(file.values().size()), 4);
    // Keys in byte order: upper case first.
    file.set("apple", "1");
    file.set("Zoo", "2");
    QVERIFY(file.toBytes().indexOf("Zoo=") < file.toBytes().indexOf("apple="));

    // A link is not read, whatever it points at.
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    QVERIFY(QFile::link(path, link));
    QVERIFY(!file.read(link).ok());
    QVERIFY(file.values().empty());
}

void UpdateManagerTest::olderVersionIsRewrittenCleanedAndTheUpdateProgramStarted()
{
    Folder folder("[VersionInfo]\r\nCurrentVersion=3.1.30\r\nOther=kept\r\n[VersionInfo]\r\n");
    writeFile(folder.dir.filePath(QStringLiteral("extract/old.run")), "old");
    writeFile(folder.dir.filePath(QStringLiteral("download/part")), "part");
    // A link in "extract" goes; what it points at outside stays.
    QTemporaryDir outside;
    const QString precious = outside.filePath(QStringLiteral("precious"));
    writeFile(precious, "mine");
    QVERIFY(QFile::link(precious, folder.dir.filePath(QStringLiteral("extract/link"))));

    Update update;
    update.start(folder.path());
    QCOMPARE(readAll(folder.versionIni()),
             QByteArray("[VersionInfo]\r\nCurrentVersion=3.1.31\r\nLang=de\r\nOther=kept\r\n"
                        "ProgramRuns=true\r\ndownloading=unknown\r\n[VersionInfo]\r\n"));
    QVERIFY(QDir(folder.dir.filePath(QStringLiteral("extract")))
                .isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot));
    QVERIFY(QDir(folder.dir.filePath(QStringLiteral("download"))).isEmpty());
    QCOMPARE(readAll(precious), QByteArray("mine"));
    QCOMPARE(update.host.starts, QStringList { folder.path() });
    QCOMPARE(update.manager.state(), UpdateManager::State::Started);
    QCOMPARE(update.host.timers[UpdateManager::kTimerId], 1000);
    QVERIFY(update.boxes.boxes.isEmpty());
}

void UpdateManagerTest::waitingUpdateIsOfferedAtOnceWithoutStartingTheUpdateProgram()
{
    Folder folder(
        "[VersionInfo]\r\nCurrentVersion=3.1.32\r\nPatchName=patch.run\r\n[VersionInfo]\r\n");
    writeFile(folder.dir.filePath(QStringLiteral("extract/patch.run")), "waiting");
    Update update;
    update.boxes.answers << MessageAnswer::No;
    update.start(folder.path());
    QCOMPARE(update.boxes.boxes.size(), 1);
    QCOMPARE(update.boxes.boxes[0].title, QStringLiteral("Update"));
    QCOMPARE(update.boxes.boxes[0].text,
             QString::fromUtf8("Ein Update vom ORVA wurde heruntergeladen, soll es jetzt "
                               "installiert werden?"));
    QVERIFY(update.host.starts.isEmpty());
    QVERIFY(update.host.timers.empty());
    QVERIFY(!update.manager.patchToStart().isSet());
    QCOMPARE(update.host.closeRequests, 0);
    // The waiting patch is not cleaned away: the question comes again at the next start.
    QVERIFY(QFile::exists(folder.dir.filePath(QStringLiteral("extract/patch.run"))));
}

void UpdateManagerTest::answersOnTheTimerMoveTheState_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("state");
    QTest::newRow("no answer yet") << QByteArray("unknown") << int(UpdateManager::State::Started);
    QTest::newRow("download started")
        << QByteArray("yes") << int(UpdateManager::State::Downloading);
    QTest::newRow("up to date") << QByteArray("no") << int(UpdateManager::State::Idle);
    QTest::newRow("no connection") << QByteArray("impossible") << int(UpdateManager::State::Idle);
}

void UpdateManagerTest::answersOnTheTimerMoveTheState()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, state);
    Folder folder("");
    Update update;
    update.start(folder.path());
    folder.answer(answer);
    update.manager.onTimer();
    QCOMPARE(int(update.manager.state()), state);
    // The timer runs exactly while an answer or a download is awaited.
    QCOMPARE(update.host.timers.count(UpdateManager::kTimerId) == 1,
             state != int(UpdateManager::State::Idle));
    if (state == int(UpdateManager::State::Downloading)) {
        folder.answer("failed");
        update.manager.onTimer();
        QCOMPARE(update.manager.state(), UpdateManager::State::Idle);
        QVERIFY(update.host.timers.empty());
    }
    QVERIFY(update.boxes.boxes.isEmpty());
}

void UpdateManagerTest::downloadedPatchIsStartedOnlyAfterTheCloseAndOnlyWhenChecked()
{
    Folder folder("");
    Update update;
    update.start(folder.path());
    folder.answer("yes");
    update.manager.onTimer();
    QTemporaryDir out;
    const QString marker = out.filePath(QStringLiteral("patched"));
    const QByteArray hash = folder.addPatch(QStringLiteral("patch.run"), marker);
    folder.answer("yes",
                  "CurrentVersion=3.1.32\r\nPatchName=patch.run\r\nPatchSHA256=" + hash + "\r\n");

    // Cancel at the close: nothing is started, ever.
    update.host.closeAccepted = false;
    update.manager.onTimer();
    QCOMPARE(update.boxes.boxes.size(), 1);
    QCOMPARE(update.host.closeRequests, 1);
    QVERIFY(!update.manager.patchToStart().isSet());
    QVERIFY(update.host.timers.empty());

    Update next;
    next.start(folder.path()); // the next start asks at once
    QCOMPARE(next.host.closeRequests, 1);
    const UpdateManager::Patch patch = next.manager.patchToStart();
    QVERIFY(patch.isSet());
    QVERIFY(!QFile::exists(marker)); // not while the program runs
    test::RecordingMessageBoxes boxes;
    QVERIFY(UpdateManager::startPatch(patch, boxes));
    QTRY_VERIFY(QFile::exists(marker));
    QVERIFY(boxes.boxes.isEmpty());

    // Changed between the question and the end of the program: refused.
    QFile::remove(marker);
    writeFile(patch.path, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n# changed\n");
    QVERIFY(!UpdateManager::startPatch(patch, boxes));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].text, QStringLiteral("Update_InstallError"));
    QTest::qWait(200);
    QVERIFY(!QFile::exists(marker));
}

void UpdateManagerTest::patchesThatMustNotRun_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("flaw");
    QTest::newRow("path out of extract") << QByteArray("../evil.run") << 0;
    QTest::newRow("absolute path") << QByteArray("/bin/sh") << 0;
    QTest::newRow("link out of extract") << QByteArray("link.run") << 1;
    QTest::newRow("not executable") << QByteArray("plain.run") << 2;
    QTest::newRow("wrong checksum") << QByteArray("patch.run") << 3;
    QTest::newRow("no checksum") << QByteArray("patch.run") << 4;
    QTest::newRow("missing") << QByteArray("gone.run") << 0;
}

void UpdateManagerTest::patchesThatMustNotRun()
{
    QFETCH(QByteArray, name);
    QFETCH(int, flaw);
    Folder folder("");
    QTemporaryDir out;
    const QString marker = out.filePath(QStringLiteral("ran"));
    QByteArray hash = folder.addPatch(QStringLiteral("patch.run"), marker);
    folder.addPatch(QStringLiteral("plain.run"), marker, false);
    const QString evil = folder.dir.filePath(QStringLiteral("evil.run"));
    writeFile(evil, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
    QFile::setPermissions(evil, QFile::ReadOwner | QFile::ExeOwner);
    if (flaw == 1) {
        QVERIFY(QFile::link(evil, folder.dir.filePath(QStringLiteral("extract/link.run"))));
        hash = QCryptographicHash::hash(readAll(evil), QCryptographicHash::Sha256).toHex();
    }
    if (flaw == 2)
        hash = QCryptographicHash::hash(readAll(folder.dir.filePath("extract/plain.run")),
                                        QCryptographicHash::Sha256)
                   .toHex();
    if (flaw == 3)
        hash = QByteArray(64, '0');
    if (flaw == 4)
        hash.clear();
    writeFile(folder.versionIni(),
              "[VersionInfo]\r\nCurrentVersion=3.2.0\r\nPatchName=" + name
                  + "\r\nPatchSHA256=" + hash + "\r\n[VersionInfo]\r\n");
    Update update;
    update.start(folder.path());
    QCOMPARE(update.boxes.boxes.size(), 2);
    QCOMPARE(update.boxes.boxes[1].title, QStringLiteral("Update_Caption"));
    QCOMPARE(update.boxes.boxes[1].icon, MessageIcon::Error);
    QCOMPARE(update.host.closeRequests, 0);
    QVERIFY(!update.manager.patchToStart().isSet());
    QTest::qWait(50);
    QVERIFY(!QFile::exists(marker));
}

void UpdateManagerTest::unusableFolderOrFailedStartLeavesTheUpdateIdle_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("startWorks");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("relative") << QStringLiteral("update") << true;
    QTest::newRow("missing") << QStringLiteral("/nonexistent/orva/update") << true;
    QTest::newRow("update program does not start") << QStringLiteral("<temp>") << false;
}

void UpdateManagerTest::unusableFolderOrFailedStartLeavesTheUpdateIdle()
{
    QFETCH(QString, folder);
    QFETCH(bool, startWorks);
    // The program's current folder, where an unchecked folder would put its work.
    QTemporaryDir current;
    QDir(current.path()).mkpath(QStringLiteral("update/extract"));
    writeFile(current.filePath(QStringLiteral("update/extract/keep")), "keep");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(current.path());
    Folder real("[VersionInfo]\r\nCurrentVersion=3.1.31\r\n[VersionInfo]\r\n");
    if (folder == QLatin1String("<temp>"))
        folder = real.path();
    Update update;
    update.host.startWorks = startWorks;
    update.start(folder);
    QDir::setCurrent(previous);
    QCOMPARE(update.manager.state(), UpdateManager::State::Idle);
    QVERIFY(update.host.timers.empty());
    QVERIFY(!QFile::exists(current.filePath(QStringLiteral("version.ini"))));
    QVERIFY(!QFile::exists(current.filePath(QStringLiteral("update/version.ini"))));
    QVERIFY(QFile::exists(current.filePath(QStringLiteral("update/extract/keep"))));
    QCOMPARE(update.host.starts.size(), startWorks ? 0 : 1);
    QVERIFY(update.boxes.boxes.isEmpty());
}

void UpdateManagerTest::readerOfTheOldFileNeverSeesAPart()
{
    const QByteArray old = "[VersionInfo]\r\nCurrentVersion=3.1.31\r\nLang=de\r\n[VersionInfo]\r\n";
    Folder folder(old);
    QFile reader(folder.versionIni());
    QVERIFY(reader.open(QIODevice::ReadOnly));
    Update update;
    update.start(folder.path());
    // The writer replaced the file: a reader that opened it before still reads it whole.
    QCOMPARE(reader.readAll(), old);
    QVERIFY(readAll(folder.versionIni()).contains("downloading=unknown"));
}

QTEST_GUILESS_MAIN(UpdateManagerTest)
#include "UpdateManagerTest.moc"
