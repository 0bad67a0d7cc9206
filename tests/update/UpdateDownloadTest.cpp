// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateDownload.h"

#include "update/VersionFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>

using namespace orva;

namespace {

/// A web server of the test's own on 127.0.0.1: each path has its whole raw answer (status
/// line, headers, body); the connection closes after it. Requests are counted per path.
class TinyServer : public QObject
{
public:
    TinyServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { serve(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/orva").arg(m_server.serverPort());
    }
    static QByteArray ok(const QByteArray &body, qint64 announced = -1)
    {
        return "HTTP/1.1 200 OK\r\nContent-Length: "
            + QByteArray::number(announced < 0 ? body.size() : announced)
            + "\r\nConnection: close\r\n\r\n" + body;
    }
    std::map<QByteArray, QByteArray> answers;
    std::map<QByteArray, int> requests;

private:
    void serve(QTcpSocket *socket)
    {
        m_pending[socket] += socket->readAll();
        const QByteArray &request = m_pending[socket];
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        m_pending.erase(socket);
        ++requests[path];
        const auto found = answers.find(path);
        socket->write(found != answers.end()
                          ? found->second
                          : QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                                       "Connection: close\r\n\r\n"));
        socket->disconnectFromHost();
    }
    QTcpServer m_server;
    std::map<QTcpSocket *, QByteArray> m_pending;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// An update folder whose version.ini says 3.1.31, as the program leaves it.
struct Folder
{
    Folder()
    {
        VersionFile file;
        file.set(VersionFile::kCurrentVersion, "3.1.31");
        file.set(VersionFile::kDownloading, "unknown");
        QVERIFY(file.write(versionIni()).ok());
    }
    QString versionIni() const { return dir.filePath(QStringLiteral("version.ini")); }
    VersionFile read() const
    {
        VersionFile file;
        (void)file.read(versionIni());
        return file;
    }
    bool extractIsEmpty() const
    {
        return QDir(dir.filePath(QStringLiteral("extract")))
            .entryList(QDir::Files | QDir::Hidden | QDir::System)
            .isEmpty();
    }
    QTemporaryDir dir;
};

const QByteArray kPatch = "#!/bin/sh\necho the new version\n";

QByteArray versionText(const QByteArray &version, const QByteArray &patch, qint64 size = -1)
{
    return "version=" + version
        + "\nsha256=" + QCryptographicHash::hash(patch, QCryptographicHash::Sha256).toHex()
        + "\nsize=" + QByteArray::number(size < 0 ? patch.size() : size) + "\n";
}

} // namespace

/// The update program against a local server: every way the exchange can end leaves the right
/// answer in version.ini, and only a patch of the announced size and checksum reaches "extract".
class UpdateDownloadTest : public QObject
{
    Q_OBJECT

private slots:
    void answersInVersionIni_data();
    void answersInVersionIni();
    void newerVersionWithAGoodChecksumIsPutIntoExtract();
    void theProgramStartsTheHelperWithItsArguments();
};

void UpdateDownloadTest::answersInVersionIni_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("up to date") << 0 << QByteArray("no");
    QTest::newRow("no server") << 1 << QByteArray("impossible");
    QTest::newRow("wrong checksum") << 2 << QByteArray("failed");
    QTest::newRow("truncated download") << 3 << QByteArray("failed");
    QTest::newRow("oversized download") << 4 << QByteArray("failed");
    QTest::newRow("redirect elsewhere") << 5 << QByteArray("failed");
    QTest::newRow("patch redirected") << 6 << QByteArray("failed");
    QTest::newRow("plain http elsewhere") << 7 << QByteArray("impossible");
}

void UpdateDownloadTest::answersInVersionIni()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, expected);
    TinyServer server;
    TinyServer elsewhere;
    Folder folder;
    QString url = server.url();
    auto &answers = server.answers;
    switch (scenario) {
    case 0:
        answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.31", kPatch));
        break;
    case 1: {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        url = QStringLiteral("http://127.0.0.1:%1/orva").arg(closed.serverPort());
        closed.close();
        break;
    }
    case 2:
        answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.32", kPatch));
        answers["/orva/patch.run"] = TinyServer::ok("#!/bin/sh\necho something else!\n");
        break;
    case 3:
        answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.32", kPatch));
        answers["/orva/patch.run"] = TinyServer::ok(kPatch.left(10), kPatch.size());
        break;
    case 4:
        answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.32", kPatch));
        answers["/orva/patch.run"] = TinyServer::ok(kPatch + QByteArray(100000, 'x'));
        break;
    case 5:
        answers["/orva/version.txt"] = "HTTP/1.1 302 Found\r\nLocation: " + elsewhere.url().toUtf8()
            + "/version.txt\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        elsewhere.answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.32", kPatch));
        break;
    case 6:
        answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.32", kPatch));
        answers["/orva/patch.run"] = "HTTP/1.1 301 Moved\r\nLocation: " + elsewhere.url().toUtf8()
            + "/patch.run\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        elsewhere.answers["/orva/patch.run"] = TinyServer::ok(kPatch);
        break;
    case 7:
        url = QStringLiteral("http://updates.example.invalid/orva");
        break;
    }
    UpdateDownload download(folder.dir.path(), QUrl(url), QStringLiteral("patch.run"));
    QCOMPARE(download.run(), expected);
    const VersionFile file = folder.read();
    QCOMPARE(file.value(VersionFile::kDownloading), expected);
    QCOMPARE(file.value(VersionFile::kCurrentVersion), QByteArray("3.1.31"));
    QVERIFY(file.value(VersionFile::kPatchName).isEmpty());
    QVERIFY(folder.extractIsEmpty());
    QVERIFY(!QFile::exists(folder.dir.filePath(QStringLiteral("download/patch.run.part"))));
    QVERIFY(elsewhere.requests.empty()); // a redirect is never followed
    QVERIFY2(!download.reason().isEmpty(), "the reason goes to the log");
}

void UpdateDownloadTest::newerVersionWithAGoodChecksumIsPutIntoExtract()
{
    TinyServer server;
    server.answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.32", kPatch));
    server.answers["/orva/patch.run"] = TinyServer::ok(kPatch);
    Folder folder;
    UpdateDownload download(folder.dir.path(), QUrl(server.url()), QStringLiteral("patch.run"));
    QCOMPARE(download.run(), QByteArray("yes"));
    const VersionFile file = folder.read();
    QCOMPARE(file.value(VersionFile::kDownloading), QByteArray("yes"));
    QCOMPARE(file.value(VersionFile::kCurrentVersion), QByteArray("3.1.32"));
    QCOMPARE(file.value(VersionFile::kPatchName), QByteArray("patch.run"));
    QCOMPARE(file.value(VersionFile::kPatchSha256),
             QCryptographicHash::hash(kPatch, QCryptographicHash::Sha256).toHex());
    const QString patch = folder.dir.filePath(QStringLiteral("extract/patch.run"));
    QCOMPARE(readAll(patch), kPatch);
    QVERIFY(QFileInfo(patch).isExecutable());
    QCOMPARE(server.requests["/orva/patch.run"], 1);
}

void UpdateDownloadTest::theProgramStartsTheHelperWithItsArguments()
{
    TinyServer server;
    server.answers["/orva/version.txt"] = TinyServer::ok(versionText("3.1.31", kPatch));
    Folder folder;
    QProcess helper;
    helper.start(QStringLiteral(ORVA_UPDATE_PROGRAM),
                 { QStringLiteral("--server"), server.url(), QStringLiteral("--patch"),
                   QStringLiteral("patch.run"), folder.dir.path() });
    // The server lives on this thread: serve while the helper runs.
    QTRY_VERIFY_WITH_TIMEOUT(helper.state() == QProcess::NotRunning, 20000);
    QCOMPARE(helper.exitCode(), 0);
    QCOMPARE(folder.read().value(VersionFile::kDownloading), QByteArray("no"));
}

QTEST_GUILESS_MAIN(UpdateDownloadTest)
#include "UpdateDownloadTest.moc"
