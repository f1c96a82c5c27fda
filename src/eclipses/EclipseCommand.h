// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The machinery of the solar eclipse commands: the set-up of one eclipse
// (conjunction, deltaT in whole seconds, time interval, Chebyshev fits of
// the Moon and the Sun), the central line at an instant, the global type
// along the path with its title and Saros lines, and the command loop that
// steps from eclipse to eclipse and hands each one to the local report or
// the path report.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "eclipses/SolarEclipse.h"
#include "engine/ChebyshevFit.h"
#include "settings/RunContext.h"
#include "settings/Settings.h"

namespace orb {

// An instant this fraction of a step past the end of the tabulated half day
// still counts as inside it (the rounding of the product of index and step).
inline constexpr Extended kEndMargin_steps = 1e-6L;

// The solar eclipse commands run with their menu tags as run state
// (settings/RunContext.h): the local report as 20 (21 with a picture), the
// central path as 22 (23 with a picture).

// One eclipse of the commands, rebuilt for each conjunction. Times are
// Julian centuries since J2000.
struct SolarEclipseContext {
  Extended conjunction = 0;   // the conjunction in ecliptic longitude (centuries, UT)
  bool north = true;          // the Moon's latitude at conjunction >= 0
  int32_t deltaT_s = 0;       // deltaT at the conjunction in whole seconds (0 with TDT)
  Extended step = 0;          // step width (centuries)
  Extended intervalStart = 0; // the half day around the conjunction (centuries, dynamical time)
  Extended intervalEnd = 0;
  Extended tableStart = 0;    // intervalStart - deltaT: the first tabulated instant (UT)
  TChebFit moon;              // degree 8: right ascension, declination (degrees), distance (Earth radii)
  TChebFit sun;               // degree 3: right ascension, declination (degrees), distance (AU)
};

// Geometry of the shadow in the path computations, in Earth radii
// (equatorial radius 6378.14 km): the Earth's axis ratio (polar over
// equatorial radius), the difference and the sum of the diameters of the Sun
// and the Moon, and the Moon's diameter.
inline constexpr Extended kEarthAxisRatio = 0.996633L;
inline constexpr Extended kSunMinusMoonDiameter = 217.705L;
inline constexpr Extended kSunPlusMoonDiameter = 218.795L;
inline constexpr Extended kMoonDiameter = 0.545L;

// The Moon and the Sun at `t` (Julian centuries, UT) from the fits of `c` at
// t + deltaT: geocentric equatorial vectors of the date in Earth radii (the
// Sun's distance with 23454.78 Earth radii per AU), as the central line
// takes them.
struct FittedBodies {
  Vector3 moon, sun;
};
FittedBodies FittedBodiesAt(const SolarEclipseContext& c, Extended t);

// The geographic longitude (degrees in (-180, 180], positive west) and
// latitude of a point of the Earth's surface given as an equatorial vector
// of the date `p` at `t` (Julian centuries, UT), as the central line gives
// them: geographic latitude phi = phi' + 0.1924 deg sin 2phi' from the
// geocentric phi', longitude 15 GMST - right ascension (mean sidereal time,
// IAU 1982).
void SurfacePointGeographic(const Vector3& p, Extended t, Extended& lonWest_deg, Extended& lat_deg);

// Sets up the eclipse of the next conjunction with |latitude| < 1.7 degrees
// (by lunation number, NextEclipseLunation) from `startJD` (UT) in
// `direction` (+1 forward, -1 backward), with the step width `step_days`.
// The conjunction's time of day is rounded to the nearest multiple of the
// step; the half day centred there (in UT) is the tabulated range, from
// tableStart on; the fits cover the same half day in dynamical time, widened
// by 1.14e-6 century (about 1 hour) at both ends. `tdt`: the instants are
// dynamical time (deltaT 0).
// False, with `c` partly written, when the step is not a positive number,
// when the planetary theory has no place for the conjunction or when a fit
// fails (a date outside the ephemeris).
bool SetUpSolarEclipse(SolarEclipseContext& c, Extended startJD, int direction, Extended step_days, bool tdt);

// The central line at `t` (Julian centuries, UT), from the fits of `c` at
// t + deltaT: the phase code (0 none, 1 partial, 2 non-central annular,
// 3 non-central total, 4 annular, 5 total), and for codes 4 and 5 the
// geographic longitude (degrees in (-180, 180], positive west) and latitude
// of the point where the shadow axis meets the Earth ellipsoid (axis ratio
// 0.996633), and the duration of the central phase there (minutes).
// Method: the Earth is made a unit sphere by stretching z; the axis meets it
// at the distance l - sqrt(m) behind the Moon; the shadow diameters come from
// the solar and lunar diameters 218.25 and 0.545 Earth radii. The geographic
// latitude uses the series phi = phi' + 0.1924 deg sin 2phi' and the
// longitude the Greenwich mean sidereal time (IAU 1982). The duration is the
// umbral diameter at the surface over the speed of the shadow across the
// rotating ground, from the neighbouring point 0.1 minute later (or earlier,
// when the later one is not central); 0 when neither neighbour is central.
// Accuracy against Swiss Ephemeris topocentric places with the same deltaT,
// 10 % to 90 % along six central paths: the point lies within 0.5 km of the
// shadow axis (mostly the mean instead of the apparent sidereal time), the
// duration within 0.4 s of the contacts for the same solar and lunar radii.
// `t` + deltaT outside the fitted interval is reported by T_EVAL.
struct CentralPoint {
  SolarPhaseCode code = kNoEclipse;
  Extended lonWest_deg = 0;
  Extended lat_deg = 0;
  Extended duration_min = 0;
};
CentralPoint CentralLinePoint(const SolarEclipseContext& c, Extended t);

// The shadow axis sampled along the path, for the global type and the world
// map: the phase code (as CentralLinePoint gives it) every half minute from
// the table start while t + deltaT lies in the interval, and wherever two
// neighbouring samples differ and one of them is central (4 or 5), the
// change bisected to 1 ms with both instants about it, each with its code.
// So the list holds the ends of the central phase (the first and the last
// instant at which the shadow axis meets the Earth, with the code just on
// the central side) and the changes between annular and total, however
// close to a half-minute sample they lie. In time order; t in Julian
// centuries (UT).
struct PathSample {
  Extended t = 0;
  SolarPhaseCode code = kNoEclipse;
};
std::vector<PathSample> SampledCentralLine(const SolarEclipseContext& c);

// The global type along the path: the largest phase code of
// SampledCentralLine; a central code after the other one (4 after 5 or 5
// after 4, the ends of the central phase included) makes it 6 (hybrid).
SolarPhaseCode GlobalEclipseType(const SolarEclipseContext& c);

// "Totale Sonnenfinsternis am 08.04.2024": the type word of `globalType`
// (0 .. 6; any other value counts as 0) with its first letter upper-cased,
// and the date of the conjunction in `zone_h` and the date format of the
// settings; the non-central types 1 to 3 add " (Nordhalbkugel)" or
// " (Südhalbkugel)" after the hemisphere flag.
std::string SolarEclipseTitle(const SolarEclipseContext& c, SolarPhaseCode globalType, const TSettings& s, float zone_h);
// "Saros 139" for the new moon at `jd`; with SarosVariante
// "Saros 139 (139. Saros, Ära M)".
std::string SolarSarosLine(Extended jd, const TSettings& s);

// The two reports the command loop drives: the local circumstances and the
// central path. Each is asked once for its step width before the search and
// then once per eclipse new moon (run.StartJulDat is that new moon,
// run.DeltaT its deltaT, run.Zeitzone the zone there).
class SolarEclipseReport {
 public:
  virtual ~SolarEclipseReport() = default;
  // The step width question of the path; the local report answers true.
  // False: the user declined, the command ends.
  virtual bool AskStep(const TSettings& s, Host& host, bool picture) = 0;
  // Reports the eclipse of the new moon at run.StartJulDat, found in
  // `direction` (+1 forward, -1 backward); returns whether an eclipse was
  // printed. A report that sets RunState to 0 ends the search.
  virtual bool Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction) = 0;
};

// What a solar eclipse command did: how many eclipses it printed, and
// whether the search had to stop at the end of the planetary theory's range
// (a message said so).
struct SolarSearchResult {
  int printed = 0;
  bool beyondEphemeris = false;
};

// The command loop of "Sonnenfinsternis ..." (path false) and
// "Sonnenfinsternispfad ..." (path true): from Startdat, eclipse after
// eclipse while the list mode's range lasts (the first one without list
// mode), forward or backward (list mode searches forward: its range ends at
// EndJulDat); the "keine" line when a range searched to its end holds none.
// `minCoverage` is the fraction of the menu entry "Minimale Bedeckung" (it
// appears in the "keine" line of the local report).
// The stop button works as in the tables: after a stop request the question
// "Berechnung abbrechen?" ("Nein" goes on). Each eclipse is reported in the
// zone of its new moon (automatic summer time). At the end RunState is 0,
// the stop button disabled and StartJulDat equals Startdat. The search also
// ends when it leaves the range of the planetary theory, with a message that
// names that range.
SolarSearchResult SolarEclipseCommand(const TSettings& s, TRunContext& run, Host& host, SolarEclipseReport& report,
                                      bool path, bool picture, double minCoverage, int direction = +1);

// The same loop from the instant run.StartJulDat as it stands (the picture
// windows' "zurück" and "weiter" start it a month before or after the eclipse
// shown, with Tabelle off).
SolarSearchResult SolarEclipseSearch(const TSettings& s, TRunContext& run, Host& host, SolarEclipseReport& report,
                                     bool path, bool picture, double minCoverage, int direction = +1);

}  // namespace orb
