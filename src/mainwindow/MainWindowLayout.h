// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>

namespace orva {

/// Text metrics the layout is computed from, in pixels.
struct LayoutFontMetrics
{
    int charWidth = 8; ///< average character width of the normal font (cw)
    int charHeight = 16; ///< character height of the normal font (ch)
    int largeHeight = 48; ///< of the large font (hL)
    int largeWidth = 24; ///< average character width of the large font (wL)
    int mediumHeight = 24; ///< of the medium font (hM)
};

/// Where every child window of the main window goes for a client area of a given size.
/// Pure arithmetic: it stores rectangles and moves nothing.
struct MainWindowLayout
{
    static constexpr int kMargin = 10; ///< horizontal and vertical margin
    static constexpr int kLogoWidth = 256;
    static constexpr int kLogoHeight = 70;
    static constexpr int kCommentHeight = 70;
    static constexpr int kScrollBarWidth = 20;
    static constexpr int kMinimumWidth = 790;
    static constexpr int kMinimumHeight = 550;

    /// `calcSizesAndPositions` for a client area `width` × `height`.
    static MainWindowLayout calculate(int width, int height, const LayoutFontMetrics &metrics);

    // Layout values
    int leftEdge = 0;
    int rightEdge = 0;
    int rowHeight = 0;
    int labelWidth = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int sliderWidth = 0;
    int boxWidth = 0;
    int barWidth = 0; ///< the chart has 61 columns of this width
    int textHeight = 0;

    // Top row: the fields and their caption zones directly left of them
    QRect lastName, lastNameCaption;
    QRect firstName, firstNameCaption;
    QRect birthday, birthdayCaption;
    QRect runDate, runDateCaption;

    // Middle band
    QRect answerTimeBar;
    QRect axis;
    QRect chart;
    QRect reportScrollBar;
    QRect countStrip;
    QRect slider;
    QRect levelMeter;

    // Evaluation band
    QRect evaluation;
    QRect wrongButton, rejectButton, abortButton;
    QRect currentSyllables;
    QRect currentSyllable;
    QPoint currentSyllableCaption;
    QRect remainingSyllables;
    QPoint remainingCaption;
    QRect reactionTime;
    QPoint reactionTimeCaption;
    QRect statusLine;

    // The button row of the report view
    QRect showTestsButton, showSyllablesButton, printButton, reportAbortButton;

    // Bottom band
    QRect comment;
    QPoint commentCaption;
    QRect logo;
    QRect trainingSettings;
};

} // namespace orva
