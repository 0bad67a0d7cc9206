// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QPen>

#include <array>
#include <map>

class QPalette;

namespace orva {

/// The colours of all custom painting: 338 slots, painted by index, never by RGB value.
/// Built once at start-up from the desktop's palette; UI thread only.
class Palette
{
public:
    static constexpr int kSlots = 338;
    static constexpr int kFirstSystemColor = 288;
    static constexpr int kSystemColors = 31;

    // Named slots
    static constexpr int kWhite = 0;
    static constexpr int kNearBlack = 63;
    static constexpr int kDesktop = kFirstSystemColor + 1;
    static constexpr int kMenu = kFirstSystemColor + 4;
    static constexpr int kWindow = kFirstSystemColor + 5; ///< default background
    static constexpr int kWindowText = kFirstSystemColor + 8; ///< default text colour
    static constexpr int kAppWorkspace = kFirstSystemColor + 12;
    static constexpr int kHighlight = kFirstSystemColor + 13;
    static constexpr int kHighlightText = kFirstSystemColor + 14;
    static constexpr int kButtonFace = kFirstSystemColor + 15;
    static constexpr int kLight3D = kFirstSystemColor + 22;
    static constexpr int kToolTipText = kFirstSystemColor + 23;
    static constexpr int kToolTipBackground = kFirstSystemColor + 24;
    /// Pens are at most this wide.
    static constexpr int kMaxPenWidth = 999;

    /// The fixed blocks and the system colours taken from `system` in the desktop's order.
    explicit Palette(const QPalette &system);

    /// The colour of `slot`; slots out of range give near-black.
    QColor color(int slot) const;
    /// A solid pen of `slot`, cached per slot and width; widths of 1000 or more give 999.
    const QPen &pen(int slot, int width);
    const QFont &defaultFont() const { return m_defaultFont; }

    /// 1 gives white, 0 near-black (x is clamped to 0..1).
    static int grey(double x);
    /// 1 gives the brightest shade of the block.
    static int red(double x);
    static int green(double x);
    static int blue(double x);
    static int yellow(double x);

private:
    std::array<QColor, kSlots> m_colors;
    std::map<std::pair<int, int>, QPen> m_pens;
    QFont m_defaultFont;
};

} // namespace orva
