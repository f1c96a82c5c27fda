// SPDX-License-Identifier: AGPL-3.0-or-later
// The mini Sun and mini Moon of Montenbruck & Pfleger, Astronomy on the
// Personal Computer (4th ed.), routines MINI_SUN and MINI_MOON (Pascal
// editions, with their fixed obliquity), and the short Sun longitude.
#include "engine/LowPrecision.h"

#include <cmath>

#include "engine/MPSeriesTables.h"

namespace orb {
namespace {

constexpr Extended kJ2000_jd = 2451545.0L;
constexpr Extended kDaysPerCentury = 36525.0L;

// 2 pi Frac(c0 + c1 T): a mean argument in radians.
Extended ArgumentRad(const mp::LinearArgument& arg, Extended t) {
  return mp::kP2 * mp::FracTurns(arg.c0_rev + arg.c1_revPerCy * t);
}

// Mini-Sun ecliptic longitude (radians, [0, 2pi)), MINI_SUN:
// M = 2 pi Frac(0.993133 + 99.997361 T),
// L = 2 pi Frac(0.7859453 + M/2pi + (6191.2 T + 6893" sin M + 72" sin 2M)/1296000").
Extended MiniSunLongitudeRad(Extended t) {
  const Extended m = ArgumentRad(mp::kMiniSunAnomaly, t);
  const Extended dl_arcsec =
      mp::kMiniSunSinM_arcsec * std::sin(m) + mp::kMiniSunSin2M_arcsec * std::sin(2.0L * m);
  return mp::kP2 * mp::FracTurns(mp::kMiniSunLon0_rev + m / mp::kP2 +
                                 (mp::kMiniSunLonRate_arcsecPerCy * t + dl_arcsec) / mp::kTurn_arcsec);
}

// Right ascension (hours, [0, 24)) and declination (degrees) of the vector
// (x, y, z) turned to the equator with the fixed obliquity:
// delta = arctan(z/rho), rho = sqrt(1 - z^2), as MINI_SUN and MINI_MOON;
// alpha = arctan2(y, x). The published half-angle form
// alpha = 2 arctan(y/(x + rho)) takes rho for the length of (x, y), which
// the fixed pair 0.39778, 0.91748 (squares summing to 0.9999985) does not
// give for the Moon off the ecliptic: near 12h, x + rho is then dominated by
// that excess and alpha falls from 12h towards 0h (28" off at 1e-4 rad from
// 12h, 12h off at the crossing). Farther than 0.01 rad from 12h, and for the
// Sun everywhere, both forms agree to 0.4".
void EquatorialToRaDec(Extended x, Extended y, Extended z, Extended& ra_h, Extended& dec_deg) {
  const Extended rho = std::sqrt(1.0L - z * z);
  dec_deg = (360.0L / mp::kP2) * std::atan(z / rho);
  ra_h = (24.0L / mp::kP2) * std::atan2(y, x);
  if (ra_h < 0.0L) ra_h += 24.0L;
  if (ra_h >= 24.0L) ra_h -= 24.0L;  // a tiny negative angle rounded to 24h
}

// Sum of c sin(l*l + lp*l' + f*F + d*D) over the mini-Moon terms (arcseconds).
template <std::size_t n>
Extended MiniMoonSum(const mp::MiniMoonTerm (&terms)[n], Extended l, Extended ls, Extended f, Extended d) {
  Extended sum_arcsec = 0.0L;
  for (const mp::MiniMoonTerm& term : terms)
    sum_arcsec += term.c_arcsec * std::sin(term.l * l + term.lp * ls + term.f * f + term.d * d);
  return sum_arcsec;
}

}  // namespace

void MiniSun(Extended t, Extended& ra_h, Extended& dec_deg) {
  const Extended lon_rad = MiniSunLongitudeRad(t);
  const Extended sinL = std::sin(lon_rad);
  EquatorialToRaDec(std::cos(lon_rad), mp::kMiniCosEps * sinL, mp::kMiniSinEps * sinL, ra_h, dec_deg);
}

void MiniMoon(Extended t, Extended& ra_h, Extended& dec_deg) {
  const Extended l0_rev = mp::FracTurns(mp::kMiniMoonL0.c0_rev + mp::kMiniMoonL0.c1_revPerCy * t);
  const Extended l = ArgumentRad(mp::kMiniMoonAnomaly, t);
  const Extended ls = ArgumentRad(mp::kMiniMoonSunAnomaly, t);
  const Extended d = ArgumentRad(mp::kMiniMoonElongation, t);
  const Extended f = ArgumentRad(mp::kMiniMoonLatArg, t);

  const Extended dl_arcsec = MiniMoonSum(mp::kMiniMoonLon, l, ls, f, d);
  const Extended s = f + (dl_arcsec + mp::kMiniMoonS2F_arcsec * std::sin(2.0L * f) +
                          mp::kMiniMoonSLs_arcsec * std::sin(ls)) /
                             mp::kArcMini_arcsecPerRad;
  const Extended n_arcsec = MiniMoonSum(mp::kMiniMoonLat, l, ls, f, d);

  const Extended lon_rad = mp::kP2 * mp::FracTurns(l0_rev + dl_arcsec / mp::kTurn_arcsec);
  const Extended lat_rad = (mp::kMiniMoonLatMain_arcsec * std::sin(s) + n_arcsec) / mp::kArcMini_arcsecPerRad;

  const Extended cosB = std::cos(lat_rad);
  const Extended v = cosB * std::sin(lon_rad);
  const Extended w = std::sin(lat_rad);
  EquatorialToRaDec(cosB * std::cos(lon_rad), mp::kMiniCosEps * v - mp::kMiniSinEps * w,
                    mp::kMiniSinEps * v + mp::kMiniCosEps * w, ra_h, dec_deg);
}

float SunLongitudeShort(Extended jd) {
  return static_cast<float>(MiniSunLongitudeRad((jd - kJ2000_jd) / kDaysPerCentury));
}

}  // namespace orb
