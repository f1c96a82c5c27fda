// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Solar eclipses: the search for eclipse new moons (by Julian date and by
// lunation number), the Besselian elements of the shadow, and the global
// circumstances of one eclipse (greatest eclipse, the phase code of its
// whole path and its Saros series) in a BesselRec.
//
// The Sun and the Moon come from the planetary theory with light time on,
// aberration and nutation off: astrometric places referred to the mean
// equator and equinox of the date. The Earth is a sphere of unit radius on
// the fundamental plane (the classical Besselian construction, Explanatory
// Supplement to the Astronomical Almanac, 1961, chapter 9), so the phase
// codes near a boundary (shadow axis grazing the Earth, an umbra vertex
// close to the surface) may differ from those of an ellipsoidal Earth.

#include <array>
#include <cstdint>
#include <string>

#include "core/NumKernel.h"

namespace orb {

// Phase codes of a solar eclipse, shared by the phase list and the reports.
enum SolarPhaseCode : int32_t {
  kNoEclipse = 0,
  kPartialEclipse = 1,
  kNonCentralAnnular = 2,  // shadow axis misses the Earth, the umbra cone does not reach it
  kNonCentralTotal = 3,    // shadow axis misses the Earth, the umbra touches it
  kAnnularEclipse = 4,
  kTotalEclipse = 5,
  kHybridEclipse = 6,  // central, annular on one part of the path and total on another
};

// The shadow cones in Earth radii (6378.14 km): the sum and the difference
// of the radii of the Sun and the Moon, and the Moon's radius (1738.1 km).
inline constexpr Extended kSunPlusMoonRadii = 109.3952076L;
inline constexpr Extended kSunMinusMoonRadii = 108.8501924L;
inline constexpr Extended kMoonRadius_earthRadii = 0.2725076L;

// Whether a phase code is that of a central eclipse (the shadow axis meets
// the Earth).
inline bool IsCentral(SolarPhaseCode code) { return code == kAnnularEclipse || code == kTotalEclipse; }

// The type words of the phase codes 0 .. 6: "keine ", "partielle ",
// "nichtzentrale ringförmige ", "nichtzentrale totale ", "ringförmige ",
// "totale ", "hybride " (UTF-8), each followed by "Finsternis" where a type
// text is built.
extern const std::array<std::string, 7> EclipseTypeNames;

// The Besselian eclipse record of one solar eclipse, filled by
// FindSolarEclipse. For code 0 only gamma, deltaT, T, JD, type, the type text
// and the Saros fields are set; the rest keeps its zero value.
struct BesselRec {
  float gamma = 0;        // signed least distance of the shadow axis from the Earth's centre
                          // (Earth radii), sign of y; for code 0 sin(beta) * distance of the Moon
  float deltaT = 0;       // deltaT (days) used for the search
  Extended slope = 0;     // dy/dx of the axis track on the fundamental plane
  Extended x = 0, y = 0;  // axis on the fundamental plane at greatest eclipse (Earth radii)
  Extended f1 = 0;        // half-angle of the penumbral cone (degrees)
  Extended l1 = 0;        // radius of the penumbra on the fundamental plane (Earth radii)
  Extended f2 = 0;        // half-angle of the umbral cone (degrees)
  Extended l2 = 0;        // radius of the umbra on the fundamental plane (Earth radii; negative: total)
  Extended T = 0;         // greatest eclipse, Julian centuries since J2000 (UT)
  Extended JD = 0;        // Julian date of greatest eclipse plus deltaT (dynamical time)
  std::array<Extended, 9> basis{};  // e1, e2, e3 of the fundamental plane (equatorial, unit vectors)
  int32_t sarosNumber = 0;          // SolarSarosDesignation(JD).number
  SolarPhaseCode type = kNoEclipse;  // phase code of the whole path (FindSolarEclipse)
  std::string typeText;             // type word + "Finsternis"
  std::string sarosText;            // SolarSarosDesignation(JD).text
};

// The Besselian elements at one instant.
struct BesselianPoint {
  Extended x = 0, y = 0, z = 0;             // the Moon in the basis e1, e2, e3 (Earth radii)
  std::array<Extended, 9> basis{};          // e1 (east), e2 (north), e3 (towards the Sun), equatorial
  Extended f1 = 0, l1 = 0, f2 = 0, l2 = 0;  // cone half-angles (degrees) and radii (Earth radii)
  Extended sunDistance_km = 0;              // geocentric distance of the Sun (km)
};

// The Besselian elements at `jd` (UT) with `deltaT_days`: the Sun's and the
// Moon's ecliptic longitude, latitude and distance at jd + deltaT from the
// planetary theory (Sun 1020, Moon 1011; light time on, aberration and
// nutation off), turned into equatorial vectors in Earth radii (23454.77992
// per AU) with the mean obliquity of the date. e3 points from the Moon to the
// Sun, e1 = (-e3y, e3x, 0)/|..| lies in the equator, e2 = e3 x e1.
// f1 = arcsin(109.3952076/G), f2 = arcsin(108.8501924/G) with G the
// Moon-Sun distance (the sum and difference of the radii of Sun and Moon in
// Earth radii), l1 = z*109.3952076/G + 0.2725076,
// l2 = z*108.8501924/G - 0.2725076.
// Before JD 1 000 000 (dynamical time) the Sun's longitude is increased by
// (1 000 000 - jd_tt)/8 500 000 degrees. A date the theory has no place for
// gives NaN elements.
BesselianPoint BesselianElements(Extended jd, Extended deltaT_days);

// Moves `jd` (UT) to the nearest new moon (RefinePhaseTime, apparent
// longitudes) and from there in steps of one mean synodic month
// (29.530588861 d) in `direction` (negative: backward, otherwise forward)
// until the Moon's latitude at the new moon is at most 1.7 degrees
// (0.029670597283903602808 rad) in absolute value; returns that latitude
// (radians). The first new moon examined is the nearest one, so the result
// may lie up to half a month on the other side of the start (a backward
// search begun just before an eclipse new moon stays there); the command
// loop steps 20 days before each further search. `tdt`: the instants are
// dynamical time. NaN when `jd` is not finite, the theory has no place, or
// 24 months bring no such new moon (`jd` then stays where the search got).
Extended NextEclipseNewMoon(Extended& jd, int direction, bool tdt);

// The same by lunation number: from k = Trunc(1236.853086 t) (+5 when
// searching backward) the conjunction of lunation k, (k - 0.827361) /
// 1236.853086 centuries, improved twice from the theory's longitudes of the
// Sun and the Moon (switches 1, 0, 0) at t + deltaT; k then steps by one in
// `direction` (negative: backward, otherwise forward). The first conjunction
// with |latitude| < 1.7 degrees that lies after t - 1 day (forward) or before
// t + 1 day (backward) is accepted: `t` (Julian centuries, UT) becomes it and
// the Moon's latitude there (degrees) is returned. NaN, with `t` unchanged,
// when `t` is not finite, the theory has no place, or 30 lunations bring no
// such conjunction.
Extended NextEclipseLunation(Extended& t, int direction, bool tdt);

// The phase code of the shadow at greatest eclipse, from the distance D of
// the axis from the Earth's centre and the elements l1, l2 (Earth radii) and
// f2 (degrees): D > |l1| + 1 none; D > |l2| + 1 partial; D > 1 non-central
// (annular when l2 > 0, total otherwise); on the Earth with l2 >= 0 annular
// when the umbral vertex l2/tan(f2) lies above the surface, sqrt(1 - D^2),
// hybrid otherwise; l2 < 0 total.
SolarPhaseCode SolarPhaseOfAxis(Extended D, Extended l1, Extended l2, Extended f2_deg);

// The solar eclipse of one new moon. `direction` 0: `jd` is taken as the
// new moon (from farther than a day or two the bracket below grows and
// greatest eclipse loses minutes); +1 / -1 (any sign): the eclipse new moon
// found by NextEclipseNewMoon forward / backward from `jd`. `tdt`: deltaT is
// 0 (instants are dynamical time); otherwise deltaT is taken for `jd`.
// When that new moon lies 15 days or more from `jd`, the result is code 0
// with gamma = sin(beta) * distance of the Moon (Earth radii) there.
// Otherwise the instant at which the shadow axis crosses x = 0 is bracketed
// with Besselian elements 10 minutes either side of the new moon (the
// bracket moving by its width and growing by 1.2 each step), the axis track
// is taken as the straight line through the two ends, and greatest eclipse is
// its closest approach to the Earth's centre; there the elements give
// gamma and the phase code (SolarPhaseOfAxis). A central eclipse is also
// classified at the two ends of its central phase, the instants at which
// the axis distance sqrt(x^2 + y^2) from the Earth's centre is 1 (found
// from greatest eclipse in steps of 10 minutes and bisected to 0.1 s): the
// surface below the axis lies on the fundamental plane there, so l2 is the
// radius of the umbra on the ground. Total at greatest eclipse with l2 > 0
// at an end, or annular with l2 < 0 at an end, is hybrid (code 6), as is
// the umbral vertex below the surface at greatest eclipse with l2 >= 0.
// For 1900-2100 greatest eclipse agrees with Swiss Ephemeris' global
// eclipse search to 0.3 minute (dynamical time) and the phase code except
// within 0.0034 Earth radii of a boundary (sphere against ellipsoid). From
// 5400 BC to AD 5400 (25 620 eclipses, 1181 of them hybrid for Swiss
// Ephemeris) the hybrids differ in 4 eclipses, each within 5e-5 Earth radii
// of a boundary (l2 = 0 at an end, the umbral vertex on the surface); see
// bench/hybrid-sweep.
// `rec` is cleared and filled (JD = greatest eclipse in dynamical time, Saros
// designation of that JD, type text = type word + "Finsternis"); returns the
// phase code. A bracket that does not close within 3 days either side, or a
// date without places, gives code 0 as for a distant new moon.
SolarPhaseCode FindSolarEclipse(int direction, bool tdt, BesselRec& rec, Extended jd);

}  // namespace orb
