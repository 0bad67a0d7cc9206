// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Proband.h"

#include <QList>
#include <QString>

namespace orva {

/// One presentation of a run as a run file holds it: the syllable by name.
struct RunFileMeasurement
{
    QString name; ///< empty when the file gave no name for it
    int reactionTime = 0; ///< ms
    int result = 0; ///< 1 right, -1 wrong, -2 no answer, 0 not reached

    bool operator==(const RunFileMeasurement &) const = default;
};

/// The summary of the whole run or of one syllable, as written for a person to read.
struct RunFileSummary
{
    QString name;
    int average = 0; ///< ms, truncated
    int count = 0;
    int right = 0;
    int percentRight = 0; ///< truncated
    int none = 0;
    int percentNone = 0; ///< truncated

    bool operator==(const RunFileSummary &) const = default;
};

/// What a run file stores, in the terms of the file: syllables by name, the run kind and the
/// material language by number. The run model converts it to and from its own state.
struct RunFileContent
{
    int mode = 2; ///< 1 pre-test, 2 main test, 3 training
    int language = 0; ///< material language 0..5
    ORVA_Proband client;
    QString comment; ///< lines separated by CR LF
    QList<RunFileMeasurement> measurements;
    RunFileSummary total; ///< average, percentRight and percentNone of the whole run
    QList<RunFileSummary> syllables; ///< one per syllable presented, in the statistics' order
};

} // namespace orva
