// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/RunFileContent.h"
#include "support/Status.h"

#include <QString>

namespace orva {

class LineSource;

/// The run file (".orv", "ORVA Experiment 2.0"): one finished or aborted run with its client,
/// comment, measurements and a readable summary, in sections of "key=value" lines.
class RunFile
{
public:
    /// A file with more measurements is refused; the longest run has 6 x 1000.
    static constexpr int kMaxMeasurements = 100000;
    static constexpr int kMaxCommentChars = 9999;
    static constexpr int kTestAnswerWindowMs = 2000;
    static constexpr int kMaxLineChars = 1023;

    /// How long a run of `mode` waits for an answer: 2000 ms in the tests, the client's answer
    /// window in training.
    static int answerWindow(int mode, const ORVA_Proband &client);
    /// The stored value of a measurement: +time right, -time wrong, -answerWindow no answer,
    /// 0 not reached.
    static int encode(int result, int reactionTime, int answerWindow);
    /// The measurement of a stored value; false for a value below -answerWindow.
    static bool decode(int value, int answerWindow, int &result, int &reactionTime);

    /// Reads the run file at `path`: 0 with `content` filled, 1 when the file belongs to another
    /// material language than `expLanguage`, -1 for any other failure (then `content` is left as
    /// it was). On entry `content.mode` is the run kind kept when the file names none.
    static int read(const QString &path, int expLanguage, RunFileContent &content);
    static int read(LineSource &source, int expLanguage, RunFileContent &content);

    /// Writes `content`, replacing `path` only once everything was written.
    static Status write(const QString &path, const RunFileContent &content);
    /// The text of the file, with "\n" line ends. A comment line that begins with "[" is written
    /// with a blank in front, so that it cannot end the comment when the file is read.
    static QString toText(const RunFileContent &content);
};

} // namespace orva
