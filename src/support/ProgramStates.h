// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orva {

/// What the program is doing. The numbers are those of the log and of the window's rules.
enum class ProgramState : int {
    Idle = 0,
    ExpRunning = 1,
    WaitForAudio = 2,
    WaitForKey = 3,
    Delay = 4,
    StopExp = 5,
    DataLoaded = 6,
    ExpCompleted = 7,
    OtherAudio = 8,
    TestAudio = 9,
};

/// What became of the current run.
enum class RunState : int {
    Empty = 0,
    Running = 1,
    Finished = 2,
    Aborted = 3,
    Loaded = 4,
    Saved = 5,
};

/// A run is going: from its start to its last syllable's end, the countdown included.
constexpr bool isRunActive(ProgramState state)
{
    return state >= ProgramState::ExpRunning && state <= ProgramState::StopExp;
}

/// The instruction or the hearing check plays.
constexpr bool isAudioOutputBusy(ProgramState state)
{
    return state == ProgramState::OtherAudio || state == ProgramState::TestAudio;
}

/// Neither a run nor another sound: the program waits for the operator.
constexpr bool isFree(ProgramState state)
{
    return !isRunActive(state) && !isAudioOutputBusy(state);
}

/// A new run, the instruction or the hearing check may begin.
constexpr bool mayStartRun(ProgramState state)
{
    return state == ProgramState::Idle || state == ProgramState::DataLoaded
        || state == ProgramState::ExpCompleted;
}

/// A syllable has been played and its answer is awaited: by voice, or by the operator's key.
constexpr bool isAwaitingAnswer(ProgramState state)
{
    return state == ProgramState::WaitForAudio || state == ProgramState::WaitForKey;
}

} // namespace orva
