// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/QS_Date.h"

#include <QDateTime>

namespace orva {

namespace {

// The decimal digits of `text` up to the first other character; none gives 0.
int digitsAt(QStringView text, qsizetype from, qsizetype length)
{
    int value = 0;
    for (qsizetype i = from; i < from + length && i < text.size(); ++i) {
        const char16_t c = text[i] == u'_' ? u'0' : text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

QS_Date QS_Date::now()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QS_Date(now.date().day(), now.date().month(), now.date().year(), now.time().hour(),
                   now.time().minute(), now.time().second());
}

void QS_Date::parse(QStringView text, int format)
{
    *this = QS_Date();
    if (text.size() < 10)
        return;
    switch (format) {
    case 1:
        month = digitsAt(text, 0, 2);
        day = digitsAt(text, 3, 2);
        year = digitsAt(text, 6, 4);
        break;
    case 6:
        year = digitsAt(text, 0, 4);
        month = digitsAt(text, 5, 2);
        day = digitsAt(text, 8, 2);
        break;
    default:
        day = digitsAt(text, 0, 2);
        month = digitsAt(text, 3, 2);
        year = digitsAt(text, 6, 4);
        break;
    }
    if (text.size() >= 16) {
        hour = digitsAt(text, 11, 2);
        minute = digitsAt(text, 14, 2);
    }
    if (text.size() >= 19)
        second = digitsAt(text, 17, 2);
}

bool QS_Date::isValid() const
{
    return day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 1901 && year <= 2999;
}

bool QS_Date::isDateText(QStringView text, int format)
{
    QS_Date date;
    date.parse(text, format);
    return date.isValid();
}

int QS_Date::compare(const QS_Date &a, const QS_Date &b)
{
    const int left[] = { a.year, a.month, a.day, a.hour, a.minute, a.second };
    const int right[] = { b.year, b.month, b.day, b.hour, b.minute, b.second };
    for (int i = 0; i < 6; ++i) {
        if (left[i] != right[i])
            return left[i] < right[i] ? -1 : 1;
    }
    return 0;
}

} // namespace orva
