// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Palette.h"

#include <QPalette>

namespace orva {

namespace {

constexpr int kMagentaBlock = 64;
constexpr int kRedBlock = 96;
constexpr int kOrangeBlock = 128;
constexpr int kYellowBlock = 160;
constexpr int kGreenBlock = 192;
constexpr int kCyanBlock = 224;
constexpr int kBlueBlock = 256;

int shade(int firstSlot, double x)
{
    return firstSlot + static_cast<int>((1.0 - qBound(0.0, x, 1.0)) * 31);
}

// The desktop's colours in the order of the classic system colour indices.
QColor systemColor(const QPalette &palette, int index)
{
    using R = QPalette::ColorRole;
    const QPalette::ColorGroup inactive = QPalette::Inactive;
    switch (index) {
    case 0: // scroll bar
        return palette.color(R::Mid);
    case 1: // desktop
        return palette.color(R::Dark);
    case 2: // active caption
    case 27:
        return palette.color(R::Highlight);
    case 3: // inactive caption
    case 28:
        return palette.color(inactive, R::Highlight);
    case 4: // menu
    case 30:
        return palette.color(R::Window);
    case 5: // window
        return palette.color(R::Base);
    case 6: // window frame
        return palette.color(R::Shadow);
    case 7: // menu text
    case 18: // button text
        return palette.color(R::ButtonText);
    case 8: // window text
        return palette.color(R::Text);
    case 9: // caption text
    case 14: // highlight text
        return palette.color(R::HighlightedText);
    case 10: // borders
    case 11:
        return palette.color(R::Button);
    case 12: // application workspace
        return palette.color(R::Mid);
    case 13: // highlight
    case 29:
        return palette.color(R::Highlight);
    case 15: // button face
        return palette.color(R::Button);
    case 16: // button shadow
        return palette.color(R::Dark);
    case 17: // grey text
        return palette.color(QPalette::Disabled, R::Text);
    case 19: // inactive caption text
        return palette.color(inactive, R::HighlightedText);
    case 20: // button highlight
        return palette.color(R::Light);
    case 21: // dark 3-D shadow
        return palette.color(R::Shadow);
    case 22: // 3-D light
        return palette.color(R::Midlight);
    case 23: // tool-tip text
        return palette.color(R::ToolTipText);
    case 24: // tool-tip background
        return palette.color(R::ToolTipBase);
    case 26: // hot light
        return palette.color(R::Link);
    default:
        return palette.color(R::Window);
    }
}

} // namespace

Palette::Palette(const QPalette &system)
{
    for (int i = 0; i < 64; ++i) {
        const int v = 255 - 4 * i;
        m_colors[i] = QColor(v, v, v);
    }
    for (int i = 0; i < 32; ++i) {
        const int v = 255 - 4 * i;
        m_colors[kMagentaBlock + i] = QColor(v, 0, v);
        m_colors[kRedBlock + i] = QColor(v, 0, 0);
        m_colors[kOrangeBlock + i] = QColor(v, v / 2, 0);
        m_colors[kYellowBlock + i] = QColor(v, v, 0);
        m_colors[kGreenBlock + i] = QColor(0, v, 0);
        m_colors[kCyanBlock + i] = QColor(0, v, v);
        m_colors[kBlueBlock + i] = QColor(0, 0, v);
    }
    for (int i = 0; i < kSystemColors; ++i)
        m_colors[kFirstSystemColor + i] = systemColor(system, i);
    // Remaining slots keep the platform's order of older desktops: unused, black.
    for (int i = kFirstSystemColor + kSystemColors; i < kSlots; ++i)
        m_colors[i] = QColor(0, 0, 0);
    m_defaultFont.setStyleHint(QFont::SansSerif);
    m_defaultFont.setFamily(QStringLiteral("Sans Serif"));
    m_defaultFont.setPixelSize(16);
}

QColor Palette::color(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return m_colors[kNearBlack];
    return m_colors[slot];
}

const QPen &Palette::pen(int slot, int width)
{
    width = qBound(0, width, kMaxPenWidth);
    const auto key = std::make_pair(slot, width);
    auto found = m_pens.find(key);
    if (found == m_pens.end()) {
        QPen pen(color(slot), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        found = m_pens.emplace(key, pen).first;
    }
    return found->second;
}

int Palette::grey(double x)
{
    return kNearBlack - static_cast<int>(63 * qBound(0.0, x, 1.0));
}

int Palette::red(double x)
{
    return shade(kRedBlock, x);
}

int Palette::green(double x)
{
    return shade(kGreenBlock, x);
}

int Palette::blue(double x)
{
    return shade(kBlueBlock, x);
}

int Palette::yellow(double x)
{
    return shade(kYellowBlock, x);
}

} // namespace orva
