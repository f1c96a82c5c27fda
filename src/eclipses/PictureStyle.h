// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// What the lunar and the local solar eclipse pictures share in their look:
// the sky, the pen, the north arrow's head, the scale bar.

#include "graphics/Canvas.h"

namespace orb::picture {

// The sky behind the discs (red 90, green 90, blue 255).
inline constexpr Color kSkyColor = RGBColor(90, 90, 255);
// Pen of the discs and lines (mm).
inline constexpr float kPenWidthMm = 0.15f;
// Head of the north arrow (mm).
inline constexpr float kNorthHeadLenMm = 3, kNorthHeadWidthMm = 2;
// Ticks at the ends of the scale bar (mm), and the height of its text in
// units of the bar's label height.
inline constexpr float kTickMm = 3;
inline constexpr float kScaleBarTextHeights = 2.5f;

}  // namespace orb::picture
