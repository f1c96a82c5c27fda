// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Chebyshev fits of the apparent Sun and Moon from the planetary theory,
// evaluated with T_EVAL by the solar-eclipse computation, and the two
// lunar-phase routines built on the planetary theory.

#include <cstdint>

#include "core/NumKernel.h"

namespace orb {

// The three fitted quantities over [TA, TB] (Julian centuries since J2000,
// dynamical time): right ascension and declination in degrees, the distance
// in AU for the Sun and in Earth radii (6378.137 km) for the Moon.
struct TChebFit {
  TChebSeries ra_deg;
  TChebSeries dec_deg;
  TChebSeries dist;
};

// Fits of degree N (at most 13) over [TA, TB] (TA < TB) at the N + 1
// Chebyshev nodes, from the apparent places of the planetary theory (light
// time, aberration and nutation on; the Sun as body 1020, the Moon as 1011).
// The right ascension is made continuous across 0h (values may go below 0).
// N > 13 is reported (" N: 14 zu gross in T_FIT_MOON: 13", for both
// bodies); then, and for N < 0 or when the theory has no place at a node
// (a date outside the ephemeris), nothing is fitted: false, `fit` unchanged.
bool T_FIT_MOON(int32_t n, Extended ta, Extended tb, TChebFit& fit);
bool T_FIT_SUN(int32_t n, Extended ta, Extended tb, TChebFit& fit);

// Phase value of the Moon at `jd` (passed to the theory unchanged): the
// Moon's ecliptic longitude and latitude (radians; nutation on, aberration
// off) and P in [-0.9998, 1.0002): 0 near new moon, +-1 near full moon.
struct MoonPhase {
  Extended lon_rad = 0, lat_rad = 0;
  Extended P = 0;
};
MoonPhase MoonPhaseValue(Extended jd);

// The phase value P of the Moon's and the Sun's ecliptic longitudes
// (radians, each in [0, 2pi)): with t = (moon - sun)/2pi + 2.4999,
// P = 2 (Frac(t) - 0.4999), in (-1, 1]: 0 at new moon, 1 at full moon,
// positive while waxing. The 0.0001 of a turn (0.036 degree) puts the full
// moon itself at +1 rather than -1.
Extended PhaseValueOfLongitudes(Extended moonLon_rad, Extended sunLon_rad);

// Moves `jd` (UT) to the nearest instant at which the Moon's longitude minus
// the Sun's equals `elongation_rad` (0 new moon, pi/2 first quarter, ...).
// Apparent longitudes of date from the planetary theory (light time and
// aberration, mean equinox) at jd + deltaT (taken for the starting instant;
// 0 when `tdt` says that jd already is dynamical time);
// steps of the remaining elongation over the mean synodic rate until a step
// is at most 60 s (about 10 s from the exact instant). Returns the Moon's
// ecliptic latitude (radians) at the last evaluation; NaN when `jd` is not
// finite or the theory has no place (jd then stays where it got).
Extended RefinePhaseTime(Extended& jd, Extended elongation_rad, bool tdt);

}  // namespace orb
