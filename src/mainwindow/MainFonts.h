// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/MainWindowLayout.h"

#include <QFont>

namespace orva {

/// The three fonts of the main window: the normal one of the fields and captions (10 points),
/// and the large and medium black ones of the syllable panels.
struct MainFonts
{
    /// The fonts from `base` for a screen of `dpi` dots per inch.
    static MainFonts forScreen(const QFont &base, int dpi);
    /// What the layout needs of them.
    LayoutFontMetrics metrics() const;

    QFont normal;
    QFont large;
    QFont medium;
};

} // namespace orva
