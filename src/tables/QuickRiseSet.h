// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Quick rise, culmination and set of planets, small bodies and fixed
// points from the single position of a table row: the upper transit from
// the sidereal time, the semi-diurnal arc for the true horizon (altitude 0,
// no refraction, no semi-diameter). No iteration.

#include <string>

#include "core/NumKernel.h"

namespace orb {

struct QuickRiseSetResult {
  // The three pieces of the column: rise (6 characters), culmination with a
  // blank on either side (8), set (6); "  --- " and "   ---  " where an
  // event does not happen.
  std::string rise, culmination, set;
  float rise_h = -1;  // zone hours of the day; -1 when the object does not rise or set
  float set_h = -1;
  float culmination_h = 0;
};

// For the place (latitude and longitude east in degrees), the zone (hours),
// the right ascension and declination of the date (radians) and the row's
// instant jd (UT).
QuickRiseSetResult QuickRiseSet(Extended lat_deg, Extended lonEast_deg, float zone_h, Extended ra_rad,
                                Extended dec_rad, Extended jd);

}  // namespace orb
