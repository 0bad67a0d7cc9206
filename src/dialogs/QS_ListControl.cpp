// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/QS_ListControl.h"

#include <QHeaderView>

namespace orva {

QS_ListControl::QS_ListControl(QWidget *parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
}

void QS_ListControl::setColumns(const QStringList &titles, const QList<int> &widths)
{
    setColumnCount(int(titles.size()));
    setHeaderLabels(titles);
    for (int column = 0; column < widths.size() && column < titles.size(); ++column)
        setColumnWidth(column, widths[column]);
}

int QS_ListControl::addRow(const QStringList &cells)
{
    addTopLevelItem(new QTreeWidgetItem(cells)); // the list owns its items
    return rowCount() - 1;
}

void QS_ListControl::setRows(const QList<QStringList> &rows)
{
    clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const QStringList &cells : rows)
        items.append(new QTreeWidgetItem(cells)); // the list owns its items
    addTopLevelItems(items);
}

QString QS_ListControl::cell(int row, int column) const
{
    const QTreeWidgetItem *item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

int QS_ListControl::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void QS_ListControl::selectRow(int row)
{
    clearSelection();
    if (QTreeWidgetItem *item = topLevelItem(row)) {
        item->setSelected(true);
        setCurrentItem(item);
    }
}

} // namespace orva
