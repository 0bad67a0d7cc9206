// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "update/VersionFile.h"

#include <QString>

namespace orva {

class MessageBoxes;
class StringTable;

/// The program's side of the update: it tells the update program its version and language in
/// "version.ini", starts it once per program start, reads the file once a second for its answer,
/// and offers a downloaded, checked patch for installation. The patch is started only after the
/// program has ended (see patchToStart). Headless; UI thread only.
class UpdateManager
{
public:
    static constexpr int kTimerId = 1229;
    static constexpr int kPollMs = 1000;
    /// "downloading" as the update program answers: started, up to date, no connection, and
    /// (ours) a download that failed its checks.
    static constexpr char kYes[] = "yes";
    static constexpr char kNo[] = "no";
    static constexpr char kImpossible[] = "impossible";
    static constexpr char kFailed[] = "failed";

    enum class State { Idle = 0, Started = 1, Downloading = 2 };

    /// What the update needs of the program around it.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual void setTimer(int id, int ms) = 0;
        virtual void stopTimer(int id) = 0;
        /// Starts the update program for `folder`; false when it could not be started.
        virtual bool startUpdateProgram(const QString &folder) = 0;
        /// Closes the program as the operator's close would (an unsaved run is asked for); true
        /// when it is closing, false when the operator cancelled.
        virtual bool closeProgram() = 0;
    };

    /// A patch, checked, to start once the program has ended.
    struct Patch
    {
        QString path; ///< canonical, inside the update folder's "extract"
        QString folder; ///< the update folder
        QByteArray name;
        QByteArray sha256;
        bool isSet() const { return !path.isEmpty(); }
    };

    UpdateManager(Host &host, MessageBoxes &boxes, const StringTable &strings);
    /// Stops the timer.
    ~UpdateManager();

    /// Once, at the end of the window's creation: `installedVersion` "3.1.31", `language` the
    /// interface language's two letters ("de").
    void
    initialize(const QString &folder, const QString &installedVersion, const QString &language);
    /// Every tick of timer kTimerId.
    void onTimer();

    State state() const { return m_state; }
    const QByteArray &installedVersion() const { return m_installed; }
    /// The patch the operator chose to install, once the program closes; nothing otherwise.
    const Patch &patchToStart() const { return m_patch; }

    /// Starts `patch` after the program has ended, when its checksum still holds; the box
    /// "Update_InstallError" when it cannot be started. True when it was started.
    static bool startPatch(const Patch &patch, MessageBoxes &boxes);

private:
    void askInstall();
    void stop(State state);
    QString versionPath() const;

    Host &m_host;
    MessageBoxes &m_boxes;
    const StringTable &m_strings;
    VersionFile m_file;
    QByteArray m_installed;
    QString m_folder;
    State m_state = State::Idle;
    bool m_firstStart = true;
    Patch m_patch;
};

} // namespace orva
