// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

namespace orva {

struct InstallationValues;

/// The programs outside ORVA that it starts.
enum class ExternalProgram {
    PlaybackMixer,
    RecordingMixer,
    SoundSettings,
    UpdateProgram,
};

/// The command line of each external program, taken from the installation: a program that the
/// installation's "bin" folder holds is started from there (an installation may ship its own
/// wrapper, and tests put stub scripts there), any other is looked up on the PATH.
struct ProgramCommands
{
    static ProgramCommands fromInstallation(const InstallationValues &values);

    /// The command line of `program`; arguments are separated by blanks, quoted with '"'.
    QString commandLine(ExternalProgram program) const;

    QString playbackMixer;
    QString recordingMixer;
    QString soundSettings;
    QString updateProgram;
};

/// Starts and ends the external programs and opens pages in the desktop's browser. The desktop
/// implementation is ProgramLauncher; tests fake it. UI thread only.
class ExternalPrograms
{
public:
    virtual ~ExternalPrograms() = default;
    /// Starts `program`, ending an instance started before. False when it could not be started
    /// (not found, not executable, empty command line).
    [[nodiscard]] virtual bool start(ExternalProgram program) = 0;
    /// Ends `program` when it runs; nothing otherwise.
    virtual void terminate(ExternalProgram program) = 0;
    virtual bool isRunning(ExternalProgram program) const = 0;
    /// Opens `url` in the desktop's browser; false when the desktop has no handler for it.
    [[nodiscard]] virtual bool openUrl(const QUrl &url) = 0;
};

} // namespace orva
