// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProgramStates.h"

#include <QtGlobal>

#include <functional>
#include <map>
#include <optional>

namespace orva {

/// Menu and window commands by number.
namespace Command {
constexpr int About = 104;
constexpr int Exit = 105;
constexpr int Wrong = 1019;
constexpr int Reject = 1020;
constexpr int AbortButton = 1021;
constexpr int StartButton = 1033;
constexpr int PrintReport = 1157;
constexpr int ShowTests = 1158;
constexpr int ShowSyllables = 1159;
constexpr int New = 32776;
constexpr int Save = 32778;
constexpr int Instruction = 32781;
constexpr int StartTraining = 32785;
constexpr int StartPreTest = 32787;
constexpr int StartMainTest = 32788;
constexpr int AbortRun = 32792;
constexpr int MarkWrong = 32797;
constexpr int RejectSyllable = 32798;
constexpr int SaveAs = 32811;
constexpr int AudioDevices = 32816;
constexpr int HearingCheck = 32818;
constexpr int Print = 32822;
constexpr int TrainingSettings = 32824;
constexpr int PlaybackVolume = 32827;
constexpr int RecordingVolume = 32828;
constexpr int AudioSetup = 32829;
constexpr int LatencyTest = 32850;
constexpr int Help = 32836;
constexpr int Options = 32838;
constexpr int Nothing = 32840;
constexpr int Language = 32841;
constexpr int OpenDatabase = 32842;
constexpr int ReportView = 32843;
constexpr int MainView = 32844;
} // namespace Command

/// What the enabling rules read.
struct CommandState
{
    ProgramState programState = ProgramState::Idle;
    RunState runState = RunState::Empty;
    bool reportView = false;
    bool testMode = true; ///< the run kind is a pre-test or a main test
    bool groupDisplay = true; ///< the client's display mode
    bool mayPrint = false;
    bool maySave = false;
};

/// Which menu items are enabled, by command number.
std::map<int, bool> menuSettings(const CommandState &state);

/// The child windows whose visibility the program state decides.
enum class ChildWindow {
    CurrentSyllable,
    CurrentSyllables,
    RemainingSyllables,
    ReactionTime,
    WrongButton,
    RejectButton,
    AbortButton,
    Evaluation,
    PrintButton,
    ShowTestsBox,
    ShowSyllablesBox,
    ReportScrollBar,
};

/// Windows to show (true) or hide (false); windows not named keep their visibility.
std::map<ChildWindow, bool> windowSettings(const CommandState &state);

/// A key press as the main window's keyboard handling sees it.
struct KeyAction
{
    int command = 0; ///< 0: none
    bool focusMainWindow = false;
    bool consumed = false;
    int tab = 0; ///< 1 next window of the tab order, -1 previous
};

/// `translateAccelerator` for a key-down of `key` (a Qt::Key) in `programState`.
KeyAction translateAccelerator(int key, bool shift, ProgramState state);

/// The tab order rule: the index to move the focus to among `count` windows whose visibility is
/// given by `visible(i)`, from the focused index `focused` (-1: outside the list).
int nextInTabOrder(int focused, int count, bool backwards, const std::function<bool(int)> &visible);

} // namespace orva
