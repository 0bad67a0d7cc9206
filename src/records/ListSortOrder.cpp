// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ListSortOrder.h"

#include "support/QS_Date.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace orva {

namespace {

bool isHexText(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
    });
}

bool readNumber(const QString &text, double &value)
{
    QStringView digits(text);
    if (digits.endsWith(u'%'))
        digits.chop(1);
    if (digits.isEmpty())
        return false;
    bool ok = false;
    value = digits.toDouble(&ok);
    return ok && std::isfinite(value);
}

// Hexadecimal numbers of any length: without leading zeros the longer is the larger, and equal
// lengths compare digit by digit.
int compareHex(const QString &a, const QString &b)
{
    QStringView left(a);
    QStringView right(b);
    while (left.size() > 1 && left.front() == u'0')
        left = left.mid(1);
    while (right.size() > 1 && right.front() == u'0')
        right = right.mid(1);
    if (left.size() != right.size())
        return left.size() < right.size() ? -1 : 1;
    const int order = left.compare(right, Qt::CaseInsensitive);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int sign(double difference)
{
    return difference < 0 ? -1 : difference > 0 ? 1 : 0;
}

} // namespace

int ListSortOrder::dateFormatOf(int uiLanguage)
{
    return uiLanguage == 1 ? 1 : 0; // en_us shows the month first
}

ListSortOrder::Kind ListSortOrder::kindOf(const QStringList &cells, int dateFormat)
{
    bool hex = true;
    bool number = true;
    bool date = true;
    for (const QString &cell : cells) {
        if (cell.isEmpty())
            continue;
        double value = 0;
        hex = hex && isHexText(cell);
        number = number && readNumber(cell, value);
        date = date && QS_Date::isDateText(cell, dateFormat);
        if (!hex && !number && !date)
            break;
    }
    if (hex)
        return Kind::Hex;
    if (number)
        return Kind::Number;
    return date ? Kind::Date : Kind::Text;
}

int ListSortOrder::compare(const QString &a, const QString &b, Kind kind, int dateFormat)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() == b.isEmpty() ? 0 : (a.isEmpty() ? -1 : 1);
    switch (kind) {
    case Kind::Hex:
        if (isHexText(a) && isHexText(b))
            return compareHex(a, b);
        break;
    case Kind::Number: {
        double left = 0;
        double right = 0;
        if (readNumber(a, left) && readNumber(b, right))
            return sign(left - right);
        break;
    }
    case Kind::Date: {
        QS_Date left;
        QS_Date right;
        left.parse(a, dateFormat);
        right.parse(b, dateFormat);
        if (left.isValid() && right.isValid())
            return QS_Date::compare(left, right);
        break;
    }
    case Kind::Text:
        break;
    }
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

QList<int> ListSortOrder::sorted(const QStringList &cells, bool ascending, int dateFormat)
{
    return sorted(cells, QStringList(), ascending, dateFormat);
}

QList<int> ListSortOrder::sorted(const QStringList &first,
                                 const QStringList &second,
                                 bool ascending,
                                 int dateFormat)
{
    QList<int> order(first.size());
    std::iota(order.begin(), order.end(), 0);
    const Kind firstKind = kindOf(first, dateFormat);
    const bool bySecond = second.size() == first.size();
    const Kind secondKind = bySecond ? kindOf(second, dateFormat) : Kind::Text;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        int result = compare(first[a], first[b], firstKind, dateFormat);
        if (result == 0 && bySecond)
            result = compare(second[a], second[b], secondKind, dateFormat);
        return ascending ? result < 0 : result > 0;
    });
    return order;
}

} // namespace orva
