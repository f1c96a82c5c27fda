// SPDX-License-Identifier: AGPL-3.0-or-later
// The places of the shipped location list inside the central path: cities
// in and out of the paths of 2026-08-12 (total) and 2023-10-14 (annular)
// against Swiss Ephemeris, the durations against contacts from Swiss
// Ephemeris' places, the pre-filter against every place of the list, and
// the listing through the command loop.
#include "eclipses/EclipsePlaces.h"

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/TimeScales.h"
#include "eclipses/SolarEclipse.h"
#include "support/ScriptedHost.h"
#include "support/SwissReference.h"

namespace orb {
namespace {

using test::ScriptedHost;
using test::SwissDeltaT;
using test::UseEphemerisFiles;

// The search starts: 2026-07-29 12:00 UT (JD 2461250) finds the total
// eclipse of 2026-08-12, 2023-09-30 12:00 UT (JD 2460218) the annular one of
// 2023-10-14 (Espenak & Meeus, Five Millennium Canon of Solar Eclipses).
constexpr double kFrom2026 = 2461250;
constexpr double kFrom2023 = 2460218;

const std::vector<ListedPlace>& ShippedList() {
  static const std::vector<ListedPlace> places = [] {
    std::vector<ListedPlace> p;
    EXPECT_TRUE(ReadPlaceList("ORTE.DAT", p).ok());
    return p;
  }();
  return places;
}

const ListedPlace* Find(const std::vector<ListedPlace>& places, const std::string& name) {
  const auto it = std::find_if(places.begin(), places.end(), [&](const ListedPlace& p) { return p.name == name; });
  return it == places.end() ? nullptr : &*it;
}

// The eclipse of the first eclipse new moon after `from`, prepared as the
// listing prepares it.
struct Prepared {
  Extended newMoon = 0, deltaT_s = 0;
  LocalEclipse c;
};
Prepared Prepare(double from) {
  Prepared p;
  p.newMoon = from;
  NextEclipseNewMoon(p.newMoon, +1, false);
  p.deltaT_s = static_cast<Extended>(DeltaT(p.newMoon, false).days) * 86400;
  EXPECT_TRUE(PrepareLocalEclipse(p.c, JulianCenturies(p.newMoon), p.deltaT_s));
  return p;
}

// Whether the Sun is up (above -50', as the listing asks) at an instant.
double SunAltitude_deg(double jd, const ListedPlace& place) {
  double x[6] = {}, xaz[3] = {}, geo[3] = {static_cast<double>(place.longitude_deg),
                                           static_cast<double>(place.latitude_deg), 0};
  char serr[AS_MAXCH] = {};
  swe_calc_ut(jd, SE_SUN, SEFLG_SWIEPH | SEFLG_EQUATORIAL, x, serr);
  swe_azalt(jd, SE_EQU2HOR, geo, 0, 0, x, xaz);
  return xaz[1];
}

// Swiss Ephemeris at a place: swe_sol_eclipse_when_loc from two days
// before the new moon (the eclipse must be that one), its contacts 2 and 3,
// and the same contacts from its topocentric apparent places of the Sun
// (radius 696 000 km) and the Moon with this program's lunar radius
// 0.2725076 x 6378.137 = 1738.09 km (Swiss takes 1737.4 km, which moves
// inner contacts by seconds): the zeros of separation minus the difference
// of the apparent radii, bisected within 10 minutes of Swiss's maximum.
struct SwissCentral {
  bool central = false;  // total or annular, with the Sun up at contact 2 or 3
  double t2 = 0, t3 = 0, maximum = 0;
  double t2Ours = 0, t3Ours = 0;  // with our lunar radius
};
double InnerGap(double jd, const ListedPlace& place, double moonRadius_km) {
  constexpr double kAu = 149597870.7, kSunRadius = 696000;
  swe_set_topo(static_cast<double>(place.longitude_deg), static_cast<double>(place.latitude_deg), 0);
  double s[6] = {}, m[6] = {};
  char serr[AS_MAXCH] = {};
  const int32_t flags = SEFLG_SWIEPH | SEFLG_TOPOCTR | SEFLG_EQUATORIAL | SEFLG_RADIANS;
  swe_calc_ut(jd, SE_SUN, flags, s, serr);
  swe_calc_ut(jd, SE_MOON, flags, m, serr);
  const double h = std::pow(std::sin((m[1] - s[1]) / 2), 2) +
                   std::cos(m[1]) * std::cos(s[1]) * std::pow(std::sin((m[0] - s[0]) / 2), 2);
  const double separation = 2 * std::asin(std::sqrt(h));
  return separation - std::fabs(std::asin(kSunRadius / (s[2] * kAu)) - std::asin(moonRadius_km / (m[2] * kAu)));
}
double Bisect(double inside, double outside, const ListedPlace& place) {
  constexpr double kMoonRadius_km = 0.2725076 * 6378.137;
  for (int i = 0; i < 50; ++i) {
    const double middle = (inside + outside) / 2;
    (InnerGap(middle, place, kMoonRadius_km) < 0 ? inside : outside) = middle;
  }
  return (inside + outside) / 2;
}
SwissCentral AtPlace(const Prepared& e, const ListedPlace& place) {
  double geo[3] = {static_cast<double>(place.longitude_deg), static_cast<double>(place.latitude_deg), 0};
  double tret[10] = {}, attr[20] = {};
  char serr[AS_MAXCH] = {};
  const int32_t flags =
      swe_sol_eclipse_when_loc(static_cast<double>(e.newMoon) - 2, SEFLG_SWIEPH, geo, tret, attr, 0, serr);
  SwissCentral r;
  r.maximum = tret[0];
  EXPECT_LT(std::fabs(tret[0] - static_cast<double>(e.newMoon)), 0.5) << place.name << " " << serr;
  if (!(flags & (SE_ECL_TOTAL | SE_ECL_ANNULAR))) return r;
  r.t2 = tret[2];
  r.t3 = tret[3];
  r.central = SunAltitude_deg(r.t2, place) >= -50.0 / 60 || SunAltitude_deg(r.t3, place) >= -50.0 / 60;
  constexpr double kWindow = 10.0 / 1440;
  r.t2Ours = Bisect(tret[0], tret[0] - kWindow, place);
  r.t3Ours = Bisect(tret[0], tret[0] + kWindow, place);
  return r;
}

// Cities in and out of the two paths, each decided by Swiss Ephemeris as
// above (swe_sol_eclipse_when_loc, Swiss Ephemeris 2.10, the program's
// deltaT). 2026: Oviedo on the central line; Reykjavík, Bilbao and the
// Madrid suburb Alcobendas near an edge (totality 58 s, 33 s, 24 s for
// Swiss); Valencia and Palma with totality 4 and 2 degrees above the
// sunset horizon; Madrid outside the southern edge (total 8 km further
// north for Swiss), Barcelona outside the northern one (magnitude 0.997,
// total 31 km further south), Lisbon far outside; Catania under the umbra
// only with the Sun set (Swiss: partial). 2023: Albuquerque, San Antonio, Eugene, Natal (Brazil) in the
// annular path, Denver and Salt Lake City outside.
TEST(EclipsePlaces, CitiesInAndOutOfThePathAgreeWithSwissEphemeris) {
  UseEphemerisFiles();
  struct City {
    double from;
    const char* name;
    bool inside;
  };
  const City cities[] = {
      {kFrom2026, "Reykjavík, Island", true},    {kFrom2026, "Oviedo, Spanien", true},
      {kFrom2026, "Bilbao, Spanien", true},      {kFrom2026, "Zaragoza, Spanien", true},
      {kFrom2026, "Valencia, Spanien", true},    {kFrom2026, "Palma, Spanien", true},
      {kFrom2026, "Alcobendas, Spanien", true},  {kFrom2026, "Madrid, Spanien", false},
      {kFrom2026, "Barcelona, Spanien", false},  {kFrom2026, "Lissabon, Portugal", false},
      {kFrom2026, "Catania, Italien", false},    {kFrom2023, "Albuquerque, USA", true},
      {kFrom2023, "San Antonio, USA", true},     {kFrom2023, "Eugene, USA", true},
      {kFrom2023, "Natal, Brasilien", true},     {kFrom2023, "Denver, USA", false},
      {kFrom2023, "Salt Lake City, USA", false},
  };
  double worstOwnRadius_s = 0, worstSwiss_s = 0;
  for (const double from : {kFrom2026, kFrom2023}) {
    const Prepared e = Prepare(from);
    const SwissDeltaT same(static_cast<double>(e.deltaT_s));
    TSettings s;
    const std::vector<EclipsePlace> listed = PlacesInCentralPath(s, 2, e.c, ShippedList());
    for (const City& city : cities) {
      if (city.from != from) continue;
      const ListedPlace* place = Find(ShippedList(), city.name);
      ASSERT_NE(place, nullptr) << city.name;
      const SwissCentral swiss = AtPlace(e, *place);
      EXPECT_EQ(swiss.central, city.inside) << city.name;
      const auto it = std::find_if(listed.begin(), listed.end(), [&](const EclipsePlace& p) { return p.name == city.name; });
      ASSERT_EQ(it != listed.end(), city.inside) << city.name;
      if (!city.inside) continue;
      EXPECT_EQ(it->kind, from == kFrom2026 ? kTotalEclipse : kAnnularEclipse) << city.name;
      const double duration = static_cast<double>(it->duration_s);
      const double ownRadius = std::fabs(duration - (swiss.t3Ours - swiss.t2Ours) * 86400);
      const double raw = std::fabs(duration - (swiss.t3 - swiss.t2) * 86400);
      std::printf("%-22s duration %6.1f s, Swiss %6.1f s, with our lunar radius %6.1f s; maximum %+5.1f s\n",
                  city.name, duration, (swiss.t3 - swiss.t2) * 86400, (swiss.t3Ours - swiss.t2Ours) * 86400,
                  (static_cast<double>(JDFromCenturies(it->maximum)) - swiss.maximum) * 86400);
      worstOwnRadius_s = std::max(worstOwnRadius_s, ownRadius);
      worstSwiss_s = std::max(worstSwiss_s, raw);
      EXPECT_LT(ownRadius, 2) << city.name;
      // Greatest eclipse from the parabola of the local circumstances.
      EXPECT_LT(std::fabs(static_cast<double>(JDFromCenturies(it->maximum)) - swiss.maximum) * 86400, 15) << city.name;
    }
  }
  std::printf("largest duration differences: %.2f s (same lunar radius), %.2f s (swe_sol_eclipse_when_loc)\n",
              worstOwnRadius_s, worstSwiss_s);
}

// The pre-filter never drops a listed place: every place of the list
// decided by its full local circumstances gives the same listing, for the
// total and the annular eclipse; and it passes few places (the listing of
// 7,000 places takes some milliseconds instead of seconds).
TEST(EclipsePlaces, PreFilterKeepsEveryPlaceOfTheWholeList) {
  UseEphemerisFiles();
  const std::vector<ListedPlace>& places = ShippedList();
  ASSERT_EQ(places.size(), 7000u);
  for (const double from : {kFrom2026, kFrom2023}) {
    const Prepared e = Prepare(from);
    TSettings s, at;
    std::vector<std::string> everyPlace;
    for (const ListedPlace& place : places) {
      at.Ort.Breite = place.latitude_deg;
      at.Ort.Laenge = place.longitude_deg;
      LocalEclipse local = e.c;
      LocalCircumstances(at, 2, local);
      const bool sunUp = std::max(local.sunAltitude_deg[1], local.sunAltitude_deg[2]) >= -50.0L / 60;
      if (IsCentral(local.type) && local.seen && sunUp) everyPlace.push_back(place.name);
    }
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::size_t> candidates = CentralPathCandidates(e.c, places);
    const std::vector<EclipsePlace> listed = PlacesInCentralPath(s, 2, e.c, places);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("JD %.0f: %zu places listed, %zu passed the pre-filter, %.3f s\n", from, listed.size(),
                candidates.size(), seconds);
    std::vector<std::string> names;
    for (const EclipsePlace& p : listed) names.push_back(p.name);
    std::sort(names.begin(), names.end());
    std::sort(everyPlace.begin(), everyPlace.end());
    EXPECT_EQ(names, everyPlace) << from;
    EXPECT_GT(listed.size(), 20u);
    EXPECT_LT(candidates.size(), 4 * listed.size() + 50) << from;
    for (std::size_t i = 1; i < listed.size(); ++i) EXPECT_GE(listed[i - 1].duration_s, listed[i].duration_s);
  }
}

// The listing through the command loop from Startdat (Ortheim, UTC): the title line and the Saros line of the world map, then
// the rows or a line saying why there are none. A total eclipse (2026,
// Saros 126), an annular one (2023, Saros 134), a partial one (2025-03-29,
// Saros 149, northern hemisphere) and the total eclipse of 2021-12-04
// (Saros 152) over Antarctica, where the list has no place. Canon as above.
TEST(EclipsePlaces, ListingThroughTheCommandLoop) {
  UseEphemerisFiles();
  struct Case {
    double from;
    std::vector<std::string> head;  // the lines after the empty one
    const char* closing;            // the last line starts with it
    bool rows;
  };
  const Case cases[] = {
      {kFrom2026, {"Totale Sonnenfinsternis am 12.08.2026", "Saros 126"}, "29 Orte im Totalitätsbereich", true},
      {kFrom2023, {"Ringförmige Sonnenfinsternis am 14.10.2023", "Saros 134"}, "35 Orte im Bereich der Ringförmigkeit",
       true},
      {2460750, {"Partielle Sonnenfinsternis am 29.03.2025 (Nordhalbkugel)", "Saros 149"},
       "Die Finsternis ist nur partiell: kein Ort sieht sie total oder ringförmig.", false},
      {2459540, {"Totale Sonnenfinsternis am 04.12.2021", "Saros 152"},
       "Kein Ort der Ortsliste liegt im Totalitätsbereich.", false},
  };
  for (const Case& k : cases) {
    TSettings s;
    s.Startdat = k.from;
    TRunContext run(s);
    ScriptedHost host;
    const EclipsePlacesResult result = ListEclipsePlaces(s, run, host);
    EXPECT_TRUE(result.listRead);
    EXPECT_EQ(result.search.printed, 1) << k.from;
    EXPECT_TRUE(host.boxes.empty()) << k.from;
    ASSERT_GE(host.lines.size(), 5u) << k.from;
    EXPECT_EQ(host.lines[1], "");
    EXPECT_EQ(std::vector<std::string>(host.lines.begin() + 2, host.lines.begin() + 4), k.head);
    EXPECT_EQ(host.lines.back(), k.closing);
    EXPECT_EQ(host.lines.size(), k.rows ? 4 + 2 + result.places + 1 : 5u) << k.from;
    EXPECT_EQ(run.RunState, 0);
  }
}

// The rows by their layout: name in 33 characters, latitude and longitude
// as the list writes them, duration m:ss, greatest eclipse in the zone of
// the report (MESZ: MEZ with the summer time of the date), the phase; the column and unit lines over them.
// Oviedo: 43.36 N 5.84 W in ORTE.DAT, totality 1:51 (111.1 s, see above)
// at 20:28 MESZ (swe_sol_eclipse_when_loc: contacts 2 and 3 18:27:07 and
// 18:28:55 UT, greatest eclipse 18:28:01 UT; ours 6 s later).
TEST(EclipsePlaces, RowLayout) {
  UseEphemerisFiles();
  TSettings s;
  s.Startdat = kFrom2026;
  s.AutoSommerzeit = true;
  ApplyAutoSummerTime(s);
  TRunContext run(s);
  ScriptedHost host;
  ListEclipsePlaces(s, run, host);
  ASSERT_GE(host.lines.size(), 8u);
  EXPECT_EQ(host.lines[4], "Ort                                Breite    Länge   Dauer  Maximum              Phase");
  EXPECT_EQ(host.lines[5], "                                                       m:s             MESZ");
  EXPECT_EQ(host.lines[6].substr(0, 71), "Oviedo, Spanien                   43.36 N   5.84 W    1:51  12.08.2026 ");
  EXPECT_EQ(host.lines[6].substr(71, 5), "20:28");
  EXPECT_EQ(host.lines[6].substr(79), "  total");
}

// A list that is not there: an error message, nothing computed.
TEST(EclipsePlaces, MissingListIsSaid) {
  TSettings s;
  s.OrtsDatName = "/nonexistent-folder/ORTE.DAT";
  TRunContext run(s);
  ScriptedHost host;
  const EclipsePlacesResult result = ListEclipsePlaces(s, run, host);
  EXPECT_FALSE(result.listRead);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Datei /nonexistent-folder/ORTE.DAT nicht gefunden");
  EXPECT_TRUE(host.lines.empty());
}

}  // namespace
}  // namespace orb
