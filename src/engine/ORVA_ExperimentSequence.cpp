// SPDX-License-Identifier: GPL-3.0-or-later
// Filling the sequence of a prepared run with stock indices.
#include "engine/ORVA_Experiment.h"

#include <QList>

namespace orva {

void ORVA_Experiment::fillShuffled(const SyllableList &list)
{
    const int n = static_cast<int>(list.entries.size());
    const int count = measurementCount();
    if (n == 0)
        return;
    int last = 0;
    int i = 0;
    QList<bool> drawn(n);
    while (i < count) {
        drawn.fill(false);
        for (int k = 0; k < n && i < count;) {
            const int d = m_random.randInt(n);
            if (n != 1 && (drawn[d] || d == last))
                continue;
            drawn[d] = true;
            last = d;
            m_measurements[i++].stockIndex = list.entries[d].stockIndex;
            ++k;
        }
    }
}

void ORVA_Experiment::fillOrdered(const SyllableList &list)
{
    const int n = static_cast<int>(list.entries.size());
    if (n == 0)
        return;
    int j = 0;
    for (Measurement &measurement : m_measurements) {
        measurement.stockIndex = list.entries[j].stockIndex;
        j = j < n - 1 ? j + 1 : 0;
    }
}

int ORVA_Experiment::drawUnused(int last)
{
    std::vector<ORVA_Syllable> &stock = currentStock();
    const int n = static_cast<int>(stock.size());
    // With one syllable left to draw and that one just drawn, the draw could never end.
    const bool lastIsOnlyChoice =
        m_usedCount >= n - 1 && last >= 0 && last < n && !stock[last].used;
    for (;;) {
        const int b = m_random.randInt(n);
        if (stock[b].used || (b == last && !lastIsOnlyChoice))
            continue;
        return b;
    }
}

void ORVA_Experiment::fillRandomWithoutRepetition()
{
    std::vector<ORVA_Syllable> &stock = currentStock();
    const int n = static_cast<int>(stock.size());
    const int count = measurementCount();
    if (n == 0)
        return;
    int last = 0;
    int i = 0;
    while (i < count) {
        while (m_usedCount < n && i < count) {
            const int b = drawUnused(last);
            stock[b].used = true;
            last = b;
            m_measurements[i++].stockIndex = b;
            ++m_usedCount;
        }
        if (m_usedCount >= n) {
            m_usedCount = 0;
            for (ORVA_Syllable &syllable : stock)
                syllable.used = false;
        }
    }
}

void ORVA_Experiment::fillRandomWithRepetition()
{
    std::vector<ORVA_Syllable> &stock = currentStock();
    const int n = static_cast<int>(stock.size());
    if (n == 0)
        return;
    constexpr int kDrawn = 6;
    SyllableList drawn;
    while (drawn.entries.size() < kDrawn) {
        while (m_usedCount < n && drawn.entries.size() < kDrawn) {
            const int b = drawUnused(m_lastDrawn);
            stock[b].used = true;
            m_lastDrawn = b;
            drawn.entries.append({ QString(), b });
            ++m_usedCount;
        }
        if (m_usedCount >= n) {
            m_usedCount = 0;
            for (ORVA_Syllable &syllable : stock)
                syllable.used = false;
        }
    }
    m_trainSyllableList.addList(drawn);
    fillShuffled(m_trainSyllableList.at(m_trainSyllableList.size() - 1));
    m_trainSyllableList.removeLast();
}

} // namespace orva
