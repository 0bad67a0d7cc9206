// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

/// A calendar date with hour and minute, as used for birthdays and run dates. A plain value.
class ORVA_Date
{
public:
    enum class Order { DayFirst = 0, MonthFirst = 1 };

    ORVA_Date() = default;
    ORVA_Date(int day, int month, int year, int hour = 0, int minute = 0)
        : day(day)
        , month(month)
        , year(year)
        , hour(hour)
        , minute(minute)
    { }
    virtual ~ORVA_Date() = default;
    ORVA_Date(const ORVA_Date &) = default;
    ORVA_Date &operator=(const ORVA_Date &) = default;

    /// Day, month, year, hour and minute of the current local time.
    void setNow();
    /// 1 <= day <= 31, 1 <= month <= 12, 1900 < year < 2100; the days of a month are not checked.
    bool isValid() const;

    /// Reads "dd.mm.yyyy[ hh:mm]" (any separators; "_" counts as "0"). Texts shorter than 10
    /// characters leave the date unchanged; only the first 16 characters carry information.
    void parse(QStringView text, Order order = Order::DayFirst);

    /// The date as shown in user-interface language `language`, or the placeholder when invalid.
    QString displayText(int language) const;
    static QString placeholderText(int language);
    static QString separator(int language);
    /// "hh:mmh".
    QString timeText() const;

    /// Same day, month and year; the time of day is ignored.
    bool operator==(const ORVA_Date &other) const;
    bool operator!=(const ORVA_Date &other) const { return !(*this == other); }
    /// Year, month, day, hour, minute: the first difference decides.
    bool operator>(const ORVA_Date &other) const;
    /// Not equal and not greater, so it ignores the time of day as equality does.
    bool operator<(const ORVA_Date &other) const { return !(*this == other) && !(*this > other); }
    bool operator<=(const ORVA_Date &other) const { return !(*this > other); }
    bool operator>=(const ORVA_Date &other) const { return !(*this < other); }

    int day = 0;
    int month = 0;
    int year = 1990;
    int hour = 0;
    int minute = 0;
};

/// Reads a decimal integer the way the file formats do: an optional sign, digits up to the first
/// non-digit; nothing readable gives 0. Values beyond 32 bits saturate.
int leadingInt(QStringView text);

} // namespace orva
