// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/CanvasPainter.h"

#include "mainwindow/ChildWindows.h"
#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/PanelPainters.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

namespace orva {

void paintCanvas(QPainter &painter,
                 const QRect &canvas,
                 Palette &palette,
                 const QFont &font,
                 const MainWindowLayout &l,
                 const StringTable &strings,
                 const PanelState &state,
                 const std::function<bool(int id)> &visible)
{
    DrawingSurface surface(palette);
    surface.begin(&painter, canvas);
    surface.setFont(&font);
    surface.fillRect(Palette::kButtonFace, false, false, canvas);
    surface.setTextColor(Palette::kNearBlack);
    const auto label = [&](int text) { return strings.text(text) + QLatin1Char(':'); };
    surface.drawText(l.firstNameCaption, true, true, label(Text::kFirstNameCaption));
    surface.drawText(l.lastNameCaption, true, true, label(Text::kLastNameCaption));
    surface.drawText(l.birthdayCaption, true, true, label(Text::kBirthdayCaption));
    surface.drawText(l.runDateCaption, true, true, label(Text::kRunDateCaption));
    const std::tuple<int, QPoint, int> captions[] = {
        { kCurrentSyllableId, l.currentSyllableCaption, Text::kCurrentSyllableCaption },
        { kRemainingId, l.remainingCaption, Text::kRemainingCaption },
        { kReactionTimeId, l.reactionTimeCaption, Text::kTimeCaption },
    };
    for (const auto &[id, at, text] : captions) {
        if (visible(id))
            surface.textOut(at.x(), at.y(), label(text));
    }
    surface.textOut(l.commentCaption.x(), l.commentCaption.y(), label(Text::kCommentCaption));
    DrawingSurface axis(palette);
    axis.derive(surface, l.axis.left(), l.axis.top(), l.axis.right(), l.axis.bottom());
    PanelPainters::paintAxis(axis, state);
    axis.end();
    DrawingSurface strip(palette);
    strip.derive(surface, l.countStrip.left(), l.countStrip.top() - 1, l.countStrip.right(),
                 l.countStrip.bottom() + 1);
    PanelPainters::paintCountStrip(strip, state, l.barWidth);
    strip.end();
    surface.end();
}

} // namespace orva
