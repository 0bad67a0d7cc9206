// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/CommandRules.h"

#include <Qt>

#include <functional>

namespace orva {

namespace { } // namespace

std::map<int, bool> menuSettings(const CommandState &state)
{
    const ProgramState s = state.programState;
    const bool free = isFree(s);
    std::map<int, bool> enabled;
    for (int command : { Command::Instruction, Command::StartPreTest, Command::StartTraining,
                         Command::StartMainTest, Command::HearingCheck })
        enabled[command] = mayStartRun(s);
    enabled[Command::AbortRun] = isRunActive(s);
    for (int command : { Command::Options, Command::AudioSetup, Command::LatencyTest,
                         Command::AudioDevices, Command::PlaybackVolume, Command::RecordingVolume,
                         Command::Language, Command::ReportView, Command::MainView, Command::New,
                         Command::OpenDatabase, Command::TrainingSettings })
        enabled[command] = free;
    enabled[Command::Print] = free && state.mayPrint;
    // A saved run has nothing left to save under its own name; a copy under another may be made.
    const bool runAtHand = s == ProgramState::DataLoaded || s == ProgramState::ExpCompleted;
    enabled[Command::Save] =
        s == ProgramState::ExpCompleted && state.maySave && state.runState != RunState::Saved;
    enabled[Command::SaveAs] = runAtHand && state.maySave;
    return enabled;
}

std::map<ChildWindow, bool> windowSettings(const CommandState &state)
{
    using W = ChildWindow;
    std::map<ChildWindow, bool> visible;
    const auto set = [&](std::initializer_list<ChildWindow> windows, bool show) {
        for (ChildWindow window : windows)
            visible[window] = show;
    };
    const ProgramState s = state.programState;
    if (state.reportView) {
        set({ W::CurrentSyllable, W::CurrentSyllables, W::RemainingSyllables, W::ReactionTime,
              W::RejectButton, W::WrongButton, W::Evaluation },
            false);
        set({ W::AbortButton, W::PrintButton, W::ShowTestsBox, W::ShowSyllablesBox,
              W::ReportScrollBar },
            true);
    } else if (mayStartRun(s)) {
        set({ W::PrintButton, W::ShowTestsBox, W::ShowSyllablesBox, W::ReportScrollBar,
              W::RemainingSyllables, W::CurrentSyllable, W::ReactionTime, W::CurrentSyllables,
              W::WrongButton, W::RejectButton, W::AbortButton },
            false);
        visible[W::Evaluation] = s != ProgramState::Idle;
    } else if (s == ProgramState::ExpRunning) {
        set({ W::PrintButton, W::ShowTestsBox, W::ShowSyllablesBox, W::ReportScrollBar }, false);
        const bool single = state.testMode || !state.groupDisplay;
        visible[W::CurrentSyllable] = single;
        visible[W::CurrentSyllables] = !single;
        set({ W::RemainingSyllables, W::ReactionTime, W::AbortButton, W::RejectButton,
              W::WrongButton },
            true);
        visible[W::Evaluation] = false;
    }
    return visible;
}

KeyAction translateAccelerator(int key, bool shift, ProgramState state)
{
    KeyAction action;
    const auto command = [&](int number) {
        action.command = number;
        action.focusMainWindow = true;
        action.consumed = true;
    };
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (state == ProgramState::WaitForKey) {
            action.command = Command::RejectSyllable;
            action.consumed = true;
        }
        break;
    case Qt::Key_Space:
        if (state == ProgramState::WaitForKey) {
            action.command = Command::MarkWrong;
            action.consumed = true;
        }
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        action.tab = (shift || key == Qt::Key_Backtab) ? -1 : 1;
        action.consumed = true;
        break;
    case Qt::Key_Escape:
    case Qt::Key_F8:
        command(Command::AbortRun);
        break;
    case Qt::Key_F1:
        command(Command::Help);
        break;
    case Qt::Key_F3:
        command(Command::New);
        break;
    case Qt::Key_F4:
        command(Command::StartTraining);
        break;
    case Qt::Key_F5:
        command(Command::Instruction);
        break;
    case Qt::Key_F6:
        command(Command::StartPreTest);
        break;
    case Qt::Key_F7:
        command(Command::StartMainTest);
        break;
    case Qt::Key_F9:
        command(Command::HearingCheck);
        break;
    case Qt::Key_F10:
        command(Command::Nothing);
        break;
    default:
        break;
    }
    return action;
}

int nextInTabOrder(int focused, int count, bool backwards, const std::function<bool(int)> &visible)
{
    if (count <= 0)
        return -1;
    if (focused < 0 || focused >= count)
        return 0;
    if (!backwards) {
        for (int i = focused + 1; i < count; ++i) {
            if (visible(i))
                return i;
        }
        return 0;
    }
    for (int i = focused - 1; i >= 1; --i) {
        if (visible(i))
            return i;
    }
    if (focused == 0)
        return visible(count - 1) ? count - 1 : 0;
    return 0;
}

} // namespace orva
