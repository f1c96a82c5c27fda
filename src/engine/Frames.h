// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Coordinate frames and corrections: obliquity, ecliptic <-> equatorial,
// precession between equinoxes, the short nutation series, the topocentric
// correction, equatorial <-> horizontal and the rising azimuth.
// Angles are radians, instants Julian dates, distances AU.

#include "core/NumKernel.h"

namespace orb {

// Radius of the spherical Earth of the topocentric correction and the
// horizontal parallax: 6367.44465 km in AU.
inline constexpr Extended kEarthRadius_au = 4.25637385117078e-05L;

// Mean obliquity of the ecliptic (Laskar 1986, valid over +-10000 years), radians.
Extended MeanObliquity(Extended jd);

// Ecliptic (latitude, longitude) to equatorial (right ascension in (-pi, pi],
// declination), with the mean obliquity of `jd`.
void EclipticToEquatorial(Extended jd, Extended lat_rad, Extended lon_rad, Extended& ra_rad, Extended& dec_rad);
// Equatorial (declination, right ascension) to ecliptic (longitude, latitude).
void EquatorialToEcliptic(Extended jd, Extended dec_rad, Extended ra_rad, Extended& lon_rad, Extended& lat_rad);

// Rigorous precession of ecliptic coordinates from the equinox of
// `epochJD` to that of `targetJD` (Meeus, Astronomical Algorithms, 21.5-21.7).
void PrecessEcliptic(Extended& lon_rad, Extended& lat_rad, Extended targetJD, Extended epochJD);
// Rigorous precession of equatorial coordinates (Meeus 21.2-21.4).
void PrecessEquatorial(Extended& ra_rad, Extended& dec_rad, Extended targetJD, Extended epochJD);

// The Julian date of the equinox of a (Besselian) year:
// (year - 1950) * 365.2422 + 2433282.423; 2000 gives JD 2451544.533.
Extended EpochOfYear(Extended year);

// Nutation in longitude and obliquity (radians) by the short series of the
// low-precision method (Montenbruck & Pfleger).
struct NutationAngles {
  Extended dpsi = 0;  // in longitude
  Extended deps = 0;  // in obliquity
  Extended eps = 0;   // obliquity used by the equatorial correction
};
NutationAngles ShortNutation(Extended jd);
// Adds the nutation in longitude to an ecliptic longitude.
void NutationLongitude(Extended& lon_rad, Extended jd);
// Turns mean equatorial coordinates of date into true ones.
void NutationEquatorial(Extended& ra_rad, Extended& dec_rad, Extended jd);

// Topocentric correction of a geocentric place (right ascension,
// declination, distance in AU) for the observer at `lat_deg`, `lonEast_deg`
// at `jd` (UT; the table sidereal time), spherical Earth.
void TopocentricCorrection(Extended& ra_rad, Extended& dec_rad, Extended& delta_au, Extended lat_deg,
                           Extended lonEast_deg, Extended jd);

// Equatorial (declination, hour angle) to horizontal for the latitude:
// azimuth from north through east in [0, 2pi), altitude. No refraction.
void EquatorialToHorizontal(Extended lat_rad, Extended dec_rad, Extended ha_rad, Extended& az_rad,
                            Extended& alt_rad);
// Horizontal (altitude, azimuth from north) to hour angle and declination.
void HorizontalToEquatorial(Extended alt_rad, Extended az_rad, Extended lat_rad, Extended& ha_rad,
                            Extended& dec_rad);

// Rising azimuth (from north through east) of an object of declination
// `dec_rad` at the latitude: false when the object does not rise or set
// (circumpolar or never above the horizon, or at a pole). The setting azimuth
// is 2pi minus the rising one.
bool RisingAzimuth(Extended lat_rad, Extended dec_rad, Extended& az_rad);

}  // namespace orb
