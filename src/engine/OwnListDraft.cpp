// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/OwnListDraft.h"

#include <QRect>

#include <algorithm>

namespace orva {

namespace {

// Floor division, so that points left of or above the first cell do not land in it.
int cellIndex(int offset, int size)
{
    if (size <= 0)
        return -1;
    return offset < 0 ? -1 - (-offset - 1) / size : offset / size;
}

} // namespace

QRect OwnListDraft::Cells::cell(int column, int row) const
{
    return QRect(offsetX + column * width, offsetY + row * height, width + 1, height + 1);
}

OwnListDraft::OwnListDraft(int stockSize)
    : m_stockSize(std::max(0, stockSize))
{ }

void OwnListDraft::reset()
{
    m_gridSelection = 0;
    m_listPosition = 0;
    m_syllables.clear();
}

OwnListDraft::Cells OwnListDraft::gridCells(QSize client) const
{
    Cells cells;
    cells.width = client.width() / kGridColumns;
    cells.height = client.height() / gridRows();
    cells.offsetX = (client.width() - kGridColumns * cells.width) / 2;
    cells.offsetY = (client.height() - gridRows() * cells.height) / 2;
    return cells;
}

OwnListDraft::Cells OwnListDraft::listCells(QSize client)
{
    Cells cells;
    cells.width = client.width() / kMaxSyllables;
    cells.height = client.height() - 3;
    cells.offsetX = (client.width() - kMaxSyllables * cells.width) / 2;
    cells.offsetY = (client.height() - cells.height) / 2;
    return cells;
}

bool OwnListDraft::clickGrid(QPoint point, QSize client)
{
    const Cells cells = gridCells(client);
    const int column = cellIndex(point.x() - cells.offsetX, cells.width);
    const int row = cellIndex(point.y() - cells.offsetY, cells.height);
    // A point beside the last column must not reach into the next row.
    if (column < 0 || column >= kGridColumns || row < 0)
        return false;
    const int candidate = row * kGridColumns + column;
    if (candidate >= m_stockSize)
        return false;
    m_gridSelection = candidate;
    return true;
}

bool OwnListDraft::clickList(QPoint point, QSize client)
{
    const Cells cells = listCells(client);
    const int candidate = cellIndex(point.x() - cells.offsetX, cells.width);
    if (candidate < 0 || candidate > m_syllables.size())
        return false;
    m_listPosition = candidate;
    return true;
}

void OwnListDraft::takeOver()
{
    if (m_listPosition >= kMaxSyllables || m_gridSelection >= m_stockSize)
        return;
    if (m_listPosition < m_syllables.size()) {
        m_syllables[m_listPosition] = m_gridSelection;
    } else {
        m_syllables.append(m_gridSelection);
        m_listPosition = int(m_syllables.size());
    }
}

int OwnListDraft::nameProblem(const QString &name)
{
    const QString read = name.left(kNameCharsRead);
    if (read.isEmpty())
        return kNoNameText;
    if (std::any_of(read.begin(), read.end(), [](QChar c) { return c.isSpace(); }))
        return kNameWithSpaceText;
    if (read.size() > kMaxNameChars)
        return kNameTooLongText;
    return 0;
}

SyllableList
OwnListDraft::list(const QString &name, const QStringList &stockNames, int language) const
{
    SyllableList list;
    list.label = name.left(kNameCharsRead);
    list.own = true;
    list.active = true;
    list.language = language;
    for (int index : m_syllables)
        list.entries.append({ stockNames.value(index), -1 });
    return list;
}

} // namespace orva
