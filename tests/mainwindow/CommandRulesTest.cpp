// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/CommandRules.h"

#include <QTest>

using namespace orva;

class CommandRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void runStartsAndAbortFollowTheProgramState();
    void settingsAndFilesNeedAnIdleProgram();
    void saveAndPrintFollowTheirRules();
    void windowsOfTheIdleStates();
    void windowsOfARunDependOnTheDisplay_data();
    void windowsOfARunDependOnTheDisplay();
    void reportViewShowsItsButtonsInEveryState();
    void keysGiveTheirCommands_data();
    void keysGiveTheirCommands();
    void tabOrderSkipsHiddenWindows();
};

void CommandRulesTest::runStartsAndAbortFollowTheProgramState()
{
    for (int state = 0; state <= 9; ++state) {
        CommandState command;
        command.programState = ProgramState(state);
        const std::map<int, bool> menu = menuSettings(command);
        const bool mayStart = state == 0 || state == 6 || state == 7;
        for (int start : { Command::StartPreTest, Command::StartMainTest, Command::StartTraining,
                           Command::Instruction, Command::HearingCheck })
            QCOMPARE(menu.at(start), mayStart);
        QCOMPARE(menu.at(Command::AbortRun), state >= 1 && state <= 5);
    }
}

void CommandRulesTest::settingsAndFilesNeedAnIdleProgram()
{
    for (int state = 0; state <= 9; ++state) {
        CommandState command;
        command.programState = ProgramState(state);
        const bool free = state == 0 || state == 6 || state == 7;
        const std::map<int, bool> menu = menuSettings(command);
        for (int item : { Command::Options, Command::AudioSetup, Command::AudioDevices,
                          Command::PlaybackVolume, Command::RecordingVolume, Command::Language,
                          Command::ReportView, Command::MainView, Command::New,
                          Command::OpenDatabase, Command::TrainingSettings })
            QVERIFY2(menu.at(item) == free,
                     qPrintable(QStringLiteral("%1 in %2").arg(item).arg(state)));
    }
}

void CommandRulesTest::saveAndPrintFollowTheirRules()
{
    CommandState command;
    command.programState = ProgramState(7);
    command.maySave = true;
    command.mayPrint = true;
    std::map<int, bool> menu = menuSettings(command);
    QVERIFY(menu.at(Command::Save) && menu.at(Command::SaveAs) && menu.at(Command::Print));
    command.programState = ProgramState(6);
    menu = menuSettings(command);
    QVERIFY(!menu.at(Command::Save) && menu.at(Command::SaveAs) && menu.at(Command::Print));
    command.programState = ProgramState(2);
    menu = menuSettings(command);
    QVERIFY(!menu.at(Command::Save) && !menu.at(Command::SaveAs) && !menu.at(Command::Print));
    command.programState = ProgramState(7);
    command.runState = RunState(5); // saved: a copy under another name only
    menu = menuSettings(command);
    QVERIFY(!menu.at(Command::Save) && menu.at(Command::SaveAs));
    command.maySave = false;
    command.mayPrint = false;
    menu = menuSettings(command);
    QVERIFY(!menu.at(Command::Save) && !menu.at(Command::SaveAs) && !menu.at(Command::Print));
}

void CommandRulesTest::windowsOfTheIdleStates()
{
    CommandState command;
    std::map<ChildWindow, bool> windows = windowSettings(command);
    QCOMPARE(windows.size(), size_t(12));
    for (const auto &[window, visible] : windows)
        QVERIFY(!visible);
    command.programState = ProgramState(7);
    windows = windowSettings(command);
    QVERIFY(windows.at(ChildWindow::Evaluation));
    QVERIFY(!windows.at(ChildWindow::AbortButton));
    command.programState = ProgramState(3); // during a run nothing changes
    QVERIFY(windowSettings(command).empty());
}

void CommandRulesTest::windowsOfARunDependOnTheDisplay_data()
{
    QTest::addColumn<bool>("test");
    QTest::addColumn<bool>("group");
    QTest::addColumn<bool>("single");
    QTest::newRow("test") << true << true << true;
    QTest::newRow("training, one syllable") << false << false << true;
    QTest::newRow("training, the group") << false << true << false;
}

void CommandRulesTest::windowsOfARunDependOnTheDisplay()
{
    QFETCH(bool, test);
    QFETCH(bool, group);
    QFETCH(bool, single);
    CommandState command;
    command.programState = ProgramState(1);
    command.testMode = test;
    command.groupDisplay = group;
    const std::map<ChildWindow, bool> windows = windowSettings(command);
    QCOMPARE(windows.at(ChildWindow::CurrentSyllable), single);
    QCOMPARE(windows.at(ChildWindow::CurrentSyllables), !single);
    QVERIFY(windows.at(ChildWindow::RemainingSyllables));
    QVERIFY(windows.at(ChildWindow::ReactionTime)); // the left column in every mode
    QVERIFY(windows.at(ChildWindow::WrongButton));
    QVERIFY(!windows.at(ChildWindow::Evaluation));
    QVERIFY(!windows.at(ChildWindow::ReportScrollBar));
}

void CommandRulesTest::reportViewShowsItsButtonsInEveryState()
{
    for (int state : { 0, 2, 7 }) {
        CommandState command;
        command.programState = ProgramState(state);
        command.reportView = true;
        const std::map<ChildWindow, bool> windows = windowSettings(command);
        QVERIFY(windows.at(ChildWindow::PrintButton));
        QVERIFY(windows.at(ChildWindow::AbortButton));
        QVERIFY(windows.at(ChildWindow::ReportScrollBar));
        QVERIFY(!windows.at(ChildWindow::Evaluation));
        QVERIFY(!windows.at(ChildWindow::WrongButton));
    }
}

void CommandRulesTest::keysGiveTheirCommands_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("consumed");
    QTest::newRow("Space while judging") << int(Qt::Key_Space) << 3 << Command::MarkWrong << true;
    QTest::newRow("Space otherwise types") << int(Qt::Key_Space) << 2 << 0 << false;
    QTest::newRow("Delete while judging")
        << int(Qt::Key_Delete) << 3 << Command::RejectSyllable << true;
    QTest::newRow("Backspace while judging")
        << int(Qt::Key_Backspace) << 3 << Command::RejectSyllable << true;
    QTest::newRow("Delete otherwise edits") << int(Qt::Key_Delete) << 0 << 0 << false;
    QTest::newRow("Esc in any state") << int(Qt::Key_Escape) << 0 << Command::AbortRun << true;
    QTest::newRow("F8") << int(Qt::Key_F8) << 2 << Command::AbortRun << true;
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << Command::Help << true;
    QTest::newRow("F3") << int(Qt::Key_F3) << 0 << Command::New << true;
    QTest::newRow("F4") << int(Qt::Key_F4) << 7 << Command::StartTraining << true;
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << Command::Instruction << true;
    QTest::newRow("F6") << int(Qt::Key_F6) << 0 << Command::StartPreTest << true;
    QTest::newRow("F7") << int(Qt::Key_F7) << 0 << Command::StartMainTest << true;
    QTest::newRow("F9") << int(Qt::Key_F9) << 0 << Command::HearingCheck << true;
    QTest::newRow("F10 opens no menu") << int(Qt::Key_F10) << 0 << Command::Nothing << true;
    QTest::newRow("a letter") << int(Qt::Key_A) << 3 << 0 << false;
}

void CommandRulesTest::keysGiveTheirCommands()
{
    QFETCH(int, key);
    QFETCH(int, state);
    QFETCH(int, command);
    QFETCH(bool, consumed);
    const KeyAction action = translateAccelerator(key, false, ProgramState(state));
    QCOMPARE(action.command, command);
    QCOMPARE(action.consumed, consumed);
    QCOMPARE(action.focusMainWindow,
             key >= Qt::Key_Escape && key != Qt::Key_Delete && key != Qt::Key_Backspace
                 && command != 0);
}

void CommandRulesTest::tabOrderSkipsHiddenWindows()
{
    // last name, first name, birthday, slider, comment
    bool visible[5] = { true, true, false, true, true };
    const auto isVisible = [&](int i) { return visible[i]; };
    QCOMPARE(nextInTabOrder(1, 5, false, isVisible), 3);
    QCOMPARE(nextInTabOrder(4, 5, false, isVisible), 0);
    QCOMPARE(nextInTabOrder(-1, 5, false, isVisible), 0);
    QCOMPARE(nextInTabOrder(3, 5, true, isVisible), 1);
    QCOMPARE(nextInTabOrder(1, 5, true, isVisible), 0); // the first only as the last resort
    QCOMPARE(nextInTabOrder(0, 5, true, isVisible), 4);
    visible[4] = false;
    QCOMPARE(nextInTabOrder(0, 5, true, isVisible), 0);
    QCOMPARE(translateAccelerator(Qt::Key_Tab, true, ProgramState::Idle).tab, -1);
    QCOMPARE(translateAccelerator(Qt::Key_Backtab, false, ProgramState::Idle).tab, -1);
    QCOMPARE(translateAccelerator(Qt::Key_Tab, false, ProgramState::Idle).tab, 1);
}

QTEST_GUILESS_MAIN(CommandRulesTest)
#include "CommandRulesTest.moc"
