// SPDX-License-Identifier: AGPL-3.0-or-later
// The limits of the umbral path and of the partial eclipse against Swiss
// Ephemeris' local circumstances at our limit points, and the width of the
// umbral path at greatest eclipse.
#include "eclipses/PathLimits.h"

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/PathReport.h"
#include "support/ScriptedHost.h"
#include "support/SwissReference.h"

namespace orb {
namespace {

using test::SwissDeltaT;
using test::UseEphemerisFiles;

// Eclipses by the date of greatest eclipse (Espenak & Meeus, Five Millennium
// Canon of Solar Eclipses, NASA/TP-2006-214141).
struct KnownEclipse {
  const char* name;
  int32_t year, month, day;
};
constexpr KnownEclipse kEclipses[] = {
    {"2017-08-21 total", 2017, 8, 21},   {"2024-04-08 total", 2024, 4, 8}, {"2026-08-12 total", 2026, 8, 12},
    {"2023-10-14 annular", 2023, 10, 14}, {"2023-04-20 hybrid", 2023, 4, 20},
};

// Two days before greatest eclipse: the forward search finds it.
Extended SearchStart(const KnownEclipse& e) { return CalendarToJD(e.year, e.month, e.day) - 2; }

// The Sun and the Moon seen from a place at sea level (Swiss's topocentric
// apparent places): the angle between their centres and the angular radii
// of the Sun and the Moon for the radii of our shadow cones, 109.1227 and
// 0.2725076 Earth radii of 6378.14 km (the sum and the difference of the
// path's diameters 218.795 and 217.705 over 4, and 0.545 / 2), so that the
// comparison measures the places of the limits and not the choice of the
// Moon's radius (Swiss's is 0.7 km smaller, which alone moves its
// magnitude at our limits by 2e-4).
struct Seen {
  double separation = 0, sunRadius = 0, moonRadius = 0;
  // Magnitude (fraction of the Sun's diameter covered), negative outside
  // the penumbra.
  double Magnitude() const { return (sunRadius + moonRadius - separation) / (2 * sunRadius); }
};
Seen SeenFrom(double jd, int32_t deltaT_s, double lonEast_deg, double lat_deg) {
  constexpr double kAu_km = 149597870.691, kEarthRadius_km = 6378.14;
  swe_set_topo(lonEast_deg, lat_deg, 0);
  double m[6] = {}, sun[6] = {};
  char serr[AS_MAXCH] = {};
  const int32_t flags = SEFLG_SWIEPH | SEFLG_TOPOCTR | SEFLG_EQUATORIAL | SEFLG_RADIANS;
  swe_calc(jd + deltaT_s / 86400.0, SE_MOON, flags, m, serr);
  swe_calc(jd + deltaT_s / 86400.0, SE_SUN, flags, sun, serr);
  const double c =
      std::sin(m[1]) * std::sin(sun[1]) + std::cos(m[1]) * std::cos(sun[1]) * std::cos(m[0] - sun[0]);
  return {std::acos(std::min(1.0, c)), std::asin(109.1227 * kEarthRadius_km / (sun[2] * kAu_km)),
          std::asin(0.2725076 * kEarthRadius_km / (m[2] * kAu_km))};
}

// A place on the WGS84 ellipsoid as a geocentric vector (km). Across a path
// a few hundred km wide the chord is shorter than the geodesic by less than
// 0.02 km (c^3 / 24 R^2), so the chord serves as the distance.
struct Ecef {
  double x, y, z;
};
Ecef EcefOf(double lonEast_deg, double lat_deg) {
  constexpr double a = 6378.137, f = 1 / 298.257223563, e2 = f * (2 - f);
  const double r = std::numbers::pi / 180, sl = std::sin(lat_deg * r), cl = std::cos(lat_deg * r);
  const double n = a / std::sqrt(1 - e2 * sl * sl);
  return {n * cl * std::cos(lonEast_deg * r), n * cl * std::sin(lonEast_deg * r), n * (1 - e2) * sl};
}
double DistanceKm(double lon1, double lat1, double lon2, double lat2) {
  const Ecef a = EcefOf(lon1, lat1), b = EcefOf(lon2, lat2);
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

struct Eclipse {
  SolarEclipseContext c;
  double tret[10] = {};  // Swiss: [0] greatest eclipse, [4] / [5] ends of the central phase (UT)
};
Eclipse Prepare(const KnownEclipse& e) {
  Eclipse x;
  EXPECT_TRUE(SetUpSolarEclipse(x.c, SearchStart(e), +1, 1.0L / 1440, false)) << e.name;
  char serr[AS_MAXCH] = {};
  EXPECT_GT(swe_sol_eclipse_when_glob(static_cast<double>(SearchStart(e)), SEFLG_SWIEPH, 0, x.tret, 0, serr), 0);
  return x;
}

// Along the central phase (its first and last 5 % left out, where one
// umbral limit has already left the Earth for 2026-08-12) and at greatest
// eclipse, both umbral limits exist and lie on the edge of Swiss's umbra:
// swe_sol_eclipse_how gives attr[0] = (rs + rm - d) / 2rs there, which at
// the inner contact d = |rm - rs| is 1 for a total eclipse and rm / rs =
// attr[1] for an annular one, so min(1, attr[1]) either way (the manual:
// attr[0] "fraction of solar diameter covered by moon", attr[1] "ratio of
// lunar diameter to solar one"). A limit is also where the shadow's
// outline touches the path's boundary, so the place's own greatest eclipse
// (swe_sol_eclipse_when_loc tret[0]) falls on the instant of the limit. An
// existing penumbral limit lies on the edge of the penumbra: magnitude 0
// (swe_sol_eclipse_how clamps outside to 0, so the signed magnitude comes
// from Swiss's places with our radii).
TEST(PathLimits, LimitsLieOnTheShadowEdges) {
  UseEphemerisFiles();
  constexpr double kMagnitudeTolerance = 0.0005;
  constexpr double kMaximumTolerance_s = 2;  // measured: 0.6 s at most
  for (const KnownEclipse& e : kEclipses) {
    const Eclipse x = Prepare(e);
    const SwissDeltaT same(x.c.deltaT_s);
    double umbra = 0, penumbra = 0, maximum_s = 0;
    int penumbraPoints = 0;
    for (const double f : {-1.0, 0.05, 0.25, 0.5, 0.75, 0.95}) {
      const double jd = f < 0 ? x.tret[0] : x.tret[4] + f * (x.tret[5] - x.tret[4]);
      const PathLimits limits = PathLimitsAt(x.c, JulianCenturies(jd));
      for (const LimitKind k : {kUmbraNorth, kUmbraSouth}) {
        const LimitPoint& p = limits[k];
        ASSERT_TRUE(p.valid) << e.name << " f " << f << " kind " << k;
        double geo[3] = {static_cast<double>(-p.lonWest_deg), static_cast<double>(p.lat_deg), 0}, attr[20] = {};
        double tret[10] = {};
        char serr[AS_MAXCH] = {};
        ASSERT_GT(swe_sol_eclipse_how(jd, SEFLG_SWIEPH, geo, attr, serr), 0) << e.name;
        const double error = std::fabs(attr[0] - std::min(1.0, attr[1]));
        EXPECT_LT(error, kMagnitudeTolerance) << e.name << " f " << f << " kind " << k;
        umbra = std::max(umbra, error);
        ASSERT_GT(swe_sol_eclipse_when_loc(jd - 0.1, SEFLG_SWIEPH, geo, tret, attr, 0, serr), 0) << e.name;
        const double off_s = std::fabs(tret[0] - jd) * 86400;
        EXPECT_LT(off_s, kMaximumTolerance_s) << e.name << " f " << f << " kind " << k;
        maximum_s = std::max(maximum_s, off_s);
      }
      for (const LimitKind k : {kPenumbraNorth, kPenumbraSouth}) {
        const LimitPoint& p = limits[k];
        if (!p.valid) continue;
        ++penumbraPoints;
        const double lonEast = static_cast<double>(-p.lonWest_deg), lat = static_cast<double>(p.lat_deg);
        double geo[3] = {lonEast, lat, 0}, attr[20] = {};
        char serr[AS_MAXCH] = {};
        swe_sol_eclipse_how(jd, SEFLG_SWIEPH, geo, attr, serr);
        EXPECT_LT(attr[0], kMagnitudeTolerance) << e.name << " f " << f << " kind " << k;
        const double magnitude = SeenFrom(jd, x.c.deltaT_s, lonEast, lat).Magnitude();
        EXPECT_LT(std::fabs(magnitude), kMagnitudeTolerance) << e.name << " f " << f << " kind " << k;
        penumbra = std::max(penumbra, std::fabs(magnitude));
      }
    }
    // Each of these eclipses has a northern or a southern limit of the
    // partial eclipse through most of its central phase (NASA's maps).
    EXPECT_GE(penumbraPoints, 4) << e.name;
    std::printf("%-20s umbral limits: |attr[0] - min(1, attr[1])| <= %.6f, local maximum %.2f s away; "
                "penumbral limits: |magnitude| <= %.6f\n",
                e.name, umbra, maximum_s, penumbra);
  }
}

// The width of the umbral path at greatest eclipse: the distance of our two
// limits against the distance of the two points of the same line across
// the path where Swiss's places give the inner contact (the separation of
// the centres equal to the difference of the angular radii, our radii as
// above), found by halving. swe_sol_eclipse_where's attr[3] is the
// diameter of the umbra perpendicular to the shadow's axis, not the width
// on the ground (for 2026-08-12, with the Sun 25 degrees high, 132 km
// against about 290 km across the ground), and is printed for comparison.
TEST(PathLimits, WidthOfTheUmbralPath) {
  UseEphemerisFiles();
  constexpr double kWidthTolerance_km = 1;
  for (const KnownEclipse& e : kEclipses) {
    const Eclipse x = Prepare(e);
    const SwissDeltaT same(x.c.deltaT_s);
    const double jd = x.tret[0];
    const PathLimits limits = PathLimitsAt(x.c, JulianCenturies(jd));
    const LimitPoint& n = limits[kUmbraNorth];
    const LimitPoint& s = limits[kUmbraSouth];
    ASSERT_TRUE(n.valid && s.valid) << e.name;
    const double lonN = static_cast<double>(-n.lonWest_deg), latN = static_cast<double>(n.lat_deg);
    const double lonS = static_cast<double>(-s.lonWest_deg), latS = static_cast<double>(s.lat_deg);
    const double dLon = std::remainder(lonS - lonN, 360.0);
    const auto at = [&](double u, double& lon, double& lat) {
      lon = lonN + u * dLon;
      lat = latN + u * (latS - latN);
    };
    const auto inside = [&](double u) {
      double lon = 0, lat = 0;
      at(u, lon, lat);
      const Seen seen = SeenFrom(jd, x.c.deltaT_s, lon, lat);
      return seen.separation < std::fabs(seen.moonRadius - seen.sunRadius);
    };
    ASSERT_TRUE(inside(0.5)) << e.name;
    const auto edge = [&](double outside) {
      double in = 0.5;
      while (std::fabs(outside - in) > 1e-10) {
        const double middle = (in + outside) / 2;
        (inside(middle) ? in : outside) = middle;
      }
      return in;
    };
    double lon1 = 0, lat1 = 0, lon2 = 0, lat2 = 0;
    at(edge(-0.5), lon1, lat1);
    at(edge(1.5), lon2, lat2);
    const double ours = DistanceKm(lonN, latN, lonS, latS), swiss = DistanceKm(lon1, lat1, lon2, lat2);
    EXPECT_NEAR(ours, swiss, kWidthTolerance_km) << e.name;
    double geo[10] = {}, attr[20] = {};
    char serr[AS_MAXCH] = {};
    swe_sol_eclipse_where(jd, SEFLG_SWIEPH, geo, attr, serr);
    std::printf("%-20s width at greatest eclipse %.2f km, Swiss's edges %.2f km (difference %.2f km); "
                "swe_sol_eclipse_where attr[3] %.2f km\n",
                e.name, ours, swiss, ours - swiss, attr[3]);
  }
}

// Sampled every minute, each umbral limit is one unbroken polyline that
// spans the central phase (Swiss's ends, 5 minutes within them: a limit
// meets the Earth before the axis does and leaves it after).
TEST(PathLimits, SampledUmbralLimitsSpanTheCentralPhase) {
  UseEphemerisFiles();
  for (const KnownEclipse& e : kEclipses) {
    const Eclipse x = Prepare(e);
    const PathLimitCurves curves = SampledPathLimits(x.c, 1.0L / 1440 / kDaysPerCentury);
    for (const LimitKind k : {kUmbraNorth, kUmbraSouth}) {
      ASSERT_EQ(curves[k].size(), 1U) << e.name << " kind " << k;
      const LimitPolyline& line = curves[k].front();
      EXPECT_LT(static_cast<double>(JDFromCenturies(line.front().t)), x.tret[4] + 5.0 / 1440) << e.name;
      EXPECT_GT(static_cast<double>(JDFromCenturies(line.back().t)), x.tret[5] - 5.0 / 1440) << e.name;
    }
  }
}

// The path report with PfadGrenzen (2024-04-08, 10-minute rows, both angle
// layouts): each row is the row without the setting, its phase word filled
// to 29 characters, then per limit two blanks and the longitude and
// latitude cells of PathLimitsAt at the row's instant in the layout of the
// central line's cells (dashes for a limit that does not exist); the
// column and unit lines grow alike. Without the setting the report is
// unchanged (the lines are the prefix).
TEST(PathLimits, ReportColumns) {
  UseEphemerisFiles();
  const auto report = [](bool limits, bool noMinutes, SolarEclipseContext* context = nullptr) {
    TSettings s;
    s.TableColumns.Schrittweite = 10.0L / 1440;
    s.NoMinutes = noMinutes;
    s.PfadGrenzen = limits;
    test::ScriptedHost host;
    PathReport r;
    TRunContext run(s);
    run.StartJulDat = SearchStart(kEclipses[1]);
    EXPECT_TRUE(r.AskStep(s, host, false));
    EXPECT_TRUE(r.Report(s, run, host, false, +1));
    if (context != nullptr) *context = r.Context();
    return host.lines;
  };
  for (const bool noMinutes : {false, true}) {
    SolarEclipseContext c;
    const std::vector<std::string> plain = report(false, noMinutes);
    const std::vector<std::string> wide = report(true, noMinutes, &c);
    ASSERT_EQ(plain.size(), wide.size());
    EXPECT_EQ(wide[3].substr(plain[3].size()),
              std::string(29 - 8, ' ') + "  Kern N Länge    Breite  Kern S Länge    Breite" +
                  "  Halb N Länge    Breite  Halb S Länge    Breite");
    EXPECT_EQ(wide[4], plain[4] + std::string(77 - plain[4].size(), ' ') +
                           (noMinutes ? "          o         o             o         o             o         o   "
                                        "          o         o"
                                      : "          o  '      o  '          o  '      o  '          o  '      o  '"
                                        "          o  '      o  '"));
    int umbral = 0, penumbral = 0;
    for (std::size_t i = 5; i < wide.size(); ++i) {
      const std::string& row = wide[i];
      ASSERT_EQ(Utf8Length(row), 77U + 4 * 24) << row;
      ASSERT_EQ(row.substr(0, plain[i].size()), plain[i]);
      const std::string cells = row.substr(row.size() - 4 * 24);
      const Extended t = c.tableStart + static_cast<Extended>(i - 5) * c.step;
      // The rows start at the first partial minute; find the row's instant
      // from its clock time instead of counting.
      const int minutes = std::stoi(row.substr(11, 2)) * 60 + std::stoi(row.substr(14, 2));
      const Extended rowT = JulianCenturies(std::floor(JDFromCenturies(t) - 0.5L) + 0.5L + minutes / 1440.0L);
      const PathLimits limits = PathLimitsAt(c, rowT);
      const LimitKind kinds[] = {kUmbraNorth, kUmbraSouth, kPenumbraNorth, kPenumbraSouth};
      for (int k = 0; k < 4; ++k) {
        const std::string cell = cells.substr(static_cast<std::size_t>(k) * 24, 24);
        const LimitPoint& p = limits[kinds[k]];
        if (!p.valid) {
          EXPECT_EQ(cell, "         -- --     -- --") << row;
          continue;
        }
        (k < 2 ? umbral : penumbral)++;
        if (noMinutes) {
          EXPECT_EQ(cell, "  " + Str(p.lonWest_deg, 12, 2) + Str(p.lat_deg, 10, 2)) << row;
        } else {
          const double lon = std::stod(cell.substr(2, 9)), lat = std::stod(cell.substr(14, 7));
          const double lonMin = std::stod(cell.substr(11, 3)), latMin = std::stod(cell.substr(21, 3));
          EXPECT_NEAR(std::fabs(lon) + lonMin / 60, std::fabs(static_cast<double>(p.lonWest_deg)), 0.5 / 60 + 1e-9);
          EXPECT_NEAR(std::fabs(lat) + latMin / 60, std::fabs(static_cast<double>(p.lat_deg)), 0.5 / 60 + 1e-9);
        }
      }
    }
    // The central phase lasts 3 h 20 min (swe_sol_eclipse_when_glob): about
    // 20 rows with both umbral limits.
    EXPECT_GT(umbral, 2 * 18);
    EXPECT_GT(penumbral, 10);
  }
}

}  // namespace
}  // namespace orb
