// SPDX-License-Identifier: AGPL-3.0-or-later
#include "tables/QuickRiseSet.h"

#include <cmath>

#include "core/TimeScales.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

constexpr Extended kSiderealDay_h = 23.93447L;  // hours per sidereal day
constexpr Extended kSiderealDay_d = kSiderealDay_h / 24;
constexpr Extended kHourAngleRate_degPerH = 15.04107L;

// Brought into [0, 24).
Extended Hours24(Extended h) {
  Extended r = std::fmod(h + 24, 24.0L);
  if (r < 0) r += 24;
  return r;
}

// Zone time (hours) of the upper transit on the zone day of jd, from the
// local sidereal time theta and the right ascension (both in hours). The
// hour angle's sidereal hours become solar time at 23.93447/24, and the
// transits of neighbouring days lie one sidereal day apart.
Extended CulminationOnTheDay(Extended jd, float zone_h, Extended theta_h, Extended ra_h) {
  const Extended dayStart = ZoneMidnight(jd, zone_h);
  Extended hoursToTransit = std::remainder(ra_h - theta_h, 24.0L);  // the nearest transit, (-12, 12]
  Extended transit = jd + hoursToTransit * kSiderealDay_d / 24;
  while (transit < dayStart) transit += kSiderealDay_d;
  while (transit >= dayStart + 1) transit -= kSiderealDay_d;
  return (transit - dayStart) * 24;
}

}  // namespace

QuickRiseSetResult QuickRiseSet(Extended lat_deg, Extended lonEast_deg, float zone_h, Extended ra_rad,
                                Extended dec_rad, Extended jd) {
  const Extended theta_h = LocalSiderealTime(lonEast_deg, jd);
  const Extended ra_h = DegreesOf(ra_rad) / 15;
  const Extended culmination = CulminationOnTheDay(jd, zone_h, theta_h, ra_h);
  // Semi-diurnal arc; an object with |dec| > 90 - |lat| never rises or never
  // sets. (The latitude's magnitude: for the southern hemisphere 90 - lat
  // exceeds 90 and the arc sine's argument would leave [-1, 1].)
  const Extended dec_deg = dec_rad * 180 / kPi;
  Extended arc_h = 0;
  const Extended tanColat = std::tan((90 - lat_deg) * kPi / 180);
  if (90 - std::fabs(lat_deg) >= std::fabs(dec_deg) && tanColat != 0) {
    const Extended x = std::tan(dec_rad) / tanColat;
    arc_h = (ArcSinG(std::fmax(-1.0L, std::fmin(1.0L, x))) * 180 / kPi + 90) / kHourAngleRate_degPerH;
  }

  QuickRiseSetResult r;
  r.culmination_h = static_cast<float>(Hours24(culmination));
  const std::string culminationText = " " + ShortTimeText(Hours24(culmination)) + " ";
  if (arc_h == 0) {
    r.text = "  --- " + culminationText + "  --- ";
    return r;
  }
  const Extended rise = Hours24(culmination - arc_h);
  const Extended set = Hours24(culmination + arc_h);
  r.rise_h = static_cast<float>(rise);
  r.set_h = static_cast<float>(set);
  r.text = ShortTimeText(rise) + culminationText + ShortTimeText(set);
  return r;
}

}  // namespace orb
