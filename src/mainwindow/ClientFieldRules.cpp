// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ClientFieldRules.h"

namespace orva {

bool isNameCharacter(QChar c)
{
    return c.isLetter() || c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('_');
}

BirthdayMask::BirthdayMask(int language)
    : m_language(language)
    , m_mask(ORVA_Date::placeholderText(language))
    , m_separator(ORVA_Date::separator(language).at(0))
{ }

QString BirthdayMask::restoreSelection(const QString &text, int start, int end) const
{
    QString result = text;
    const int from = qBound(0, qMin(start, end), int(result.size()));
    const int to = qBound(0, qMax(start, end), int(result.size()));
    for (int i = from; i < to && i < m_mask.size(); ++i)
        result[i] = m_mask[i];
    return result;
}

MaskedText BirthdayMask::typeDigit(const QString &text, int start, int end, QChar digit) const
{
    MaskedText result { restoreSelection(text, start, end), qMin(start, end) };
    const int s = result.caret;
    if (s < 0 || s >= result.text.size())
        return result;
    if (result.text[s] == m_separator) {
        if (s + 1 < result.text.size()) {
            result.text[s + 1] = digit;
            result.caret = s + 2;
        }
    } else {
        result.text[s] = digit;
        result.caret = s + 1;
    }
    return result;
}

MaskedText BirthdayMask::backspace(const QString &text, int start, int end) const
{
    MaskedText result { restoreSelection(text, start, end), qMin(start, end) };
    const int s = result.caret;
    if (s <= 0 || s > result.text.size())
        return result;
    if (result.text[s - 1] != m_separator) {
        result.text[s - 1] = QLatin1Char('_');
        result.caret = s - 1;
    } else if (s >= 2) {
        result.text[s - 2] = QLatin1Char('_');
        result.caret = s - 2;
    }
    return result;
}

MaskedText BirthdayMask::deleteSelection(const QString &text, int start, int end) const
{
    return { restoreSelection(text, start, end), qMax(start, end) };
}

QString BirthdayMask::textFor(const ORVA_Date &date) const
{
    return date.displayText(m_language);
}

ORVA_Date BirthdayMask::read(const QString &text) const
{
    ORVA_Date date(0, 0, 0);
    if (text.size() < 10)
        return date;
    date.parse(text, m_language == 1 ? ORVA_Date::Order::MonthFirst : ORVA_Date::Order::DayFirst);
    return date;
}

} // namespace orva
