// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/ORVA_Wave.h"

#include <QString>

namespace orva {

/// One recorded syllable of a stock: the recording as read (played in tests), a play copy that
/// training rebuilds before every run and may mix with noise, and the syllable's name.
class ORVA_Syllable
{
public:
    ORVA_Syllable() = default;
    explicit ORVA_Syllable(QString name)
        : name(std::move(name))
    { }
    virtual ~ORVA_Syllable() = default;

    ORVA_Wave recording;
    ORVA_Wave playCopy;
    QString name;
    bool used = false; ///< bookkeeping of the random draw from all syllables
};

} // namespace orva
