// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainWindowLayout.h"

#include <algorithm>

namespace orva {

MainWindowLayout
MainWindowLayout::calculate(int width, int height, const LayoutFontMetrics &metrics)
{
    MainWindowLayout l;
    const int cw = metrics.charWidth;
    const int ch = metrics.charHeight;
    const int M = kMargin;
    const int V = kMargin;
    const int x0 = 3 * M;
    const int x1 = width - 3 * M;
    const int y0 = V;
    const int y1 = height - V;

    const int bw = 16 * cw;
    const int bh = 2 * ch;
    const int rh = ch + 6;
    const int sw = rh + 2;
    const int lw = 23 * cw;
    const int yc = y0 + rh + V;
    const int bx = std::max({ 8 * cw, metrics.largeHeight + 6, 2 * metrics.largeWidth + 6 });
    l.leftEdge = x0;
    l.rightEdge = x1;
    l.rowHeight = rh;
    l.labelWidth = lw;
    l.buttonWidth = bw;
    l.buttonHeight = bh;
    l.sliderWidth = sw;
    l.boxWidth = bx;
    l.textHeight = ch;

    // Top row; each caption is centred in the label zone left of its field.
    l.lastName = QRect(x0 + lw, y0, 24 * cw, rh);
    l.firstName = QRect(l.lastName.x() + 24 * cw + lw + M, y0, 20 * cw, rh);
    l.birthday = QRect(l.firstName.x() + 20 * cw + lw + M, y0, 16 * cw, rh);
    l.runDate = QRect(l.birthday.x() + 16 * cw + lw + M, y0, 16 * cw, rh);
    l.lastNameCaption = QRect(l.lastName.x() - lw, y0, lw, rh);
    l.firstNameCaption = QRect(l.firstName.x() - lw, y0, lw, rh);
    l.birthdayCaption = QRect(l.birthday.x() - lw, y0, lw, rh);
    l.runDateCaption = QRect(l.runDate.x() - lw, y0, lw, rh);

    const int tw = 8 * cw + 2;
    const int aw = 8 * cw;
    const int he = 7 * ch;
    const int hM = metrics.mediumHeight;

    const int n = std::max(0, (x1 - x0 - tw - tw - aw - sw - 2 * M - 20) / 61);
    l.barWidth = n;

    const int yk = y1 - kCommentHeight - rh - V;
    const int ye = yk - he - ch - 2;
    const int ys = ye - hM - V;
    const int yq = ys - ch - V;
    const int hc = yq - yc;

    l.answerTimeBar = QRect(x0, yc, tw, hc);
    l.axis = QRect(x0 + tw, yc, aw, hc);
    l.chart = QRect(x0 + tw + aw, yc, 61 * n, hc);
    l.reportScrollBar = QRect(l.chart.x() + 61 * n, yc, kScrollBarWidth, hc);
    l.countStrip = QRect(l.chart.x(), yq, 61 * n, ch);
    l.slider = QRect(x1 - sw, yc - 10, sw, hc + 20);
    l.levelMeter = QRect(l.slider.x() - tw - M, yc, tw, hc);

    l.evaluation = QRect(x0, ye, x1 - x0, he);
    l.wrongButton = QRect(x1 - bw, ye, bw, bh);
    l.rejectButton = QRect(x1 - bw, ye + bh + V, bw, bh);
    l.abortButton = QRect(x1 - bw, ye + 2 * (bh + V), bw, bh);
    const int syllablesX = x0 + bx + M;
    l.currentSyllables = QRect(syllablesX, ye, l.abortButton.x() - M - syllablesX, he);
    const int k = he - 2 * V - ch;
    l.currentSyllable = QRect(x0 + (x1 - x0) / 2 - k, ye + V + ch, 2 * k, k);
    l.currentSyllableCaption = QPoint(l.currentSyllable.x(), l.currentSyllable.y() - ch);
    l.remainingSyllables = QRect(x0, l.currentSyllable.y(), bx, rh);
    l.remainingCaption = QPoint(x0, l.remainingSyllables.y() - ch);
    l.reactionTimeCaption = QPoint(x0, l.remainingSyllables.y() + rh + V);
    l.reactionTime = QRect(x0, l.reactionTimeCaption.y() + ch, bx, rh);
    l.statusLine = QRect(x0, ys, x1 - x0, hM);

    const int rowX = x0 + (x1 - x0 - (4 * bw + 3 * M)) / 2;
    l.showTestsButton = QRect(rowX, ye, bw, bh);
    l.showSyllablesButton = QRect(rowX + (bw + M), ye, bw, bh);
    l.printButton = QRect(rowX + 2 * (bw + M), ye, bw, bh);
    l.reportAbortButton = QRect(rowX + 3 * (bw + M), ye, bw, bh);

    l.comment = QRect(x0, yk, x1 - x0 - kLogoWidth - M, kCommentHeight);
    l.commentCaption = QPoint(x0, yk - ch);
    l.logo = QRect(l.comment.x() + l.comment.width() + M, yk, kLogoWidth, kLogoHeight);
    l.trainingSettings = QRect(x0, yk + kCommentHeight + V, x1 - x0, rh);
    return l;
}

} // namespace orva
