// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The local circumstances of a solar eclipse at the observer's place by
// Besselian elements referred to the observer (Explanatory Supplement to the
// Astronomical Almanac, 1961, chapter 9; Meeus, Elements of Solar Eclipses
// 1951-2200): the elements come from degree-13 Chebyshev fits of the Sun and
// the Moon, the observer is projected on the fundamental plane, and the
// contacts are the zeros of the distance function. Gives the contacts,
// greatest eclipse, type, magnitude, obscuration, position and vertex
// angles and the visibility, and prints the report with its contact table.
//
// Accuracy against Swiss Ephemeris' local eclipse search with the same
// deltaT, 28 eclipses at seven places 1999-2030 (tests/eclipses/
// LocalEclipseTest.cpp prints the largest differences): contacts 1 and 4
// within 0.8 s, contacts 2 and 3 within 2.8 s (our Moon's radius is 0.69 km
// larger than Swiss's; near the edges of the central path the inner
// contacts react more strongly to it), greatest eclipse within 10 s, the
// magnitude and the obscuration within 0.0001, the Sun's azimuth and
// altitude within 0.006 degree, the position angles of the outer contacts
// within 0.005 degree.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "eclipses/EclipseCommand.h"
#include "engine/ChebyshevFit.h"
#include "settings/Settings.h"

namespace orb {

// Local types of a solar eclipse: not seen, partial, annular, total (the
// phase codes 0, 1, 4 and 5).
inline constexpr SolarPhaseCode kLocalNone = kNoEclipse;
inline constexpr SolarPhaseCode kLocalPartial = kPartialEclipse;
inline constexpr SolarPhaseCode kLocalAnnular = kAnnularEclipse;
inline constexpr SolarPhaseCode kLocalTotal = kTotalEclipse;

// The local context of one eclipse, rebuilt for each conjunction. Times are
// Julian centuries since J2000 in UT (dynamical time with TDT).
struct LocalEclipse {
  Extended T0 = 0;        // the conjunction (from StartJulDat)
  Extended deltaT_s = 0;  // deltaT used (seconds): the model value or the user's answer
  TChebFit moon, sun;     // degree 13 over the conjunction +- 5e-5 century (dynamical time)

  SolarPhaseCode type = kLocalNone;  // 0 not seen, 1 partial, 4 annular, 5 total
  Extended T1 = 0, T2 = 0, T3 = 0, T4 = 0;  // contacts (T2, T3 for types 4 and 5 only)
  Extended Tm = 0;                          // greatest eclipse
  Extended magnitude = 0;      // fraction of the Sun's diameter covered; types 4, 5: diameter ratio
  Extended obscuration = 0;    // fraction of the Sun's disc covered
  Extended diameterRatio = 0;  // G: the Moon's apparent diameter over the Sun's at Tm
  bool moonNorth = false;      // the Moon's centre passes north of the Sun's at Tm

  // Per contact 1 .. 4 (index 0 .. 3): position angle of the contact point
  // on the Sun's limb from north through east, vertex angle from the
  // zenith direction, and the Sun's azimuth (from north through east) and
  // altitude (geometric, no refraction); all degrees, angles in [0, 360).
  Extended P[4] = {}, V[4] = {};
  Extended sunAzimuth_deg[4] = {}, sunAltitude_deg[4] = {};

  // Visibility: whether any part of the eclipse happens with the Sun up,
  // sunrise and sunset (zone hours of the day of the middle of contacts 1
  // and 4; -1 when the event does not happen that day) in the zone of the
  // report.
  bool seen = false;
  float sunrise_h = -1, sunset_h = -1;
  float zone_h = 0;
  Extended sunDistance_km = 0;  // at Tm, for the Sun's apparent radius in the picture
};

// The observer on the fundamental plane at an instant (Earth radii).
struct ObserverPoint {
  Extended xi = 0, eta = 0, zeta = 0;
};

// The Besselian elements at an instant.
struct PlaneElements {
  Extended x = 0, y = 0, z = 0;             // the Moon in the basis e1, e2, e3 (Earth radii)
  Extended basis[9] = {};                   // e1 (east), e2 (north), e3 (towards the Sun), equatorial
  Extended f1 = 0, l1 = 0, f2 = 0, l2 = 0;  // cone half-angles (degrees) and radii (Earth radii)
};

// Fits the Sun and the Moon (degree 13, T_FIT_SUN and T_FIT_MOON) over the
// conjunction `T0` (centuries, UT) plus deltaT, +- 5e-5 century, and resets
// the rest of `c`. False when the planetary theory has no places there.
bool PrepareLocalEclipse(LocalEclipse& c, Extended T0, Extended deltaT_s);

// The Besselian elements at `t` (centuries, UT) from the fits of `c`
// evaluated at t + deltaT: the Sun's and the Moon's right ascension,
// declination and distance (Sun AU x 23454.77992, Moon in Earth radii of
// 6378.137 km) as equatorial vectors; e3 points from the Moon to the Sun,
// e1 = (-e3y, e3x, 0)/|..|, e2 = e3 x e1; f1 = arcsin(109.3952076/G),
// f2 = arcsin(108.8501924/G), l1 = z 109.3952076/G + 0.2725076,
// l2 = z 108.8501924/G - 0.2725076 with G the Moon-Sun distance, exactly as
// BesselianElements. A `t` outside the fits is reported by T_EVAL.
PlaneElements ElementsFromFits(const LocalEclipse& c, Extended t);

// The observer of `s` (Ort.Breite geodetic, Ort.Laenge east positive, at
// sea level) at `t` (centuries, UT) on the fundamental plane of `e`:
// rho cos(phi') = C cos(phi), rho sin(phi') = 0.993294374203627172 C sin(phi),
// C = 1/sqrt(1 - 0.006705625796372828 sin^2(phi)); the geocentric vector at
// the local mean sidereal angle (IAU 1982, LocalMeanSiderealTime), scaled by
// 1.000015678559428874 and projected on e1, e2, e3.
ObserverPoint ObserverOnPlane(const TSettings& s, const PlaneElements& e, Extended t);

// (x - xi)^2 + (y - eta)^2 - L^2 at `t` (centuries, UT), with
// L = l1 - zeta tan f1 for the penumbra (kind 0) and L = l2 - zeta tan f2 for
// the umbra (kind 1): negative while the observer is inside the cone.
Extended ShadowDistance(const TSettings& s, const LocalEclipse& c, int kind, Extended t);

// The local circumstances of the eclipse of `c` (prepared by
// PrepareLocalEclipse) for the place and zone of `s`:
// - contacts 1 and 4 and greatest eclipse from the penumbral distance
//   sampled every 0.1 h (three-point interpolation) from the conjunction
//   - 5.2 h - deltaT (deltaT counted between 0 and 30 h) to the conjunction
//   + 5 h, continued for up to 3 h more while the observer is inside the
//   penumbra; type 0 when the penumbra misses the observer;
// - type, magnitude, diameter ratio and obscuration at greatest eclipse;
// - contacts 2 and 3 (types 4, 5) by Pegasus on the umbral distance in the
//   quarter hour before and after greatest eclipse (tolerance 1e-10
//   century), between contact 1 and greatest eclipse and between greatest
//   eclipse and contact 4 when the quarter hour does not bracket them;
// - position and vertex angles and the Sun's azimuth and altitude at the
//   contacts;
// - visibility: from sunrise and sunset of the day of the middle of the
//   eclipse (RiseSet, kind -1) put on the day of contact 4, seen unless contact 4 comes before sunrise or contact 1 after
//   sunset; seen in polar day (the Sun's declination at least 90 - phi or at
//   most -90 - phi); on a day without sunrise or sunset otherwise, seen when
//   the Sun stands above -50' at some instant between the contacts.
void LocalCircumstances(const TSettings& s, float zone_h, LocalEclipse& c);

// Root of f in [a, b] by the Pegasus variant of regula falsi (Montenbruck &
// Pfleger, Astronomy on the Personal Computer, section 3.4): at most 30
// iterations, ends when the bracket is at most `tolerance` long; `root` is
// the end of the last bracket with the smaller |f|. An end value exactly 0
// is the root. False, with `root` = a, when f(a) and f(b) have the same
// sign or a value is not a number.
template <typename F>
bool Pegasus(F f, Extended a, Extended b, Extended tolerance, Extended& root);

// Opens the picture of a reported eclipse (the graphics layer implements it).
class LocalEclipsePictureSink {
 public:
  virtual ~LocalEclipsePictureSink() = default;
  virtual void ShowLocalEclipse(const LocalEclipse& eclipse, const std::vector<std::string>& reportLines) = 0;
};

// The local report: a SolarEclipseReport for the command loop. Report()
// takes the eclipse of the new moon at run.StartJulDat in the zone
// run.Zeitzone; it asks for deltaT
// ("Bitte Delta-T in Sekunden eingeben:", caption "Eingabe") when the model
// is outside its range and AskEtKorr is on (Cancel: RunState 0, nothing
// printed); prints nothing for an eclipse not seen, the single "nur ...
// sichtbar" line below the minimum coverage, and otherwise the full report;
// returns whether the full report was printed.
class LocalEclipseReport : public SolarEclipseReport {
 public:
  // `minCoverage`: the fraction of "Minimale Bedeckung" (0: every eclipse).
  // `sink`: opens the picture when a report asks for one (none: no picture).
  explicit LocalEclipseReport(double minCoverage = 0, LocalEclipsePictureSink* sink = nullptr)
      : minCoverage_(minCoverage), sink_(sink) {}

  bool AskStep(const TSettings&, Host&, bool) override { return true; }
  bool Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction) override;

  // The last eclipse fully reported (its Tm is the date the picture's
  // "Datum übernehmen" takes) and its report list: the title, the Saros
  // line, the sunrise line, the table head and the contact rows.
  const LocalEclipse& Last() const { return last_; }
  const std::vector<std::string>& ReportLines() const { return reportLines_; }

 private:
  double minCoverage_;
  LocalEclipsePictureSink* sink_;
  LocalEclipse last_;
  std::vector<std::string> reportLines_;
};

}  // namespace orb

#include "eclipses/LocalEclipsePegasus.h"
