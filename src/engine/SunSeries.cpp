// SPDX-License-Identifier: AGPL-3.0-or-later
// The perturbed Sun of Montenbruck & Pfleger, Astronomy on the Personal
// Computer (4th ed.), routine SUN200: Newcomb's theory of the Sun with the
// perturbations by Venus, Mars, Jupiter and Saturn, the Earth-Moon barycentre
// correction and four long-period terms.
#include <cmath>
#include <span>

#include "engine/LowPrecision.h"
#include "engine/MPSeriesTables.h"

namespace orb {
namespace {

// Sums of the perturbation terms: longitude and latitude in arcseconds,
// radius in 1e-6 AU.
struct Sun200Sums {
  Extended dl_arcsec = 0.0L;
  Extended dr_microAu = 0.0L;
  Extended db_arcsec = 0.0L;
};

// 2 pi Frac(c0 + c1 T): a mean argument in radians.
Extended ArgumentRad(const mp::LinearArgument& arg, Extended t) {
  return mp::kP2 * mp::FracTurns(arg.c0_rev + arg.c1_revPerCy * t);
}

// T^k for the powers 0..2 of the TERM rows.
Extended PowerOfT(Extended t, int k) {
  Extended p = 1.0L;
  for (int i = 0; i < k; ++i) p *= t;
  return p;
}

// Adds the TERM rows of one group, argument i M3 + j Mp, each times T^k.
void AddTerms(std::span<const mp::Sun200Term> rows, Extended m3, Extended mp_rad, Extended t,
              Sun200Sums& sums) {
  for (const mp::Sun200Term& row : rows) {
    const Extended phi = row.i * m3 + row.j * mp_rad;
    const Extended tk = PowerOfT(t, row.k);
    const Extended u = tk * std::cos(phi);
    const Extended v = tk * std::sin(phi);
    sums.dl_arcsec += row.dlc * u + row.dls * v;
    sums.dr_microAu += row.drc * u + row.drs * v;
    sums.db_arcsec += row.dbc * u + row.dbs * v;
  }
}

// PERTMOO: the displacement of the geocentre from the Earth-Moon barycentre.
void AddMoonTerms(Extended t, Extended m3, Sun200Sums& sums) {
  const Extended d = ArgumentRad(mp::kSun200MoonD, t);
  const Extended a = ArgumentRad(mp::kSun200MoonA, t);
  const Extended u = ArgumentRad(mp::kSun200MoonU, t);
  for (const mp::Sun200MoonTerm& term : mp::kSun200MoonLon)
    sums.dl_arcsec += term.c * std::sin(term.d * d + term.a * a + term.m * m3);
  for (const mp::Sun200MoonTerm& term : mp::kSun200MoonRad)
    sums.dr_microAu += term.c * std::cos(term.d * d + term.a * a + term.m * m3);
  sums.db_arcsec += mp::kSun200MoonLatSinU_arcsec * std::sin(u);
}

}  // namespace

SunPosition SunSeries(Extended jd) {
  const Extended t = (jd - kJ2000) / kDaysPerCentury;
  const Extended m3 = ArgumentRad(mp::kSun200Earth, t);

  Sun200Sums sums;
  AddTerms(mp::kSun200VenusTerms, m3, ArgumentRad(mp::kSun200Venus, t), t, sums);
  AddTerms(mp::kSun200MarsTerms, m3, ArgumentRad(mp::kSun200Mars, t), t, sums);
  AddTerms(mp::kSun200JupiterTerms, m3, ArgumentRad(mp::kSun200Jupiter, t), t, sums);
  AddTerms(mp::kSun200SaturnTerms, m3, ArgumentRad(mp::kSun200Saturn, t), t, sums);
  AddMoonTerms(t, m3, sums);
  sums.dl_arcsec += mp::TurnSineSum(mp::kSun200LongPeriod, t);

  // The published routine gives L = 360 deg Frac(...); the turns are
  // converted to radians with the full 2 pi.
  const Extended secular_arcsec = (mp::kSun200LonRate_arcsecPerCy + mp::kSun200LonAccel_arcsecPerCy2 * t) * t;
  const Extended lon_rev = mp::FracTurns(mp::kSun200Lon0_rev + m3 / mp::kP2 +
                                         (secular_arcsec + sums.dl_arcsec) / mp::kTurn_arcsec);

  SunPosition pos;
  pos.L = kTwoPi * lon_rev;
  pos.B = sums.db_arcsec * kArcsecToRad;
  pos.R = mp::kSun200R0_au + mp::kSun200RRate_auPerCy * t + sums.dr_microAu * 1e-6L;
  return pos;
}

}  // namespace orb
