// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace orva {

/// The report list of the dialogs: a list of rows with columns, one row selectable at a time.
/// Dialogs fill and read it through these few calls only. UI thread only.
class QS_ListControl : public QTreeWidget
{
    Q_OBJECT

public:
    explicit QS_ListControl(QWidget *parent = nullptr);

    /// Replaces the columns; `widths` in pixels, one per title (missing ones are left to Qt).
    void setColumns(const QStringList &titles, const QList<int> &widths = {});
    /// Appends a row and returns its index.
    int addRow(const QStringList &cells);
    /// Replaces every row by `rows`, in one go.
    void setRows(const QList<QStringList> &rows);
    void removeAllRows() { clear(); }
    int rowCount() const { return topLevelItemCount(); }
    QString cell(int row, int column) const;
    /// The selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);
};

} // namespace orva
