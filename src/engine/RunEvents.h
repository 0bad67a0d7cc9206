// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

/// What happened in a run, told to whoever shows it. The run controller only announces; what to
/// enable, lay out and paint is for the listener to decide from the controller's state and the
/// run model. Every call comes on the UI thread, after the controller's state has changed.
class RunEvents
{
public:
    /// How a verdict on a measurement came about.
    enum class Verdict {
        Wrong, ///< the operator marked the answer wrong
        Rejected, ///< the operator rejected the syllable; it comes again
        Discarded, ///< a sound fault touched the measurement; the syllable comes again
    };

    virtual ~RunEvents() = default;

    /// A run is prepared (its syllables chosen) and its countdown is about to begin.
    virtual void runStarted() = 0;
    /// The countdown began or went down one step; the state text shows the number.
    virtual void countdownChanged() = 0;
    /// The syllable of `measurement` started: its sound (or its picture) is on its way.
    virtual void syllableStarted(int measurement) = 0;
    /// The syllable's picture was highlighted, or its highlight ended.
    virtual void highlightChanged() = 0;
    /// The answer to `measurement` was taken (or its window ran out); the verdict is open.
    virtual void answerTaken(int measurement) = 0;
    /// The verdict on `measurement` is in, or there is none to give.
    virtual void verdictGiven(int measurement, Verdict verdict) = 0;
    /// The syllable of `measurement` ended; `recorded` when its result went into the run.
    virtual void syllableEnded(int measurement, bool recorded) = 0;
    /// The run ended, finished or aborted (the controller's run state says which).
    virtual void runEnded() = 0;
    /// `note` was added to the end of the run's comment, on its own line.
    virtual void commentAppended(const QString &note) = 0;
    /// The start-up's wait ran out while nothing runs: time for the first-run help.
    virtual void startupWaitEnded() = 0;
};

} // namespace orva
