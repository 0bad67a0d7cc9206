// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/SyllableList.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace orva {

/// The operator's new own list while it is put together: the grid of the training stock, the
/// row of at most six slots, taking a syllable over and the name rules. Painting and clicks share
/// the cell geometry computed here from the panels' client sizes. UI thread only.
class OwnListDraft
{
public:
    static constexpr int kGridColumns = 10;
    static constexpr int kMaxSyllables = 6;
    /// Characters of the name edit that are read; longer names are cut to this.
    static constexpr int kNameCharsRead = 9;
    static constexpr int kMaxNameChars = 5;

    /// Resource strings of the name messages.
    static constexpr int kNoNameText = 296;
    static constexpr int kNameTooLongText = 307;
    static constexpr int kNameWithSpaceText = 916;

    /// Cells of a panel in pixels: cell i of row r starts at (offsetX + i·width, offsetY +
    /// r·height).
    struct Cells
    {
        int width = 0;
        int height = 0;
        int offsetX = 0;
        int offsetY = 0;
        /// The cell's rectangle, one pixel wider and higher so that neighbours share their edge.
        QRect cell(int column, int row) const;
    };

    /// `stockSize` is the number of syllables of the training stock.
    explicit OwnListDraft(int stockSize);

    /// Back to an empty list, the first syllable and the first slot.
    void reset();
    int stockSize() const { return m_stockSize; }
    int gridRows() const { return m_stockSize / kGridColumns + 1; }
    Cells gridCells(QSize client) const;
    static Cells listCells(QSize client);

    /// A click at `point` of the grid panel of `client` size; outside every syllable it changes
    /// nothing. Returns whether a syllable was hit.
    bool clickGrid(QPoint point, QSize client);
    /// A click in the list panel: the slots up to the empty one after the last syllable.
    bool clickList(QPoint point, QSize client);
    /// The selected syllable into the highlighted slot: replaces a filled slot, appends on the
    /// empty one; nothing once six are entered and the seventh slot is highlighted.
    void takeOver();

    int gridSelection() const { return m_gridSelection; }
    int listPosition() const { return m_listPosition; }
    /// Stock indices of the list's syllables, in order.
    const QList<int> &syllables() const { return m_syllables; }

    /// 0 when `name` (cut to kNameCharsRead characters) may name an own list, else the resource
    /// string saying why: empty, with white space (the list file holds the name as one word),
    /// longer than kMaxNameChars.
    static int nameProblem(const QString &name);
    /// The list to add: its label, the stock's names of its syllables, own, active, no id yet.
    SyllableList list(const QString &name, const QStringList &stockNames, int language) const;

private:
    int m_stockSize = 0;
    int m_gridSelection = 0;
    int m_listPosition = 0;
    QList<int> m_syllables;
};

} // namespace orva
