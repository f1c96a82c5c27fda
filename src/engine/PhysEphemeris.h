// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Physical ephemerides: orientation of the planets (position angle of the
// axis, planetocentric latitude of the Earth, central meridian; Jupiter's
// systems I and II), of the Sun (P, B0, L0), the Moon's optical librations,
// the Sun's selenographic colongitude and latitude, and the phase angle.
// All angles radians; the methods are those of Meeus, Astronomical
// Algorithms (2nd ed., 1998), chapters 29, 42 and 53, with the rotation
// elements and mean elements named at each routine. Accuracy: a few
// hundredths of a degree against Meeus' rigorous worked examples.

#include <cstdint>

#include "core/NumKernel.h"

namespace orb {

// Orientation of planet `index` (1 Mercury, 2 Venus, 3 Mars, 4 Jupiter,
// 5 Saturn, 6 Uranus, 7 Neptune, 8 Pluto) from its apparent right ascension
// and declination of date and its geocentric distance (AU) at the row instant
// `jd` (UT) with deltaT (days). The rotation is taken at the light-time
// corrected dynamical time jd + deltaT - 0.005776 |delta|. An index outside
// 1..8 gives NaN in every field.
struct PlanetOrientation {
  Extended P = 0;    // position angle of the axis, from north through east, (-pi, pi]
  Extended D = 0;    // planetocentric latitude of the Earth, [-pi/2, pi/2]
  Extended CM = 0;   // central meridian, [0, 2pi) (Jupiter: system I)
  Extended CM2 = 0;  // Jupiter's central meridian of system II, [0, 2pi); 0 for the others
};
PlanetOrientation PlanetOrientationOf(int32_t index, Extended jd, Extended deltaT_days, Extended ra_rad,
                                      Extended dec_rad, Extended delta_au);

// Orientation of the Sun at `jd` (dynamical time) from the perturbed Sun
// series: position angle of the axis P (about +-26.3 deg), heliographic
// latitude B0 (+-7.25 deg) and longitude L0 ([0, 2pi), Carrington) of the
// disc centre, distance R (AU).
struct SunOrientation {
  Extended P = 0, B0 = 0, L0 = 0, R = 0;
};
SunOrientation SunOrientationOf(Extended jd);

// Optical librations of the Moon in longitude ((-pi, pi]) and latitude
// ([-pi/2, pi/2]) from its geocentric ecliptic longitude and latitude of date
// at `jd` (dynamical time).
struct Libration {
  Extended l = 0, b = 0;
};
Libration LunarLibration(Extended lon_rad, Extended lat_rad, Extended jd);

// Selenographic colongitude ([0, 2pi)) and latitude of the Sun from the
// Moon's geocentric ecliptic longitude, latitude of date and distance (AU) at
// `jd` (dynamical time). The Sun comes from the planetary theory; NaN when it
// fails (theory::LastError() tells why).
struct SunOnMoon {
  Extended colongitude = 0, latitude = 0;
};
SunOnMoon SunOnMoonOf(Extended lon_rad, Extended lat_rad, Extended delta_au, Extended jd);

// Phase angle Sun-body-Earth ([0, pi], negated when the signed elongation is
// negative) from the distances Earth-body (delta), Sun-body (r) and Sun-Earth
// (R) in AU. NaN when delta or r is not positive or a distance is not a
// number; distances that form no triangle (beyond a rounding excess of the
// cosine) are reported by the kernel's guarded arc cosine, which gives pi/2.
Extended PhaseAngle(Extended delta_au, Extended r_au, Extended R_au, Extended elong_rad);

}  // namespace orb
