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
// planets between 3000 BC and 3000 AD. The files reproduce DE431 to about a
// milliarcsecond from 5400 BC to 5400 AD; Meeus' worked examples with the
// complete VSOP87 (Sun, Venus) agree to 0.05".
//
// The three switches:
//  - light time: the body where it was when the light now arriving left it,
//    seen from the Earth at t (barycentric position at t - tau minus the
//    Earth's at t): the astrometric place, for every body alike. Without
//    aberration all bodies, the Moon included, thus stand where they stand
//    among catalogue stars, and the Sun and the Moon keep their apparent
//    separation at conjunction. Distances with light time are the
//    light-time distances c * tau; the Moon's is its geocentric distance at
//    t - tau (the barycentric difference would add the Earth's motion during
//    tau, up to 37 km).
//  - aberration: annual aberration and the gravitational deflection of light
//    by the Sun, taken together as the "apparent place" correction.
//  - nutation: with it, coordinates refer to the true equator, ecliptic and
//    equinox of the date; without it to the mean ones of the date.
// With all three on the places are the apparent places of the date.
//
// All routines keep their state (path, last source, last error) in this
// module; Swiss Ephemeris itself is not reentrant, so every entry point
// holds one lock while it works: any thread may call, one call at a time.
// LastError() and FallbackReason() refer to the last call of any thread.

#include <cstdint>
#include <limits>
#include <string>

namespace orb::theory {

// The value of a quantity that was not computed or could not be.
inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

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
// and fits ask for the Sun as 1020; the Moon is always 1011. Variants 0 and 1
// give the same full-precision computation; other variants are unknown codes.
inline constexpr int32_t kCodeSun = 1000;
inline constexpr int32_t kCodeSunSearch = 1020;
inline constexpr int32_t kCodeMoon = 1011;

// Quantities of _planetinfo.
inline constexpr int32_t kQtyRightAscension = 1;  // radians, [0, 2pi)
inline constexpr int32_t kQtyDeclination = 2;     // radians
inline constexpr int32_t kQtyDistance = 3;        // geocentric distance, AU
inline constexpr int32_t kQtyLongitude = 8;       // ecliptic longitude of date, radians, [0, 2pi)
inline constexpr int32_t kQtyLatitude = 9;        // ecliptic latitude of date, radians

// The three corrections of a place, by name.
struct Corrections {
  bool lightTime = true;   // the body where the light now arriving left it
  bool aberration = true;  // annual aberration and light deflection
  bool nutation = true;    // true equator and equinox of date (else the mean ones)
};
// The apparent place of the date.
inline constexpr Corrections kApparentPlace{true, true, true};
// Light time only, mean equator and equinox of date: Sun and Moon for the
// eclipse geometry (their relative geometry is the apparent one).
inline constexpr Corrections kAstrometricOfDate{true, false, false};

// What a caller asks for beyond the place; what nobody asks for is not
// computed.
struct Extras {
  bool phenomena = false;     // illuminated fraction, magnitude, apparent diameter (the dearest part)
  bool elongation = false;    // needs the Sun's place
  bool heliocentric = false;  // the heliocentric distance
};

// The whole place of a body at one instant. Angles in radians, distances in
// AU, the diameter in arcseconds; quantities not asked for, and everything
// when `ok` is false (LastError() tells why), are NaN. See _calcplanet for
// the meaning of each.
struct BodyPosition {
  double ra_rad = kNoValue, dec_rad = kNoValue;   // equatorial of date, ra in [0, 2pi)
  double lon_rad = kNoValue, lat_rad = kNoValue;  // ecliptic of date, lon in [0, 2pi)
  double delta_au = kNoValue;                     // geocentric distance
  double r_au = kNoValue;                         // heliocentric distance (heliocentric)
  double elong_rad = kNoValue;                    // signed elongation (elongation)
  double illuminated = kNoValue, mag = kNoValue, diam_arcsec = kNoValue;  // (phenomena)
  bool ok = false;
};

// One call for the whole place of `body` (a code 1000 + 20 * variant + body)
// at `jd_tt` (dynamical time), with named corrections: the typed front of
// the interface. _calcplanet is built on it; _planetinfo, for one quantity,
// turns only that quantity's frame into polar coordinates.
BodyPosition Position(double jd_tt, int32_t body, const Corrections& corrections, const Extras& extras = {});

// The table driver's body code of an object index k (-1 Sun, 0 Moon,
// 1..8 Mercury..Pluto): 1000, 1011, 1000 + k for Mercury and Venus,
// 1001 + k for Mars..Pluto. Any other index gives -1.
int32_t TableBodyCode(int32_t objectKind);

// One quantity of a body at `jd_tt` (Julian date, dynamical time). With
// nutation the coordinates refer to the true equator and equinox of the date,
// without it to the mean ones. Returns NaN for an unknown body or quantity, a
// switch other than 0 or 1, a date that is not a finite number or outside the
// ephemeris, or when the theory fails (LastError() tells why).
double _planetinfo(double jd_tt, int32_t body, int32_t quantity, int32_t lightTime, int32_t aberration,
                   int32_t nutation);

// All quantities of a body at `jd_tt` (dynamical time):
//   ra, dec   right ascension [0, 2pi) and declination, radians
//   delta     geocentric distance, AU
//   r         heliocentric distance, AU, at the time the light left the body
//             (t - tau with light time); 0 for the Sun itself
//   elong     signed elongation from the Sun, radians: the angle between the
//             body and the Sun (same switches), positive when the body lies
//             east of the Sun (sin(lon - lonSun) > 0, the evening sky),
//             negative west of it; 0 for the Sun
//   x         illuminated fraction of the disc (not used by the program; 1 for
//             the Sun)
//   mag       visual magnitude, diam apparent diameter in arcseconds, both as
//             Swiss Ephemeris' planetary phenomena give them (for the Moon
//             those of its geometric place)
//   lon, lat  ecliptic longitude [0, 2pi) and latitude of date, radians
// The last argument is always 1. Null output pointers are skipped, and what
// only they need is not computed: the phenomena when x, mag and diam are all
// null (they cost more than the place itself), the Sun's place without
// elong, the heliocentric place without r. Returns 0,
// or -1 when the body is unknown, a switch is not 0 or 1, `one` is not 1, the
// date is not finite or outside the ephemeris, or the theory fails (all
// outputs are then NaN and LastError() tells why).
int32_t _calcplanet(double jd_tt, int32_t body, double* ra, double* dec, double* delta, double* r,
                    double* elong, double* x, double* mag, double* diam, double* lon, double* lat,
                    int32_t lightTime, int32_t aberration, int32_t nutation, int32_t one);

// Adds annual aberration in place to an ecliptic longitude and latitude of
// date (radians), given the Sun's geometric longitude (radians) at `jd_tt`.
// Meeus, Astronomical Algorithms (2nd ed.), formula 23.2 with the terms of
// the Earth's orbital eccentricity, constant of aberration 20.49552"; it
// agrees with Swiss Ephemeris' rigorous annual aberration to 0.02". The
// longitude comes back in [0, 2pi); at a pole (|cos lat| < 1e-12), where the
// longitude is undefined, only the latitude changes. `flag` is always 0; a
// flag other than 0 or an argument that is not finite makes both coordinates
// NaN (LastError() tells why).
void _aberrat_aux(double jd_tt, double* lon, double* lat, double sunLon, int32_t flag);

// The Moon from the lunar theory: geocentric ecliptic rectangular
// coordinates x, y, z (AU) and longitude (radians, [0, 2pi)), distance (AU)
// and latitude (radians), referred to the mean ecliptic and equinox of the
// date: the geometric geocentric place at t - tau, as a lunar theory gives
// it. The program's lunar-theory switch,
// kUseLunarTheory, is off, so eclipse code uses body 1011 instead; the call
// itself is complete. On failure all outputs are NaN (LastError() tells why).
void _cmoon200(double jd_tt, double* x, double* y, double* z, double* lon, double* dist, double* lat);
inline constexpr bool kUseLunarTheory = false;

// Which ephemeris the last computation used.
enum class EphemerisSource {
  JplFiles,    // Swiss Ephemeris files (compressed JPL DE431)
  Analytical,  // built-in analytical ephemeris (Moshier)
};

// Folder of the ephemeris files (default /usr/share/libswe/ephe; an empty
// text restores it). Several folders may be given separated by ':'. Swiss
// Ephemeris keeps the path in a 256-byte buffer with room for a file name, so
// a path longer than 242 bytes is refused: the folder stays as it was, the
// call returns false and LastError() tells why. As Swiss Ephemeris documents,
// a non-empty environment variable SE_EPHE_PATH overrides the folder given
// here; EphemerisDescription() names the folder actually read.
bool SetEphemerisPath(const std::string& path);
const std::string& EphemerisPath();

// Swiss Ephemeris holds its open files and caches per thread. A thread that
// computed and is about to end calls this to free them (they would leak
// with the thread otherwise); a later call on the same thread opens them
// again.
void ReleaseThreadState();

// The source the last successful call used, and a German description of it
// for the About box, e.g. "Swiss Ephemeris, JPL-Dateien (DE431) in
// /usr/share/libswe/ephe" or "Swiss Ephemeris, analytische Ephemeride
// (Moshier)". Before any computation (or after a change of the path) both
// first compute the Sun at J2000 to find out.
EphemerisSource LastEphemerisSource();
std::string EphemerisDescription();

// The range of dates the ephemeris in use covers, as Julian dates
// (dynamical time): the first and the last day on which both the Sun and the
// Moon can be computed, found by bisection outward from J2000 to a day and
// kept until the folder changes. With the JPL files of the Debian package
// about 5400 BC to 5400 AD, with the analytical ephemeris alone about
// 3000 BC to 3000 AD. False when not even J2000 can be computed.
bool EphemerisRange(double& first_jd, double& last_jd);

// When a file of the folder is damaged, Swiss Ephemeris refuses every date
// it covers. The adapter then computes with the analytical ephemeris
// instead, as Swiss Ephemeris itself does for a missing file, and keeps the
// file's error here (empty when no fallback happened since the folder was
// set); EphemerisDescription() then names the analytical ephemeris.
const std::string& FallbackReason();

// The error text of the last failed call (empty after a success).
const std::string& LastError();

}  // namespace orb::theory
