// SPDX-License-Identifier: AGPL-3.0-or-later
// Rise, transit, set and twilight of the Sun and the Moon against Swiss
// Ephemeris' own rise/transit function (swe_rise_trans), and the edge cases
// of the search.
#include "engine/RiseSet.h"

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/TimeScales.h"
#include "engine/PlanetaryTheory.h"

namespace orb {
namespace {

struct Place {
  const char* name;
  double lat_deg, lonEast_deg;
  float zone_h;
};

// Places from the equator to 60 N and 45 S.
constexpr Place kPlaces[] = {
    {"Ortheim", 51.74, 7.19, 1}, {"Quito", -0.22, -78.51, -5}, {"Oslo", 59.91, 10.75, 1},
    {"Hobart", -42.88, 147.33, 10}, {"Boston", 42.36, -71.06, -5}};

// The first event of `rsmi` after the local midnight of the day, as zone
// hours of that day, or -1 when Swiss Ephemeris finds none on that day.
double SwissEvent(int ipl, int32 rsmi, const Place& p, double midnight_ut, double horizon_deg) {
  theory::_planetinfo(2451545.0, 1000, 1, 1, 1, 1);  // the adapter sets the ephemeris folder
  double geopos[3] = {p.lonEast_deg, p.lat_deg, 0};
  double tret = 0;
  char serr[AS_MAXCH] = "";
  const int32 rc = swe_rise_trans_true_hor(midnight_ut, ipl, nullptr, SEFLG_SWIEPH, rsmi, geopos, 1013.25, 10,
                                           horizon_deg, &tret, serr);
  if (rc != 0) return -1;
  const double hours = (tret - midnight_ut) * 24;
  return hours < 24 ? hours : -1;
}

// Local midnight (UT) of the calendar day of `jd` in the zone.
double LocalMidnight(double jd, float zone_h) {
  return std::floor(jd - 2400000.5 + zone_h / 24.0 + 0.00001) + 2400000.5 - zone_h / 24.0;
}

// The instant (zone hours of the day) of the greatest geocentric altitude of
// the body near `guess_h`, from Swiss Ephemeris' apparent places and
// sidereal time, by golden-section search to 0.1 s. The search's
// culmination is the maximum of the altitude, which leaves the meridian
// transit by the declination's drift (minutes for the Moon).
double SwissHighestAltitude(int ipl, const Place& p, double midnight_ut, double guess_h) {
  const auto altitude = [&](double hours) {
    const double jd_ut = midnight_ut + hours / 24;
    const double jd_tt = jd_ut + swe_deltat(jd_ut);
    double xx[6];
    char serr[AS_MAXCH];
    swe_calc(jd_tt, ipl, SEFLG_SWIEPH | SEFLG_EQUATORIAL, xx, serr);
    const double lst_deg = swe_sidtime(jd_ut) * 15 + p.lonEast_deg;
    const double d2r = M_PI / 180;
    return std::sin(p.lat_deg * d2r) * std::sin(xx[1] * d2r) +
           std::cos(p.lat_deg * d2r) * std::cos(xx[1] * d2r) * std::cos((lst_deg - xx[0]) * d2r);
  };
  const double g = (std::sqrt(5.0) - 1) / 2;
  double a = guess_h - 0.5, b = guess_h + 0.5;
  while (b - a > 0.1 / 3600) {
    const double c = b - g * (b - a), d = a + g * (b - a);
    (altitude(c) > altitude(d) ? b : a) = (altitude(c) > altitude(d) ? d : c);
  }
  return (a + b) / 2;
}

struct Deviation {
  double max_min = 0;
  int compared = 0;
  void Add(double ours_h, double swiss_h) {
    if (ours_h < 0 || swiss_h < 0) return;
    max_min = std::max(max_min, std::fabs(ours_h - swiss_h) * 60);
    ++compared;
  }
};

TEST(RiseSet, SunAgainstSwissEphemeris) {
  // The Sun's centre at -50' without refraction: Swiss Ephemeris with
  // SE_BIT_DISC_CENTER | SE_BIT_NO_REFRACTION and a horizon at -50'. The
  // mini Sun (about 1') and the hourly interpolation keep it within a minute.
  Deviation rise, transit, set;
  for (const Place& p : kPlaces) {
    for (double jd = 2451545.5; jd < 2451545.5 + 3650; jd += 73.3) {
      const RiseSetResult r = RiseSet(-1, p.lat_deg, -p.lonEast_deg, p.zone_h, jd);
      const double midnight = LocalMidnight(jd, p.zone_h);
      const int32 center = SE_BIT_DISC_CENTER | SE_BIT_NO_REFRACTION;
      rise.Add(r.rise_h, SwissEvent(SE_SUN, SE_CALC_RISE | center, p, midnight, -50.0 / 60));
      set.Add(r.set_h, SwissEvent(SE_SUN, SE_CALC_SET | center, p, midnight, -50.0 / 60));
      if (r.transit_h >= 0) transit.Add(r.transit_h, SwissHighestAltitude(SE_SUN, p, midnight, r.transit_h));
    }
  }
  std::printf("Sun: largest deviation rise %.2f min, transit %.2f min, set %.2f min (%d, %d, %d)\n",
              rise.max_min, transit.max_min, set.max_min, rise.compared, transit.compared, set.compared);
  EXPECT_GT(rise.compared, 200);
  EXPECT_LT(rise.max_min, 1.0);
  // The culmination is the vertex of a parabola through hourly samples of a
  // cosine in hour angle; when the maximum falls between two samples that
  // vertex misses it by up to 1.06 min (hand: three samples of cos(15 deg/h *
  // (t - t0)) for t0 across the interval), plus the mini Sun's share.
  EXPECT_LT(transit.max_min, 1.25);
  EXPECT_LT(set.max_min, 1.0);
}

TEST(RiseSet, MoonAgainstSwissEphemeris) {
  // The Moon's centre at +8' geocentric approximates its upper limb at the
  // horizon with refraction seen from the surface (Swiss Ephemeris'
  // default, topocentric): the fixed 8' stands for a parallax that varies
  // by +-3.5', and the mini Moon is good to about 5'; together within 3 min.
  Deviation rise, transit, set;
  for (const Place& p : kPlaces) {
    if (std::fabs(p.lat_deg) > 55) continue;  // shallow Moon paths stretch the times
    for (double jd = 2451545.5; jd < 2451545.5 + 3650; jd += 37.1) {
      const RiseSetResult r = RiseSet(0, p.lat_deg, -p.lonEast_deg, p.zone_h, jd);
      const double midnight = LocalMidnight(jd, p.zone_h);
      rise.Add(r.rise_h, SwissEvent(SE_MOON, SE_CALC_RISE, p, midnight, 0));
      set.Add(r.set_h, SwissEvent(SE_MOON, SE_CALC_SET, p, midnight, 0));
      if (r.transit_h >= 0) transit.Add(r.transit_h, SwissHighestAltitude(SE_MOON, p, midnight, r.transit_h));
    }
  }
  std::printf("Moon: largest deviation rise %.2f min, transit %.2f min, set %.2f min (%d, %d, %d)\n",
              rise.max_min, transit.max_min, set.max_min, rise.compared, transit.compared, set.compared);
  EXPECT_GT(rise.compared, 300);
  EXPECT_LT(rise.max_min, 3.0);
  EXPECT_LT(transit.max_min, 3.0);
  EXPECT_LT(set.max_min, 3.0);
}

TEST(RiseSet, AstronomicalTwilight) {
  // Twilight with a depth of 18 degrees (kind 90 + 18) against Swiss
  // Ephemeris' astronomical twilight (disc centre at -18, no refraction).
  Deviation begin, end;
  for (const Place& p : kPlaces) {
    for (double jd = 2451545.5; jd < 2451545.5 + 3650; jd += 91.7) {
      const RiseSetResult r = RiseSet(108, p.lat_deg, -p.lonEast_deg, p.zone_h, jd);
      const double midnight = LocalMidnight(jd, p.zone_h);
      begin.Add(r.rise_h, SwissEvent(SE_SUN, SE_CALC_RISE | SE_BIT_ASTRO_TWILIGHT, p, midnight, 0));
      end.Add(r.set_h, SwissEvent(SE_SUN, SE_CALC_SET | SE_BIT_ASTRO_TWILIGHT, p, midnight, 0));
      EXPECT_EQ(r.transit_h, -1);
      EXPECT_EQ(r.text.size(), 13u) << r.text;  // begin, blank, end: no transit
    }
  }
  std::printf("Twilight: largest deviation begin %.2f min, end %.2f min\n", begin.max_min, end.max_min);
  EXPECT_LT(begin.max_min, 1.5);
  EXPECT_LT(end.max_min, 1.5);
}

TEST(RiseSet, PolarDayAndNight) {
  // Longyearbyen (78.22 N, 15.65 E, zone 1h): midsummer 2024-06-21 the Sun
  // neither rises nor sets but culminates around 12h; midwinter 2024-12-21 it
  // stays below -50' all day and no culmination is reported.
  const RiseSetResult day = RiseSet(-1, 78.22, -15.65, 1, CalendarToJD(2024, 6, 21.5L));
  EXPECT_EQ(day.text.substr(0, 7), " ----- ");
  EXPECT_EQ(day.text.substr(13), "  -----");
  EXPECT_NEAR(day.transit_h, 12.0 - 15.65 / 15 + 1, 0.1);  // near local apparent noon (hand)
  const RiseSetResult night = RiseSet(-1, 78.22, -15.65, 1, CalendarToJD(2024, 12, 21.5L));
  EXPECT_EQ(night.text, " -----  -----  -----");
}

TEST(RiseSet, PolarDayTransitIsTheUpperOne) {
  // 80 N, 30 E in zone 1h: the midsummer Sun culminates at about 11h00 zone
  // time (hand: 12h - 30/15 h + 1 h; the equation of time is 2 min) and
  // passes its lowest point, still above -50', at about 23h00, the later of
  // the two extrema of the day. That minimum is no culmination: the transit
  // must stay the upper one.
  const RiseSetResult r = RiseSet(-1, 80, -30, 1, CalendarToJD(2024, 6, 21.5L));
  EXPECT_NEAR(r.transit_h, 11.0, 0.2);
}

TEST(RiseSet, MidsummerTwilightAt60North) {
  // 60 N in midsummer the Sun stays above -18: neither begin nor end.
  const RiseSetResult r = RiseSet(108, 60, -10, 1, CalendarToJD(2024, 6, 21.5L));
  EXPECT_EQ(r.text, " -----  -----");
  EXPECT_EQ(r.rise_h, -1);
  EXPECT_EQ(r.set_h, -1);
}

TEST(RiseSet, MoonSetsButDoesNotRise) {
  // Over a lunation at Ortheim there are days without moonrise (the Moon
  // rises about 50 min later every day); on such a day the text begins with
  // " -----" and shows the set time. Swiss Ephemeris confirms that no rise
  // falls on that calendar day.
  const Place& p = kPlaces[0];
  int found = 0;
  for (double jd = 2460310.5; jd < 2460340.5; jd += 1) {
    const RiseSetResult r = RiseSet(0, p.lat_deg, -p.lonEast_deg, p.zone_h, jd);
    if (r.rise_h >= 0) continue;
    ++found;
    ASSERT_GE(r.set_h, 0);
    EXPECT_EQ(r.text.substr(0, 6), " -----");
    EXPECT_EQ(r.text.substr(14), EventTime(r.set_h));
    EXPECT_LT(SwissEvent(SE_MOON, SE_CALC_RISE, p, LocalMidnight(jd, p.zone_h), 0), 0);
  }
  EXPECT_EQ(found, 1);
}

TEST(RiseSet, EventTimeText) {
  EXPECT_EQ(EventTime(7.0 + 5.0 / 60), " 7h05m");
  EXPECT_EQ(EventTime(12.508), "12h30m");   // 750.48 min rounds to 750
  EXPECT_EQ(EventTime(23.9999), "24h00m");  // rounding to the minute reaches 24h
  EXPECT_EQ(EventTime(0), " 0h00m");
}

}  // namespace
}  // namespace orb
