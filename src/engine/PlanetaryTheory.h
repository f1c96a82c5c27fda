// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The planetary theory interface. Geocentric positions of the Sun, the Moon
// and the planets come from an outside theory behind this small fixed
// interface: body codes 1000 + 20*variant + body, quantity numbers, radians
// and astronomical units, Julian dates in dynamical time (TT), and three
// switches (light time, aberration, nutation), each 0 or 1.
//
// Behind it stands Swiss Ephemeris (Astrodienst AG): the compressed files
// based on JPL DE431 in /usr/share/libswe/ephe when present, otherwise its
// built-in analytical ephemeris (Moshier), which is good to about 1" for the
// planets between 3000 BC and 3000 AD.

#include <cstdint>
#include <string>

namespace orb::theory {

// Body numbers of the code 1000 + 20*variant + body (3 is never asked).
inline constexpr int32_t kBodySun = 0;
inline constexpr int32_t kBodyMercury = 1;
inline constexpr int32_t kBodyVenus = 2;
inline constexpr int32_t kBodyMars = 4;
inline constexpr int32_t kBodyJupiter = 5;
inline constexpr int32_t kBodySaturn = 6;
inline constexpr int32_t kBodyUranus = 7;
inline constexpr int32_t kBodyNeptune = 8;
inline constexpr int32_t kBodyPluto = 9;
inline constexpr int32_t kBodyMoon = 11;

// Codes the program uses: the table driver asks variant 0, the event searches
// and fits ask for the Sun as 1020; the Moon is always 1011.
inline constexpr int32_t kCodeSun = 1000;
inline constexpr int32_t kCodeSunSearch = 1020;
inline constexpr int32_t kCodeMoon = 1011;

// Quantities of _planetinfo.
inline constexpr int32_t kQtyRightAscension = 1;  // radians, [0, 2pi)
inline constexpr int32_t kQtyDeclination = 2;     // radians
inline constexpr int32_t kQtyDistance = 3;        // geocentric distance, AU
inline constexpr int32_t kQtyLongitude = 8;       // ecliptic longitude of date, radians, [0, 2pi)
inline constexpr int32_t kQtyLatitude = 9;        // ecliptic latitude of date, radians

// The table driver's body code of an object index k (-1 Sun, 0 Moon,
// 1..8 Mercury..Pluto).
int32_t TableBodyCode(int32_t objectKind);

// One quantity of a body at `jd_tt`. With nutation the coordinates refer to
// the true equator and equinox of the date, without it to the mean ones.
// Returns NaN for an unknown body or quantity, or when the theory fails
// (LastError() tells why).
double _planetinfo(double jd_tt, int32_t body, int32_t quantity, int32_t lightTime, int32_t aberration,
                   int32_t nutation);

// All quantities of a body at `jd_tt`: right ascension and declination
// (radians), geocentric distance delta and heliocentric distance r (AU),
// signed elongation from the Sun (radians; positive east of the Sun, that is
// in the evening sky), x (not used by the program; the illuminated fraction),
// visual magnitude, apparent diameter (arcseconds), ecliptic longitude and
// latitude (radians, of date). The last argument is always 1. Returns 0, or
// -1 when the body is unknown or the theory fails (outputs are then NaN).
int32_t _calcplanet(double jd_tt, int32_t body, double* ra, double* dec, double* delta, double* r,
                    double* elong, double* x, double* mag, double* diam, double* lon, double* lat,
                    int32_t lightTime, int32_t aberration, int32_t nutation, int32_t one);

// Adds annual aberration in place to an ecliptic longitude and latitude of
// date (radians), given the Sun's geometric longitude (radians) at `jd_tt`.
// Meeus, Astronomical Algorithms, formula 23.2 (with the eccentricity terms).
void _aberrat_aux(double jd_tt, double* lon, double* lat, double sunLon, int32_t flag);

// The Moon from the lunar theory: geocentric ecliptic rectangular
// coordinates (AU) and longitude, distance (AU) and latitude (radians) of date.
// The program's lunar-theory switch, kUseLunarTheory, is off, so eclipse code
// uses body 1011 instead; the call itself is complete.
void _cmoon200(double jd_tt, double* x, double* y, double* z, double* lon, double* dist, double* lat);
inline constexpr bool kUseLunarTheory = false;

// Which ephemeris the last computation used.
enum class EphemerisSource {
  JplFiles,    // Swiss Ephemeris files (compressed JPL DE431)
  Analytical,  // built-in analytical ephemeris (Moshier)
};

// Folder of the ephemeris files (default /usr/share/libswe/ephe).
void SetEphemerisPath(const std::string& path);
const std::string& EphemerisPath();

// The source the last successful call used, and a German description of it
// for the About box.
EphemerisSource LastEphemerisSource();
std::string EphemerisDescription();

// The error text of the last failed call (empty after a success).
const std::string& LastError();

}  // namespace orb::theory
