// SPDX-License-Identifier: AGPL-3.0-or-later
// The mini Sun and mini Moon of Montenbruck & Pfleger, Astronomy on the
// Personal Computer (4th ed.), routines MINI_SUN and MINI_MOON (Pascal
// editions, with their fixed obliquity), and the short Sun longitude.
#include "engine/LowPrecision.h"

#include <cmath>

#include "engine/MPSeriesTables.h"

namespace orb {
namespace {

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
// Double precision is ample for these minute-of-arc series, and its
// functions are many times faster than extended ones, which matters to the
// rise/set search (dozens of evaluations a day).
void EquatorialToRaDec(double x, double y, double z, Extended& ra_h, Extended& dec_deg) {
  const double p2 = static_cast<double>(mp::kP2);
  const double rho = std::sqrt(1.0 - z * z);
  dec_deg = (360.0 / p2) * std::atan(z / rho);
  double ra = (24.0 / p2) * std::atan2(y, x);
  if (ra < 0.0) ra += 24.0;
  if (ra >= 24.0) ra -= 24.0;  // a tiny negative angle rounded to 24h
  ra_h = ra;
}

// 2 pi Frac(c0 + c1 T) in double precision (the largest argument, about
// 13000 turns a century, keeps 1e-12 turn).
double ArgumentRadD(const mp::LinearArgument& arg, double t) {
  const double x = static_cast<double>(arg.c0_rev) + static_cast<double>(arg.c1_revPerCy) * t;
  double f = x - std::floor(x);
  if (f >= 1.0) f = 0.0;
  return static_cast<double>(mp::kP2) * f;
}

// A point on the unit circle, (cos a, sin a); products add the angles.
struct Turn {
  double c = 1.0, s = 0.0;
};
Turn operator*(const Turn& a, const Turn& b) { return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s}; }

// (cos ka, sin ka) for the multiples k = -2 .. 2 of an angle a, from one
// sine and cosine: the mini-Moon terms combine small multiples of four
// arguments, so each term's sine comes from a product of these factors
// instead of a sine of its own.
class AngleMultiples {
 public:
  explicit AngleMultiples(double a) {
    const Turn one{std::cos(a), std::sin(a)};
    p_[3] = one;
    p_[4] = one * one;
    p_[1] = {one.c, -one.s};
    p_[0] = {p_[4].c, -p_[4].s};
  }
  const Turn& operator[](int k) const { return p_[k + 2]; }

 private:
  Turn p_[5];
};

// Sum of c sin(l*l + lp*l' + f*F + d*D) over the mini-Moon terms (arcseconds).
template <std::size_t n>
double MiniMoonSum(const mp::MiniMoonTerm (&terms)[n], const AngleMultiples& l, const AngleMultiples& ls,
                   const AngleMultiples& f, const AngleMultiples& d) {
  double sum_arcsec = 0.0;
  for (const mp::MiniMoonTerm& term : terms) {
    sum_arcsec += static_cast<double>(term.c_arcsec) * (l[term.l] * ls[term.lp] * f[term.f] * d[term.d]).s;
  }
  return sum_arcsec;
}

}  // namespace

void MiniSun(Extended t, Extended& ra_h, Extended& dec_deg) {
  const double lon_rad = static_cast<double>(MiniSunLongitudeRad(t));
  const double sinL = std::sin(lon_rad);
  EquatorialToRaDec(std::cos(lon_rad), static_cast<double>(mp::kMiniCosEps) * sinL,
                    static_cast<double>(mp::kMiniSinEps) * sinL, ra_h, dec_deg);
}

// The mini Moon in double precision (see EquatorialToRaDec).
void MiniMoon(Extended t_centuries, Extended& ra_h, Extended& dec_deg) {
  const double t = static_cast<double>(t_centuries);
  const double l0_rev = ArgumentRadD(mp::kMiniMoonL0, t) / static_cast<double>(mp::kP2);
  const double l = ArgumentRadD(mp::kMiniMoonAnomaly, t);
  const double ls = ArgumentRadD(mp::kMiniMoonSunAnomaly, t);
  const double d = ArgumentRadD(mp::kMiniMoonElongation, t);
  const double f = ArgumentRadD(mp::kMiniMoonLatArg, t);
  const double arc = static_cast<double>(kArcsecPerRadSeries);

  const AngleMultiples lm(l), lsm(ls), fm(f), dm(d);
  const double dl_arcsec = MiniMoonSum(mp::kMiniMoonLon, lm, lsm, fm, dm);
  const double s = f + (dl_arcsec + static_cast<double>(mp::kMiniMoonS2F_arcsec) * fm[2].s +
                        static_cast<double>(mp::kMiniMoonSLs_arcsec) * lsm[1].s) /
                           arc;
  const double n_arcsec = MiniMoonSum(mp::kMiniMoonLat, lm, lsm, fm, dm);

  double lon_rev = l0_rev + dl_arcsec / static_cast<double>(mp::kTurn_arcsec);
  lon_rev -= std::floor(lon_rev);
  const double lon_rad = static_cast<double>(mp::kP2) * lon_rev;
  const double lat_rad = (static_cast<double>(mp::kMiniMoonLatMain_arcsec) * std::sin(s) + n_arcsec) / arc;

  const double cosB = std::cos(lat_rad);
  const double v = cosB * std::sin(lon_rad);
  const double w = std::sin(lat_rad);
  const double ce = static_cast<double>(mp::kMiniCosEps), se = static_cast<double>(mp::kMiniSinEps);
  EquatorialToRaDec(cosB * std::cos(lon_rad), ce * v - se * w, se * v + ce * w, ra_h, dec_deg);
}

float SunLongitudeShort(Extended jd) {
  return static_cast<float>(MiniSunLongitudeRad((jd - kJ2000) / kDaysPerCentury));
}

}  // namespace orb
