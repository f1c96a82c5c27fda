// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Closed-form series of the Sun and the Moon after Montenbruck & Pfleger,
// Astronomy on the Personal Computer (4th ed., Springer 2000), with their
// published coefficients unchanged (Pascal routines MINI_SUN, MINI_MOON,
// SUN200 and MOON):
// - the mini Sun and mini Moon (about 1' and 5'), used by the rise/set search;
// - the short Sun longitude (the mini-Sun longitude in single precision);
// - the perturbed Sun series SUN200 (Newcomb's theory with planetary
//   perturbations, about 1");
// - the lunar series MOON (the improved lunar theory, a few arcseconds).
// T is in Julian centuries since J2000, T = (JD - 2451545)/36525; JD is the
// instant the caller passes (dynamical time where it matters). Angle
// arguments are 2 pi Frac(c0 + c1 T) with 2 pi = 6.283185307 and Frac taken
// into [0, 1). Every input is valid: the series are periodic in their
// arguments, their accuracy degrades slowly away from 1900-2100.

#include "core/NumKernel.h"

namespace orb {

// Mini Sun (MINI_SUN) at `t` (Julian centuries since J2000): geometric right
// ascension (hours, [0, 24)) and declination (degrees), mean equinox of
// date, converted with the fixed obliquity sin e = 0.39778, cos e = 0.91748.
// Accuracy about 1' between 1900 and 2100.
void MiniSun(Extended t, Extended& ra_h, Extended& dec_deg);

// Mini Moon (MINI_MOON) at `t` (Julian centuries since J2000): geocentric
// right ascension (hours, [0, 24)) and declination (degrees), mean equinox
// of date, converted with the fixed obliquity of the mini Sun. Accuracy
// about 5' in longitude (5.8' at most) and 1' in latitude between 1900 and
// 2100, against the lunar series below.
void MiniMoon(Extended t, Extended& ra_h, Extended& dec_deg);

// The mini-Sun ecliptic longitude (radians, [0, 2pi), mean equinox of date)
// at the Julian date `jd`, rounded to single precision (so a value just
// below 2pi may come back as the single nearest to 2pi).
float SunLongitudeShort(Extended jd);

// Perturbed Sun series (SUN200) at the Julian date `jd` (dynamical time):
// geometric geocentric ecliptic longitude L ([0, 2pi)) and latitude B
// (radians) and distance R (AU), mean ecliptic and equinox of date, without
// light time, aberration and nutation. Between 1900 and 2100 within 2.6" in
// longitude, 0.2" in latitude and 2.2e-6 AU of DE431 (Swiss Ephemeris).
struct SunPosition {
  Extended L = 0, B = 0, R = 0;
};
SunPosition SunSeries(Extended jd);

// Lunar series (MOON) at the Julian date `jd` (dynamical time): geocentric
// ecliptic longitude ([0, 2pi)) and latitude (radians), mean ecliptic and
// equinox of date, without aberration and nutation; distance in Earth radii,
// 206264.81"/(0.999953253 sine parallax in arcseconds). The published
// routine counts light time (0.7") as included; against DE431 (Swiss
// Ephemeris) the geometric Moon fits as well (mean offset -0.3" against
// +0.4"). Between 1900 and 2100 within 3.5" in longitude and 1.4" in
// latitude of DE431; the distance, taken in Earth radii of 6378.137 km, is
// 2.7e-5 (about 10 km) shorter than DE431's on average, +-5 km periodic.
struct MoonPosition {
  Extended lon = 0, lat = 0, dist_earthRadii = 0;
};
MoonPosition MoonSeries(Extended jd);

}  // namespace orb
