// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>

namespace orva {

/// The order of the rows of a report list sorted by one column. The kind of a column is decided
/// once from all its cells, so that every pair of rows is compared by the same rule and the
/// order is a true order: hexadecimal when every non-empty cell is made of hexadecimal digits,
/// else a number (optionally followed by one "%"), else a date, else text ignoring case. Empty
/// cells come before all others. Rows that compare equal keep their order. Any thread.
class ListSortOrder
{
public:
    enum class Kind { Hex, Number, Date, Text };

    /// The date format of QS_Date that the interface language `uiLanguage` shows dates in.
    static int dateFormatOf(int uiLanguage);
    /// The kind of a column with `cells`; dates are read in `dateFormat`.
    static Kind kindOf(const QStringList &cells, int dateFormat);
    /// -1, 0 or 1 as `a` comes before, with or after `b` in a column of `kind`.
    static int compare(const QString &a, const QString &b, Kind kind, int dateFormat);
    /// The row indices in their sorted order (a permutation of 0 … size − 1).
    static QList<int> sorted(const QStringList &cells, bool ascending, int dateFormat);
    /// Sorted by `first`, rows equal there by `second` (the same length as `first`).
    static QList<int>
    sorted(const QStringList &first, const QStringList &second, bool ascending, int dateFormat);
};

} // namespace orva
