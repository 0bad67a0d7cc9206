// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace orva {

/// A list of syllables offered for a run: a built-in group or an operator's own list.
struct SyllableList
{
    struct Entry
    {
        QString name;
        int stockIndex = -1; ///< -1 until resolved against a stock
    };

    QList<Entry> entries;
    QString label;
    int id = -1; ///< -1 until the list is added to a set
    bool active = true; ///< false once the operator deleted an own list
    bool own = false;
    int language = 0;

    /// "[ A1 ] ba da ga ka pa ta" for a built-in list, "{ label } …" for an own one.
    QString displayText() const;
};

/// The training or the test lists of the current language, with the id counters: built-in lists
/// get ids from 0, own lists from 100.
class SyllableListSet
{
public:
    static constexpr int kFirstOwnId = 100;

    /// Assigns an id to a list without one, or moves the counter past the list's id.
    void addList(SyllableList list);
    /// Empties the set and sets both counters back.
    void clear();
    /// Keeps `id` from being given to a new own list (a list of the file that is not offered).
    void reserveOwnId(int id) { m_nextOwnId = qMax(m_nextOwnId, id + 1); }

    int size() const { return static_cast<int>(m_lists.size()); }
    const SyllableList &at(int position) const { return m_lists[position]; }
    /// Position of the list with `id`, or -1.
    int positionOf(int id) const;
    const SyllableList *byId(int id) const;
    /// Number of syllables of the list with `id`, or 0.
    int sizeOf(int id) const;
    const QList<SyllableList> &lists() const { return m_lists; }
    /// Clears the active flag of the own list with `id`; false when there is no such own list.
    bool deactivateOwn(int id);
    /// Removes the last list (a temporary list of a random draw); the id counters stay.
    void removeLast() { m_lists.removeLast(); }

private:
    QList<SyllableList> m_lists;
    int m_nextBuiltInId = 0;
    int m_nextOwnId = kFirstOwnId;
};

} // namespace orva
