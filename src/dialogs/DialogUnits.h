// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QFont;

namespace orva {

/// Converts dialog units to pixels for one dialog font, as the templates assume: a horizontal
/// unit is a quarter of the font's average character width, a vertical unit an eighth of its
/// height, so a dialog grows with its font and with the screen's scale. A plain value.
class DialogUnits
{
public:
    /// base x = (advance of "A…Za…z" + 26) / 52, base y = the font's height, in pixels.
    static DialogUnits fromFont(const QFont &font);
    /// The bases themselves, for a font measured elsewhere. Both at least 1.
    DialogUnits(int baseX, int baseY);

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }
    /// x · base x / 4 and y · base y / 8, rounded to the nearest pixel (halves away from 0).
    int toPixelsX(int x) const;
    int toPixelsY(int y) const;
    QRect toPixels(const QRect &rect) const;
    QSize toPixels(const QSize &size) const;

private:
    int m_baseX = 1;
    int m_baseY = 1;
};

} // namespace orva
