// SPDX-License-Identifier: GPL-3.0-or-later
// The audio set-up wizard as the main window's commands open it: its dialog, its mixers as real
// processes of stub scripts, its end, and what is refused while it is open.
#include "mainwindow/DialogCommands.h"

#include "ScratchInstallation.h"
#include "dialogs/AudioSetupDialog.h"
#include "dialogs/InstructionDialog.h"
#include "dialogs/ProgramLauncher.h"
#include "engine/ProgramData.h"
#include "engine/RunController.h"
#include "engine/RunFileCommands.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedRunOutput.h"
#include "mainwindow/CommandRules.h"
#include "records/ClientList.h"
#include "records/InstallationValues.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <memory>

using namespace orva;
using namespace orva::test;

namespace {

/// The main window around the commands: sends the end of the sound back as the window does,
/// and counts it.
class CountingWindow final : public DialogCommands::View, public RunFileView
{
public:
    void changeLanguage(int) override { }
    void dataFolderChanged() override { }
    QString commandText(int command) const override { return QString::number(command); }
    void focusMainWindow() override { }
    void storeComment() override { }
    void stateChanged() override { }
    void menuSettings() override { }
    void setTimer(int, int) override { }
    void stopTimer(int) override { }
    void onAudioEnd() override
    {
        ++audioEnds;
        if (commands)
            commands->onAudioEnd();
    }
    void showClient() override { }
    void resetRun(bool) override { }
    void runFilesChanged() override { }
    const ClientList &clientList() const override { return clients; }
    void runLatencyTest(bool fromWizard) override { latencyTests << fromWizard; }

    ClientList clients;
    QList<bool> latencyTests;
    DialogCommands *commands = nullptr;
    int audioEnds = 0;
};

/// A stand-in for pavucontrol in the installation's bin: appends its process id and arguments
/// to calls.txt, then waits to be ended.
void writeStubMixer(const QString &root)
{
    QFile script(root + QStringLiteral("/bin/pavucontrol"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$$ $*\" >> '%1/calls.txt'\nexec sleep 60\n")
                     .arg(root)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

bool isAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

} // namespace

class DialogCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void wizardOpensAtTheTopLeftWithStepZero();
    void buttonsAndStubMixersFollowTheSteps();
    void eachWayOfClosingEndsTheSoundOnce_data();
    void eachWayOfClosingEndsTheSoundOnce();
    void nothingElseStartsWhileTheWizardIsOpen();
    void firstStartOpensTheWizardOnlyOnce();
    void firstStartWaitsWhileTheInstructionIsOpen();

private:
    /// Starts the commands with `programs` as the programs outside.
    void makeCommands(ExternalPrograms &programs);
    AudioSetupDialog *wizard() const
    {
        return dynamic_cast<AudioSetupDialog *>(m_installation->dialogs.slot.dialog());
    }
    void click(int buttonId)
    {
        auto *button = wizard()->controlAs<QPushButton>(buttonId);
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    /// "pid arguments" lines the stub mixers wrote, in order.
    QStringList mixerCalls() const
    {
        QFile file(m_installation->path(QStringLiteral("calls.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    /// The stub mixers whose process still runs, by their arguments.
    QStringList aliveMixers() const
    {
        QStringList alive;
        for (const QString &call : mixerCalls()) {
            if (isAlive(call.section(u' ', 0, 0).toLongLong()))
                alive << call.section(u' ', 1);
        }
        return alive;
    }
    /// Waits until the stub started as the `count`-th mixer has written its line.
    bool waitForMixerCalls(int count)
    {
        return QTest::qWaitFor([&] { return mixerCalls().size() >= count; }, 5000);
    }
    ProgramState state() const { return m_controller->programState(); }

    QString m_demo;
    std::unique_ptr<ScratchInstallation> m_installation;
    ManualClock m_clock;
    RecordingMessageBoxes m_boxes;
    std::unique_ptr<ProgramData> m_data;
    std::unique_ptr<ScriptedRunOutput> m_runOutput;
    std::unique_ptr<RunController> m_controller;
    CountingWindow m_window;
    std::unique_ptr<RunFileCommands> m_files;
    std::unique_ptr<ProgramLauncher> m_launcher; // outlives the commands that start through it
    std::unique_ptr<DialogCommands> m_commands;
};

void DialogCommandsTest::initTestCase()
{
    m_demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(m_demo + QStringLiteral("/media/500Hz.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
}

void DialogCommandsTest::init()
{
    m_installation = std::make_unique<ScratchInstallation>(m_demo);
    const StartupOptions options = m_installation->options();
    m_boxes.boxes.clear();
    m_data = std::make_unique<ProgramData>(options.currentDirectory, options.registry, m_boxes);
    m_runOutput = std::make_unique<ScriptedRunOutput>(m_clock);
    m_controller = std::make_unique<RunController>(m_data->experiment(), *m_runOutput, m_clock,
                                                   m_boxes, m_data->strings());
    m_window = CountingWindow();
    m_files = std::make_unique<RunFileCommands>(
        m_data->experiment(), *m_controller, m_data->settings().dataDirectory,
        m_data->unsavedRunPath(), m_boxes, m_data->strings(), m_window);
    m_boxes.boxes.clear();
}

void DialogCommandsTest::makeCommands(ExternalPrograms &programs)
{
    m_commands =
        std::make_unique<DialogCommands>(m_installation->dialogs, programs, *m_data, *m_controller,
                                         *m_files, m_boxes, m_clock, m_window);
    m_window.commands = m_commands.get();
}

void DialogCommandsTest::cleanup()
{
    m_commands.reset();
    m_launcher.reset();
    m_files.reset();
    m_controller.reset();
    m_runOutput.reset();
    m_data.reset();
    m_installation.reset();
}

void DialogCommandsTest::wizardOpensAtTheTopLeftWithStepZero()
{
    makeCommands(m_installation->programs);
    QVERIFY(m_commands->onCommand(Command::AudioSetup));
    QCOMPARE(state(), ProgramState::TestAudio);
    AudioSetupDialog *dialog = wizard();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->pos(), QPoint(0, 0));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("ORVA: Audiosystemeinstellungen"));
    const QString text = dialog->controlAs<QLabel>(AudioSetupDialog::kTextId)->text();
    QVERIFY(text.startsWith(QStringLiteral("Schritt 0 (Einleitung)")));
    QVERIFY(!dialog->picture()->isVisible());
    QVERIFY(m_installation->programs.started.isEmpty()); // step 0 opens no mixer
}

void DialogCommandsTest::buttonsAndStubMixersFollowTheSteps()
{
    writeStubMixer(m_installation->dir.path());
    InstallationValues values;
    values.root = m_installation->dir.path();
    m_launcher = std::make_unique<ProgramLauncher>(ProgramCommands::fromInstallation(values));
    makeCommands(*m_launcher);
    QVERIFY(m_commands->onCommand(Command::AudioSetup));
    const auto shown = [&](int id) { return wizard()->control(id)->isVisible(); };
    const auto buttons = [&] {
        QString result;
        for (int id : { AudioSetupDialog::kBackId, AudioSetupDialog::kNextId,
                        AudioSetupDialog::kPlayId, AudioSetupDialog::kOkId,
                        AudioSetupDialog::kCancelId, AudioSetupDialog::kLatencyTestId })
            result += shown(id) ? u'1' : u'0';
        return result;
    };
    QCOMPARE(buttons(), QStringLiteral("010010"));

    click(AudioSetupDialog::kNextId); // 1: the sockets and their picture
    QCOMPARE(buttons(), QStringLiteral("110010"));
    QVERIFY(wizard()->picture()->isVisible());
    QVERIFY(aliveMixers().isEmpty());

    click(AudioSetupDialog::kNextId); // 2: the output page
    QVERIFY(!wizard()->picture()->isVisible());
    QVERIFY(waitForMixerCalls(1));
    QCOMPARE(aliveMixers(), QStringList { "--tab=3" });

    click(AudioSetupDialog::kNextId); // 3: playback, the output page started anew
    QCOMPARE(buttons(), QStringLiteral("111010"));
    QVERIFY(waitForMixerCalls(2));
    QCOMPARE(aliveMixers(), QStringList { "--tab=3" });
    const QString third = mixerCalls().at(1);
    // Each stub is given time to write its line before the next Play ends it.
    click(AudioSetupDialog::kPlayId);
    QVERIFY(waitForMixerCalls(3));
    click(AudioSetupDialog::kPlayId);
    QVERIFY(waitForMixerCalls(4));
    // Each Play ended the mixer before and started a new one; one runs.
    QVERIFY(!isAlive(third.section(u' ', 0, 0).toLongLong()));
    QCOMPARE(aliveMixers(), QStringList { "--tab=3" });

    click(AudioSetupDialog::kNextId); // 4: the input page
    QVERIFY(waitForMixerCalls(5));
    QCOMPARE(aliveMixers(), QStringList { "--tab=4" });

    click(AudioSetupDialog::kBackId); // back to 3: the input page goes, the output page comes
    QCOMPARE(m_commands->wizard()->step(), 3);
    QVERIFY(waitForMixerCalls(6));
    QCOMPARE(aliveMixers(), QStringList { "--tab=3" });

    click(AudioSetupDialog::kNextId);
    QVERIFY(waitForMixerCalls(7));
    click(AudioSetupDialog::kNextId); // 5: the output page again
    QVERIFY(waitForMixerCalls(8));
    QCOMPARE(aliveMixers(), QStringList { "--tab=3" });

    click(AudioSetupDialog::kNextId); // 6: the end, no mixer
    QCOMPARE(buttons(), QStringLiteral("100101"));
    QVERIFY(aliveMixers().isEmpty());
    // The end offers the latency self-test, over the open wizard.
    click(AudioSetupDialog::kLatencyTestId);
    QCOMPARE(m_window.latencyTests, QList<bool> { true });
    QCOMPARE(state(), ProgramState::TestAudio);
    click(AudioSetupDialog::kBackId);
    QVERIFY(waitForMixerCalls(9));
    click(AudioSetupDialog::kNextId);
    click(AudioSetupDialog::kOkId);
    QCOMPARE(m_window.audioEnds, 1);
    QCOMPARE(state(), ProgramState::Idle);
    // Every stub that was ever started has ended.
    QCOMPARE(mixerCalls().size(), 9);
    QVERIFY2(aliveMixers().isEmpty(), qPrintable(aliveMixers().join(u',')));
    QVERIFY(m_boxes.boxes.isEmpty());
}

void DialogCommandsTest::eachWayOfClosingEndsTheSoundOnce_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Abbrechen") << "Abbrechen";
    QTest::newRow("close button") << "close";
    QTest::newRow("Escape") << "Escape";
}

void DialogCommandsTest::eachWayOfClosingEndsTheSoundOnce()
{
    QFETCH(QString, way);
    RecordingPrograms &programs = m_installation->programs;
    makeCommands(programs);
    QVERIFY(m_commands->onCommand(Command::AudioSetup));
    for (int i = 0; i < 3; ++i)
        click(AudioSetupDialog::kNextId);
    click(AudioSetupDialog::kPlayId); // the tone sounds through the one audio-out wave
    QVERIFY(m_commands->playback().wave());
    QVERIFY(programs.isRunning(ExternalProgram::PlaybackMixer));
    QPointer<AudioSetupDialog> dialog = wizard();

    if (way == QStringLiteral("OK")) {
        for (int i = 0; i < 3; ++i)
            click(AudioSetupDialog::kNextId);
        click(AudioSetupDialog::kOkId);
    } else if (way == QStringLiteral("Abbrechen")) {
        click(AudioSetupDialog::kCancelId);
    } else if (way == QStringLiteral("close")) {
        QVERIFY(dialog->close());
    } else {
        QTest::keyClick(dialog.data(), Qt::Key_Escape);
    }
    QCOMPARE(m_window.audioEnds, 1);
    QCOMPARE(state(), ProgramState::Idle);
    QVERIFY(!m_commands->playback().wave());
    QVERIFY(!m_commands->wizard());
    QVERIFY(!m_installation->dialogs.slot.isOpen());
    QVERIFY(programs.running.empty());
    QTRY_VERIFY(dialog.isNull()); // deleted from the event loop
    QCOMPARE(m_window.audioEnds, 1);

    // Open again: a new wizard at step 0, ended once more by one message.
    QVERIFY(m_commands->onCommand(Command::AudioSetup));
    QCOMPARE(m_commands->wizard()->step(), 0);
    click(AudioSetupDialog::kCancelId);
    QCOMPARE(m_window.audioEnds, 2);
}

void DialogCommandsTest::nothingElseStartsWhileTheWizardIsOpen()
{
    RecordingPrograms &programs = m_installation->programs;
    makeCommands(programs);
    QVERIFY(m_commands->onCommand(Command::AudioSetup));
    click(AudioSetupDialog::kNextId);
    click(AudioSetupDialog::kNextId);
    const QList<ExternalProgram> started = programs.started;
    QDialog *open = m_installation->dialogs.slot.dialog();

    for (int command : { Command::Instruction, Command::HearingCheck, Command::PlaybackVolume,
                         Command::RecordingVolume, Command::AudioDevices, Command::AudioSetup,
                         Command::TrainingSettings, Command::Language, Command::Options })
        QVERIFY(m_commands->onCommand(command));
    m_commands->showFirstRunHelp();
    m_controller->onStartPreTest();
    m_controller->onStartMainTest();
    m_controller->onStartTraining();

    QCOMPARE(state(), ProgramState::TestAudio);
    QVERIFY(m_installation->dialogs.calls.isEmpty()); // no notice, no language, no options
    QCOMPARE(programs.started, started);
    QVERIFY(m_boxes.boxes.isEmpty());
    QCOMPARE(m_installation->dialogs.slot.dialog(), open);
    QCOMPARE(m_commands->wizard()->step(), 2);
    QCOMPARE(m_window.audioEnds, 0);
}

void DialogCommandsTest::firstStartOpensTheWizardOnlyOnce()
{
    makeCommands(m_installation->programs);
    Settings &settings = m_data->settings();
    QVERIFY(settings.doAudioIntro && settings.doIntro);
    m_commands->showFirstRunHelp();
    QVERIFY(wizard());
    QVERIFY(!settings.doAudioIntro);
    QVERIFY(m_installation->dialogs.calls.isEmpty()); // the first-steps dialog waits its turn
    click(AudioSetupDialog::kCancelId);
    // The next start: the first-steps dialog instead, and no wizard.
    m_commands->showFirstRunHelp();
    QCOMPARE(m_installation->dialogs.calls, QStringList { "first steps" });
    QVERIFY(!m_installation->dialogs.slot.isOpen());
    QCOMPARE(state(), ProgramState::Idle);
}

void DialogCommandsTest::firstStartWaitsWhileTheInstructionIsOpen()
{
    makeCommands(m_installation->programs);
    QVERIFY(m_commands->onCommand(Command::Instruction));
    QVERIFY(dynamic_cast<InstructionDialog *>(m_installation->dialogs.slot.dialog()));
    // The instruction sounds: the wizard is neither opened nor counted as shown.
    m_commands->showFirstRunHelp();
    QVERIFY(!wizard());
    QVERIFY(m_data->settings().doAudioIntro);
    QCOMPARE(state(), ProgramState::OtherAudio);
    // With a dialog open but nothing sounding, the one slot still keeps the wizard out.
    m_controller->setProgramState(ProgramState::Idle);
    m_commands->showFirstRunHelp();
    QVERIFY(!wizard());
    QVERIFY(m_data->settings().doAudioIntro);
}

QTEST_MAIN(DialogCommandsTest)
#include "DialogCommandsTest.moc"
