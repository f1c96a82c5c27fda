// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Positions and brightness of comets and minor planets from osculating
// elements (two-body orbits about the Sun): the elliptic solver, the
// near-parabolic solver with Stumpff functions (PARABELKOORD) and the
// hyperbolic solver (HYPANOM) after Montenbruck & Pfleger, Astronomy on the
// Personal Computer (4th ed., sections 4.1-4.3); the geocentric place with
// light time, the elongation, the magnitude laws and the text block of an
// element set. Angles radians, distances AU, times Julian dates in
// dynamical time (TT).
//
// Accuracy: the solvers reproduce Meeus' worked examples (Astronomical
// Algorithms, chapters 34 and 35) to 1e-5 degree in the true anomaly and
// 1e-6 AU in the radius vector. A place from osculating elements agrees
// with a numerically integrated ephemeris to 0.1" at the osculation epoch;
// away from it the planetary perturbations that the two-body orbit leaves
// out grow (for the first four minor planets to 0.4" a month and to 9"
// three months away).
//
// Element sets that describe no orbit (q <= 0, e < 0, numbers that are not
// finite) give NaN distances and angles rather than a report per row.

#include <string>

#include "core/NumKernel.h"
#include "core/OrbitElements.h"

namespace orb {

// Gaussian gravitational constant (radians per day).

// The solver an orbit takes at a given time.
enum class OrbitSolver { Elliptic, NearParabolic, Hyperbolic };

// Heliocentric distance r (AU) and true anomaly nu (radians, (-pi, pi],
// negative before perihelion) in the plane of the orbit, and the solver
// that gave them. Both are NaN when the elements describe no orbit.
struct OrbitPoint {
  Extended r = 0;
  Extended nu = 0;
  OrbitSolver solver = OrbitSolver::Elliptic;
};

// Kepler's equation E - e sin E = M for semi-major axis a (AU) > 0,
// 0 <= e < 1 and mean anomaly m_rad (any number of revolutions):
// r = a (1 - e cos E), nu = 2 arctan(sqrt((1 + e)/(1 - e)) tan(E/2)).
// Solved by Newton's method to a change of E below 1e-7 rad.
OrbitPoint EllipticOrbit(Extended a, Extended e, Extended m_rad);

// The near-parabolic solver (Montenbruck & Pfleger, PARAB) for perihelion
// distance q (AU) > 0, eccentricity e > 0 (below, at or above 1) and time
// since perihelion dt_days (negative before it): the universal form of
// Kepler's equation with the Stumpff functions, iterated until E2 changes by
// less than 1e-9. When it has not settled after 20 steps (and the 21st), it
// reports " Konvergenzprobleme in PARABELKOORD" and goes on with the last
// values; the orbits where this happens lie far from perihelion (more than
// roughly half an orbit of an ellipse).
OrbitPoint PARABELKOORD(Extended q, Extended e, Extended dt_days);

// The hyperbolic anomaly H of e sinh H - H = mh (Montenbruck & Pfleger,
// HYPANOM): start ln(2|mh|/e + 1.8) with the sign of mh, Newton steps while
// |F| > 1e-10 (1 + |H + mh|); still unsettled after 15 steps, it reports
// " Konvergenzprobleme in HYPANOM" and returns the last iterate. NaN for
// e <= 1 or numbers that are not finite.
Extended HYPANOM(Extended mh, Extended e);

// The hyperbolic orbit for q (AU) > 0, e > 1 and time since perihelion
// dt_days: a = q/(e - 1), mh = dt k / a^1.5, H from HYPANOM,
// x = a (e - cosh H), y = a sqrt(e^2 - 1) sinh H.
OrbitPoint HyperbolicOrbit(Extended q, Extended e, Extended dt_days);

// Whether the elements describe an orbit: a positive perihelion distance,
// an eccentricity of 0 or more, finite angles and dates.
bool OrbitIsUsable(const CometBahnTyp& el);

// The point of the orbit of `el` at `t` (TT) less the light time tau_days.
// The mean anomaly is k (t - TM0 - tau)/sqrt(a^3) + M0 when M0 and TM0 are
// both non-zero, otherwise k (t - T0 - tau)/sqrt(a^3); a set without a
// positive a (one whose a was never derived) uses q/|1 - e|. Solver choice:
// near-parabolic when M < 5 degrees (signed, so every orbit before
// perihelion) and |1 - e| < 0.1, or when e = 1 exactly (a parabola needs no
// M and no a); else hyperbolic for e >= 1; else elliptic. The near-parabolic
// and hyperbolic solvers count time from T0.
OrbitPoint OrbitAt(const CometBahnTyp& el, Extended t, Extended tau_days);

// The geocentric place of a comet or minor planet.
struct SmallBodyPlace {
  Extended lon = 0, lat = 0;  // geocentric ecliptic, equinox of the elements (radians, lon in [0, 2pi))
  Extended R = 0;             // Sun-Earth distance (AU)
  Extended r = 0;             // heliocentric distance (AU), at t - tau
  Extended delta = 0;         // geocentric distance (AU)
  Extended elong = 0;         // signed elongation (radians), negative west of the Sun
  float mag = 0;              // visual magnitude
};

// The place of `el` at jd_tt (TT), referred to the mean ecliptic and
// equinox of the elements' equinox year (EpochOfYear(el.equinox)):
//  - the Sun from the planetary theory (light time on, aberration and
//    nutation off), precessed from the date to that equinox;
//  - with `lightTime` the orbit is computed twice, at t - tau with
//    tau = 0.00577551831 Delta days, Delta = 1 AU in the first pass and the
//    first pass's Delta in the second; without it once, at t. The Sun stays
//    at t, so the result is the astrometric place (no aberration);
//  - geocentric = heliocentric + the Sun's geocentric vector;
//  - elongation arccos(cos beta cos(lambda - lambda_sun)), negative when
//    sin(lambda - lambda_sun) < 0;
//  - magnitude of a minor planet H + |phase angle in degrees| G 0.023/0.15
//    + 5 log10(r Delta), of a comet H + 5 log10 Delta + 2.5 K log10 r.
// Elements that describe no orbit, or a date the planetary theory cannot
// give, yield NaN for everything but R.
SmallBodyPlace SmallBodyPosition(const CometBahnTyp& el, Extended jd_tt, bool lightTime);

// The text block of an element set, lines joined by `separator` (none
// after the last): "Asteroid" or "Komet"; "(number) " for a numbered minor
// planet and the name; a, q, e; i, AscN, PerL and M0 in degrees with the
// epoch of M0; the equinox year with its Julian date; mag and dmag; the
// diameter only when it is positive.
std::string ElementText(const CometBahnTyp& el, const std::string& separator);

}  // namespace orb
