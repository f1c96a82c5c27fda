// SPDX-License-Identifier: AGPL-3.0-or-later
// The solar eclipse command machinery: the central line against Swiss
// Ephemeris, the global type of known eclipses, titles and Saros lines by
// their layout rules, and the command loop through a scripted host and a
// scripted report.
#include "eclipses/EclipseCommand.h"

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <numbers>
#include <string>
#include <vector>

#include "core/KernelReport.h"
#include "core/TimeScales.h"
#include "eclipses/SolarEclipse.h"
#include "engine/PlanetaryTheory.h"
#include "support/ScriptedHost.h"
#include "support/SwissReference.h"
#include "support/TempDir.h"

namespace orb {
namespace {

using test::ScriptedHost;
using test::UseEphemerisFiles;
using test::SwissDeltaT;

// Swiss's eclipse found from `jd` (UT): tret[0] greatest eclipse,
// tret[4] / tret[5] begin and end of the central phase; flags the type.
struct SwissEclipse {
  int32_t flags = 0;
  double tret[10] = {};
};
SwissEclipse SwissNextEclipse(double jd, int32_t backward = 0) {
  SwissEclipse e;
  char serr[AS_MAXCH] = {};
  e.flags = swe_sol_eclipse_when_glob(jd, SEFLG_SWIEPH, 0, e.tret, backward, serr);
  EXPECT_GT(e.flags, 0) << serr;
  return e;
}

// Dates and types of greatest eclipse from Espenak & Meeus, Five Millennium
// Canon of Solar Eclipses (NASA/TP-2006-214141), with Swiss's type flag.
struct KnownEclipse {
  const char* name;
  int32_t year, month, day;
  int32_t swissType;   // the type flag Swiss Ephemeris gives it
  int32_t globalType;  // our phase code of that type
};
constexpr KnownEclipse kTotal2024{"2024-04-08 total", 2024, 4, 8, SE_ECL_TOTAL, 5};
constexpr KnownEclipse kAnnular2023{"2023-10-14 annular", 2023, 10, 14, SE_ECL_ANNULAR, 4};
constexpr KnownEclipse kTotal2017{"2017-08-21 total", 2017, 8, 21, SE_ECL_TOTAL, 5};
constexpr KnownEclipse kTotal1999{"1999-08-11 total", 1999, 8, 11, SE_ECL_TOTAL, 5};
constexpr KnownEclipse kTotal2021{"2021-12-04 total (Antarctica)", 2021, 12, 4, SE_ECL_TOTAL, 5};
constexpr KnownEclipse kHybrid2023{"2023-04-20 hybrid", 2023, 4, 20, SE_ECL_HYBRID, 6};
// Hybrids whose annular stretch lies at one end of the central path only.
constexpr KnownEclipse kHybrid2013{"2013-11-03 hybrid", 2013, 11, 3, SE_ECL_HYBRID, 6};
constexpr KnownEclipse kHybrid1909{"1909-06-17 hybrid", 1909, 6, 17, SE_ECL_HYBRID, 6};
constexpr KnownEclipse kPartial2022{"2022-10-25 partial", 2022, 10, 25, SE_ECL_PARTIAL, 1};
// Canon types "T-" and "A-": the shadow axis misses the Earth.
constexpr KnownEclipse kNonCentral2043{"2043-04-09 non-central total", 2043, 4, 9, SE_ECL_TOTAL, 3};
constexpr KnownEclipse kNonCentral2014{"2014-04-29 non-central annular", 2014, 4, 29, SE_ECL_ANNULAR, 2};

// Two days before greatest eclipse: the forward search finds it.
Extended SearchStart(const KnownEclipse& e) { return CalendarToJD(e.year, e.month, e.day) - 2; }

SolarEclipseContext ContextOf(const KnownEclipse& e) {
  SolarEclipseContext c;
  EXPECT_TRUE(SetUpSolarEclipse(c, SearchStart(e), +1, 10.0L / 1440, false)) << e.name;
  return c;
}

// The Sun and the Moon seen from a place (Swiss's topocentric apparent
// places): the angle between their centres (radians), the Moon's distance
// (km) and the difference of their angular radii for the radii of the
// method, Moon 0.2725076 and Sun 109.1227 (= 109.3952076 - 0.2725076)
// Earth radii of 6378.137 km.
struct Topocentric {
  double separation = 0, moon_km = 0, radiusDifference = 0;
};
Topocentric SeenFrom(double t_ut, int32_t deltaT_s, double lonEast_deg, double lat_deg) {
  constexpr double kAu_km = 149597870.691, kEarthRadius_km = 6378.137;
  swe_set_topo(lonEast_deg, lat_deg, 0);
  double m[6] = {}, s[6] = {};
  char serr[AS_MAXCH] = {};
  const int32_t flags = SEFLG_SWIEPH | SEFLG_TOPOCTR | SEFLG_EQUATORIAL | SEFLG_RADIANS;
  swe_calc(t_ut + deltaT_s / 86400.0, SE_MOON, flags, m, serr);
  swe_calc(t_ut + deltaT_s / 86400.0, SE_SUN, flags, s, serr);
  const double c = std::sin(m[1]) * std::sin(s[1]) + std::cos(m[1]) * std::cos(s[1]) * std::cos(m[0] - s[0]);
  return {std::acos(std::min(1.0, c)), m[2] * kAu_km,
          std::fabs(std::asin(0.2725076 * kEarthRadius_km / (m[2] * kAu_km)) -
                    std::asin(109.1227 * kEarthRadius_km / (s[2] * kAu_km)))};
}

// Distance (km) of a place from the shadow axis: the separation of the
// centres seen from there times the Moon's distance.
double AxisKm(double t_ut, int32_t deltaT_s, double lonEast_deg, double lat_deg) {
  const Topocentric p = SeenFrom(t_ut, deltaT_s, lonEast_deg, lat_deg);
  return p.separation * p.moon_km;
}

// Contacts 2 and 3 at a place, where the separation equals the difference
// of the radii, by bisection within 14.4 minutes of `t_ut`; seconds.
double CentralPhaseSeconds(double t_ut, int32_t deltaT_s, double lonEast_deg, double lat_deg) {
  const auto root = [&](double inside, double outside) {
    while (std::fabs(outside - inside) > 1e-9) {
      const double mid = (inside + outside) / 2;
      const Topocentric p = SeenFrom(mid, deltaT_s, lonEast_deg, lat_deg);
      (p.separation < p.radiusDifference ? inside : outside) = mid;
    }
    return inside;
  };
  return (root(t_ut, t_ut + 0.01) - root(t_ut, t_ut - 0.01)) * 86400;
}

// Great-circle distance (km, mean radius 6371 km) of two places (degrees).
double GroundKm(double lon1_deg, double lat1_deg, double lon2_deg, double lat2_deg) {
  const double r = std::numbers::pi / 180;
  const double a = std::pow(std::sin((lat2_deg - lat1_deg) * r / 2), 2) +
                   std::cos(lat1_deg * r) * std::cos(lat2_deg * r) * std::pow(std::sin((lon2_deg - lon1_deg) * r / 2), 2);
  return 2 * 6371.0 * std::asin(std::sqrt(std::min(1.0, a)));
}

// Tolerances of the central line.
// Off the axis: our point lies on the axis when the centres of the Sun and
// the Moon coincide seen from it. The mean instead of the apparent sidereal
// time (the equation of the equinoxes, within 1.2 s of time: 0.5 km at the
// equator), the first-order latitude series (0.1924 deg sin 2phi' against
// the exact 0.1929 deg and a 0.0003 deg second-order term: 0.1 km) and the
// axis ratio 0.996633 against Swiss's 1/298.257 (0.05 km) leave 0.6 km.
constexpr double kAxisTolerance_km = 0.6;
// swe_sol_eclipse_where leaves its own point up to 4.5" (8 km) off the axis
// seen from there. A horizontal offset d lies at least d sin(h) off an axis
// at the Sun's altitude h, so two points a and b off the axis lie at most
// (a + b)/sin h apart, plus 0.3 km for the ground's curvature.
// The duration against the contacts solved from Swiss's places with the
// same radii: 0.5 s (the speed from a 0.1-minute difference). Against
// swe_sol_eclipse_when_loc: its lunar radius 1737.4 km is 0.69 km smaller
// (2 s at shadow speeds of 0.7 km/s) and its contacts lie up to 2.6 s apart
// from those solved from its own places and radius: 5 s.
constexpr double kDurationTolerance_s = 0.5, kWhenLocTolerance_s = 5.0;

// Nine instants from 10 % to 90 % of the central phase; the duration at
// three of them.
TEST(CentralLinePoint, FollowsSwissEphemerisAlongCentralPaths) {
  UseEphemerisFiles();
  for (const KnownEclipse& e : {kTotal2024, kAnnular2023, kTotal2017, kTotal1999, kTotal2021, kHybrid2023}) {
    const SolarEclipseContext c = ContextOf(e);
    const SwissDeltaT sameDeltaT(c.deltaT_s);
    const SwissEclipse sw = SwissNextEclipse(static_cast<double>(SearchStart(e)));
    double axis_km = 0, where_km = 0, duration_s = 0, whenLoc_s = 0;
    for (int k = 1; k <= 9; ++k) {
      const double t = sw.tret[4] + k / 10.0 * (sw.tret[5] - sw.tret[4]);
      double geo[10] = {}, attr[20] = {}, tret[10] = {};
      char serr[AS_MAXCH] = {};
      const int32_t where = swe_sol_eclipse_where(t, SEFLG_SWIEPH, geo, attr, serr);
      const CentralPoint p = CentralLinePoint(c, JulianCenturies(t));
      EXPECT_EQ(p.code, (where & SE_ECL_TOTAL) ? 5 : 4) << e.name << " at " << k * 10 << " %";
      const double lon = -static_cast<double>(p.lonWest_deg), lat = static_cast<double>(p.lat_deg);
      const double ours_km = AxisKm(t, c.deltaT_s, lon, lat), ground_km = GroundKm(lon, lat, geo[0], geo[1]);
      EXPECT_LT(ground_km, (ours_km + AxisKm(t, c.deltaT_s, geo[0], geo[1])) / std::sin(attr[5] * std::numbers::pi / 180) + 0.3);
      axis_km = std::max(axis_km, ours_km);
      where_km = std::max(where_km, ground_km);
      if (k % 3 != 2) continue;
      const double ours_s = static_cast<double>(p.duration_min) * 60;
      duration_s = std::max(duration_s, std::fabs(ours_s - CentralPhaseSeconds(t, c.deltaT_s, lon, lat)));
      geo[2] = 0;  // height
      swe_sol_eclipse_when_loc(t - 0.1, SEFLG_SWIEPH, geo, tret, attr, 0, serr);
      whenLoc_s = std::max(whenLoc_s, std::fabs(ours_s - (tret[3] - tret[2]) * 86400));
    }
    std::printf("%-30s largest: off the axis %.2f km, from swe_sol_eclipse_where %.1f km, duration %.2f s "
                "(swe_sol_eclipse_when_loc %.1f s)\n", e.name, axis_km, where_km, duration_s, whenLoc_s);
    EXPECT_LT(axis_km, kAxisTolerance_km) << e.name;
    EXPECT_LT(duration_s, kDurationTolerance_s) << e.name;
    EXPECT_LT(whenLoc_s, kWhenLocTolerance_s) << e.name;
  }
}

// Each kind of eclipse, every evaluation inside the fits (T_EVAL would
// report one outside). The hybrid eclipse of 2023 April 20 is annular at
// both ends of its path and total between.
TEST(GlobalEclipseType, KnownEclipsesOfEachType) {
  UseEphemerisFiles();
  ScriptedHost host;
  KernelHostScope reports(host);
  for (const KnownEclipse& e : {kHybrid2023, kTotal2024, kAnnular2023, kPartial2022, kNonCentral2043, kNonCentral2014}) {
    EXPECT_TRUE(SwissNextEclipse(static_cast<double>(SearchStart(e))).flags & e.swissType) << e.name;
    EXPECT_EQ(GlobalEclipseType(ContextOf(e)), e.globalType) << e.name;
  }
  EXPECT_TRUE(host.boxes.empty());
}

// The phase list (FindSolarEclipse, from greatest eclipse and the ends of
// the central phase) and the path (GlobalEclipseType, along the whole
// central line) give one type, that of Swiss Ephemeris' global search with
// our deltaT (the canon too has 2013 November 3 and 2023 April 20 hybrid,
// 2024 April 8 total, 2023 October 14 annular). The annular stretch of 2013
// November 3 lasts about a second at the start of the path, that of 1909
// June 17 a few seconds at its end (swe_sol_eclipse_where: annular 1 s
// after Swiss's start of the central phase, total 2 s after it; annular
// 5 s before its end, total 20 s before it).
TEST(SolarEclipseType, PhaseListAndPathAgreeWithSwissEphemeris) {
  UseEphemerisFiles();
  for (const KnownEclipse& e : {kHybrid2013, kHybrid1909, kHybrid2023, kTotal2024, kAnnular2023}) {
    const SolarEclipseContext c = ContextOf(e);
    const SwissDeltaT sameDeltaT(c.deltaT_s);
    const int32_t swissFlags = SwissNextEclipse(static_cast<double>(SearchStart(e))).flags;
    EXPECT_TRUE(swissFlags & e.swissType) << e.name;
    EXPECT_EQ((swissFlags & SE_ECL_HYBRID) != 0, e.globalType == 6) << e.name;
    BesselRec rec;
    EXPECT_EQ(FindSolarEclipse(+1, false, rec, SearchStart(e)), e.globalType) << e.name;
    EXPECT_EQ(GlobalEclipseType(c), e.globalType) << e.name;
  }
}

// The conjunction, rows on multiples of the step (10 minutes) of UT, and the
// whole central phase inside the tabulated half day — also in 585 BC, where
// deltaT (18467 s = 5.1 h by Espenak & Meeus, -20 + 32 u^2 with
// u = (-583.625 - 1820)/100 for the middle of May) exceeds the time from
// the conjunction to the end of the central phase.
TEST(SetUpSolarEclipse, TabulatedHalfDayHoldsTheCentralPhase) {
  UseEphemerisFiles();
  // 585 BC May 28 (Julian calendar), total (canon): the eclipse of Thales.
  const KnownEclipse thales{"-584-05-28 total", -584, 5, 28, SE_ECL_TOTAL, 5};
  for (const KnownEclipse& e : {kTotal2024, thales}) {
    const SolarEclipseContext c = ContextOf(e);
    const SwissDeltaT sameDeltaT(c.deltaT_s);
    const SwissEclipse sw = SwissNextEclipse(static_cast<double>(SearchStart(e)));
    EXPECT_NEAR(static_cast<double>(JDFromCenturies(c.conjunction)), sw.tret[0], 0.1) << e.name;
    const Extended rowMinute = (JDFromCenturies(c.tableStart) - 0.5L) * 1440;
    EXPECT_NEAR(static_cast<double>(std::fmod(rowMinute, 10.0L)), 0, 1e-4) << e.name;
    EXPECT_LT(c.tableStart, JulianCenturies(sw.tret[4])) << e.name;
    EXPECT_GT(c.intervalEnd - c.deltaT_s / 3.15576e9L, JulianCenturies(sw.tret[5])) << e.name;
  }
}

// ---- titles and Saros lines: the layout rules ----

TEST(SolarEclipseTitle, TypeWordDateAndHemisphere) {
  TSettings s;
  SolarEclipseContext c;
  c.conjunction = JulianCenturies(CalendarToJD(2024, 4, 8.75L));  // 18:00 UT
  // Type word with a capital, "Sonnenfinsternis am ", date; types 1 to 3
  // name the hemisphere of the Moon's latitude.
  EXPECT_EQ(SolarEclipseTitle(c, kTotalEclipse, s, 0), "Totale Sonnenfinsternis am 08.04.2024");
  EXPECT_EQ(SolarEclipseTitle(c, kHybridEclipse, s, 0), "Hybride Sonnenfinsternis am 08.04.2024");
  EXPECT_EQ(SolarEclipseTitle(c, kPartialEclipse, s, 0), "Partielle Sonnenfinsternis am 08.04.2024 (Nordhalbkugel)");
  c.north = false;
  EXPECT_EQ(SolarEclipseTitle(c, kAnnularEclipse, s, 0), "Ringförmige Sonnenfinsternis am 08.04.2024");
  EXPECT_EQ(SolarEclipseTitle(c, kNonCentralAnnular, s, 0), "Nichtzentrale ringförmige Sonnenfinsternis am 08.04.2024 (Südhalbkugel)");
  EXPECT_EQ(SolarEclipseTitle(c, kNonCentralTotal, s, 0), "Nichtzentrale totale Sonnenfinsternis am 08.04.2024 (Südhalbkugel)");
  // 23:30 UT is 00:30 MEZ of the next day; the date format of the settings.
  c.conjunction = JulianCenturies(CalendarToJD(2024, 4, 8 + 23.5L / 24));
  s.NewDateFormat = true;
  EXPECT_EQ(SolarEclipseTitle(c, kTotalEclipse, s, 1), "Totale Sonnenfinsternis am 2024-04-09");
}

TEST(SolarSarosLine, NumberAndEraText) {
  TSettings s;
  // 2024 April 8 belongs to Saros 139 (canon), of the present era "M".
  EXPECT_EQ(SolarSarosLine(CalendarToJD(2024, 4, 8.76L), s), "Saros 139");
  s.SarosVariante = true;
  EXPECT_EQ(SolarSarosLine(CalendarToJD(2024, 4, 8.76L), s), "Saros 139 (139. Saros, Ära M)");
}

// ---- the command loop ----

// A report that records every call and answers "printed" from a script.
struct ScriptedReport : SolarEclipseReport {
  struct Call {
    Extended startJD;
    int direction;
    bool picture;
    int32_t runState;
    float zone_h;
  };
  bool stepAnswer = true, askedPicture = true, printedDefault = false;
  std::deque<bool> printed;  // answers in turn, then printedDefault
  int endSearchAtCall = 0;   // this call (1-based) sets RunState to 0, as a declined question does
  std::vector<Call> calls;

  bool AskStep(const TSettings&, Host&, bool picture) override {
    askedPicture = picture;
    return stepAnswer;
  }
  bool Report(const TSettings&, TRunContext& run, Host&, bool picture, int direction) override {
    calls.push_back({run.StartJulDat, direction, picture, run.RunState, run.Zeitzone});
    if (static_cast<int>(calls.size()) == endSearchAtCall) run.RunState = 0;
    if (printed.empty()) return printedDefault;
    const bool answer = printed.front();
    printed.pop_front();
    return answer;
  }
};

TSettings RangeSettings(Extended startJD, Extended days, bool list) {
  TSettings s;
  s.Startdat = startJD;
  s.DeltaTab = days;
  s.Tabelle = list;
  s.BasisZeitzone = s.Zeitzone = 1;
  return s;
}

// Every command ends idle, with the stop button off and StartJulDat back.
void ExpectFinished(const TSettings& s, const TRunContext& run, const ScriptedHost& host) {
  EXPECT_EQ(run.RunState, 0);
  EXPECT_FALSE(host.stopEnabled);
  EXPECT_EQ(run.StartJulDat, s.Startdat);
}

// 2024-01-01 to 2026-12-31 holds the eclipses of 2024 April 8 and October 2,
// 2025 March 29 and September 21, 2026 February 17 and August 12 (canon).
// The report gets each within 0.1 day of Swiss's greatest eclipse
// (conjunction and greatest eclipse lie less than 2 hours apart), and the
// new moons that the search admits (latitude below 1.7 degrees) without an
// eclipse (2025 February 28 and August 23, 2026 September 11). Those lie
// above 1.41 degrees: below it there is always an eclipse (the least sum of
// the Moon's parallax, 53'54", and the semidiameters, 14'42" and 15'46",
// less the solar parallax, 9", is 1.404 degrees; the least separation is
// the latitude times cos 5.3 degrees, the relative path's tilt). With
// automatic summer time each gets its zone: MESZ from the last Sunday of
// March to the last of October (2025-03-30, so March 29 is still MEZ).
TEST(SolarEclipseCommand, ListModeWalksEveryEclipseNewMoonOfTheRange) {
  UseEphemerisFiles();
  ScriptedHost host;
  ScriptedReport report;
  report.printedDefault = true;
  TSettings s = RangeSettings(CalendarToJD(2024, 1, 1), 1095, true);
  s.AutoSommerzeit = true;
  TRunContext run(s);
  SolarEclipseCommand(s, run, host, report, false, false, 0.0);

  ASSERT_EQ(report.calls.size(), 9u);
  const std::vector<float> zones{2, 2, 1, 1, 2, 2, 1, 2, 2};
  double swiss = SwissNextEclipse(static_cast<double>(s.Startdat)).tret[0];
  int eclipses = 0;
  for (std::size_t i = 0; i < report.calls.size(); ++i) {
    const double jd = static_cast<double>(report.calls[i].startJD);
    if (std::fabs(jd - swiss) < 0.1) {
      ++eclipses;
      swiss = SwissNextEclipse(swiss + 20).tret[0];
    } else {
      double moon[6] = {};
      char serr[AS_MAXCH] = {};
      swe_calc_ut(jd, SE_MOON, SEFLG_SWIEPH, moon, serr);
      EXPECT_GT(std::fabs(moon[1]), 1.41) << "JD " << jd;
      EXPECT_LT(std::fabs(moon[1]), 1.7) << "JD " << jd;
    }
    EXPECT_EQ(report.calls[i].runState, 20);
    EXPECT_EQ(report.calls[i].zone_h, zones[i]) << i;
  }
  EXPECT_EQ(eclipses, 6);
  EXPECT_EQ(host.lines, std::vector<std::string>{""});
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(s.Zeitzone, 1);  // the zone of Startdat again
  ExpectFinished(s, run, host);
}

// Without list mode the search ends after the first printed eclipse:
// forward from 2024-01-01 the second is 2024 October 2; backward from
// 2024-04-09 0h UT, six hours after the new moon of April 8 (18:21 UT), the
// first is that eclipse and the second 2023 October 14 (canon).
TEST(SolarEclipseCommand, WithoutListModeEndsAfterTheFirstPrintedEclipse) {
  UseEphemerisFiles();
  for (const int direction : {+1, -1}) {
    ScriptedHost host;
    ScriptedReport report;
    report.printed = {false, true, true};
    TSettings s = RangeSettings(direction > 0 ? CalendarToJD(2024, 1, 1) : CalendarToJD(2024, 4, 9), 30, false);
    TRunContext run(s);
    SolarEclipseCommand(s, run, host, report, true, false, 0.0, direction);
    ASSERT_EQ(report.calls.size(), 2u);
    const SwissEclipse first = SwissNextEclipse(static_cast<double>(s.Startdat), direction < 0);
    const SwissEclipse second = SwissNextEclipse(first.tret[0] + 20 * direction, direction < 0);
    EXPECT_NEAR(static_cast<double>(report.calls[0].startJD), first.tret[0], 0.1);
    EXPECT_NEAR(static_cast<double>(report.calls[1].startJD), second.tret[0], 0.1);
    EXPECT_EQ(report.calls[1].direction, direction);
    EXPECT_EQ(report.calls[1].runState, 22);
    EXPECT_EQ(host.lines, std::vector<std::string>{""});
    ExpectFinished(s, run, host);
  }
}

// The first new moon a search examines lies on the searched side of its
// start, although the nearest eclipse new moon may not: from 2025-04-10
// forward and from 2025-03-20 backward the eclipse of 2025-03-29 (canon; 12
// days before and 9 days after the start) is passed over. (The next new
// moons admitted are those of 2025-08-23 and 2025-02-28, within the 1.7
// degrees of latitude that the search examines.)
TEST(SolarEclipseCommand, FirstEclipseOnTheSearchedSideOfTheStart) {
  UseEphemerisFiles();
  for (const auto& [start, direction] : {std::pair{CalendarToJD(2025, 4, 10), +1}, std::pair{CalendarToJD(2025, 3, 20), -1}}) {
    ScriptedHost host;
    ScriptedReport report;
    report.printedDefault = true;
    TSettings s = RangeSettings(start, 30, false);
    TRunContext run(s);
    SolarEclipseCommand(s, run, host, report, false, false, 0.0, direction);
    ASSERT_EQ(report.calls.size(), 1u);
    const Extended daysPastStart = (report.calls[0].startJD - start) * direction;
    EXPECT_GT(daysPastStart, 0) << direction;
    EXPECT_LT(daysPastStart, 180) << direction;
  }
}

// A range without a printed eclipse ends with "vom " date "  bis " date
// " keine Sonnenfinsternis", for the local report with a minimum coverage
// "  mit einer Größe von mindestens " percent (up to 2 decimals) " %".
// 2024-05-01 to 2024-09-01 lies between the eclipse seasons.
TEST(SolarEclipseCommand, NoEclipseLineForAnEmptyRange) {
  UseEphemerisFiles();
  struct Case {
    bool path;
    double minCoverage;
    std::string tail;
  };
  for (const Case& k : {Case{false, 0.0, ""}, Case{false, 0.5, "  mit einer Größe von mindestens 50 %"},
                        Case{false, 0.1234, "  mit einer Größe von mindestens 12.34 %"}, Case{true, 0.5, ""}}) {
    ScriptedHost host;
    ScriptedReport report;
    TSettings s = RangeSettings(CalendarToJD(2024, 5, 1), 123, true);
    TRunContext run(s);
    SolarEclipseCommand(s, run, host, report, k.path, false, k.minCoverage);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"", "vom 01.05.2024  bis 01.09.2024 keine Sonnenfinsternis" + k.tail}));
    ExpectFinished(s, run, host);
  }
}

TEST(SolarEclipseCommand, DeclinedStepQuestionEndsWithBeepAndNoSearch) {
  UseEphemerisFiles();
  ScriptedHost host;
  ScriptedReport report;
  report.stepAnswer = false;
  TSettings s = RangeSettings(CalendarToJD(2024, 1, 1), 365, true);
  TRunContext run(s);
  SolarEclipseCommand(s, run, host, report, true, false, 0.0);
  EXPECT_EQ(host.beeps, 1);
  EXPECT_TRUE(report.calls.empty());
  EXPECT_EQ(host.lines, std::vector<std::string>{""});
  ExpectFinished(s, run, host);
}

// The path's picture needs the world map: without it an information box,
// and the search runs without the picture; with it, no box.
TEST(SolarEclipseCommand, MissingWorldMapSwitchesThePictureOff) {
  UseEphemerisFiles();
  test::TempDir dir;
  for (const bool present : {false, true}) {
    ScriptedHost host;
    ScriptedReport report;
    report.printedDefault = true;
    TSettings s = RangeSettings(CalendarToJD(2024, 1, 1), 30, false);
    s.GeoFileName = present ? dir.write("welt.dat", "0 0\n") : dir.file("fehlt.dat");
    TRunContext run(s);
    SolarEclipseCommand(s, run, host, report, true, true, 0.0);
    ASSERT_EQ(report.calls.size(), 1u);
    EXPECT_EQ(report.askedPicture, present);
    EXPECT_EQ(report.calls[0].picture, present);
    EXPECT_EQ(report.calls[0].runState, 23);
    ASSERT_EQ(host.boxes.size(), present ? 0u : 1u);
    if (present) continue;
    EXPECT_EQ(host.boxes[0].kind, MsgKind::Information);
    EXPECT_EQ(host.boxes[0].text, "Datei " + s.GeoFileName + " nicht gefunden\n\rKeine Erstellung der Grafik!");
  }
}

// The stop button (RunState negated in the third pump, before the second
// new moon's report) asks "Berechnung abbrechen?": "Nein" goes on, "Ja" ends
// the search without claiming that the range holds no eclipse. A report
// that ends the search itself (a declined deltaT question) is not asked.
void PressStopAtThirdPump(void* run, int pump) {
  if (pump == 3) static_cast<TRunContext*>(run)->RequestStop();
}

TEST(SolarEclipseCommand, StopQuestionLikeTheTables) {
  UseEphemerisFiles();
  for (const int answer : {0, 1, 2}) {  // "Nein", "Ja", no stop but a report ending the search
    ScriptedHost host;
    ScriptedReport report;
    TSettings s = RangeSettings(CalendarToJD(2024, 1, 1), 365, true);
    TRunContext run(s);
    if (answer < 2) {
      host.onPump = PressStopAtThirdPump;
      host.onPumpContext = &run;
      host.QueueAnswer(answer == 1);
    } else {
      report.endSearchAtCall = 1;
    }
    SolarEclipseCommand(s, run, host, report, false, false, 0.0);
    ASSERT_EQ(host.boxes.size(), answer < 2 ? 1u : 0u);
    if (answer < 2) {
      EXPECT_EQ(host.boxes[0].caption + ": " + host.boxes[0].text, "Abbruch: Berechnung abbrechen?");
    }
    // 2024 holds the eclipses of April 8 and October 2 (canon).
    EXPECT_EQ(report.calls.size(), answer == 0 ? 2u : 1u);
    EXPECT_EQ(host.lines.back(), answer == 0 ? "vom 01.01.2024  bis 31.12.2024 keine Sonnenfinsternis" : "");
    ExpectFinished(s, run, host);
  }
}

// Near the end of the ephemeris files (JD 3693370.8, in the year 5400) a
// search that prints nothing ends instead of stepping on for ever.
TEST(SolarEclipseCommand, SearchEndsAtTheEndOfTheEphemeris) {
  UseEphemerisFiles();
  ScriptedHost host;
  ScriptedReport report;
  TSettings s = RangeSettings(3693370.8L - 200, 30, false);
  TRunContext run(s);
  SolarEclipseCommand(s, run, host, report, false, false, 0.0);
  EXPECT_LE(report.calls.size(), 2u);
  ExpectFinished(s, run, host);
}

}  // namespace
}  // namespace orb
