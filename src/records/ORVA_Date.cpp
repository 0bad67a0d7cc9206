// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ORVA_Date.h"

#include <QDateTime>

#include <limits>

namespace orva {

int leadingInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return static_cast<int>(negative ? -value : value);
}

void ORVA_Date::setNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    day = now.date().day();
    month = now.date().month();
    year = now.date().year();
    hour = now.time().hour();
    minute = now.time().minute();
}

bool ORVA_Date::isValid() const
{
    return day >= 1 && day <= 31 && month >= 1 && month <= 12 && year > 1900 && year < 2100;
}

void ORVA_Date::parse(QStringView text, Order order)
{
    if (text.size() < 10)
        return;
    QString digits = text.left(16).toString();
    digits.replace(QLatin1Char('_'), QLatin1Char('0'));
    const QStringView view(digits);
    const int first = leadingInt(view.mid(0, 2));
    const int second = leadingInt(view.mid(3, 2));
    day = order == Order::DayFirst ? first : second;
    month = order == Order::DayFirst ? second : first;
    year = leadingInt(view.mid(6, 4));
    if (view.size() >= 16) {
        hour = leadingInt(view.mid(11, 2));
        minute = leadingInt(view.mid(14, 2));
    }
}

QString ORVA_Date::displayText(int language) const
{
    if (!isValid())
        return placeholderText(language);
    switch (language) {
    case 0:
    case 4:
    case 5:
        return QString::asprintf("%02d.%02d.%04d", day, month, year);
    case 1:
        return QString::asprintf("%02d/%02d/%04d", month, day, year);
    default:
        return QString::asprintf("%02d/%02d/%04d", day, month, year);
    }
}

QString ORVA_Date::placeholderText(int language)
{
    switch (language) {
    case 0:
    case 5:
        return QStringLiteral("tt.mm.jjjj");
    case 1:
        return QStringLiteral("mm/dd/yyyy");
    case 4:
        return QStringLiteral("jj.mm.aaaa");
    default:
        return QStringLiteral("dd/mm/yyyy");
    }
}

QString ORVA_Date::separator(int language)
{
    return (language == 0 || language == 4 || language == 5) ? QStringLiteral(".")
                                                             : QStringLiteral("/");
}

QString ORVA_Date::timeText() const
{
    return QString::asprintf("%02d:%02dh", hour, minute);
}

bool ORVA_Date::operator==(const ORVA_Date &other) const
{
    return day == other.day && month == other.month && year == other.year;
}

bool ORVA_Date::operator>(const ORVA_Date &other) const
{
    if (year != other.year)
        return year > other.year;
    if (month != other.month)
        return month > other.month;
    if (day != other.day)
        return day > other.day;
    if (hour != other.hour)
        return hour > other.hour;
    return minute > other.minute;
}

} // namespace orva
