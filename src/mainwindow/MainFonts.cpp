// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainFonts.h"

#include <QFontMetrics>

namespace orva {

MainFonts MainFonts::forScreen(const QFont &base, int dpi)
{
    MainFonts fonts;
    fonts.normal = base;
    fonts.normal.setPixelSize(10 * dpi / 72);
    const int pixels = fonts.normal.pixelSize();
    fonts.large = fonts.normal;
    fonts.large.setPixelSize(3 * pixels);
    fonts.large.setWeight(QFont::Black);
    fonts.medium = fonts.normal;
    fonts.medium.setPixelSize(pixels * 3 / 2);
    fonts.medium.setWeight(QFont::Black);
    return fonts;
}

LayoutFontMetrics MainFonts::metrics() const
{
    const QFontMetrics normalMetrics(normal);
    const QFontMetrics largeMetrics(large);
    LayoutFontMetrics metrics;
    metrics.charWidth = normalMetrics.averageCharWidth();
    metrics.charHeight = normalMetrics.height();
    metrics.largeHeight = largeMetrics.height();
    metrics.largeWidth = largeMetrics.averageCharWidth();
    metrics.mediumHeight = QFontMetrics(medium).height();
    return metrics;
}

} // namespace orva
