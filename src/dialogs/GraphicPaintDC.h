// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GraphicDC.h"

namespace orva {

class Palette;

/// A window area that paints itself: on every paint of its window the area's paint() draws
/// into the back buffer, which is then copied to the window.
class GraphicPaintDC : public GraphicDC
{
public:
    /// `palette` must outlive the area.
    explicit GraphicPaintDC(Palette &palette)
        : m_palette(palette)
    { }

    /// One paint cycle on `target`, the window's painter (called by the window).
    void paintWindow(QPainter &target);

protected:
    QWidget *makeWindow(QWidget *parent) override;

private:
    Palette &m_palette;
};

} // namespace orva
