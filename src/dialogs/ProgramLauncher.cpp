// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ProgramLauncher.h"

#include "records/InstallationValues.h"
#include "support/Logger.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace orva {

namespace {

/// `name` from the installation's "bin" folder when it holds an executable of that name,
/// else `name` alone for the PATH, followed by `arguments`.
QString commandFor(const QString &root, const QString &name, const QString &arguments)
{
    const QFileInfo own(QStringLiteral("%1/bin/%2").arg(root, name));
    QString program = name;
    if (!root.isEmpty() && own.isFile() && own.isExecutable())
        program = QStringLiteral("\"%1\"").arg(own.absoluteFilePath());
    return arguments.isEmpty() ? program : program + QLatin1Char(' ') + arguments;
}

} // namespace

ProgramCommands ProgramCommands::fromInstallation(const InstallationValues &values)
{
    ProgramCommands commands;
    // The desktop's sound mixer: the output devices, the input devices and the whole set-up.
    commands.playbackMixer =
        commandFor(values.root, QStringLiteral("pavucontrol"), QStringLiteral("--tab=3"));
    commands.recordingMixer =
        commandFor(values.root, QStringLiteral("pavucontrol"), QStringLiteral("--tab=4"));
    commands.soundSettings =
        commandFor(values.root, QStringLiteral("pavucontrol"), QStringLiteral("--tab=5"));
    // Our update program, for the update folder; it answers in that folder's version.ini.
    if (!values.trueUpdateDir.isEmpty())
        commands.updateProgram =
            commandFor(values.root, QStringLiteral("orva-update"),
                       QStringLiteral("--server \"%1\" --patch \"%2\" \"%3\"")
                           .arg(values.updateServer, values.updatePatch, values.trueUpdateDir));
    return commands;
}

QString ProgramCommands::commandLine(ExternalProgram program) const
{
    switch (program) {
    case ExternalProgram::PlaybackMixer:
        return playbackMixer;
    case ExternalProgram::RecordingMixer:
        return recordingMixer;
    case ExternalProgram::SoundSettings:
        return soundSettings;
    case ExternalProgram::UpdateProgram:
        return updateProgram;
    }
    return QString();
}

ProgramLauncher::ProgramLauncher(ProgramCommands commands)
    : m_commands(std::move(commands))
{ }

ProgramLauncher::~ProgramLauncher()
{
    for (auto &[program, process] : m_processes)
        terminate(program);
}

bool ProgramLauncher::start(ExternalProgram program)
{
    terminate(program);
    const QString commandLine = m_commands.commandLine(program);
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty()) {
        logMessage(1, "ERROR: an external program without a command line\n");
        return false;
    }
    const QString executable = arguments.takeFirst();
    if (program == ExternalProgram::UpdateProgram) {
        // It outlives the program: a download goes on after the operator has closed it.
        qint64 pid = 0;
        if (!QProcess::startDetached(executable, arguments, QString(), &pid)) {
            logMessage(1, QStringLiteral("ERROR: cannot start %1\n").arg(commandLine));
            return false;
        }
        logMessage(1, QStringLiteral("   started %1 (process %2)\n").arg(commandLine).arg(pid));
        return true;
    }
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(executable, arguments);
    if (!process->waitForStarted()) {
        logMessage(1,
                   QStringLiteral("ERROR: cannot start %1: %2\n")
                       .arg(commandLine, process->errorString()));
        return false;
    }
    logMessage(
        1,
        QStringLiteral("   started %1 (process %2)\n").arg(commandLine).arg(process->processId()));
    m_processes[program] = std::move(process);
    return true;
}

void ProgramLauncher::terminate(ExternalProgram program)
{
    const auto found = m_processes.find(program);
    if (found == m_processes.end() || !found->second)
        return;
    QProcess &process = *found->second;
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(kTerminateWaitMs)) {
            process.kill();
            process.waitForFinished(kTerminateWaitMs);
        }
    }
    found->second.reset();
}

bool ProgramLauncher::isRunning(ExternalProgram program) const
{
    const auto found = m_processes.find(program);
    return found != m_processes.end() && found->second
        && found->second->state() != QProcess::NotRunning;
}

bool ProgramLauncher::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace orva
