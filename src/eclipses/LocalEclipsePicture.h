// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The picture of a solar eclipse seen from the observer's place: the Sun,
// the Moon at first contact, greatest eclipse and last contact, its path,
// the contact times, a 1-degree scale bar, a north arrow and the report's
// lines below.
//
// World coordinates are in units of the Sun's apparent radius, the Sun's
// centre at the origin, north up and east to the left, as the sky is seen.

#include <cstdint>
#include <string>
#include <vector>

#include "eclipses/LocalEclipse.h"
#include "graphics/PictureSetup.h"

namespace orb {

// The values of the picture, computed once when it is opened.
struct LocalPictureValues {
  float G = 0;              // Moon radius in Sun radii (the diameter ratio at greatest eclipse)
  float sunRadius_deg = 0;  // the Sun's angular radius: arcsin(695500 km / distance), degrees
  float magnitude = 0;      // fraction of the Sun's diameter covered (central: diameter ratio)
  SolarPhaseCode type = kNoEclipse;  // 1 partial, 4 annular, 5 total
  float c1x = 0, c1y = 0;   // Moon centre at first contact
  float c4x = 0, c4y = 0;   // at last contact
  float mx = 0, my = 0;     // at greatest eclipse
  float p2 = 0, p3 = 0;     // position angles of contacts 2 and 3 (radians; central eclipses only)
  // Clock times ("hh:mm:ss" in the report's zone, as the contact rows show
  // them) of contacts 1 to 4 (2 and 3 empty for a partial eclipse) and of
  // greatest eclipse.
  std::string contactTime[4];
  std::string maxTime;
  // The first line under the picture: weekday, date, time and zone of
  // greatest eclipse, the magnitude in percent and the Saros line.
  std::string maxLine;
};

// The values for a reported eclipse (LocalEclipseReport::Last() and
// ReportLines()) with the date style and TDT flag of `s`.
// The Moon's centre at a contact with position angle P lies on the circle
// of radius 1 + G (outer contacts) or 1 - G (inner contacts):
// (-sin P, cos P) times that radius. At greatest eclipse of a partial
// eclipse it lies 1 + G - 2 * magnitude from the Sun's centre in the
// direction of the midpoint of the outer contacts (the foot of the
// perpendicular on a straight path); when the magnitude exceeds 0.9 and
// that midpoint lies on the other side of the Sun than the Moon passes
// (eclipse.moonNorth), the side of the Moon wins, and so it does when the
// two contacts lie exactly opposite each other. For a central eclipse M is
// the midpoint of the Moon's centres at contacts 2 and 3.
LocalPictureValues LocalPictureValuesOf(const TSettings& s, const LocalEclipse& eclipse,
                                        const std::vector<std::string>& reportLines);

// The paint procedure. Draws, in this order: the background (colour
// 16734810, only when the drawing fills its background); the Sun's disc
// (white); the Moon's discs (Gray 180) at M, C1 and C4; the outlines of the
// Moon at C1 and M and of the Sun again; a cross at the Sun's centre; the
// Moon's path C1 - M - C4 dash-dotted; for a partial eclipse the time of
// greatest eclipse at M, for a central one arrows (head 2 x 1.8 mm) from
// 0.8 Sun radii out to the limb at the position angles of contacts 2 and 3
// with their times at the inner ends; the times of contacts 1 and 4 at C1
// and C4; the 1-degree scale bar (1/alpha Sun radii, 3 mm ticks) 2.5 text
// heights above the bottom edge with "1°"; the north arrow (0.7 Sun radii,
// head 3 x 2 mm) 0.1 right of the left edge with "N"; then, starting 1.85
// line heights above the bottom edge, in Courier New, the maxLine (4.5 mm)
// and the report lines 2 to the last (4 mm: the sunrise line, the table
// head and the contact rows), which run on below the picture.
void LocalEclipsePicture(tGDIext& g, const LocalPictureValues& v, const std::vector<std::string>& reportLines);

// The picture with its world window: right edge max(2, C1x + G + 0.2), left
// edge min(-2, C4x - G - 0.2), top max(0, C1y, C4y) + G + 0.2, bottom
// min(0, C1y, C4y) - G - 0.2, the smaller extent then widened about the
// origin until height / width = 0.85; size 170 x 144.5 mm (the same
// proportion); caption "Orbitello32 - " + the first report line (the
// title), or "Orbitello32 - Sonnenfinsternis" without lines. The paint
// procedure keeps copies of the values and the lines.
PictureSetup LocalEclipsePictureSetup(const LocalPictureValues& v, const std::vector<std::string>& reportLines);

}  // namespace orb
