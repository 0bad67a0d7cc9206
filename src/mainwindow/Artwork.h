// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

namespace orva {

/// The program's bitmaps by resource number, drawn from the vector sources built into it.
namespace Artwork {

constexpr int kIcon = 107;
constexpr int kLogo = 136;
constexpr int kSoundSetup = 145;
constexpr int kSplash = 146;

/// The natural size of bitmap `id` (the logo is 250 × 64, the splash 600 × 400).
QSize naturalSize(int id);
/// Bitmap `id` drawn at `size` (the natural size when empty); a null image for unknown ids.
QImage render(int id, QSize size = QSize());

} // namespace Artwork

} // namespace orva
