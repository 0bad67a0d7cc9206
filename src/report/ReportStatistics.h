// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/UserLog.h"

#include <QList>
#include <QString>
#include <QTimeZone>

namespace orva {

/// The figures at the top of the training report, computed from a user log's entries in list
/// order. Calendar days are those of `zone` (the desktop's time zone in the program).
struct ReportStatistics
{
    /// Entries, durations, presented syllables and practice days of one kind of entry.
    struct Totals
    {
        int entries = 0;
        qint64 seconds = 0;
        qint64 syllables = 0;
        int days = 0;
    };

    static ReportStatistics compute(const QList<UserLogEntry> &entries, const QTimeZone &zone);
    /// "%d h %d min %d sec"; the hours keep every whole hour, a day or more included.
    static QString durationText(qint64 seconds);
    /// "%d h %d m %d s", the same figures as durationText in the runs table's short form.
    static QString shortDurationText(qint64 seconds);
    /// "%02d.%02d.%d": day, month and year of `start` (seconds since 1970, UTC) in `zone`.
    static QString dateText(qint64 start, const QTimeZone &zone);

    QString period; ///< first and last entry's start dates, "%s - %s"; empty without entries
    Totals all;
    Totals training;
    Totals test;
    qint64 averageSecondsPerDay = 0; ///< 0 without practice days
    qint64 averageSyllablesPerDay = 0;
};

} // namespace orva
