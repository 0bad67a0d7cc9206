// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReportStatistics.h"

#include <QDateTime>

#include <optional>

namespace orva {

namespace {

QDate localDay(qint64 start, const QTimeZone &zone)
{
    return QDateTime::fromSecsSinceEpoch(start, zone).date();
}

/// Counts entries, time, syllables and the days on which the calendar day changed from the
/// previous entry of the same kind.
struct DayCounter
{
    ReportStatistics::Totals totals;
    std::optional<QDate> previous;

    void add(const UserLogEntry &entry, const QTimeZone &zone)
    {
        ++totals.entries;
        totals.seconds += entry.duration;
        totals.syllables += entry.presented;
        const QDate day = localDay(entry.start, zone);
        if (!previous || *previous != day)
            ++totals.days;
        previous = day;
    }
};

} // namespace

ReportStatistics ReportStatistics::compute(const QList<UserLogEntry> &entries,
                                           const QTimeZone &zone)
{
    ReportStatistics s;
    if (entries.isEmpty())
        return s;
    s.period = QStringLiteral("%1 - %2").arg(dateText(entries.first().start, zone),
                                             dateText(entries.last().start, zone));
    DayCounter all;
    DayCounter training;
    DayCounter test;
    for (const UserLogEntry &entry : entries) {
        all.add(entry, zone);
        (entry.type == 1 ? training : test).add(entry, zone);
    }
    s.all = all.totals;
    s.training = training.totals;
    s.test = test.totals;
    if (s.all.days > 0) {
        s.averageSecondsPerDay = s.all.seconds / s.all.days;
        s.averageSyllablesPerDay = s.all.syllables / s.all.days;
    }
    return s;
}

QString ReportStatistics::durationText(qint64 seconds)
{
    return QStringLiteral("%1 h %2 min %3 sec")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60)
        .arg(seconds % 60);
}

QString ReportStatistics::shortDurationText(qint64 seconds)
{
    return QStringLiteral("%1 h %2 m %3 s")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60)
        .arg(seconds % 60);
}

QString ReportStatistics::dateText(qint64 start, const QTimeZone &zone)
{
    const QDate day = localDay(start, zone);
    return QStringLiteral("%1.%2.%3")
        .arg(day.day(), 2, 10, QLatin1Char('0'))
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.year());
}

} // namespace orva
