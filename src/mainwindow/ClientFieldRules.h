// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Date.h"

#include <QString>

namespace orva {

/// Name fields take letters, blanks, "-" and "_"; every other typed character is dropped.
bool isNameCharacter(QChar c);

/// The text of a masked date field and its caret after an edit.
struct MaskedText
{
    QString text;
    int caret = 0;
};

/// The birthday field's own editing: digits fill the mask and jump over its separators,
/// Backspace turns the digit before the caret into "_". `language` is the user-interface language.
class BirthdayMask
{
public:
    explicit BirthdayMask(int language);

    const QString &mask() const { return m_mask; }
    QChar separator() const { return m_separator; }

    /// A digit typed with the selection [start, end): the selection first returns to the mask.
    MaskedText typeDigit(const QString &text, int start, int end, QChar digit) const;
    MaskedText backspace(const QString &text, int start, int end) const;
    /// The Delete key: the selection returns to the mask, the caret goes to its end.
    MaskedText deleteSelection(const QString &text, int start, int end) const;

    /// The field's text for `date`: formatted when valid, the mask otherwise.
    QString textFor(const ORVA_Date &date) const;
    /// The date a field text stands for; unfilled parts read as 0 (an invalid date).
    ORVA_Date read(const QString &text) const;

private:
    QString restoreSelection(const QString &text, int start, int end) const;

    int m_language = 0;
    QString m_mask;
    QChar m_separator;
};

} // namespace orva
