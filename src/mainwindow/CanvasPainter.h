// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>

#include <functional>

class QPainter;

namespace orva {

class Palette;
class StringTable;
struct MainWindowLayout;
struct PanelState;

/// What the main window paints itself, between its child windows: the captions of the fields
/// and panels, the chart's axis and its count strip. `visible` says whether the child with an
/// id is shown (a hidden panel has no caption).
void paintCanvas(QPainter &painter,
                 const QRect &canvas,
                 Palette &palette,
                 const QFont &font,
                 const MainWindowLayout &layout,
                 const StringTable &strings,
                 const PanelState &state,
                 const std::function<bool(int id)> &visible);

} // namespace orva
