// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The picture of a lunar eclipse: the Earth's penumbra and umbra, the Moon
// at each contact and at mid-eclipse on its straight path with the clock
// times, the ecliptic, a 1-degree scale bar, a north arrow and the report's
// header and rise-set lines (on a printer the contact lines below).
//
// World coordinates are angular offsets from the centre of the Earth's
// shadow in radians, in equatorial orientation as the sky is seen: the
// first coordinate westward (to the right), the second northward (up).

#include <string>
#include <vector>

#include "eclipses/LunarEclipse.h"
#include "graphics/PictureSetup.h"

namespace orb {

// The paint procedure. Reads only the record and the report lines, so it
// can repaint, zoom, print or save at any time. `reportLines` are
// LunarEclipseSearch::ReportLines(): the title, the header line, the
// rise-set line and the contact lines.
//
// Draws, in this order: the background (colour 16734810, only when the
// drawing fills its background); the Moon's disc (white) at each instant
// of the eclipse - P1, middle, P4 for a penumbral eclipse, P1, U1, middle,
// U4, P4 for a partial one, and P1, U1, U2, middle, U3, U4, P4 for a total
// one; the penumbra (RGB 255, 180, 180) and the umbra (RGB 220, 90, 90);
// marks 2 mm inside and outside the penumbra circle at the top, right and
// left; the Moon's path from P1 - 0.02 day to P4 + 0.02 day; the Moon
// outlines again; the clock time (hours and minutes, the record's zone) of
// each instant in Arial 4.25 mm, centred on the Moon's place with its
// bottom there - a label that would overlap the previous one is moved one
// text height beyond it in the direction of the Moon's northward motion
// (downward when the Moon moves south); the ecliptic, dotted, from -2 to
// +2 degrees; the 1-degree scale bar with 3 mm ticks 2.5 text heights
// above the bottom edge with "1°" above it; the north arrow (0.5 degree,
// head 3 x 2 mm) 0.1 degree right of the left edge with "N" above it; the
// record's header line and rise-set line in Courier New, two and one text
// heights above the bottom edge; on a printer only, the contact lines, one
// per text height from the bottom edge of the picture down.
void LunarEclipsePicture(tGDIext& g, const Finsternistyp& eclipse, const std::vector<std::string>& reportLines);

// The picture with its world window: -0.037 .. 0.037 horizontally and
// c - 0.03145 .. c + 0.03145 vertically (radians), where c is 0, or
// +-0.2 degree toward the Moon when its place at mid-eclipse lies more than
// 0.8 degree north or south of the shadow centre; size 170 x 144.5 mm;
// caption "Orbitello32 - " + the first report line (the title). The paint
// procedure keeps copies of the record and the lines.
PictureSetup LunarEclipsePictureSetup(const Finsternistyp& eclipse, const std::vector<std::string>& reportLines);

}  // namespace orb
