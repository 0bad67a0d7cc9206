// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace orva {

/// The picture of the wizard's step 1: a sound card's back plate with its 15-pin port and three
/// jacks, the green headphone socket and the red microphone socket labelled. Drawn with a
/// painter at any size, so it stays sharp at every scale; the labels are the caller's texts in
/// the user-interface language.
namespace SoundCardPicture {

/// The picture's own size, whose aspect every placement keeps.
constexpr QSize kNaturalSize(1606, 527);

/// The jacks' centres in the picture's own coordinates.
constexpr QPoint kHeadphoneJack(1090, 300);
constexpr QPoint kMicrophoneJack(1290, 300);

/// Draws the picture into `target` (the picture's aspect is the caller's concern) with the two
/// labels at their sockets; a label too long for the picture is drawn smaller.
void paint(QPainter &painter,
           const QRectF &target,
           const QString &headphoneLabel,
           const QString &microphoneLabel);

/// A text line's height in pixels: 8 points at `dotsPerInchY`, rounded.
int lineHeight(int dotsPerInchY);
/// How many text lines high the picture may be in user-interface language `language`: the
/// French and Polish step texts are longer and leave less room.
int heightInLines(int language);
/// Where the picture goes in the dialog: at most 50 pixels narrower than the step text
/// `textRect` and `heightInLines` lines high, scaled without distortion, centred in a dialog
/// `dialogWidth` pixels wide, its top 7.5 lines below the top of the text.
QRect placement(const QRect &textRect, int dialogWidth, int lineHeight, int language);

} // namespace SoundCardPicture

} // namespace orva
