// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GraphicPaintDC.h"

#include <functional>

namespace orva {

/// A display panel of the main window: a self-painting area whose content one painter draws.
class PanelDC final : public GraphicPaintDC
{
public:
    using Painter = std::function<void(DrawingSurface &)>;

    PanelDC(Palette &palette, Painter painter)
        : GraphicPaintDC(palette)
        , m_painter(std::move(painter))
    { }
    void paint(DrawingSurface &surface) override
    {
        if (m_painter)
            m_painter(surface);
    }

private:
    Painter m_painter;
};

} // namespace orva
