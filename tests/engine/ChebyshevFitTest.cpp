// SPDX-License-Identifier: AGPL-3.0-or-later
// Chebyshev fits of the apparent Sun and Moon against the planetary theory
// they sample, and the lunar-phase routines against Meeus' worked examples
// (Astronomical Algorithms, 2nd ed., 1998, chapter 49) and against a root
// search on the planetary theory's positions (Swiss Ephemeris, DE431 files).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/KernelReport.h"
#include "core/NumKernel.h"
#include "core/TimeScales.h"
#include "engine/ChebyshevFit.h"
#include "engine/PlanetaryTheory.h"
#include "support/ScriptedHost.h"

namespace orb {
namespace {

constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
constexpr double kDaysPerCentury = 36525.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kEarthRadiiPerAu = 149597870.691 / 6378.137;  // km per AU / km per Earth radius
constexpr double kHalfPi = 1.5707963267948966193;              // the phase list's quarter turn

Extended Centuries(double jd_tt) { return (jd_tt - 2451545.0) / kDaysPerCentury; }

// ---------------------------------------------------------------------------
// Fits

struct FitDeviation {
  double ra_arcsec = 0, dec_arcsec = 0, dist = 0;
};

// Largest deviation of the fitted series from the theory's apparent place
// (switches 1, 1, 1) at 97 evenly spaced instants of [A, B], ends included.
// The right ascension is compared modulo 360 degrees.
FitDeviation Deviation(const TChebFit& fit, int32_t body, double distScale) {
  FitDeviation d;
  const Extended a = fit.ra_deg.A, b = fit.ra_deg.B;
  for (int k = 0; k <= 96; ++k) {
    const Extended t = k == 96 ? b : a + (b - a) * k / 96;
    const double jd = static_cast<double>(kDaysPerCentury * t + 2451545.0);
    const double ra = theory::_planetinfo(jd, body, theory::kQtyRightAscension, 1, 1, 1) * kRadToDeg;
    const double dec = theory::_planetinfo(jd, body, theory::kQtyDeclination, 1, 1, 1) * kRadToDeg;
    const double dist = theory::_planetinfo(jd, body, theory::kQtyDistance, 1, 1, 1) * distScale;
    const double dRa = std::remainder(static_cast<double>(T_EVAL(fit.ra_deg, t)) - ra, 360.0);
    const double dDec = static_cast<double>(T_EVAL(fit.dec_deg, t)) - dec;
    d.ra_arcsec = std::max(d.ra_arcsec, std::fabs(dRa) * 3600);
    d.dec_arcsec = std::max(d.dec_arcsec, std::fabs(dDec) * 3600);
    d.dist = std::max(d.dist, std::fabs(static_cast<double>(T_EVAL(fit.dist, t)) - dist));
  }
  return d;
}

class ChebyshevFitTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(theory::SetEphemerisPath("/usr/share/libswe/ephe")); }
  test::ScriptedHost host_;
  KernelHostScope scope_{host_};
};

// The fits interpolate the theory at the Chebyshev nodes. For a smooth
// motion over hours the interpolation error between the nodes falls off like
// (interval / period)^(N+1), far below a milliarcsecond; what remains is the
// theory's own irregularity: fourth differences of its Moon at 1-minute
// steps reach 0.002" (the interpolation of the compressed ephemeris files).
// Largest deviations measured here: Moon 0.0007" in right ascension, 0.0003"
// in declination, 4e-8 Earth radii (0.3 m); Sun 1.6e-6", 6e-7", 1.3e-13 AU.
// The bounds allow a factor of about seven.
TEST_F(ChebyshevFitTest, FitsReproduceTheApparentPlaces) {
  // 2024 Jan 15.0 TT and 1992 Apr 12.0 TT (the date of Meeus' example 47.a).
  const struct {
    double jd_tt, length_days;
    int32_t n;
  } cases[] = {{2460324.5, 0.25, 8}, {2460324.5, 0.25, 13}, {2460324.5, 1.0, 13},
               {2448724.5, 0.25, 8}, {2448724.5, 1.0, 8}};
  for (const auto& c : cases) {
    TChebFit moon, sun;
    const Extended ta = Centuries(c.jd_tt), tb = Centuries(c.jd_tt + c.length_days);
    ASSERT_TRUE(T_FIT_MOON(c.n, ta, tb, moon));
    ASSERT_TRUE(T_FIT_SUN(c.n, ta, tb, sun));
    const FitDeviation dm = Deviation(moon, theory::kCodeMoon, kEarthRadiiPerAu);
    const FitDeviation ds = Deviation(sun, theory::kCodeSunSearch, 1.0);
    std::printf("fit %.2f d N=%d: Moon %.2e\" %.2e\" %.2e ER, Sun %.2e\" %.2e\" %.2e AU\n", c.length_days,
                c.n, dm.ra_arcsec, dm.dec_arcsec, dm.dist, ds.ra_arcsec, ds.dec_arcsec, ds.dist);
    EXPECT_LT(dm.ra_arcsec, 5e-3);
    EXPECT_LT(dm.dec_arcsec, 5e-3);
    EXPECT_LT(dm.dist, 3e-7);
    EXPECT_LT(ds.ra_arcsec, 1e-5);
    EXPECT_LT(ds.dec_arcsec, 1e-5);
    EXPECT_LT(ds.dist, 1e-12);
  }
  EXPECT_TRUE(host_.boxes.empty()) << host_.boxes.front().text;  // no T_EVAL range report
}

// The Sun passes RA 0h at the March equinox 2024 near JD 2460389.64 TT and
// the Moon near JD 2460325.64 TT (both found by stepping the theory's right
// ascension hourly). A series across the crossing runs continuously from
// below 0 to above 0 and matches the theory modulo 360 everywhere.
TEST_F(ChebyshevFitTest, RightAscensionIsContinuousAcrossZeroHours) {
  const struct {
    int32_t body;
    double jd_tt, length_days;
  } cases[] = {{theory::kCodeSunSearch, 2460389.14, 1.0}, {theory::kCodeMoon, 2460325.52, 0.25}};
  for (const auto& c : cases) {
    TChebFit fit;
    const Extended ta = Centuries(c.jd_tt), tb = Centuries(c.jd_tt + c.length_days);
    ASSERT_TRUE(c.body == theory::kCodeMoon ? T_FIT_MOON(8, ta, tb, fit) : T_FIT_SUN(8, ta, tb, fit));
    EXPECT_LT(T_EVAL(fit.ra_deg, ta), 0);
    EXPECT_GT(T_EVAL(fit.ra_deg, tb), 0);
    // Continuous and growing: no step back of 360 degrees between neighbours.
    Extended previous = T_EVAL(fit.ra_deg, ta);
    for (int k = 1; k <= 48; ++k) {
      const Extended value = T_EVAL(fit.ra_deg, k == 48 ? tb : ta + (tb - ta) * k / 48);
      EXPECT_GT(value, previous) << k;
      previous = value;
    }
    // Against the theory modulo 360 degrees, bounds as above.
    const double distScale = c.body == theory::kCodeMoon ? kEarthRadiiPerAu : 1.0;
    EXPECT_LT(Deviation(fit, c.body, distScale).ra_arcsec, c.body == theory::kCodeMoon ? 5e-3 : 1e-5);
  }
  EXPECT_TRUE(host_.boxes.empty()) << host_.boxes.front().text;
}

// The records hold fourteen coefficients: N = 13 is the largest degree.
// A refused fit leaves the records as they were: N > 13 (reported), N < 0
// (no nodes), and a date outside the ephemeris (year 102000; DE431 ends in
// 17191), where the theory gives no place and NaN coefficients would follow.
TEST_F(ChebyshevFitTest, RefusedFitsLeaveTheRecords) {
  const Extended ta = Centuries(2460324.5), tb = Centuries(2460324.75);
  TChebFit fit;
  EXPECT_TRUE(T_FIT_MOON(13, ta, tb, fit));
  EXPECT_TRUE(host_.boxes.empty());

  fit.ra_deg.N = 5;
  fit.dec_deg.c[0] = 7;
  EXPECT_FALSE(T_FIT_MOON(14, ta, tb, fit));
  EXPECT_FALSE(T_FIT_SUN(14, ta, tb, fit));
  // Both refusals have the same text, shown once in one computation.
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(host_.boxes[0].kind, MsgKind::Error);
  EXPECT_EQ(host_.boxes[0].text, " N: 14 zu gross in T_FIT_MOON: 13");
  EXPECT_FALSE(T_FIT_SUN(-1, ta, tb, fit));
  EXPECT_FALSE(T_FIT_MOON(8, 1000, 1000.001L, fit));
  EXPECT_FALSE(T_FIT_SUN(8, 1000, 1000.001L, fit));
  EXPECT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(fit.ra_deg.N, 5);
  EXPECT_EQ(fit.dec_deg.c[0], 7);
}

// ---------------------------------------------------------------------------
// Phase time

// Elongation of the Moon from the Sun minus `x`, in (-pi, pi]: longitudes
// of date with light time, without nutation, and with aberration as given
// (on: the apparent longitudes the phases are defined by).
double ElongationOffset(double jd_tt, double x_rad, int32_t aberration) {
  const double sun = theory::_planetinfo(jd_tt, theory::kCodeSunSearch, theory::kQtyLongitude, 1, aberration, 0);
  const double moon = theory::_planetinfo(jd_tt, theory::kCodeMoon, theory::kQtyLongitude, 1, aberration, 0);
  return std::remainder(moon - sun - x_rad, 2 * 3.14159265358979323846);
}

// The instant (TT) at which that elongation equals `x`, by bisection in
// [guess - 0.1 d, guess + 0.1 d] to 1e-8 d (1 ms). The elongation grows by
// at least 10.7 degrees a day, so the bracket holds one root only.
double ElongationRoot(double guess_tt, double x_rad, int32_t aberration = 1) {
  double lo = guess_tt - 0.1, hi = guess_tt + 0.1;
  EXPECT_LT(ElongationOffset(lo, x_rad, aberration), 0);
  EXPECT_GT(ElongationOffset(hi, x_rad, aberration), 0);
  while (hi - lo > 1e-8) {
    const double mid = (lo + hi) / 2;
    (ElongationOffset(mid, x_rad, aberration) < 0 ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

// The iteration stops after a step of at most 60 s. Each step is the
// remaining elongation divided by its mean rate 12.19 deg/d; the true rate
// lies between 10.7 and 14.5 deg/d (the Moon's 11.7 to 15.4 deg/d minus the
// Sun's 1.0), so the error left after the last step is at most
// 60 s * (12.19/10.7 - 1) = 8.4 s. The bound takes 12 s.
constexpr double kIterationBound_s = 12.0;

struct Refined {
  double ut;       // the result
  double tt;       // the same with the deltaT the routine used
  double lat_rad;  // the returned latitude
};
Refined Refine(double jd_ut, double x_rad) {
  Extended jd = jd_ut;
  const double lat = static_cast<double>(RefinePhaseTime(jd, x_rad, false));
  return {static_cast<double>(jd), static_cast<double>(jd) + DeltaT(jd_ut, false).days, lat};
}

// Meeus, example 49.a: New Moon of 1977 February. Chapter 49's series gives
// JDE 2443192.65118 (3h37m42s TD); the instant of equal apparent longitudes
// is 3h37m40s TD (the value Meeus uses in example 10.a), which the root
// search on the theory's apparent longitudes reproduces. Example 49.b: last
// quarter, JDE 2467636.49186 = 2044 Jan 21, 23h48m17s TD (the chapter's
// series is good to a few seconds). The iteration stops within about 10 s of
// the exact instant (kIterationBound_s below).
TEST(RefinePhaseTime, MeeusNewMoonAndLastQuarter) {
  ASSERT_TRUE(theory::SetEphemerisPath("/usr/share/libswe/ephe"));
  const double newMoonTrue_tt = 2443192.5 + (3 * 3600 + 37 * 60 + 40) / kSecondsPerDay;
  EXPECT_NEAR((ElongationRoot(newMoonTrue_tt, 0, 1) - newMoonTrue_tt) * kSecondsPerDay, 0, 1);

  const Refined newMoon = Refine(2443189.5, 0);  // start 1977 Feb 15.0 UT
  const double newMoon_s = (newMoon.tt - newMoonTrue_tt) * kSecondsPerDay;
  const Refined lastQuarter = Refine(2467630.0, 3 * kHalfPi);  // start 2044 Jan 15.5 UT
  const double lastQuarter_s = (lastQuarter.tt - 2467636.49186) * kSecondsPerDay;
  std::printf("49.a: %+.1f s from 3h37m40s TD; 49.b: %+.1f s from 23h48m17s TD\n", newMoon_s, lastQuarter_s);
  EXPECT_LT(std::fabs(newMoon_s), 15);
  EXPECT_LT(std::fabs(lastQuarter_s), 20);
  // With TDT the instants are dynamical time: no deltaT is added, so the
  // result is the same instant expressed in TT (to the iteration's 10 s).
  Extended tdt = 2443189.5L;
  RefinePhaseTime(tdt, 0, true);
  EXPECT_NEAR((static_cast<double>(tdt) - newMoon.tt) * kSecondsPerDay, 0, 10);
}

// The four phases of a lunation in each of several years 1900-2100 against
// the root search on the apparent longitudes. Start instants (UT): 1900 Jan 1.0,
// 1938 Jun 15.0, 1977 Feb 15.0, 2000 Jan 1.5, 2024 Mar 1.0, 2062 Sep 9.0,
// 2100 Dec 1.0 (Julian dates from Meeus' chapter 7 rule).
TEST(RefinePhaseTime, AgreesWithRootSearchOnTheTheory) {
  ASSERT_TRUE(theory::SetEphemerisPath("/usr/share/libswe/ephe"));
  const double starts[] = {2415020.5, 2428699.5, 2443189.5, 2451545.0, 2460370.5, 2474363.5, 2488403.5};
  double worst_s = 0;
  for (double start : starts) {
    double t = start;
    for (int q = 0; q < 4; ++q) {
      const Refined r = Refine(t, q * kHalfPi);
      const double root_tt = ElongationRoot(r.tt, q * kHalfPi);
      const double diff_s = (r.tt - root_tt) * kSecondsPerDay;
      worst_s = std::max(worst_s, std::fabs(diff_s));
      EXPECT_LT(std::fabs(diff_s), kIterationBound_s) << start << " q=" << q;
      // The latitude of the last evaluation, at most one 60-s step before the
      // result: the Moon's latitude changes by at most 1.2 deg/d
      // (5.15 deg * 2pi / 27.2 d), 3" in 60 s.
      const double lat = theory::_planetinfo(r.tt, theory::kCodeMoon, theory::kQtyLatitude, 1, 1, 0);
      EXPECT_NEAR(r.lat_rad, lat, 3.0 / 3600 / kRadToDeg) << start << " q=" << q;
      t = r.ut + 7;  // the phase list's estimate of the next phase
    }
  }
  std::printf("RefinePhaseTime vs root search: largest difference %.2f s\n", worst_s);
}

// Each step is at most half a lunation, so the iteration ends at the event
// nearest to the start. The new moon of example 49.a (found above) from
// 13 days before and after; from 16 days before, the previous new moon,
// one lunation (29.27 to 29.83 days, Meeus ch. 49) earlier.
TEST(RefinePhaseTime, MovesToTheNearestEvent) {
  ASSERT_TRUE(theory::SetEphemerisPath("/usr/share/libswe/ephe"));
  // 1977 Feb 18 near 3h36m UT: example 49.a's 3h37m TD less deltaT (48 s, Meeus
  // table 10.A for 1977), to a minute; the root search refines it.
  const double newMoon_ut = 2443192.65;
  const double root_tt = ElongationRoot(newMoon_ut + DeltaT(newMoon_ut, false).days, 0);
  for (double offset_days : {-13.0, -5.0, -0.2, 5.0, 13.0}) {
    const Refined r = Refine(newMoon_ut + offset_days, 0);
    EXPECT_NEAR((r.tt - root_tt) * kSecondsPerDay, 0, kIterationBound_s) << offset_days;
  }
  const Refined previous = Refine(newMoon_ut - 16, 0);
  EXPECT_GT(root_tt - previous.tt, 29.27);
  EXPECT_LT(root_tt - previous.tt, 29.83);

  // Bad input ends at once: no place, the instant unchanged.
  Extended jd = NAN;
  EXPECT_TRUE(std::isnan(RefinePhaseTime(jd, 0, false)));
  jd = 1e9;  // far outside the ephemeris
  EXPECT_TRUE(std::isnan(RefinePhaseTime(jd, 0, false)));
  EXPECT_EQ(jd, 1e9L);
}

// ---------------------------------------------------------------------------
// Phase value

// P = (a - Int(a) - 0.4999) * 2 with a = e/2pi + 2.4999 (e = elongation)
// is e/pi for e in [-0.9998 pi, 1.0002 pi): 0 at new moon, 0.5 at first
// quarter, +-1 at full moon, -0.5 at last quarter. At the instants of those
// elongations (root search above), P differs from these values only by the
// short Sun longitude's error (the mini Sun, about 1', Montenbruck &
// Pfleger), nutation (at most 17.2") and the Sun's aberration (20.5"):
// together at most 2' = pi/5400 rad, 0.0002 in P. The bound takes 0.0003.
TEST(MoonPhaseValue, PhasesAndRange) {
  ASSERT_TRUE(theory::SetEphemerisPath("/usr/share/libswe/ephe"));
  const double start = 2460370.5;  // 2024 Mar 1.0 UT
  const double expected[] = {0.0, 0.5, 1.0, -0.5};
  double t = start;
  for (int q = 0; q < 4; ++q) {
    const Refined r = Refine(t, q * kHalfPi);
    const double root_tt = ElongationRoot(r.tt, q * kHalfPi);
    const MoonPhase phase = MoonPhaseValue(root_tt);
    double p = static_cast<double>(phase.P);
    if (q == 2 && p < 0) p += 2;  // -1 and +1 are the same full moon
    EXPECT_NEAR(p, expected[q], 3e-4) << q;
    // Longitude and latitude of date with light time and nutation, no aberration.
    EXPECT_EQ(phase.lon_rad, theory::_planetinfo(root_tt, theory::kCodeMoon, theory::kQtyLongitude, 1, 0, 1));
    EXPECT_EQ(phase.lat_rad, theory::_planetinfo(root_tt, theory::kCodeMoon, theory::kQtyLatitude, 1, 0, 1));
    t = r.ut + 7;
  }

  // Over one lunation P stays in [-0.9998, 1.0002) and rises steadily except
  // for one drop of about 2 at full moon.
  Extended previous = MoonPhaseValue(start).P;
  int drops = 0;
  for (int hour = 1; hour <= 30 * 24; hour += 5) {
    const Extended p = MoonPhaseValue(start + hour / 24.0).P;
    EXPECT_GE(p, -0.9998L);
    EXPECT_LT(p, 1.0002L);
    if (p < previous) {
      ++drops;
      EXPECT_GT(previous - p, 1.9L);
    }
    previous = p;
  }
  EXPECT_EQ(drops, 1);
}

}  // namespace
}  // namespace orb
