// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Rise, upper transit and set of the Sun and the Moon and the beginning and
// end of twilight for the local calendar day that contains an instant
// (Montenbruck & Pfleger's search: hourly altitudes of the mini Sun and mini
// Moon, three-point quadratic interpolation of the crossings).

#include <cstdint>
#include <string>

#include "core/NumKernel.h"

namespace orb {

// Kinds of event: -1 or 2 the Sun (h0 = -50'), 0 or 1 the Moon (h0 = +8'),
// 3 twilight at -12 degrees, 4 and more twilight at 90 - kind degrees.
enum RiseSetKind : int32_t {
  kRiseSetSun = -1,        // rise, transit and set of the Sun's upper limb with refraction
  kRiseSetMoon = 0,        // the Moon's, with its parallax and semi-diameter
  kNauticalTwilight = 3,   // begin and end of twilight at -12 degrees
  kTwilightDepthBase = 90, // 90 + depth (depth > -87 degrees): twilight at -depth degrees
};
// The kind of twilight for the Sun `depth_deg` below the horizon, rounded to
// a whole degree.
int32_t TwilightKind(float depth_deg);

struct RiseSetResult {
  std::string text;  // rise, blank, transit, blank, set (twilight: begin, end)
  float rise_h = -1;     // local zone hours of the day, -1 when it does not happen
  float transit_h = -1;  // (Sun and Moon only)
  float set_h = -1;
};
RiseSetResult RiseSet(int32_t kind, Extended lat_deg, Extended lonWest_deg, float zone_h, Extended jd);

// A time of day as the event texts show it: hours in two characters, "h",
// two-digit minutes, "m" (rounded to the whole minute; 23.9999 h is 24h00m).
std::string EventTime(Extended hours);

}  // namespace orb
