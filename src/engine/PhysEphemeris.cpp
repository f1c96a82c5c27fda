// SPDX-License-Identifier: AGPL-3.0-or-later
#include "engine/PhysEphemeris.h"

#include <cmath>
#include <limits>

#include "core/TimeScales.h"
#include "engine/Frames.h"
#include "engine/LowPrecision.h"
#include "engine/PlanetaryTheory.h"

namespace orb {
namespace {

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();

// ------------------------------------------------------------ rotation elements

// IAU rotational elements of the planets as this program tabulates them.
// North pole of the planet's equator at T Julian centuries of dynamical time
// from J2000, degrees:
//   equator and equinox J2000:  a0 + a1 T,         d0 + d1 T;
//   equator and equinox of date: a0 + (a1 + a2) T,  d0 + (d1 + d2) T,
// a2 and d2 being the general precession of the pole's place (for example
// m + n sin a0 tan d0 = 0.786 deg per century for Mars).
struct PoleElements {
  Extended a0_deg, a1_degPerCy, a2_degPerCy;
  Extended d0_deg, d1_degPerCy, d2_degPerCy;
};
constexpr PoleElements kPole[] = {
    {281.02L, -0.033L, 0.276L, 61.45L, -0.005L, 0.107L},    // 1 Mercury
    {272.78L, 0.0L, -0.043L, 67.21L, 0.0L, 0.027L},         // 2 Venus
    {317.681L, -0.108L, 0.786L, 52.886L, -0.061L, 0.413L},  // 3 Mars
    {268.05L, -0.009L, 0.116L, 64.49L, 0.003L, -0.018L},    // 4 Jupiter
    {40.66L, -0.036L, 4.731L, 83.52L, -0.004L, 0.407L},     // 5 Saturn
    {257.43L, 0.0L, 1.429L, -15.1L, 0.0L, -0.114L},         // 6 Uranus
    {295.33L, 0.0L, 0.849L, 40.65L, 0.0L, 0.242L},          // 7 Neptune
    {311.63L, 0.0L, 1.25L, 4.18L, 0.0L, 0.374L},            // 8 Pluto
};

// Prime meridian: W = W0 + W1 d + W2 T degrees, d days and T Julian
// centuries of dynamical time from J2000. A negative W1 marks a retrograde
// rotator. Index 9 is Jupiter's system II (index 4 is its system I).
struct MeridianElements {
  Extended w0_deg, w1_degPerDay, w2_degPerCy;
};
constexpr MeridianElements kMeridian[] = {
    {329.71L, 6.1385026L, 1.145L},   // 1 Mercury
    {159.91L, -1.4814205L, 1.436L},  // 2 Venus
    {176.655L, 350.89197L, 0.62L},   // 3 Mars
    {67.1L, 877.9L, 1.291L},         // 4 Jupiter, system I
    {227.2037L, 844.3L, -3.47L},     // 5 Saturn
    {261.62L, -554.913L, 0.564L},    // 6 Uranus
    {107.21L, 468.75L, 0.662L},      // 7 Neptune
    {252.66L, -56.364L, 0.413L},     // 8 Pluto
    {43.3L, 870.27L, 1.291L},        // 9 Jupiter, system II
};

constexpr int32_t kPlanetCount = 8;
constexpr int32_t kJupiter = 4;
constexpr int32_t kJupiterSystemII = 9;

// ------------------------------------------------------------ small helpers

// An angle brought into [0, 2pi).
Extended ZeroToTwoPi(Extended x_rad) {
  Extended a = std::fmod(x_rad, kTwoPi);
  if (a < 0) a += kTwoPi;
  if (a >= kTwoPi) a = 0;  // a tiny negative angle rounded up to 2pi
  return a;
}

// An angle brought into (-pi, pi].
Extended MinusPiToPi(Extended x_rad) {
  Extended a = ZeroToTwoPi(x_rad);
  if (a > kPi) a -= kTwoPi;
  return a;
}

// Position angle (north through east, (-pi, pi]) of the pole (raPole,
// decPole) seen at the place (ra, dec), both of the same equinox (Meeus 42).
Extended PositionAngleOfPole(Extended raPole_rad, Extended decPole_rad, Extended ra_rad, Extended dec_rad) {
  const Extended dRa = raPole_rad - ra_rad;
  const Extended y = std::cos(decPole_rad) * std::sin(dRa);
  const Extended x =
      std::sin(decPole_rad) * std::cos(dec_rad) - std::cos(decPole_rad) * std::sin(dec_rad) * std::cos(dRa);
  return MinusPiToPi(std::atan2(y, x));
}

// The direction of the Earth seen from a planet at the place (ra, dec) with
// its pole at (raPole, decPole), same equinox: longitude K in the planet's
// equator counted from its ascending node on the Earth's equator, and the
// planetocentric latitude D (Meeus 42, through the rectangular-to-polar
// conversion).
void EarthSeenFromPlanet(Extended raPole_rad, Extended decPole_rad, Extended ra_rad, Extended dec_rad,
                         Extended& k_rad, Extended& d_rad) {
  const Extended sinDp = std::sin(decPole_rad), cosDp = std::cos(decPole_rad);
  const Extended sinD = std::sin(dec_rad), cosD = std::cos(dec_rad);
  const Extended dRa = raPole_rad - ra_rad;
  const Extended x = cosD * std::sin(dRa);
  const Extended y = sinDp * cosD * std::cos(dRa) - cosDp * sinD;
  const Extended z = -sinDp * sinD - cosDp * cosD * std::cos(dRa);
  Extended r = 0;
  RectToPolar(z, y, x, r, k_rad, d_rad);
}

// Central meridian of one prime-meridian row: W - K for a direct rotator,
// K - W for a retrograde one, in [0, 2pi). `d` days and `t` centuries of
// dynamical time from J2000, K the planetocentric longitude of the Earth
// counted from the node of the planet's equator on the J2000 equator.
Extended CentralMeridian(const MeridianElements& m, Extended d, Extended t, Extended k_rad) {
  const Extended w_rad = Modulo(360, m.w0_deg + m.w1_degPerDay * d + m.w2_degPerCy * t) * kDegToRad;
  return ZeroToTwoPi(m.w1_degPerDay < 0 ? k_rad - w_rad : w_rad - k_rad);
}

}  // namespace

// ------------------------------------------------------------ planets

// Position angle of the axis, planetocentric latitude of the Earth and central
// meridian from the IAU rotational elements above, by the method of Meeus,
// Astronomical Algorithms (2nd ed.), chapter 42. The rotation is taken at the
// light-time corrected dynamical time d = jd - 2451545 - 0.005776 delta +
// deltaT. Nutation and aberration in the place of date are kept (at most
// 0.006 deg). An index outside 1..8 gives NaN in every field.
//
// The pole and the place are always referred to the same equinox:
//  - P is measured from the north point of the equator of date, so it takes
//    the place of date and the pole of date, a0 + (a1 + a2) T and
//    d0 + (d1 + d2) T (a2, d2 carry the pole from J2000 to the equinox of
//    date);
//  - D and K, like W, are counted from the node of the planet's equator on
//    the J2000 equator, so they take the place precessed to the equinox of
//    the pole (EpochOfYear(2000), JD 2451544.533) and the J2000 pole
//    a0 + a1 T, d0 + d1 T.
// Mixing the two frames would turn the pole by the precession since J2000,
// about 0.5 deg per century (more for Saturn's central meridian, whose pole
// lies near the celestial pole).
PlanetOrientation PlanetOrientationOf(int32_t index, Extended jd, Extended deltaT_days, Extended ra_rad,
                                      Extended dec_rad, Extended delta_au) {
  PlanetOrientation o;
  if (index < 1 || index > kPlanetCount) {
    o.P = o.D = o.CM = o.CM2 = kNaN;
    return o;
  }
  const Extended d = jd - kJ2000 - kLightTimePerAuRounded_days * std::fabs(delta_au) + deltaT_days;
  const Extended t = d / kDaysPerCentury;
  const PoleElements& pole = kPole[index - 1];

  const Extended raPoleOfDate = (pole.a0_deg + (pole.a1_degPerCy + pole.a2_degPerCy) * t) * kDegToRad;
  const Extended decPoleOfDate = (pole.d0_deg + (pole.d1_degPerCy + pole.d2_degPerCy) * t) * kDegToRad;
  o.P = PositionAngleOfPole(raPoleOfDate, decPoleOfDate, ra_rad, dec_rad);

  Extended ra2000 = ra_rad, dec2000 = dec_rad;
  PrecessEquatorial(ra2000, dec2000, EpochOfYear(2000), jd + deltaT_days);
  const Extended raPole2000 = (pole.a0_deg + pole.a1_degPerCy * t) * kDegToRad;
  const Extended decPole2000 = (pole.d0_deg + pole.d1_degPerCy * t) * kDegToRad;
  Extended k = 0;
  EarthSeenFromPlanet(raPole2000, decPole2000, ra2000, dec2000, k, o.D);

  o.CM = CentralMeridian(kMeridian[index - 1], d, t, k);
  if (index == kJupiter) o.CM2 = CentralMeridian(kMeridian[kJupiterSystemII - 1], d, t, k);
  return o;
}

// ------------------------------------------------------------ Sun

// Heliographic orientation of the Sun from the perturbed Sun series (geometric
// longitude L and latitude B, mean equinox of date), after the method of
// Meeus, chapter 29, with Carrington's elements: the Sun's equator is
// inclined 7.251 deg to the ecliptic, its ascending node held at 75.75 deg
// (its place near 2000). The direction (L - 75.75 deg, B) turned about the
// node gives B0 and the longitude s along the solar equator (counted from the
// node, plus 75.75 deg); P follows from s by a three-term series, L0 from s
// and the Carrington rotation of 14.1844 deg per day. Accuracy against
// Meeus' rigorous formulas: 0.02 deg near 2000; the node moves by
// 1.396 deg per century, so B0 and P drift by up to 0.19 deg per century
// away from 2000. `jd` is in dynamical time (one minute moves L0 by
// 0.01 deg).
SunOrientation SunOrientationOf(Extended jd) {
  constexpr Extended kNode_deg = 75.75L;
  constexpr Extended kInclination_deg = 7.251L;
  const SunPosition sun = SunSeries(jd);

  Vector3 v = PolarToRect(sun.B, sun.L - kNode_deg * kDegToRad, 1);
  PlaneRotation(v.y, v.z, kInclination_deg * kDegToRad);
  Extended r = 0, lon = 0, lat = 0;
  RectToPolar(v.z, v.y, v.x, r, lon, lat);
  const Extended s_deg = lon / kDegToRad + kNode_deg;

  SunOrientation o;
  o.B0 = lat;
  o.P = (26.534L * SinD(285.298L - s_deg) + 0.388L * SinD(3 * (269.06L - s_deg)) +
         0.01L * SinD(5 * (269.06L - s_deg))) *
        kDegToRad;
  const Extended d = jd - kJ2000;
  const Extended rotation_deg = 84.11L + 14.1844L * d + 1.222L * d / kDaysPerCentury;
  o.L0 = ZeroToTwoPi(kTwoPi * Frac((s_deg - rotation_deg + 165.357L) / 360));
  o.R = sun.R;
  return o;
}

// ------------------------------------------------------------ Moon

// Optical libration of the Moon (Meeus, chapter 53, with the mean elements of
// Brown's theory referred to 1900 January 0.5, t = (jd - 2415020)/36525):
// (lon, lat) is the ecliptic direction of date in which the Moon is seen from
// an observer (the Earth for the librations, the Sun for the Sun's
// selenographic place); l and b are the selenographic longitude and latitude
// of the point of the Moon's surface turned towards that observer, l counted
// from the mean sub-Earth meridian. Inclination of the lunar equator
// I = 1.5169 deg. `jd` in dynamical time.
Libration LunarLibration(Extended lon_rad, Extended lat_rad, Extended jd) {
  constexpr Extended kInclination_rad = 1.5169L * kDegToRad;
  const Extended t = (jd - 2415020) / kDaysPerCentury;
  const Extended meanLon_deg = 270.434164L + 481267.883142L * t - 0.001133L * t * t;
  const Extended node_deg = 259.183275L - 1934.142008L * t + 0.002078L * t * t;

  const Extended w = lon_rad - node_deg * kDegToRad;
  const Extended sinI = std::sin(kInclination_rad), cosI = std::cos(kInclination_rad);
  const Extended sinB = std::sin(lat_rad), cosB = std::cos(lat_rad);
  const Extended x = std::cos(w) * cosB;
  const Extended y = cosI * cosB * std::sin(w) - sinI * sinB;
  const Extended z = -sinI * cosB * std::sin(w) - cosI * sinB;
  Extended r = 0, a = 0, b = 0;
  RectToPolar(z, y, x, r, a, b);

  Libration lib;
  lib.l = MinusPiToPi(a - (meanLon_deg - node_deg) * kDegToRad);
  lib.b = b;
  return lib;
}

// Selenographic colongitude and latitude of the Sun (Meeus, chapter 53): the
// Sun's geometric place from the planetary theory (light time and nutation
// on, aberration off), the Moon's heliocentric direction as the difference of
// the two geocentric vectors, its optical libration; colongitude = 90 deg
// minus the Sun's selenographic longitude. `jd` in dynamical time. NaN when
// the planetary theory fails (theory::LastError() tells why).
SunOnMoon SunOnMoonOf(Extended lon_rad, Extended lat_rad, Extended delta_au, Extended jd) {
  using namespace theory;
  const double jd_tt = static_cast<double>(jd);
  const BodyPosition sunPlace = Position(jd_tt, kCodeSunSearch, {.lightTime = true, .aberration = false, .nutation = true});
  const Extended sunLon = sunPlace.lon_rad, sunLat = sunPlace.lat_rad, sunDist_au = sunPlace.delta_au;

  const Vector3 moon = PolarToRect(lat_rad, lon_rad, delta_au);
  const Vector3 sun = PolarToRect(sunLat, sunLon, sunDist_au);
  Extended r = 0, helioLon = 0, helioLat = 0;
  RectToPolar(moon.z - sun.z, moon.y - sun.y, moon.x - sun.x, r, helioLon, helioLat);

  const Libration subSolar = LunarLibration(helioLon, helioLat, jd);
  SunOnMoon s;
  s.colongitude = ZeroToTwoPi(kPi / 2 - subSolar.l);
  s.latitude = subSolar.b;
  return s;
}

// ------------------------------------------------------------ phase angle

// Phase angle from the triangle Sun-Earth-body by the law of cosines. The
// three distances come from slightly different instants (light time), so the
// cosine of a body in line with the Sun (a central transit, an exact
// opposition) may overshoot +-1 by a rounding amount; up to 1e-6 it is taken
// as +-1 (phase angle 0 or pi). A larger excess means the three distances
// form no triangle: the guarded arc cosine reports it and gives pi/2. A
// distance delta or r that is not positive, or any distance that is not a
// number, leaves the angle undefined: NaN, without a message.
Extended PhaseAngle(Extended delta_au, Extended r_au, Extended R_au, Extended elong_rad) {
  constexpr Extended kCosineTolerance = 1e-6L;
  if (!(delta_au > 0) || !(r_au > 0)) return kNaN;
  Extended c = (delta_au * delta_au + r_au * r_au - R_au * R_au) / (2 * delta_au * r_au);
  if (std::isnan(c)) return kNaN;
  if (std::fabs(c) > 1 && std::fabs(c) <= 1 + kCosineTolerance) c = c > 0 ? 1 : -1;
  const Extended i = ArcCosG(c);
  return elong_rad < 0 ? -i : i;
}

}  // namespace orb
