// SPDX-License-Identifier: AGPL-3.0-or-later
// Coordinate frames against Meeus' worked examples (Astronomical Algorithms,
// 2nd ed., 1998) and against hand derivations.
#include "engine/Frames.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/TimeScales.h"
#include "engine/PlanetaryTheory.h"

namespace orb {
namespace {

constexpr Extended kDeg = kPi / 180;
constexpr Extended kArcsec = kDeg / 3600;

Extended Hms(Extended h, Extended m, Extended s) { return (h + m / 60 + s / 3600) * 15 * kDeg; }
Extended Dms(Extended d, Extended m, Extended s) {
  return (d < 0 ? -1 : 1) * (std::fabs(d) + m / 60 + s / 3600) * kDeg;
}
// Difference of two angles brought into (-pi, pi].
Extended AngleDiff(Extended a, Extended b) { return std::remainder(a - b, kTwoPi); }

TEST(Frames, MeanObliquity) {
  // Laskar's constant term at J2000 (Meeus 22.2: 23 26' 21.448").
  EXPECT_NEAR(static_cast<double>(MeanObliquity(kJ2000) / kDeg), 23.4392911, 1e-7);
  // Meeus 22.a, 1987 Apr 10 0h TD: eps0 = 23 26' 27.407".
  EXPECT_NEAR(static_cast<double>((MeanObliquity(2446895.5L) - Dms(23, 26, 27.407)) / kArcsec), 0, 0.002);
}

TEST(Frames, EclipticEquatorialPollux) {
  // Meeus 13.a: Pollux (J2000, eps = 23.4392911): alpha 116.328942, delta
  // 28.026183 <-> lambda 113.215630, beta 6.684170.
  Extended ra = 0, dec = 0, lon = 0, lat = 0;
  EclipticToEquatorial(kJ2000, 6.684170L * kDeg, 113.215630L * kDeg, ra, dec);
  EXPECT_NEAR(static_cast<double>(ra / kDeg), 116.328942, 2e-6);
  EXPECT_NEAR(static_cast<double>(dec / kDeg), 28.026183, 2e-6);
  EquatorialToEcliptic(kJ2000, Dms(28, 1, 34.26), Hms(7, 45, 18.946), lon, lat);
  EXPECT_NEAR(static_cast<double>(lon / kDeg), 113.215630, 2e-6);
  EXPECT_NEAR(static_cast<double>(lat / kDeg), 6.684170, 2e-6);
  // A right ascension beyond 12h comes back in (-pi, pi].
  EclipticToEquatorial(kJ2000, 0, 270 * kDeg, ra, dec);
  EXPECT_NEAR(static_cast<double>(ra / kDeg), -90, 1e-12);
}

TEST(Frames, HorizontalVenusWashington) {
  // Meeus 13.b: Venus at the US Naval Observatory, 1987 Apr 10, 19h21m UT:
  // H = 64.352133, delta = -6 43' 11.61", phi = +38 55' 17" give
  // A = 68.0337 from the south (248.0337 from the north) and h = 15.1249.
  const Extended lat = Dms(38, 55, 17), dec = Dms(-6, 43, 11.61), ha = 64.352133L * kDeg;
  Extended az = 0, alt = 0;
  EquatorialToHorizontal(lat, dec, ha, az, alt);
  EXPECT_NEAR(static_cast<double>(az / kDeg), 248.0337, 1e-4);
  EXPECT_NEAR(static_cast<double>(alt / kDeg), 15.1249, 1e-4);
  Extended ha2 = 0, dec2 = 0;
  HorizontalToEquatorial(alt, az, lat, ha2, dec2);
  EXPECT_NEAR(static_cast<double>(AngleDiff(ha2, ha) / kArcsec), 0, 1e-6);
  EXPECT_NEAR(static_cast<double>((dec2 - dec) / kArcsec), 0, 1e-6);
}

TEST(Frames, HorizontalHandCases) {
  Extended az = 0, alt = 0;
  // A star on the celestial equator at hour angle 0 seen from 50 N stands in
  // the south at 90 - 50 = 40 degrees.
  EquatorialToHorizontal(50 * kDeg, 0, 0, az, alt);
  EXPECT_NEAR(static_cast<double>(az / kDeg), 180, 1e-12);
  EXPECT_NEAR(static_cast<double>(alt / kDeg), 40, 1e-12);
  // Six hours west on the equator it sets due west.
  EquatorialToHorizontal(50 * kDeg, 0, 90 * kDeg, az, alt);
  EXPECT_NEAR(static_cast<double>(az / kDeg), 270, 1e-12);
  EXPECT_NEAR(static_cast<double>(alt / kDeg), 0, 1e-12);
  // The pole star's place: altitude = latitude, azimuth north (0).
  EquatorialToHorizontal(50 * kDeg, 90 * kDeg, 1.0L, az, alt);
  EXPECT_NEAR(static_cast<double>(alt / kDeg), 50, 1e-12);
  EXPECT_NEAR(static_cast<double>(std::remainder(az, kTwoPi)), 0, 1e-12);
}

TEST(Frames, RisingAzimuth) {
  Extended az = 0;
  // delta = 60 from 50 N: circumpolar, no rise or set.
  EXPECT_FALSE(RisingAzimuth(50 * kDeg, 60 * kDeg, az));
  // delta = -60 from 50 N: never above the horizon.
  EXPECT_FALSE(RisingAzimuth(50 * kDeg, -60 * kDeg, az));
  // The equator rises due east.
  ASSERT_TRUE(RisingAzimuth(50 * kDeg, 0, az));
  EXPECT_NEAR(static_cast<double>(az / kDeg), 90, 1e-12);
  // delta = 23.44 from 50 N: sin(delta)/cos(phi) = 0.618970..., A = 90 - 38.2386 (hand).
  ASSERT_TRUE(RisingAzimuth(50 * kDeg, 23.44L * kDeg, az));
  EXPECT_NEAR(static_cast<double>(az / kDeg), 90 - std::asin(std::sin(23.44 * M_PI / 180) /
                                                              std::cos(50 * M_PI / 180)) * 180 / M_PI,
              1e-10);
}

TEST(Frames, EquatorialPrecessionThetaPersei) {
  // Meeus 21.b: theta Persei, J2000 place with proper motion applied,
  // 41.054063, 49.227750, precessed to 2028 Nov 13.19 TD (JDE 2462088.69):
  // 41.547214, 49.348483. The program's rounded coefficients (2306.218"
  // instead of 2306.2181" ...) stay within 0.01" here.
  Extended ra = 41.054063L * kDeg, dec = 49.227750L * kDeg;
  PrecessEquatorial(ra, dec, 2462088.69L, kJ2000);
  EXPECT_NEAR(static_cast<double>(AngleDiff(ra, 41.547214L * kDeg) * std::cos(dec) / kArcsec), 0, 0.02);
  EXPECT_NEAR(static_cast<double>((dec - 49.348483L * kDeg) / kArcsec), 0, 0.02);
  // Back again.
  PrecessEquatorial(ra, dec, kJ2000, 2462088.69L);
  EXPECT_NEAR(static_cast<double>(AngleDiff(ra, 41.054063L * kDeg) / kArcsec), 0, 1e-4);
  EXPECT_NEAR(static_cast<double>((dec - 49.227750L * kDeg) / kArcsec), 0, 1e-4);
}

TEST(Frames, PrecessionToTheSameEpochIsTheIdentity) {
  Extended ra = 1.234L, dec = -0.4L, lon = 5.9L, lat = 0.1L;
  PrecessEquatorial(ra, dec, 2440000.5L, 2440000.5L);
  PrecessEcliptic(lon, lat, 2440000.5L, 2440000.5L);
  EXPECT_NEAR(static_cast<double>(ra), 1.234, 1e-15);
  EXPECT_NEAR(static_cast<double>(dec), -0.4, 1e-15);
  EXPECT_NEAR(static_cast<double>(lon), 5.9, 1e-12);
  EXPECT_NEAR(static_cast<double>(lat), 0.1, 1e-15);
}

TEST(Frames, EclipticAndEquatorialPrecessionAgree) {
  // Both rigorous formula sets describe the same rotation: an ecliptic place
  // precessed directly must equal the one taken through the equator
  // (obliquity of each date) over a century and a half.
  for (Extended target : {2378496.5L, 2469807.5L, 2506331.5L}) {
    for (Extended lon0 : {10.0L, 100.0L, 200.0L, 300.0L}) {
      Extended lon = lon0 * kDeg, lat = 3 * kDeg;
      Extended ra = 0, dec = 0;
      EclipticToEquatorial(kJ2000, lat, lon, ra, dec);
      PrecessEquatorial(ra, dec, target, kJ2000);
      Extended lon2 = 0, lat2 = 0;
      EquatorialToEcliptic(target, dec, ra, lon2, lat2);
      PrecessEcliptic(lon, lat, target, kJ2000);
      EXPECT_NEAR(static_cast<double>(AngleDiff(lon, lon2) / kArcsec), 0, 0.05) << lon0;
      EXPECT_NEAR(static_cast<double>((lat - lat2) / kArcsec), 0, 0.05) << lon0;
    }
  }
}

TEST(Frames, EpochOfYear) {
  // The mean equinox of "2000" is the Besselian year 2000.0, JD 2451544.533.
  EXPECT_NEAR(static_cast<double>(EpochOfYear(2000)), 2451544.533, 1e-9);
  EXPECT_NEAR(static_cast<double>(EpochOfYear(1950)), 2433282.423, 1e-9);
}

TEST(Frames, ShortNutation) {
  // Meeus 22.a, 1987 Apr 10 0h TD: dpsi = -3.788", deps = +9.443" (IAU 1980
  // series); the short series keeps the five largest terms, good to 0.5".
  const NutationAngles n = ShortNutation(2446895.5L);
  EXPECT_NEAR(static_cast<double>(n.dpsi / kArcsec), -3.788, 0.5);
  EXPECT_NEAR(static_cast<double>(n.deps / kArcsec), 9.443, 0.5);
  // Against Swiss Ephemeris' nutation in longitude (Venus with and without
  // nutation) over two centuries: within 1".
  for (double jd = 2415020.5; jd < 2488070.5; jd += 3652.5) {
    const double withNut = theory::_planetinfo(jd, 1002, theory::kQtyLongitude, 1, 1, 1);
    const double without = theory::_planetinfo(jd, 1002, theory::kQtyLongitude, 1, 1, 0);
    EXPECT_NEAR(static_cast<double>(ShortNutation(jd).dpsi / kArcsec),
                std::remainder(withNut - without, 2 * M_PI) * 180 / M_PI * 3600, 1.0)
        << jd;
  }
}

// Ecliptic to equatorial with a given obliquity (rotation about x).
void RotateToEquator(Extended eps, Extended lat, Extended lon, Extended& ra, Extended& dec) {
  const Vector3 v = PolarToRect(lat, lon, 1);
  Extended r = 0;
  RectToPolar(std::sin(eps) * v.y + std::cos(eps) * v.z, std::cos(eps) * v.y - std::sin(eps) * v.z, v.x, r, ra,
              dec);
}

TEST(Frames, NutationInEquatorialCoordinatesMatchesTheEcliptic) {
  // Nutation applied to a mean equatorial place must equal the ecliptic
  // place with dpsi added, converted with the true obliquity eps + deps
  // (the first-order formulas are good to 0.01").
  const Extended jd = 2446895.5L;
  const NutationAngles n = ShortNutation(jd);
  const Extended lon = 1.1L, lat = 0.05L;
  Extended ra = 0, dec = 0, raTrue = 0, decTrue = 0;
  RotateToEquator(n.eps, lat, lon, ra, dec);
  RotateToEquator(n.eps + n.deps, lat, lon + n.dpsi, raTrue, decTrue);
  NutationEquatorial(ra, dec, jd);
  EXPECT_NEAR(static_cast<double>(AngleDiff(ra, raTrue) / kArcsec), 0, 0.01);
  EXPECT_NEAR(static_cast<double>((dec - decTrue) / kArcsec), 0, 0.01);
  Extended l = lon;
  NutationLongitude(l, jd);
  EXPECT_EQ(l, lon + n.dpsi);
}

TEST(Frames, TopocentricCorrection) {
  // An object 60 Earth radii away on the observer's meridian at the equator
  // (alpha = local sidereal time, delta = 0, latitude 0) stands in the
  // zenith: its direction stays, its distance shrinks by one Earth radius.
  const Extended jd = 2460000.5L;
  const Extended lst_rad = static_cast<Extended>(LocalSiderealTime(10, jd)) * 15 * kDeg;
  Extended ra = lst_rad, dec = 0, delta = 60 * kEarthRadius_au;
  TopocentricCorrection(ra, dec, delta, 0, 10, jd);
  EXPECT_NEAR(static_cast<double>(AngleDiff(ra, lst_rad)), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(dec), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(delta / kEarthRadius_au), 59, 1e-12);
  // Six hours east of the meridian on the horizon, the horizontal parallax
  // asin(1/60) moves it east in right ascension (away from the observer's
  // meridian as seen from the centre), not in declination.
  ra = lst_rad + kPi / 2, dec = 0, delta = 60 * kEarthRadius_au;
  TopocentricCorrection(ra, dec, delta, 0, 10, jd);
  EXPECT_NEAR(static_cast<double>(AngleDiff(ra, lst_rad + kPi / 2)), static_cast<double>(std::atan(1.0L / 60)), 1e-15);
  EXPECT_NEAR(static_cast<double>(dec), 0, 1e-15);
  // At 50 N an object on the meridian at delta = 0 drops south by the parallax
  // in declination, about asin(sin(50)/60) (hand, small-angle form).
  ra = lst_rad, dec = 0, delta = 60 * kEarthRadius_au;
  TopocentricCorrection(ra, dec, delta, 50, 10, jd);
  EXPECT_NEAR(static_cast<double>(dec / kDeg), -std::atan2(std::sin(50 * M_PI / 180), 60 - std::cos(50 * M_PI / 180)) * 180 / M_PI,
              1e-12);
}

}  // namespace
}  // namespace orb
