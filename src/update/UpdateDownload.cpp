// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateDownload.h"

#include "update/UpdateFolder.h"
#include "update/UpdateManager.h"
#include "update/VersionFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <memory>

namespace orva {

namespace {

constexpr int kTransferTimeoutMs = 30000;
constexpr qint64 kMaxAnswerBytes = 4096;

bool isLoopback(const QUrl &url)
{
    const QString host = url.host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}

QNetworkRequest requestFor(const QUrl &url)
{
    QNetworkRequest request(url);
    // A redirect could lead anywhere: it is an error.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    return request;
}

int statusOf(QNetworkReply &reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

UpdateDownload::UpdateDownload(QString folder, QUrl server, QString patchName)
    : m_folder(std::move(folder))
    , m_server(std::move(server))
    , m_patchName(std::move(patchName))
{ }

void UpdateDownload::answer(const QByteArray &downloading,
                            const QList<std::pair<const char *, QByteArray>> &extra)
{
    VersionFile file;
    (void)file.read(QDir(m_folder).filePath(QStringLiteral("version.ini")));
    for (const auto &[key, value] : extra)
        file.set(key, value);
    file.set(VersionFile::kDownloading, downloading);
    const Status written = file.write(QDir(m_folder).filePath(QStringLiteral("version.ini")));
    if (!written.ok())
        m_reason += QStringLiteral("; ") + written.error();
}

QByteArray UpdateDownload::fail(const QByteArray &downloading, const QString &reason)
{
    m_reason = reason;
    answer(downloading);
    return downloading;
}

QByteArray UpdateDownload::run()
{
    m_reason.clear();
    const Status usable = UpdateFolder::check(m_folder);
    if (!usable.ok()) {
        m_reason = usable.error(); // nowhere to answer
        return UpdateManager::kImpossible;
    }
    VersionFile file;
    (void)file.read(QDir(m_folder).filePath(QStringLiteral("version.ini")));
    const QByteArray installed = file.value(VersionFile::kCurrentVersion);

    const bool secure = m_server.scheme() == QLatin1String("https")
        || (m_server.scheme() == QLatin1String("http") && isLoopback(m_server));
    if (!m_server.isValid() || m_server.host().isEmpty() || !secure)
        return fail(UpdateManager::kImpossible,
                    QStringLiteral("no usable update server: \"%1\"").arg(m_server.toString()));
    if (m_patchName.isEmpty() || m_patchName.contains(QLatin1Char('/'))
        || m_patchName.startsWith(QLatin1Char('.')))
        return fail(UpdateManager::kImpossible,
                    QStringLiteral("no usable patch name: \"%1\"").arg(m_patchName));

    QNetworkAccessManager network;
    QEventLoop loop;
    const auto urlOf = [this](const QString &name) {
        QUrl url = m_server;
        QString path = url.path();
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        url.setPath(path + name);
        return url;
    };

    // The newest version and its patch's checksum and size.
    std::unique_ptr<QNetworkReply> reply(
        network.get(requestFor(urlOf(QStringLiteral("version.txt")))));
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const int status = statusOf(*reply);
    if (status >= 300 && status < 400)
        return fail(UpdateManager::kFailed, QStringLiteral("the server redirected; refused"));
    if (reply->error() != QNetworkReply::NoError || status != 200)
        return fail(UpdateManager::kImpossible,
                    QStringLiteral("the server did not answer: %1").arg(reply->errorString()));
    QByteArray version;
    QByteArray sha256;
    qint64 size = -1;
    for (const QByteArray &line : reply->read(kMaxAnswerBytes).split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.startsWith("version="))
            version = text.mid(8);
        else if (text.startsWith("sha256="))
            sha256 = text.mid(7).toLower();
        else if (text.startsWith("size="))
            size = text.mid(5).toLongLong();
    }
    if (!VersionFile::isNewer(version, installed)) {
        m_reason = QStringLiteral("up to date");
        answer(UpdateManager::kNo);
        return UpdateManager::kNo;
    }
    if (sha256.size() != 64 || size <= 0 || size > kMaxPatchBytes)
        return fail(UpdateManager::kFailed, QStringLiteral("the server's answer is incomplete"));

    answer(UpdateManager::kYes);
    const QFileInfo download(QDir(m_folder).filePath(QLatin1String(UpdateFolder::kDownload)));
    const QFileInfo extract(QDir(m_folder).filePath(QLatin1String(UpdateFolder::kExtract)));
    if (download.isSymLink() || extract.isSymLink())
        return fail(UpdateManager::kFailed, QStringLiteral("a link in the update folder"));
    QDir(m_folder).mkpath(QLatin1String(UpdateFolder::kDownload));
    QDir(m_folder).mkpath(QLatin1String(UpdateFolder::kExtract));
    const QString partPath =
        QDir(download.filePath()).filePath(m_patchName + QStringLiteral(".part"));
    QFile::remove(partPath);
    QFile part(partPath);
    if (!part.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(UpdateManager::kFailed, part.errorString());

    qint64 received = 0;
    bool oversized = false;
    bool writeFailed = false;
    reply.reset(network.get(requestFor(urlOf(m_patchName))));
    QNetworkReply *patch = reply.get();
    QObject::connect(patch, &QNetworkReply::readyRead, &loop, [&] {
        const QByteArray bytes = patch->readAll();
        received += bytes.size();
        if (received > size) {
            oversized = true;
            patch->abort();
            return;
        }
        writeFailed |= part.write(bytes) != bytes.size();
    });
    QObject::connect(patch, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    part.close();
    const int patchStatus = statusOf(*patch);
    QString problem;
    if (patchStatus >= 300 && patchStatus < 400)
        problem = QStringLiteral("the server redirected the patch; refused");
    else if (oversized)
        problem = QStringLiteral("the patch is larger than announced");
    else if (patch->error() != QNetworkReply::NoError || patchStatus != 200)
        problem = QStringLiteral("the download broke off: %1").arg(patch->errorString());
    else if (writeFailed)
        problem = QStringLiteral("the patch could not be written");
    else if (received != size)
        problem = QStringLiteral("the patch is %1 bytes, not %2").arg(received).arg(size);
    else if (UpdateFolder::sha256(partPath) != sha256)
        problem = QStringLiteral("the patch's checksum does not match");
    if (!problem.isEmpty()) {
        QFile::remove(partPath);
        return fail(UpdateManager::kFailed, problem);
    }
    const QString target = QDir(extract.filePath()).filePath(m_patchName);
    QFile::remove(target);
    if (!QFile::rename(partPath, target)
        || !QFile::setPermissions(target,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      | QFile::ReadGroup | QFile::ExeGroup)) {
        QFile::remove(partPath);
        return fail(UpdateManager::kFailed, QStringLiteral("the patch could not be moved"));
    }
    m_reason = QStringLiteral("version %1 downloaded").arg(QString::fromLatin1(version));
    answer(UpdateManager::kYes,
           { { VersionFile::kCurrentVersion, version },
             { VersionFile::kPatchName, m_patchName.toLocal8Bit() },
             { VersionFile::kPatchSha256, sha256 } });
    return UpdateManager::kYes;
}

} // namespace orva
