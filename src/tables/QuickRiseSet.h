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
  // The column text (20 characters): the rise (6), a blank and the
  // culmination, a blank and the set; "  --- " for a rise or set that does
  // not happen. Laid out like the rise/set search's text, so that the
  // column separators fall after the rise (6) and the culmination (13).
  std::string text;
  float rise_h = -1;  // zone hours of the day; -1 when the object does not rise or set
  float set_h = -1;
  float culmination_h = 0;
};

// The column text of a body without a place (a rise, culmination and set
// that cannot be computed): "  --- " "   ---  " "  --- ".
inline constexpr const char* kNoRiseSetText = "  ---    ---    --- ";

// For the place (latitude and longitude east in degrees), the zone (hours),
// the right ascension and declination of the date (radians) and the row's
// instant jd (UT).
QuickRiseSetResult QuickRiseSet(Extended lat_deg, Extended lonEast_deg, float zone_h, Extended ra_rad,
                                Extended dec_rad, Extended jd);

}  // namespace orb
