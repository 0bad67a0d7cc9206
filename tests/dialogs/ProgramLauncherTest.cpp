// SPDX-License-Identifier: GPL-3.0-or-later
// The external programs started from the installation's command lines, with stub scripts in the
// installation's bin folder instead of the desktop's mixer.
#include "dialogs/ProgramLauncher.h"

#include "records/InstallationValues.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

/// Writes an executable script `bin/<name>` that appends its arguments to `calls.txt` and then
/// waits to be ended.
void writeStub(const QString &root, const QString &name)
{
    QVERIFY(QDir().mkpath(root + QStringLiteral("/bin")));
    QFile script(QStringLiteral("%1/bin/%2").arg(root, name));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1/calls.txt'\nexec sleep 60\n")
                     .arg(root)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

QStringList calls(const QString &root)
{
    QFile file(root + QStringLiteral("/calls.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class ProgramLauncherTest : public QObject
{
    Q_OBJECT

private slots:
    void commandLinesComeFromTheInstallation();
    void startsTheInstallationsProgramAndEndsIt();
    void startingAgainEndsTheEarlierInstance();
    void aMissingProgramIsReportedAsNotStarted();
};

void ProgramLauncherTest::commandLinesComeFromTheInstallation()
{
    QTemporaryDir root;
    InstallationValues values;
    values.root = root.path();
    values.trueUpdateDir = QStringLiteral("/opt/update");
    ProgramCommands commands = ProgramCommands::fromInstallation(values);
    // Nothing in the installation's bin folder: the desktop's programs from the PATH.
    QCOMPARE(commands.commandLine(ExternalProgram::PlaybackMixer),
             QStringLiteral("pavucontrol --tab=3"));
    QCOMPARE(commands.commandLine(ExternalProgram::RecordingMixer),
             QStringLiteral("pavucontrol --tab=4"));
    QCOMPARE(commands.commandLine(ExternalProgram::UpdateProgram),
             QStringLiteral("orva-update --server \"\" --patch \"\" \"/opt/update\""));

    writeStub(root.path(), QStringLiteral("pavucontrol"));
    commands = ProgramCommands::fromInstallation(values);
    QCOMPARE(commands.commandLine(ExternalProgram::SoundSettings),
             QStringLiteral("\"%1/bin/pavucontrol\" --tab=5").arg(root.path()));
}

void ProgramLauncherTest::startsTheInstallationsProgramAndEndsIt()
{
    QTemporaryDir root;
    writeStub(root.path(), QStringLiteral("pavucontrol"));
    InstallationValues values;
    values.root = root.path();
    ProgramLauncher launcher(ProgramCommands::fromInstallation(values));

    QVERIFY(launcher.start(ExternalProgram::RecordingMixer));
    QVERIFY(launcher.isRunning(ExternalProgram::RecordingMixer));
    QVERIFY(!launcher.isRunning(ExternalProgram::PlaybackMixer));
    QTRY_COMPARE(calls(root.path()), QStringList({ QStringLiteral("--tab=4") }));

    launcher.terminate(ExternalProgram::RecordingMixer);
    QVERIFY(!launcher.isRunning(ExternalProgram::RecordingMixer));
    launcher.terminate(ExternalProgram::RecordingMixer); // ending it twice is harmless
}

void ProgramLauncherTest::startingAgainEndsTheEarlierInstance()
{
    QTemporaryDir root;
    writeStub(root.path(), QStringLiteral("pavucontrol"));
    InstallationValues values;
    values.root = root.path();
    {
        ProgramLauncher launcher(ProgramCommands::fromInstallation(values));
        QVERIFY(launcher.start(ExternalProgram::PlaybackMixer));
        QTRY_COMPARE(calls(root.path()).size(), 1);
        QVERIFY(launcher.start(ExternalProgram::PlaybackMixer));
        QTRY_COMPARE(calls(root.path()).size(), 2);
        QVERIFY(launcher.start(ExternalProgram::RecordingMixer));
        QTRY_COMPARE(calls(root.path()).size(), 3);
        QVERIFY(launcher.isRunning(ExternalProgram::PlaybackMixer));
        QVERIFY(launcher.isRunning(ExternalProgram::RecordingMixer));
    }
    // The launcher's end ends both; no stub is left waiting.
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"),
                { QStringLiteral("-f"), root.path() + QStringLiteral("/bin/") });
    QVERIFY(pgrep.waitForFinished());
    QCOMPARE(pgrep.readAllStandardOutput(), QByteArray());
}

void ProgramLauncherTest::aMissingProgramIsReportedAsNotStarted()
{
    ProgramCommands commands;
    commands.playbackMixer = QStringLiteral("/nonexistent/orva-mixer --tab=3");
    ProgramLauncher launcher(commands);
    QVERIFY(!launcher.start(ExternalProgram::PlaybackMixer));
    QVERIFY(!launcher.isRunning(ExternalProgram::PlaybackMixer));
    QVERIFY(!launcher.start(ExternalProgram::UpdateProgram)); // no command line at all
}

QTEST_MAIN(ProgramLauncherTest)
#include "ProgramLauncherTest.moc"
