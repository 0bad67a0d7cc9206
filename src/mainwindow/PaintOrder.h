// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

namespace orva {

class ORVA_Experiment;

/// Where each syllable of a run stands in the current-syllables panel.
struct PaintOrder
{
    QList<int> columns; ///< one column per measurement
    int groupSize = 6;
};

/// `getPaintOrder`: the sequence in blocks of N distinct syllables, each block's syllables in
/// alphabetical order (in order of appearance for a list played in order).
PaintOrder getPaintOrder(const ORVA_Experiment &experiment);

} // namespace orva
