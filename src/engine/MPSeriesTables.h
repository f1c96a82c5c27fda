// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Coefficient tables of the Sun and Moon series of O. Montenbruck and
// T. Pfleger, Astronomy on the Personal Computer (4th ed., Springer 2000),
// entered unchanged from the published routines MINI_MOON, MINI_SUN, SUN200
// and MOON (Pascal editions; MiniMoon, MiniSun, SunPos and MoonPos with
// ILE_Pert in the C++ edition). Rows stay in the published order.
// Private to the series sources of this folder.

#include <cmath>
#include <cstddef>
#include <iterator>
#include <span>

#include "core/NumKernel.h"

namespace orb::mp {

// ---------------------------------------------------------------------------
// Constants and the fractional part as the published routines use them.

// 2*pi as the Pascal MINI_SUN, MINI_MOON and SUN200 write it (P2); angle
// arguments in turns are multiplied by it, in MOON as well (whose PI2 =
// 6.283185308 moves no angle by more than 0.002").
inline constexpr Extended kP2 = 6.283185307L;
// Arcseconds per radian: MINI_MOON (ARC) and MOON (ARC).
inline constexpr Extended kArcMoon_arcsecPerRad = 206264.81L;
// Arcseconds per full turn.
inline constexpr Extended kTurn_arcsec = 1296000.0L;

// Fractional part into [0, 1): x - floor(x), where a value that rounds up to
// 1 (a tiny negative x) is taken as 0.
inline Extended FracTurns(Extended x) {
  const Extended f = x - std::floor(x);
  return f < 1.0L ? f : 0.0L;
}

// c * sin(2 pi (a + b T)): a sine term with its argument in turns, the rate
// in turns per Julian century.
struct TurnSineTerm {
  Extended c;
  Extended a_rev;
  Extended b_revPerCy;
};

// Sum of c sin(2 pi Frac(a + b T)) over `terms` (the SINE of the published
// routines).
inline Extended TurnSineSum(std::span<const TurnSineTerm> terms, Extended t) {
  Extended sum = 0.0L;
  for (const TurnSineTerm& term : terms)
    sum += term.c * std::sin(kP2 * FracTurns(term.a_rev + term.b_revPerCy * t));
  return sum;
}

// Mean argument c0 + c1 T (turns, turns per Julian century).
struct LinearArgument {
  Extended c0_rev;
  Extended c1_revPerCy;
};

// ---------------------------------------------------------------------------
// MINI_MOON: Moon to about 5' in longitude.

// Mean arguments of MINI_MOON, in the order L0, l, l', D, F.
inline constexpr LinearArgument kMiniMoonL0{0.606433L, 1336.855225L};
inline constexpr LinearArgument kMiniMoonAnomaly{0.374897L, 1325.552410L};
inline constexpr LinearArgument kMiniMoonSunAnomaly{0.993133L, 99.997361L};
inline constexpr LinearArgument kMiniMoonElongation{0.827361L, 1236.853086L};
inline constexpr LinearArgument kMiniMoonLatArg{0.259086L, 1342.227825L};

// c_arcsec * sin(l*l + lp*l' + f*F + d*D).
struct MiniMoonTerm {
  Extended c_arcsec;
  int l, lp, f, d;
};

// MINI_MOON, longitude perturbation dL (14 terms, arcseconds).
inline constexpr MiniMoonTerm kMiniMoonLon[] = {
    {22640.0L, 1, 0, 0, 0}, {-4586.0L, 1, 0, 0, -2}, {2370.0L, 0, 0, 0, 2},  {769.0L, 2, 0, 0, 0},
    {-668.0L, 0, 1, 0, 0},  {-412.0L, 0, 0, 2, 0},   {-212.0L, 2, 0, 0, -2}, {-206.0L, 1, 1, 0, -2},
    {192.0L, 1, 0, 0, 2},   {-165.0L, 0, 1, 0, -2},  {-125.0L, 0, 0, 0, 1},  {-110.0L, 1, 1, 0, 0},
    {148.0L, 1, -1, 0, 0},  {-55.0L, 0, 0, 2, -2},
};

// MINI_MOON, corrections added to dL in the argument of latitude
// S = F + (dL + 412 sin 2F + 541 sin l') / ARC (arcseconds).
inline constexpr Extended kMiniMoonS2F_arcsec = 412.0L;
inline constexpr Extended kMiniMoonSLs_arcsec = 541.0L;

// MINI_MOON, latitude correction N (7 terms, arcseconds).
inline constexpr MiniMoonTerm kMiniMoonLat[] = {
    {-526.0L, 0, 0, 1, -2}, {44.0L, 1, 0, 1, -2},  {-31.0L, -1, 0, 1, -2}, {-23.0L, 0, 1, 1, -2},
    {11.0L, 0, -1, 1, -2},  {-25.0L, -2, 0, 1, 0}, {21.0L, -1, 0, 1, 0},
};

// MINI_MOON, main latitude coefficient (arcseconds): beta = (18520 sin S + N) / ARC.
inline constexpr Extended kMiniMoonLatMain_arcsec = 18520.0L;

// Fixed obliquity of MINI_MOON and MINI_SUN (Pascal editions).
inline constexpr Extended kMiniCosEps = 0.91748L;
inline constexpr Extended kMiniSinEps = 0.39778L;

// ---------------------------------------------------------------------------
// MINI_SUN: Sun to about 1'.

inline constexpr LinearArgument kMiniSunAnomaly{0.993133L, 99.997361L};
// Equation of centre: 6893.0" sin M + 72.0" sin 2M.
inline constexpr Extended kMiniSunSinM_arcsec = 6893.0L;
inline constexpr Extended kMiniSunSin2M_arcsec = 72.0L;
// L = 2 pi Frac(0.7859453 + M/2pi + (6191.2 T + dL)/1296000).
inline constexpr Extended kMiniSunLon0_rev = 0.7859453L;
inline constexpr Extended kMiniSunLonRate_arcsecPerCy = 6191.2L;

// ---------------------------------------------------------------------------
// SUN200: Newcomb's Sun with planetary perturbations, about 1".

// Mean anomalies of Venus, the Earth, Mars, Jupiter, Saturn and the lunar
// arguments D, A (= l), U (= F) of SUN200.
inline constexpr LinearArgument kSun200Venus{0.1387306L, 162.5485917L};
inline constexpr LinearArgument kSun200Earth{0.9931266L, 99.9973604L};
inline constexpr LinearArgument kSun200Mars{0.0543250L, 53.1666028L};
inline constexpr LinearArgument kSun200Jupiter{0.0551750L, 8.4293972L};
inline constexpr LinearArgument kSun200Saturn{0.8816500L, 3.3938722L};
inline constexpr LinearArgument kSun200MoonD{0.8274L, 1236.8531L};
inline constexpr LinearArgument kSun200MoonA{0.3749L, 1325.5524L};
inline constexpr LinearArgument kSun200MoonU{0.2591L, 1342.2278L};

// One TERM row: argument phi = i M3 + j Mp, factor T^k; dl and db in
// arcseconds, dr in 1e-6 AU, each as cosine and sine part.
struct Sun200Term {
  int i, j, k;
  Extended dlc, dls, drc, drs, dbc, dbs;
};

// SUN200, PERTVEN: Keplerian terms of the Earth (j = 0) and perturbations by
// Venus (23 rows).
inline constexpr Sun200Term kSun200VenusTerms[] = {
    {1, 0, 0, -0.22L, 6892.76L, -16707.37L, -0.54L, 0.00L, 0.00L},
    {1, 0, 1, -0.06L, -17.35L, 42.04L, -0.15L, 0.00L, 0.00L},
    {1, 0, 2, -0.01L, -0.05L, 0.13L, -0.02L, 0.00L, 0.00L},
    {2, 0, 0, 0.00L, 71.98L, -139.57L, 0.00L, 0.00L, 0.00L},
    {2, 0, 1, 0.00L, -0.36L, 0.70L, 0.00L, 0.00L, 0.00L},
    {3, 0, 0, 0.00L, 1.04L, -1.75L, 0.00L, 0.00L, 0.00L},
    {0, -1, 0, 0.03L, -0.07L, -0.16L, -0.07L, 0.02L, -0.02L},
    {1, -1, 0, 2.35L, -4.23L, -4.75L, -2.64L, 0.00L, 0.00L},
    {1, -2, 0, -0.10L, 0.06L, 0.12L, 0.20L, 0.02L, 0.00L},
    {2, -1, 0, -0.06L, -0.03L, 0.20L, -0.01L, 0.01L, -0.09L},
    {2, -2, 0, -4.70L, 2.90L, 8.28L, 13.42L, 0.01L, -0.01L},
    {3, -2, 0, 1.80L, -1.74L, -1.44L, -1.57L, 0.04L, -0.06L},
    {3, -3, 0, -0.67L, 0.03L, 0.11L, 2.43L, 0.01L, 0.00L},
    {4, -2, 0, 0.03L, -0.03L, 0.10L, 0.09L, 0.01L, -0.01L},
    {4, -3, 0, 1.51L, -0.40L, -0.88L, -3.36L, 0.18L, -0.10L},
    {4, -4, 0, -0.19L, -0.09L, -0.38L, 0.77L, 0.00L, 0.00L},
    {5, -3, 0, 0.76L, -0.68L, 0.30L, 0.37L, 0.01L, 0.00L},
    {5, -4, 0, -0.14L, -0.04L, -0.11L, 0.43L, -0.03L, 0.00L},
    {5, -5, 0, -0.05L, -0.07L, -0.31L, 0.21L, 0.00L, 0.00L},
    {6, -4, 0, 0.15L, -0.04L, -0.06L, -0.21L, 0.01L, 0.00L},
    {6, -5, 0, -0.03L, -0.03L, -0.09L, 0.09L, -0.01L, 0.00L},
    {6, -6, 0, 0.00L, -0.04L, -0.18L, 0.02L, 0.00L, 0.00L},
    {7, -5, 0, -0.12L, -0.03L, -0.08L, 0.31L, -0.02L, -0.01L},
};

// SUN200, PERTMAR: perturbations by Mars (13 rows).
inline constexpr Sun200Term kSun200MarsTerms[] = {
    {1, -1, 0, -0.22L, 0.17L, -0.21L, -0.27L, 0.00L, 0.00L},
    {1, -2, 0, -1.66L, 0.62L, 0.16L, 0.28L, 0.00L, 0.00L},
    {2, -2, 0, 1.96L, 0.57L, -1.32L, 4.55L, 0.00L, 0.01L},
    {2, -3, 0, 0.40L, 0.15L, -0.17L, 0.46L, 0.00L, 0.00L},
    {2, -4, 0, 0.53L, 0.26L, 0.09L, -0.22L, 0.00L, 0.00L},
    {3, -3, 0, 0.05L, 0.12L, -0.35L, 0.15L, 0.00L, 0.00L},
    {3, -4, 0, -0.13L, -0.48L, 1.06L, -0.29L, 0.01L, 0.00L},
    {3, -5, 0, -0.04L, -0.20L, 0.20L, -0.04L, 0.00L, 0.00L},
    {4, -4, 0, 0.00L, -0.03L, 0.10L, 0.04L, 0.00L, 0.00L},
    {4, -5, 0, 0.05L, -0.07L, 0.20L, 0.14L, 0.00L, 0.00L},
    {4, -6, 0, -0.10L, 0.11L, -0.23L, -0.22L, 0.00L, 0.00L},
    {5, -7, 0, -0.05L, 0.00L, 0.01L, -0.14L, 0.00L, 0.00L},
    {5, -8, 0, 0.05L, 0.01L, -0.02L, 0.10L, 0.00L, 0.00L},
};

// SUN200, PERTJUP: perturbations by Jupiter (12 rows).
inline constexpr Sun200Term kSun200JupiterTerms[] = {
    {-1, -1, 0, 0.01L, 0.07L, 0.18L, -0.02L, 0.00L, -0.02L},
    {0, -1, 0, -0.31L, 2.58L, 0.52L, 0.34L, 0.02L, 0.00L},
    {1, -1, 0, -7.21L, -0.06L, 0.13L, -16.27L, 0.00L, -0.02L},
    {1, -2, 0, -0.54L, -1.52L, 3.09L, -1.12L, 0.01L, -0.17L},
    {1, -3, 0, -0.03L, -0.21L, 0.38L, -0.06L, 0.00L, -0.02L},
    {2, -1, 0, -0.16L, 0.05L, -0.18L, -0.31L, 0.01L, 0.00L},
    {2, -2, 0, 0.14L, -2.73L, 9.23L, 0.48L, 0.00L, 0.00L},
    {2, -3, 0, 0.07L, -0.55L, 1.83L, 0.25L, 0.01L, 0.00L},
    {2, -4, 0, 0.02L, -0.08L, 0.25L, 0.06L, 0.00L, 0.00L},
    {3, -2, 0, 0.01L, -0.07L, 0.16L, 0.04L, 0.00L, 0.00L},
    {3, -3, 0, -0.16L, -0.03L, 0.08L, -0.64L, 0.00L, 0.00L},
    {3, -4, 0, -0.04L, -0.01L, 0.03L, -0.17L, 0.00L, 0.00L},
};

// SUN200, PERTSAT: perturbations by Saturn (4 rows).
inline constexpr Sun200Term kSun200SaturnTerms[] = {
    {0, -1, 0, 0.00L, 0.32L, 0.01L, 0.00L, 0.00L, 0.00L},
    {1, -1, 0, -0.08L, -0.41L, 0.97L, -0.18L, 0.00L, -0.01L},
    {1, -2, 0, 0.04L, 0.10L, -0.23L, 0.10L, 0.00L, 0.00L},
    {2, -2, 0, 0.04L, 0.10L, -0.35L, 0.13L, 0.00L, 0.00L},
};

// c * sin or cos(d D + a A + m M3): one term of PERTMOO (Earth-Moon
// barycentre to geocentre).
struct Sun200MoonTerm {
  Extended c;
  int d, a, m;
};

// SUN200, PERTMOO: dl (arcseconds, sine terms), dr (1e-6 AU, cosine terms),
// db = 0.576" sin U.
inline constexpr Sun200MoonTerm kSun200MoonLon[] = {
    {6.45L, 1, 0, 0}, {-0.42L, 1, -1, 0}, {0.18L, 1, 1, 0}, {0.17L, 1, 0, -1}, {-0.06L, 1, 0, 1},
};
inline constexpr Sun200MoonTerm kSun200MoonRad[] = {
    {30.76L, 1, 0, 0}, {-3.06L, 1, -1, 0}, {0.85L, 1, 1, 0}, {-0.58L, 1, 0, 1}, {0.57L, 1, 0, -1},
};
inline constexpr Extended kSun200MoonLatSinU_arcsec = 0.576L;

// SUN200, long-period terms in longitude (arcseconds).
inline constexpr TurnSineTerm kSun200LongPeriod[] = {
    {6.40L, 0.6983L, 0.0561L},
    {1.87L, 0.5764L, 0.4174L},
    {0.27L, 0.4189L, 0.3306L},
    {0.20L, 0.3581L, 2.4814L},
};

// SUN200, final formulas: L = 2 pi Frac(0.7859453 + M3/2pi
// + ((6191.2 + 1.1 T) T + dl)/1296000), R = 1.0001398 - 0.0000007 T + dr 1e-6.
inline constexpr Extended kSun200Lon0_rev = 0.7859453L;
inline constexpr Extended kSun200LonRate_arcsecPerCy = 6191.2L;
inline constexpr Extended kSun200LonAccel_arcsecPerCy2 = 1.1L;
inline constexpr Extended kSun200R0_au = 1.0001398L;
inline constexpr Extended kSun200RRate_auPerCy = -0.0000007L;

// ---------------------------------------------------------------------------
// MOON: the improved lunar ephemeris (Brown's theory), a few arcseconds.

// LONG_PERIODIC: the seven arguments S1..S7 = sin 2 pi (a + b T).
inline constexpr LinearArgument kMoonLongPeriodArgs[7] = {
    {0.19833L, 0.05611L},  {0.27869L, 0.04508L},  {0.16827L, -0.36903L}, {0.34734L, -5.37261L},
    {0.10498L, -5.37899L}, {0.42681L, -0.41855L}, {0.14943L, -5.37511L},
};

// LONG_PERIODIC: coefficients (arcseconds) of S1..S7 in the corrections of
// L0, l, l' and F; the correction of D is dL0 - dl'.
inline constexpr Extended kMoonLongPeriodL0[7] = {0.84L, 0.31L, 14.27L, 7.26L, 0.28L, 0.24L, 0.0L};
inline constexpr Extended kMoonLongPeriodL[7] = {2.94L, 0.31L, 14.27L, 9.34L, 1.12L, 0.83L, 0.0L};
inline constexpr Extended kMoonLongPeriodLs[7] = {-6.40L, 0.0L, 0.0L, 0.0L, 0.0L, -1.89L, 0.0L};
inline constexpr Extended kMoonLongPeriodF[7] = {0.21L, 0.31L, 14.27L, -88.70L, -15.30L, 0.24L, -1.86L};

// LONG_PERIODIC: dgamma (dimensionless).
inline constexpr TurnSineTerm kMoonDGamma[] = {
    {-3332e-9L, 0.59734L, -5.37261L},
    {-539e-9L, 0.35498L, -5.37899L},
    {-64e-9L, 0.39943L, -5.37511L},
};

// INIT: mean element c0 + c1 T + c2 T^2 (turns).
struct QuadraticArgument {
  Extended c0_rev;
  Extended c1_revPerCy;
  Extended c2_revPerCy2;
};

inline constexpr QuadraticArgument kMoonL0{0.60643382L, 1336.85522467L, -0.00000313L};
inline constexpr QuadraticArgument kMoonAnomaly{0.37489701L, 1325.55240982L, 0.00002565L};
inline constexpr QuadraticArgument kMoonSunAnomaly{0.99312619L, 99.99735956L, -0.00000044L};
inline constexpr QuadraticArgument kMoonLatArg{0.25909118L, 1342.22782980L, -0.00000892L};
inline constexpr QuadraticArgument kMoonElongation{0.82736186L, 1236.85308708L, -0.00000397L};

// INIT: highest multiples and factors on the multiples (secular corrections
// of e, e' and gamma): l 1.000002208, l' 0.997504612 - 0.002495388 T,
// F 1.000002708 + 139.978 dgamma, D 1.
inline constexpr int kMoonMaxMultipleL = 4;
inline constexpr int kMoonMaxMultipleLs = 3;
inline constexpr int kMoonMaxMultipleF = 4;
inline constexpr int kMoonMaxMultipleD = 6;
inline constexpr Extended kMoonFactorL = 1.000002208L;
inline constexpr Extended kMoonFactorLs0 = 0.997504612L;
inline constexpr Extended kMoonFactorLsRate_perCy = -0.002495388L;
inline constexpr Extended kMoonFactorF0 = 1.000002708L;
inline constexpr Extended kMoonFactorFGamma = 139.978L;

// INIT: starting value of the sine parallax sum (arcseconds).
inline constexpr Extended kMoonSinPi0_arcsec = 3422.7000L;

// ADDSOL row: multiples p, q, r, s of l, l', F, D; coefficients of the
// longitude (sine), of S (sine), of gamma1*C (cosine) and of the sine
// parallax (cosine), arcseconds.
struct AddSolTerm {
  int p, q, r, s;
  Extended coeffL, coeffS, coeffG, coeffP;
};

// MOON, SOLAR1/SOLAR2/SOLAR3: solar perturbations (104 ADDSOL rows).
inline constexpr AddSolTerm kMoonAddSol[] = {
    {0, 0, 0, 4, 13.902L, 14.06L, -0.001L, 0.2607L},
    {0, 0, 0, 3, 0.403L, -4.01L, 0.394L, 0.0023L},
    {0, 0, 0, 2, 2369.912L, 2373.36L, 0.601L, 28.2333L},
    {0, 0, 0, 1, -125.154L, -112.79L, -0.725L, -0.9781L},
    {1, 0, 0, 4, 1.979L, 6.98L, -0.445L, 0.0433L},
    {1, 0, 0, 2, 191.953L, 192.72L, 0.029L, 3.0861L},
    {1, 0, 0, 1, -8.466L, -13.51L, 0.455L, -0.1093L},
    {1, 0, 0, 0, 22639.500L, 22609.07L, 0.079L, 186.5398L},
    {1, 0, 0, -1, 18.609L, 3.59L, -0.094L, 0.0118L},
    {1, 0, 0, -2, -4586.465L, -4578.13L, -0.077L, 34.3117L},
    {1, 0, 0, -3, 3.215L, 5.44L, 0.192L, -0.0386L},
    {1, 0, 0, -4, -38.428L, -38.64L, 0.001L, 0.6008L},
    {1, 0, 0, -6, -0.393L, -1.43L, -0.092L, 0.0086L},
    {0, 1, 0, 4, -0.289L, -1.59L, 0.123L, -0.0053L},
    {0, 1, 0, 2, -24.420L, -25.10L, 0.040L, -0.3000L},
    {0, 1, 0, 1, 18.023L, 17.93L, 0.007L, 0.1494L},
    {0, 1, 0, 0, -668.146L, -126.98L, -1.302L, -0.3997L},
    {0, 1, 0, -1, 0.560L, 0.32L, -0.001L, -0.0037L},
    {0, 1, 0, -2, -165.145L, -165.06L, 0.054L, 1.9178L},
    {0, 1, 0, -4, -1.877L, -6.46L, -0.416L, 0.0339L},
    {2, 0, 0, 4, 0.213L, 1.02L, -0.074L, 0.0054L},
    {2, 0, 0, 2, 14.387L, 14.78L, -0.017L, 0.2833L},
    {2, 0, 0, 1, -0.586L, -1.20L, 0.054L, -0.0100L},
    {2, 0, 0, 0, 769.016L, 767.96L, 0.107L, 10.1657L},
    {2, 0, 0, -1, 1.750L, 2.01L, -0.018L, 0.0155L},
    {2, 0, 0, -2, -211.656L, -152.53L, 5.679L, -0.3039L},
    {2, 0, 0, -3, 1.225L, 0.91L, -0.030L, -0.0088L},
    {2, 0, 0, -4, -30.773L, -34.07L, -0.308L, 0.3722L},
    {2, 0, 0, -6, -0.570L, -1.40L, -0.074L, 0.0109L},
    {1, 1, 0, 2, -2.921L, -11.75L, 0.787L, -0.0484L},
    {1, 1, 0, 1, 1.267L, 1.52L, -0.022L, 0.0164L},
    {1, 1, 0, 0, -109.673L, -115.18L, 0.461L, -0.9490L},
    {1, 1, 0, -2, -205.962L, -182.36L, 2.056L, 1.4437L},
    {1, 1, 0, -3, 0.233L, 0.36L, 0.012L, -0.0025L},
    {1, 1, 0, -4, -4.391L, -9.66L, -0.471L, 0.0673L},
    {1, -1, 0, 4, 0.283L, 1.53L, -0.111L, 0.0060L},
    {1, -1, 0, 2, 14.577L, 31.70L, -1.540L, 0.2302L},
    {1, -1, 0, 0, 147.687L, 138.76L, 0.679L, 1.1528L},
    {1, -1, 0, -1, -1.089L, 0.55L, 0.021L, 0.0L},
    {1, -1, 0, -2, 28.475L, 23.59L, -0.443L, -0.2257L},
    {1, -1, 0, -3, -0.276L, -0.38L, -0.006L, -0.0036L},
    {1, -1, 0, -4, 0.636L, 2.27L, 0.146L, -0.0102L},
    {0, 2, 0, 2, -0.189L, -1.68L, 0.131L, -0.0028L},
    {0, 2, 0, 0, -7.486L, -0.66L, -0.037L, -0.0086L},
    {0, 2, 0, -2, -8.096L, -16.35L, -0.740L, 0.0918L},
    {0, 0, 2, 2, -5.741L, -0.04L, 0.0L, -0.0009L},
    {0, 0, 2, 1, 0.255L, 0.0L, 0.0L, 0.0L},
    {0, 0, 2, 0, -411.608L, -0.20L, 0.0L, -0.0124L},
    {0, 0, 2, -1, 0.584L, 0.84L, 0.0L, 0.0071L},
    {0, 0, 2, -2, -55.173L, -52.14L, 0.0L, -0.1052L},
    {0, 0, 2, -3, 0.254L, 0.25L, 0.0L, -0.0017L},
    {0, 0, 2, -4, 0.025L, -1.67L, 0.0L, 0.0031L},
    {3, 0, 0, 2, 1.060L, 2.96L, -0.166L, 0.0243L},
    {3, 0, 0, 0, 36.124L, 50.64L, -1.300L, 0.6215L},
    {3, 0, 0, -2, -13.193L, -16.40L, 0.258L, -0.1187L},
    {3, 0, 0, -4, -1.187L, -0.74L, 0.042L, 0.0074L},
    {3, 0, 0, -6, -0.293L, -0.31L, -0.002L, 0.0046L},
    {2, 1, 0, 2, -0.290L, -1.45L, 0.116L, -0.0051L},
    {2, 1, 0, 0, -7.649L, -10.56L, 0.259L, -0.1038L},
    {2, 1, 0, -2, -8.627L, -7.59L, 0.078L, -0.0192L},
    {2, 1, 0, -4, -2.740L, -2.54L, 0.022L, 0.0324L},
    {2, -1, 0, 2, 1.181L, 3.32L, -0.212L, 0.0213L},
    {2, -1, 0, 0, 9.703L, 11.67L, -0.151L, 0.1268L},
    {2, -1, 0, -1, -0.352L, -0.37L, 0.001L, -0.0028L},
    {2, -1, 0, -2, -2.494L, -1.17L, -0.003L, -0.0017L},
    {2, -1, 0, -4, 0.360L, 0.20L, -0.012L, -0.0043L},
    {1, 2, 0, 0, -1.167L, -1.25L, 0.008L, -0.0106L},
    {1, 2, 0, -2, -7.412L, -6.12L, 0.117L, 0.0484L},
    {1, 2, 0, -4, -0.311L, -0.65L, -0.032L, 0.0044L},
    {1, -2, 0, 2, 0.757L, 1.82L, -0.105L, 0.0112L},
    {1, -2, 0, 0, 2.580L, 2.32L, 0.027L, 0.0196L},
    {1, -2, 0, -2, 2.533L, 2.40L, -0.014L, -0.0212L},
    {0, 3, 0, -2, -0.344L, -0.57L, -0.025L, 0.0036L},
    {1, 0, 2, 2, -0.992L, -0.02L, 0.0L, 0.0L},
    {1, 0, 2, 0, -45.099L, -0.02L, 0.0L, -0.0010L},
    {1, 0, 2, -2, -0.179L, -9.52L, 0.0L, -0.0833L},
    {1, 0, 2, -4, -0.301L, -0.33L, 0.0L, 0.0014L},
    {1, 0, -2, 2, -6.382L, -3.37L, 0.0L, -0.0481L},
    {1, 0, -2, 0, 39.528L, 85.13L, 0.0L, -0.7136L},
    {1, 0, -2, -2, 9.366L, 0.71L, 0.0L, -0.0112L},
    {1, 0, -2, -4, 0.202L, 0.02L, 0.0L, 0.0L},
    {0, 1, 2, 0, 0.415L, 0.10L, 0.0L, 0.0013L},
    {0, 1, 2, -2, -2.152L, -2.26L, 0.0L, -0.0066L},
    {0, 1, -2, 2, -1.440L, -1.30L, 0.0L, 0.0014L},
    {0, 1, -2, -2, 0.384L, -0.04L, 0.0L, 0.0L},
    {4, 0, 0, 0, 1.938L, 3.60L, -0.145L, 0.0401L},
    {4, 0, 0, -2, -0.952L, -1.58L, 0.052L, -0.0130L},
    {3, 1, 0, 0, -0.551L, -0.94L, 0.032L, -0.0097L},
    {3, 1, 0, -2, -0.482L, -0.57L, 0.005L, -0.0045L},
    {3, -1, 0, 0, 0.681L, 0.96L, -0.026L, 0.0115L},
    {2, 2, 0, -2, -0.297L, -0.27L, 0.002L, -0.0009L},
    {2, -2, 0, -2, 0.254L, 0.21L, -0.003L, 0.0L},
    {1, 3, 0, -2, -0.250L, -0.22L, 0.004L, 0.0014L},
    {2, 0, 2, 0, -3.996L, 0.0L, 0.0L, 0.0004L},
    {2, 0, 2, -2, 0.557L, -0.75L, 0.0L, -0.0090L},
    {2, 0, -2, 2, -0.459L, -0.38L, 0.0L, -0.0053L},
    {2, 0, -2, 0, -1.298L, 0.74L, 0.0L, 0.0004L},
    {2, 0, -2, -2, 0.538L, 1.14L, 0.0L, -0.0141L},
    {1, 1, 2, 0, 0.263L, 0.02L, 0.0L, 0.0L},
    {1, 1, -2, -2, 0.426L, 0.07L, 0.0L, -0.0006L},
    {1, -1, 2, 0, -0.304L, 0.03L, 0.0L, 0.0003L},
    {1, -1, -2, 2, -0.372L, -0.19L, 0.0L, -0.0027L},
    {0, 0, 4, 0, 0.418L, 0.0L, 0.0L, 0.0L},
    {3, 0, 2, 0, -0.330L, -0.04L, 0.0L, 0.0L},
};

// ADDN row: coefficient of N (sine, arcseconds) and the multiples of
// l, l', F, D.
struct AddNTerm {
  Extended coeffN;
  int p, q, r, s;
};

// MOON, SOLARN: solar perturbations in latitude (10 ADDN rows).
inline constexpr AddNTerm kMoonAddN[] = {
    {-526.069L, 0, 0, 1, -2}, {-3.352L, 0, 0, 1, -4},   {44.297L, 1, 0, 1, -2},  {-6.000L, 1, 0, 1, -4},
    {20.599L, -1, 0, 1, 0},   {-30.598L, -1, 0, 1, -2}, {-24.649L, -2, 0, 1, 0}, {-2.000L, -2, 0, 1, -2},
    {-22.571L, 0, 1, 1, -2},  {10.985L, 0, -1, 1, -2},
};

// MOON, PLANETARY: perturbations by Venus and Jupiter, added to the
// longitude (11 terms, arcseconds).
inline constexpr TurnSineTerm kMoonPlanetary[] = {
    {0.82L, 0.7736L, -62.5512L},  {0.31L, 0.0466L, -125.1025L}, {0.35L, 0.5785L, -25.1042L},
    {0.66L, 0.4591L, 1335.8075L}, {0.64L, 0.3130L, -91.5680L},  {1.14L, 0.1480L, 1331.2898L},
    {0.21L, 0.5918L, 1056.5859L}, {0.44L, 0.5784L, 1322.8595L}, {0.24L, 0.2275L, -5.7374L},
    {0.28L, 0.2965L, 2.6929L},    {0.33L, 0.3132L, 6.3368L},
};

// MOON, final formulas: beta = [f_F (18518.511 + 1.189 + gamma1C) sin S
// - 6.24 sin 3S + N] / 3600 degrees; sine parallax scaled by 0.999953253.
inline constexpr Extended kMoonLatMain_arcsec = 18518.511L;
inline constexpr Extended kMoonLatConst_arcsec = 1.189L;
inline constexpr Extended kMoonLatSin3S_arcsec = -6.24L;
inline constexpr Extended kMoonParallaxScale = 0.999953253L;

// Row counts of the published tables.
static_assert(std::size(kMiniMoonLon) == 14 && std::size(kMiniMoonLat) == 7);
static_assert(std::size(kSun200VenusTerms) + std::size(kSun200MarsTerms) + std::size(kSun200JupiterTerms) +
                  std::size(kSun200SaturnTerms) ==
              52);
static_assert(std::size(kMoonAddSol) == 104 && std::size(kMoonAddN) == 10 && std::size(kMoonPlanetary) == 11);

}  // namespace orb::mp
