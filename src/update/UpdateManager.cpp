// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateManager.h"

#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/StringTable.h"
#include "update/UpdateFolder.h"

#include <QDir>
#include <QProcess>

namespace orva {

namespace {

constexpr int kInstallQuestion = 364;
constexpr int kUpdateTitle = 365;

/// "3.1.31 debug build" → "3.1.31": a third piece with "debug" keeps what comes before its blank.
QByteArray cleanVersion(const QByteArray &version)
{
    QList<QByteArray> pieces = version.split('.');
    if (pieces.size() >= 3 && pieces[2].contains("debug")) {
        const qsizetype blank = pieces[2].indexOf(' ');
        pieces[2] = blank < 0 ? pieces[2] : pieces[2].left(blank);
        return pieces[0] + '.' + pieces[1] + '.' + pieces[2];
    }
    return version;
}

} // namespace

UpdateManager::UpdateManager(Host &host, MessageBoxes &boxes, const StringTable &strings)
    : m_host(host)
    , m_boxes(boxes)
    , m_strings(strings)
{ }

UpdateManager::~UpdateManager()
{
    m_host.stopTimer(kTimerId);
}

QString UpdateManager::versionPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("version.ini"));
}

void UpdateManager::stop(State state)
{
    m_state = state;
    m_host.stopTimer(kTimerId);
}

void UpdateManager::initialize(const QString &folder,
                               const QString &installedVersion,
                               const QString &language)
{
    logMessage(1, "UpdateManager::initialize 000\n");
    m_folder = folder;
    m_installed = cleanVersion(installedVersion.toLatin1());
    logMessage(1, QStringLiteral("UpdateManager::initialize 010 path=%1\n").arg(m_folder));
    logMessage(1,
               QStringLiteral("UpdateManager::initialize 011 installed version=%1\n")
                   .arg(QString::fromLatin1(m_installed)));
    // An empty or relative folder would put the file, and the cleaning, wherever the program
    // was started.
    const Status usable = UpdateFolder::check(m_folder);
    if (!usable.ok()) {
        logMessage(
            1,
            QStringLiteral("UpdateManager::initialize 015 : %1; no update\n").arg(usable.error()));
        stop(State::Idle);
        return;
    }
    if (m_firstStart) {
        logMessage(1, "UpdateManager::initialize 020\n");
        const Status read = m_file.read(versionPath());
        if (!read.ok()) {
            logMessage(1, QStringLiteral("UpdateManager::initialize 021 : %1\n").arg(read.error()));
            stop(State::Idle);
            return;
        }
        const QByteArray current = m_file.value(VersionFile::kCurrentVersion);
        if (current != m_installed && !VersionFile::isNewer(current, m_installed))
            m_file.set(VersionFile::kCurrentVersion, m_installed);
        m_file.set(VersionFile::kLang, language.toLatin1());
        const Status written = m_file.write(versionPath());
        if (!written.ok())
            logMessage(1, QStringLiteral("ERROR: %1\n").arg(written.error()));
        if (m_file.value(VersionFile::kCurrentVersion) == m_installed) {
            UpdateFolder::clean(m_folder, UpdateFolder::kExtract);
            UpdateFolder::clean(m_folder, UpdateFolder::kDownload);
        }
        m_firstStart = false;
    }
    if (m_state != State::Idle)
        return;
    if (VersionFile::isNewer(m_file.value(VersionFile::kCurrentVersion), m_installed)) {
        m_host.stopTimer(kTimerId);
        askInstall();
        return;
    }
    m_file.set(VersionFile::kProgramRuns, "true");
    m_file.set(VersionFile::kDownloading, "unknown");
    const Status written = m_file.write(versionPath());
    if (!written.ok())
        logMessage(1, QStringLiteral("ERROR: %1\n").arg(written.error()));
    if (!m_host.startUpdateProgram(m_folder)) {
        // Nobody would ever answer: no polling.
        logMessage(1, "UpdateManager::initialize 100 : the update program could not be started.\n");
        stop(State::Idle);
        return;
    }
    logMessage(1, "UpdateManager::initialize 100 : TrueUpdate.exe erfolgreich gestartet.\n");
    m_state = State::Started;
    m_host.setTimer(kTimerId, kPollMs);
}

void UpdateManager::onTimer()
{
    logMessage(1, "UpdateManager::onTimer 000\n");
    const Status read = m_file.read(versionPath());
    if (!read.ok())
        logMessage(1, QStringLiteral("UpdateManager::onTimer 005 : %1\n").arg(read.error()));
    const QByteArray downloading = m_file.value(VersionFile::kDownloading);
    switch (m_state) {
    case State::Started:
        logMessage(1, "UpdateManager::onTimer 010 : _state==1\n");
        if (downloading == kYes) {
            logMessage(1, "UpdateManager::onTimer 020 : downloading=yes\n");
            logMessage(1, "UpdateManager::onTimer 021 : TrueUpdate hat download gestartet!\n");
            m_state = State::Downloading;
        } else if (downloading == kNo) {
            logMessage(1, "UpdateManager::onTimer 30 : downloading=no\n");
            logMessage(1,
                       "UpdateManager::onTimer 31 : TrueUpdate sagt: Die Software ist auf dem "
                       "neuesten Stand.\n");
            stop(State::Idle);
        } else if (downloading == kImpossible) {
            logMessage(1, "UpdateManager::onTimer 040 : downloading=no\n");
            logMessage(1,
                       "UpdateManager::onTimer 041 : TrueUpdate sagt: Keine "
                       "Internetverbindung!\n");
            stop(State::Idle);
        }
        break;
    case State::Downloading:
        logMessage(1, "UpdateManager::onTimer 100 : _state==2\n");
        if (VersionFile::isNewer(m_file.value(VersionFile::kCurrentVersion), m_installed)) {
            stop(State::Idle);
            askInstall();
        } else if (downloading == kFailed) {
            // A download that failed its checks never becomes a newer version: stop waiting.
            logMessage(1, "UpdateManager::onTimer 110 : the download failed its checks\n");
            stop(State::Idle);
        }
        break;
    case State::Idle:
        m_host.stopTimer(kTimerId);
        break;
    }
}

void UpdateManager::askInstall()
{
    logMessage(1, "UpdateManager.ask_install 000\n");
    const MessageAnswer answer =
        m_boxes.show(m_strings.text(kUpdateTitle), m_strings.text(kInstallQuestion),
                     MessageIcon::Question, MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes) {
        // Only a plain name of a checked, executable file inside "extract" is ever started.
        const Result<QString> patch =
            UpdateFolder::checkedPatch(m_folder, m_file.value(VersionFile::kPatchName),
                                       m_file.value(VersionFile::kPatchSha256));
        if (!patch.ok()) {
            logMessage(1,
                       QStringLiteral("UpdateManager.ask_install 040 : %1\n").arg(patch.error()));
            m_boxes.show(QStringLiteral("Update_Caption"), QStringLiteral("Update_InstallError"),
                         MessageIcon::Error, MessageButtons::Ok);
        } else if (m_host.closeProgram()) {
            // Started by the caller once the program has ended and its settings are written.
            m_patch = { patch.value(), m_folder, m_file.value(VersionFile::kPatchName),
                        m_file.value(VersionFile::kPatchSha256) };
            logMessage(1, "UpdateManager.ask_install 060\n");
        } else {
            logMessage(1, "UpdateManager.ask_install 055 : the close was cancelled\n");
        }
    }
    logMessage(1, "UpdateManager.ask_install 999\n");
}

bool UpdateManager::startPatch(const Patch &patch, MessageBoxes &boxes)
{
    if (!patch.isSet())
        return false;
    // Checked again: the file may have changed while the program was closing.
    const Result<QString> still =
        UpdateFolder::checkedPatch(patch.folder, patch.name, patch.sha256);
    qint64 pid = 0;
    if (still.ok() && still.value() == patch.path
        && QProcess::startDetached(patch.path, {}, QString(), &pid)) {
        logMessage(
            1,
            QStringLiteral("UpdateManager.ask_install 070 : start %1 SUCCESS\n").arg(patch.path));
        return true;
    }
    logMessage(
        1, QStringLiteral("UpdateManager.ask_install 200 : start %1 FAILURE\n").arg(patch.path));
    logMessage(1,
               QStringLiteral("UpdateManager.ask_install 201 : exception : %1\n")
                   .arg(still.ok() ? QStringLiteral("the program did not start") : still.error()));
    boxes.show(QStringLiteral("Update_Caption"), QStringLiteral("Update_InstallError"),
               MessageIcon::Error, MessageButtons::Ok);
    return false;
}

} // namespace orva
