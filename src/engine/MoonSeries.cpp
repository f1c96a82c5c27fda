// SPDX-License-Identifier: AGPL-3.0-or-later
// The lunar series of Montenbruck & Pfleger, Astronomy on the Personal
// Computer (4th ed.), routine MOON with LONG_PERIODIC, INIT, ADDSOL, SOLARN
// and PLANETARY: a truncated form of E. W. Brown's theory as given in the
// Improved Lunar Ephemeris (1954).
#include <cmath>

#include "engine/LowPrecision.h"
#include "engine/MPSeriesTables.h"

namespace orb {
namespace {

constexpr int kMaxMultiple = 6;

constexpr int Abs(int x) { return x < 0 ? -x : x; }

// True when every row stays within the multiples that INIT prepares
// (l 4, l' 3, F 4, D 6).
template <typename Row, std::size_t n>
constexpr bool WithinPreparedMultiples(const Row (&rows)[n]) {
  for (const Row& row : rows) {
    if (Abs(row.p) > mp::kMoonMaxMultipleL || Abs(row.q) > mp::kMoonMaxMultipleLs ||
        Abs(row.r) > mp::kMoonMaxMultipleF || Abs(row.s) > mp::kMoonMaxMultipleD)
      return false;
  }
  return true;
}
static_assert(WithinPreparedMultiples(mp::kMoonAddSol) && WithinPreparedMultiples(mp::kMoonAddN));
static_assert(mp::kMoonMaxMultipleD <= kMaxMultiple);

// E cos(theta), E sin(theta): a scaled unit rotation.
struct Rotor {
  Extended c = 1.0L;
  Extended s = 0.0L;
};

// Product of two rotors (the addition theorem, ADDTHE).
Rotor Times(const Rotor& a, const Rotor& b) { return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s}; }

// The multiples -6..6 of one argument; multiple n carries factor^|n|.
struct Multiples {
  Rotor m[2 * kMaxMultiple + 1];
  const Rotor& operator[](int n) const { return m[n + kMaxMultiple]; }
};

Multiples MakeMultiples(Extended arg_rad, Extended factor, int maxMultiple) {
  Multiples out;
  const Rotor first{factor * std::cos(arg_rad), factor * std::sin(arg_rad)};
  out.m[kMaxMultiple + 1] = first;
  for (int j = 2; j <= maxMultiple; ++j) out.m[kMaxMultiple + j] = Times(out.m[kMaxMultiple + j - 1], first);
  for (int j = 1; j <= maxMultiple; ++j) {
    const Rotor& positive = out.m[kMaxMultiple + j];
    out.m[kMaxMultiple - j] = {positive.c, -positive.s};
  }
  return out;
}

// Long-period corrections of the mean elements (arcseconds) and dgamma.
struct LongPeriodic {
  Extended dL0 = 0.0L, dl = 0.0L, dls = 0.0L, dF = 0.0L, dD = 0.0L;
  Extended dGamma = 0.0L;
};

LongPeriodic ComputeLongPeriodic(Extended t) {
  LongPeriodic lp;
  for (int k = 0; k < 7; ++k) {
    const mp::LinearArgument& arg = mp::kMoonLongPeriodArgs[k];
    const Extended sk = std::sin(mp::kP2 * mp::FracTurns(arg.c0_rev + arg.c1_revPerCy * t));
    lp.dL0 += mp::kMoonLongPeriodL0[k] * sk;
    lp.dl += mp::kMoonLongPeriodL[k] * sk;
    lp.dls += mp::kMoonLongPeriodLs[k] * sk;
    lp.dF += mp::kMoonLongPeriodF[k] * sk;
  }
  lp.dD = lp.dL0 - lp.dls;
  lp.dGamma = mp::TurnSineSum(mp::kMoonDGamma, t);
  return lp;
}

// 2 pi Frac(c0 + c1 T + c2 T^2) + correction/ARC: a mean element in radians.
Extended MeanElementRad(const mp::QuadraticArgument& arg, Extended t, Extended correction_arcsec) {
  const Extended turns = arg.c0_rev + (arg.c1_revPerCy + arg.c2_revPerCy2 * t) * t;
  return mp::kP2 * mp::FracTurns(turns) + correction_arcsec / mp::kArcMoon_arcsecPerRad;
}

// The prepared multiples of l, l', F and D.
struct Arguments {
  Multiples l, ls, f, d;
};

// E cos(theta), E sin(theta) of theta = p l + q l' + r F + s D (TERM).
Rotor Term(const Arguments& args, int p, int q, int r, int s) {
  return Times(Times(args.l[p], args.ls[q]), Times(args.f[r], args.d[s]));
}

// Sums of MOON in arcseconds: longitude, argument of latitude, gamma1*C,
// sine parallax, latitude N.
struct MoonSums {
  Extended dLambda = 0.0L;
  Extended dS = 0.0L;
  Extended gamma1C = 0.0L;
  Extended sinPi = mp::kMoonSinPi0_arcsec;
  Extended n = 0.0L;
};

void AddSolar(const Arguments& args, MoonSums& sums) {
  for (const mp::AddSolTerm& row : mp::kMoonAddSol) {
    const Rotor xy = Term(args, row.p, row.q, row.r, row.s);
    sums.dLambda += row.coeffL * xy.s;
    sums.dS += row.coeffS * xy.s;
    sums.gamma1C += row.coeffG * xy.c;
    sums.sinPi += row.coeffP * xy.c;
  }
  for (const mp::AddNTerm& row : mp::kMoonAddN)
    sums.n += row.coeffN * Term(args, row.p, row.q, row.r, row.s).s;
}

}  // namespace

MoonPosition MoonSeries(Extended jd) {
  const Extended t = (jd - kJ2000) / kDaysPerCentury;
  const LongPeriodic lp = ComputeLongPeriodic(t);

  const Extended l0 = MeanElementRad(mp::kMoonL0, t, lp.dL0);
  const Extended l = MeanElementRad(mp::kMoonAnomaly, t, lp.dl);
  const Extended ls = MeanElementRad(mp::kMoonSunAnomaly, t, lp.dls);
  const Extended f = MeanElementRad(mp::kMoonLatArg, t, lp.dF);
  const Extended d = MeanElementRad(mp::kMoonElongation, t, lp.dD);
  const Extended factorF = mp::kMoonFactorF0 + mp::kMoonFactorFGamma * lp.dGamma;

  Arguments args;
  args.l = MakeMultiples(l, mp::kMoonFactorL, mp::kMoonMaxMultipleL);
  args.ls = MakeMultiples(ls, mp::kMoonFactorLs0 + mp::kMoonFactorLsRate_perCy * t, mp::kMoonMaxMultipleLs);
  args.f = MakeMultiples(f, factorF, mp::kMoonMaxMultipleF);
  args.d = MakeMultiples(d, 1.0L, mp::kMoonMaxMultipleD);

  MoonSums sums;
  AddSolar(args, sums);
  sums.dLambda += mp::TurnSineSum(mp::kMoonPlanetary, t);

  // The published routine gives degrees, 360 Frac((L0 + dlambda/ARC)/2pi);
  // the turns are converted to radians with the full 2 pi.
  const Extended s = f + sums.dS / mp::kArcMoon_arcsecPerRad;
  const Extended lat_arcsec =
      factorF * (mp::kMoonLatMain_arcsec + mp::kMoonLatConst_arcsec + sums.gamma1C) * std::sin(s) +
      mp::kMoonLatSin3S_arcsec * std::sin(3.0L * s) + sums.n;

  MoonPosition pos;
  pos.lon = kTwoPi * mp::FracTurns((l0 + sums.dLambda / mp::kArcMoon_arcsecPerRad) / mp::kP2);
  pos.lat = lat_arcsec * kArcsecToRad;
  pos.dist_earthRadii = mp::kArcMoon_arcsecPerRad / (mp::kMoonParallaxScale * sums.sinPi);
  return pos;
}

}  // namespace orb
