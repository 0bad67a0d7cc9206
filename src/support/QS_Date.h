// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

/// A date and time read from a cell text of a list view, so that date columns sort by date.
/// A plain value; any thread.
class QS_Date
{
public:
    QS_Date() = default;
    QS_Date(int day, int month, int year, int hour = 0, int minute = 0, int second = 0)
        : day(day)
        , month(month)
        , year(year)
        , hour(hour)
        , minute(minute)
        , second(second)
    { }

    /// The current local date and time.
    static QS_Date now();

    /// Sets the value from `text`: format 0 (and every other index but 1 and 6) "dd.mm.yyyy",
    /// 1 "mm.dd.yyyy", 6 "yyyy.mm.dd", the separators not checked, then " hh:mm" and ":ss" when the
    /// text is long enough. "_" counts as "0". Texts shorter than 10 characters give the defaults.
    void parse(QStringView text, int format = 0);
    /// Day 1..31, month 1..12, year 1901..2999.
    bool isValid() const;
    /// Whether `text` parses into a valid value.
    static bool isDateText(QStringView text, int format = 0);
    /// -1 when `a` is earlier, 1 when later, 0 when equal, to the second.
    static int compare(const QS_Date &a, const QS_Date &b);

    int day = 0;
    int month = 0;
    int year = 1990;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

} // namespace orva
