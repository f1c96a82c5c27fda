// SPDX-License-Identifier: AGPL-3.0-or-later
#include "engine/RiseSet.h"

#include <cmath>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "engine/LowPrecision.h"

namespace orb {
namespace {

bool IsMoon(int32_t kind) { return kind == 0 || kind == 1; }
bool IsTwilight(int32_t kind) { return kind >= 3; }

// Threshold altitude (degrees) of an event kind: the Sun's upper limb with
// refraction (-50'), the Moon's centre with parallax, semi-diameter and
// refraction (+8'), twilight depths.
Extended ThresholdAltitude_deg(int32_t kind) {
  if (IsMoon(kind)) return 0.13333333333333333334L;
  if (kind == 3) return -12;
  if (kind >= 4) return 90 - kind;
  return -0.8333333333333333333L;
}

// The altitude function of the search: sine of the altitude at MJD (UT)
// minus the sine of the threshold.
struct AltitudeFunction {
  bool moon;
  Extended sinLat, cosLat, sinH0, lonWest_deg;

  Extended operator()(Extended mjd) const {
    const Extended t = (mjd - 51544.5L) / 36525;
    Extended ra_h = 0, dec_deg = 0;
    if (moon) {
      MiniMoon(t, ra_h, dec_deg);
    } else {
      MiniSun(t, ra_h, dec_deg);
    }
    const Extended tau_rad = DegToRad(15 * (LocalMeanSiderealTime(lonWest_deg, mjd) - ra_h));
    const Extended dec_rad = DegToRad(dec_deg);
    return sinLat * std::sin(dec_rad) + cosLat * std::cos(dec_rad) * std::cos(tau_rad) - sinH0;
  }
};

}  // namespace

std::string EventTime(Extended hours) {
  const long long minutes = std::llround(hours * 60);
  return IntStr(minutes / 60, 2) + "h" + TwoDigits(minutes % 60) + "m";
}

RiseSetResult RiseSet(int32_t kind, Extended lat_deg, Extended lonWest_deg, float zone_h, Extended jd) {
  const bool withTransit = !IsTwilight(kind);
  // The local calendar day and its midnight in UT (as MJD). The floor keeps
  // days before MJD 0 (1858) right.
  const Extended mjd = jd - kMJDOffset;
  const Extended zoneDays = static_cast<Extended>(zone_h) / 24;
  const Extended day = std::floor(mjd + zoneDays + 0.00001L);
  const Extended midnight = day - zoneDays;

  const Extended lat_rad = DegToRad(lat_deg);
  const AltitudeFunction s{IsMoon(kind), std::sin(lat_rad), std::cos(lat_rad),
                           std::sin(DegToRad(ThresholdAltitude_deg(kind))), lonWest_deg};
  const auto at = [&](Extended hour) { return s(midnight + hour / 24); };

  Extended rise = -1, transit = -1, set = -1;
  bool riseFound = false, transitFound = false, setFound = false;
  Extended yMinus = at(0);
  for (int t = 1; t < 25; t += 2) {
    const Extended y0 = at(t);
    const Extended yPlus = at(t + 1);
    const Interpolation3 q = Interpolate3(yMinus, y0, yPlus);
    // Upper transit: a maximum (the parabola opens downwards) above the
    // threshold; a minimum above it is the lower transit of a circumpolar
    // body and no culmination.
    const bool maximum = (yPlus + yMinus) / 2 - y0 < 0;
    if (withTransit && maximum && q.ye > 0 && q.xe >= -1.05L && q.xe <= 1.05L && t + q.xe < 24) {
      transit = t + q.xe;
      transitFound = true;
    }
    if (q.count == 1) {
      if (yMinus < 0) {
        rise = t + q.z1;
        riseFound = true;
      } else {
        set = t + q.z1;
        setFound = true;
      }
    } else if (q.count == 2) {
      if (q.ye < 0) {
        rise = t + q.z2;
        set = t + q.z1;
      } else {
        rise = t + q.z1;
        set = t + q.z2;
      }
      riseFound = setFound = true;
    }
    yMinus = yPlus;
    if (riseFound && setFound && (transitFound || !withTransit)) break;
  }

  RiseSetResult result;
  result.rise_h = static_cast<float>(rise);
  result.transit_h = static_cast<float>(transit);
  result.set_h = static_cast<float>(set);
  result.text = riseFound ? EventTime(rise) : " -----";
  if (withTransit) result.text += transitFound ? " " + EventTime(transit) : "  -----";
  result.text += setFound ? " " + EventTime(set) : "  -----";
  return result;
}

}  // namespace orb
