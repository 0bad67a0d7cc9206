// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SyllableList.h"

namespace orva {

QString SyllableList::displayText() const
{
    QString text = own ? QStringLiteral("{ %1 }").arg(label) : QStringLiteral("[ %1 ]").arg(label);
    for (const Entry &entry : entries)
        text = QStringLiteral("%1 %2").arg(text, entry.name);
    return text;
}

void SyllableListSet::addList(SyllableList list)
{
    int &counter = list.own ? m_nextOwnId : m_nextBuiltInId;
    if (list.id == -1)
        list.id = counter++;
    else if (list.id >= counter)
        counter = list.id + 1;
    m_lists.append(std::move(list));
}

void SyllableListSet::clear()
{
    m_lists.clear();
    m_nextBuiltInId = 0;
    m_nextOwnId = kFirstOwnId;
}

int SyllableListSet::positionOf(int id) const
{
    for (int i = 0; i < size(); ++i) {
        if (m_lists[i].id == id)
            return i;
    }
    return -1;
}

const SyllableList *SyllableListSet::byId(int id) const
{
    const int position = positionOf(id);
    return position < 0 ? nullptr : &m_lists[position];
}

bool SyllableListSet::deactivateOwn(int id)
{
    const int position = positionOf(id);
    if (position < 0 || !m_lists[position].own)
        return false;
    m_lists[position].active = false;
    return true;
}

int SyllableListSet::sizeOf(int id) const
{
    const SyllableList *list = byId(id);
    return list ? static_cast<int>(list->entries.size()) : 0;
}

} // namespace orva
