// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace orva {

/// The update program's work: it asks the update server for the newest version, downloads a
/// newer patch into "download", checks its size and SHA-256 against the server's answer, moves
/// it into "extract" and answers the program in "version.ini" ("downloading" = "no", "yes",
/// "impossible", or "failed" for a download that did not pass its checks). Nothing it fetched is
/// ever run here. Headless.
///
/// The server answers GET <server>/version.txt with "version=…", "sha256=…" and "size=…" lines
/// and serves the patch at <server>/<patch name>. Only https is spoken, and plain http to this
/// machine (a local test server); a redirect is refused.
class UpdateDownload
{
public:
    /// Patches larger than this are refused, whatever the server says.
    static constexpr qint64 kMaxPatchBytes = 256LL * 1024 * 1024;

    UpdateDownload(QString folder, QUrl server, QString patchName);

    /// Does the whole exchange and writes the answer; returns the answer given.
    QByteArray run();
    /// Why the last run ended as it did, for the log.
    const QString &reason() const { return m_reason; }

private:
    /// Sets "downloading" (and `extra` keys) in version.ini, written whole.
    void answer(const QByteArray &downloading,
                const QList<std::pair<const char *, QByteArray>> &extra = {});
    QByteArray fail(const QByteArray &answer, const QString &reason);

    QString m_folder;
    QUrl m_server;
    QString m_patchName;
    QString m_reason;
};

} // namespace orva
