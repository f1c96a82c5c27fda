// SPDX-License-Identifier: AGPL-3.0-or-later
#include "engine/RiseSet.h"

#include <cmath>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "engine/LowPrecision.h"

namespace orb {
namespace {

bool IsMoon(int32_t kind) { return kind == kRiseSetMoon || kind == kRiseSetMoon + 1; }
bool IsTwilight(int32_t kind) { return kind >= kNauticalTwilight; }

// Threshold altitude (degrees) of an event kind: the Sun's upper limb with
// refraction (-50'), the Moon's centre with parallax, semi-diameter and
// refraction (+8'), twilight depths.
Extended ThresholdAltitude_deg(int32_t kind) {
  if (IsMoon(kind)) return 0.13333333333333333334L;
  if (kind == kNauticalTwilight) return -12;
  if (kind > kNauticalTwilight) return kTwilightDepthBase - kind;
  return -0.8333333333333333333L;
}

// The altitude function of the search: sine of the altitude at MJD (UT)
// minus the sine of the threshold.
struct AltitudeFunction {
  bool moon;
  Extended sinLat, cosLat, sinH0, lonWest_deg;

  // Hour angle (degrees, not reduced) and declination (degrees) at MJD.
  void Place(Extended mjd, Extended& tau_deg, Extended& dec_deg) const {
    const Extended t = (mjd - 51544.5L) / 36525;
    Extended ra_h = 0;
    if (moon) {
      MiniMoon(t, ra_h, dec_deg);
    } else {
      MiniSun(t, ra_h, dec_deg);
    }
    tau_deg = 15 * (LocalMeanSiderealTime(lonWest_deg, mjd) - ra_h);
  }

  // In double precision, ample for the minute-of-arc series and much faster.
  Extended operator()(Extended mjd) const {
    Extended tau_deg = 0, dec_deg = 0;
    Place(mjd, tau_deg, dec_deg);
    const double dec_rad = static_cast<double>(DegToRad(dec_deg));
    const double tau_rad = static_cast<double>(DegToRad(std::remainder(tau_deg, 360.0L)));
    return sinLat * std::sin(dec_rad) + cosLat * std::cos(dec_rad) * std::cos(tau_rad) - sinH0;
  }

  // Hour angle in (-180, 180] degrees at MJD.
  Extended HourAngle_deg(Extended mjd) const {
    Extended tau_deg = 0, dec_deg = 0;
    Place(mjd, tau_deg, dec_deg);
    return std::remainder(tau_deg, 360.0L);
  }
};

// The upper transit near `guess_h` (hours after `midnight`): the zero of the
// hour angle by secant steps, starting from the mean rate of the hour angle
// (the Sun's 15.0 and the Moon's 14.5 degrees per hour). The vertex of the
// interpolated altitudes only marks the greatest altitude, which misses the
// meridian by up to a minute from the hourly sampling and, for the Moon, by
// several minutes more from its motion in declination.
Extended MeridianTransit(const AltitudeFunction& s, Extended midnight, Extended guess_h) {
  Extended h0 = guess_h;
  Extended f0 = s.HourAngle_deg(midnight + h0 / 24);
  Extended h1 = h0 - f0 / (s.moon ? 14.5L : 15.0L);
  for (int i = 0; i < 6 && std::fabs(h1 - h0) > 1e-5L; ++i) {
    const Extended f1 = s.HourAngle_deg(midnight + h1 / 24);
    if (f1 == f0) break;
    const Extended h2 = h1 - f1 * (h1 - h0) / (f1 - f0);
    h0 = h1, f0 = f1, h1 = h2;
  }
  return h1;
}

// Appends a blank and the time of an event, or its placeholder.
void AppendEvent(std::string& text, bool found, Extended hours) {
  if (found) {
    text += ' ';
    text += EventTime(hours);
  } else {
    text += "  -----";
  }
}

}  // namespace

std::string EventTime(Extended hours) {
  const long long minutes = std::llround(hours * 60);
  return IntStr(minutes / 60, 2) + "h" + TwoDigits(minutes % 60) + "m";
}

int32_t TwilightKind(float depth_deg) { return kTwilightDepthBase + static_cast<int32_t>(std::lround(depth_deg)); }

RiseSetResult RiseSet(int32_t kind, Extended lat_deg, Extended lonWest_deg, float zone_h, Extended jd) {
  const bool withTransit = !IsTwilight(kind);
  // The midnight in UT (as MJD) that begins the local calendar day.
  const Extended midnight = ZoneMidnight(jd, zone_h) - kMJDOffset;

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
      const Extended meridian = MeridianTransit(s, midnight, t + q.xe);
      if (meridian >= 0 && meridian < 24) {
        transit = meridian;
        transitFound = true;
      }
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
  if (withTransit) AppendEvent(result.text, transitFound, transit);
  AppendEvent(result.text, setFound, set);
  return result;
}

}  // namespace orb
