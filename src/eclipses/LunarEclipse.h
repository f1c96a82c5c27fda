// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Lunar eclipses: the search from full moon to full moon, the geometry of
// the Moon and the Earth's shadow from the low-precision series, the contact
// times on the Moon's linearised path, and the report of each eclipse with
// its type, magnitude, moonrise and moonset, Saros number and contacts.
//
// Method: the classical shadow-cone construction (Chauvenet's enlargement
// of the shadow by 1/50, here 1.02 for the penumbra and 1.015 for the
// umbra) with the Sun and the Moon from the Montenbruck & Pfleger series
// (engine/LowPrecision.h). Near each contact the Moon's path relative to the
// shadow centre is taken as a straight line through two positions, and the
// contact is the crossing of that line with the circle of the shadow radius
// plus or minus the Moon's radius.
// Accuracy against Swiss Ephemeris' lunar eclipse search, 1900-2100, with
// the same deltaT: all 459 eclipses found with Swiss's type, and three more
// penumbral ones of 1 or 2 % (Swiss: penumbral magnitude -0.009 to -0.019).
// The shadow centre lies opposite the apparent Sun, within 4.1" of Swiss's
// in longitude and 1.8" in latitude at the greatest eclipses. The middle
// within 18 s, 2 s early on average (the series' offsets at full moon), the
// largest at penumbral eclipses, whose middle is the mean of P1 and P4
// hours apart rather than the instant of least distance. Umbral contacts
// within 54 s (partial eclipses of 1 or 2 %), U2 and U3 within 56 s except
// at the grazing totality of 2015 April 4 (Swiss's umbral magnitude 1.0005:
// 2.1 minutes); U1 and U2 some 11 to 14 s early, U3 and U4 6 to 9 s late,
// the umbra 1.015 times the geometric one being a little larger than
// Swiss's. Umbral magnitudes within 0.8 percentage point, 0.2 larger on
// average. The penumbra, 1.02 times the geometric one, is some 50" larger
// than Swiss's: penumbral magnitudes 2.0 to 3.5 points larger, P1 earlier
// and P4 later by 1.3 minutes or more, 2.3 on average (up to 20.6 minutes
// when the Moon only grazes the penumbra), their middle within 17 s.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "settings/RunContext.h"
#include "settings/Settings.h"

namespace orb {

// The last reported lunar eclipse (read by its picture and the navigation).
// Offsets are days from the base instant; the path coordinates are radians
// in equatorial orientation, the first westward (to the right with north up,
// as the sky is seen), the second northward.
struct Finsternistyp {
  uint8_t type = 0;          // 0 penumbral, 1 partial, 2 total
  Extended base = 0;         // Julian date (UT, TT with TDT) of the full-moon estimate
  float zone = 0;            // zone of the report (hours east)
  Extended middle = 0;       // middle of the eclipse (of the umbral phase for partial and total ones)
  Extended P1 = 0, P4 = 0;   // entry into and exit from the penumbra
  Extended U1 = 0, U4 = 0;   // entry into and exit from the umbra (0 for a penumbral eclipse)
  Extended U2 = 0, U3 = 0;   // beginning and end of totality (0 unless total)
  Extended sunLon = 0;       // the apparent Sun's ecliptic longitude, mean equinox of date (radians)
  Extended pathRef1 = 0;     // offset at which the first coordinate of the linearised path is zero
  Extended pathRate1 = 0;    // its rate (radians per day)
  Extended pathRef2 = 0;     // offset at which the second coordinate is zero
  Extended pathRate2 = 0;    // its rate (radians per day)
  Extended umbraRadius = 0;     // radians
  Extended penumbraRadius = 0;  // radians
  Extended moonRadius = 0;      // radians
  std::string headerLine;    // date, zone, type and magnitude
  std::string riseSetLine;   // moonrise, moonset, place and Saros
};

// The Moon relative to the centre of the Earth's shadow at `t` (UT) with
// deltaT (days): the Moon from the lunar series and the Sun from the
// perturbed Sun series at t + deltaT (mean ecliptic and equinox of date).
// The shadow is cast along the sunlight as it reaches the Earth, away from
// the apparent Sun: lambdaSun is the series' geometric longitude less the
// annual aberration 20.4898"/R (R the Sun's distance in AU; Meeus,
// Astronomical Algorithms, chapter 25), while the lunar series counts the
// Moon's light time as included, so that both are the places seen at t.
// x = ((lambdaSun - lambdaMoon + 8pi) mod 2pi - pi) cos betaMoon,
// y = (betaMoon + betaSun + 7pi) mod 2pi - pi (the point opposite the Sun
// lies at the latitude -betaSun); near opposition x and y are the offsets
// in the plane of the sky to within 1", sqrt(x^2 + y^2) the angular
// distance from the shadow centre. q = 1 - x/pi, reduced by 2
// while above 1, so that q runs from -1 to 1 over a lunation: 0 at new moon,
// 1 at full moon. Radii with the Earth's mean radius 6367.44465 km, the Sun's
// radius 695500 km, the Moon's 1735 km and 1 AU = 149597870.691 km:
// penumbra 1.02 atan(6367.44465/dMoon + 701867.44465/dSun), umbra
// 1.015 atan(6367.44465/dMoon - 689132.55535/dSun), Moon atan(1735/dMoon)
// (the Moon's distance from the series in Earth radii times 6367.44465 km).
// Every input is valid; an instant that is not a number gives not-a-number
// values, which no eclipse test passes.
struct LunarGeometry {
  Extended x = 0;        // along the ecliptic, positive when the Moon is west of the centre (radians)
  Extended y = 0;        // across, positive when the Moon is north of it (radians)
  Extended q = 0;        // phase value in (-1, 1], 1 at full moon
  Extended penumbra = 0; // angular radius of the penumbra (radians)
  Extended umbra = 0;    // angular radius of the umbra (radians)
  Extended moon = 0;     // angular semi-diameter of the Moon (radians)
  Extended c = 0;        // EclipticNorthAngle at the instant (radians)
  Extended sunLon = 0;   // the apparent Sun's ecliptic longitude (radians)
};
LunarGeometry LunarShadowGeometry(Extended t, Extended deltaT_days);

// The angle between ecliptic north and equatorial north at the anti-solar
// point (radians, within +-obliquity): atan(tan(obliquity) cos(sunLon)).
// Turning an offset (westward, northward) in ecliptic orientation by this
// angle counter-clockwise (PlaneRotation) gives it in equatorial
// orientation; the ecliptic through the shadow centre is then the line
// second = first * tan(angle). The picture draws that line with the
// obliquity of J2000 and the record's Sun longitude.
Extended EclipticNorthAngle(Extended obliquity_rad, Extended sunLon_rad);

// The Moon's straight path relative to the shadow centre: first coordinate
// (t - ref1) * rate1, second (t - ref2) * rate2 (radians; t an offset in
// days). Neither rate is ever 0 for a real path.
struct LunarPath {
  Extended ref1 = 0, rate1 = 0;
  Extended ref2 = 0, rate2 = 0;
};
// The path through the offsets (u, v) at ta and (u, v) at tb (tb != ta).
LunarPath LunarPathThrough(Extended ta, Extended ua, Extended va, Extended tb, Extended ub, Extended vb);
// The closest-approach distance of the path from the shadow centre:
// |A B| / sqrt(A^2 + B^2) with A and B its intercepts on the two axes.
Extended ClosestApproach(const LunarPath& path);

// The two instants (offsets, first <= second) at which the Moon's centre on
// `path` is at the distance `R` (radians) from the shadow centre: on the line
// v = A + (A/B) u the roots of (1 + (A/B)^2) u^2 + (2A^2/B) u + (A^2 - R^2) = 0
// by QuadratGleich, each at ref1 + u / rate1.
// When the path passes the circle at a distance of R or more (or any value
// is not a number) there is no crossing: false, and both instants are the
// instant of closest approach; QuadratGleich is then not called, so this
// case shows no error box.
bool LunarContactTimes(const LunarPath& path, Extended R, Extended& first, Extended& second);

// The magnitude text for the shadow radius R (penumbra or umbra, radians):
// m = |(R - dmin + s) * 50 / s|, the percentage of the Moon's diameter
// inside that shadow at closest approach (dmin the closest-approach
// distance, s the Moon's radius), rounded to an integer and right-aligned in
// 10 characters, then " %": "       161 %". A value that is not a number
// gives "---" in the same field.
std::string LunarMagnitudeText(Extended R_rad, Extended dmin_rad, Extended moonRadius_rad);

// Examines the full moon near `jd` (UT; TT with `tdt`, deltaT 0): brings jd
// twice to q = 1 (14.8 days per unit of q), steps 4.54 days per radian of x
// toward opposition and half of h = 0.1 day back; there the base instant t.
// The path is the line through the positions at t and t + h in equatorial
// orientation, the radii the means of the two. When the closest approach
// exceeds penumbra + Moon radius there is no eclipse: false.
// Otherwise `eclipse` receives every field except zone and the two text
// lines, and `dmin_rad` the closest-approach distance of the last path:
// P1, P4 for R = penumbra + Moon; penumbral when dmin > umbra + Moon;
// else U1, U4 for that R; partial when dmin > umbra - Moon; else total with
// U2, U3 for R = umbra - Moon. Each contact is refined on the line through
// the positions at the contact and 0.08 day later, which then becomes the
// path and gives dmin (a refined line that no longer reaches R keeps the
// line and contact before it). The middle is the mean of the pair of
// contacts of the eclipse's type.
bool FindLunarEclipse(Extended jd, bool tdt, Finsternistyp& eclipse, Extended& dmin_rad);

// Opens the picture of a reported eclipse (the graphics layer implements it).
// `reportLines` are LunarEclipseSearch::ReportLines(): the title (the
// picture's caption is "Orbitello32 - " + title), the header line, the
// rise-set line and the contact lines.
class LunarEclipsePictureSink {
 public:
  virtual ~LunarEclipsePictureSink() = default;
  virtual void ShowLunarEclipse(const Finsternistyp& eclipse, const std::vector<std::string>& reportLines) = 0;
};

// The search and its state: the last eclipse and the report lines of it
// (the first line is the picture title). Both stay until the next reported
// eclipse; a search that reports nothing leaves them as they are.
class LunarEclipseSearch {
 public:
  // Runs the search from run.StartJulDat in `direction` (+1 forward, -1
  // backward) with RunState 30: the full moon near run.StartJulDat (q
  // brought from below -0.8 up by 2, then (1 - q) * 14.8 days), and from
  // it each next (or previous) full moon; every one with |y| < 2 degrees
  // is examined. Each eclipse is reported as an empty line, the header line,
  // the rise-set line and the contact lines (date and clock time in the
  // zone, as the tables write them), then an empty line; its picture is
  // opened when `picture` is set and a sink is given.
  // List mode (Tabelle, forward only) reports every eclipse whose full moon
  // lies before EndJulDat; otherwise the first eclipse ends the search (a
  // search that meets none in 100 full moons gives up). When list mode
  // searched its whole range without an eclipse: an empty line and
  // "vom <Startdat>  bis <EndJulDat>  keine Mondfinsternis". Each full moon
  // shows the progress text (date, clock time and Str(q, 7, 2)) and pumps
  // the messages; after a stop request the question "Berechnung
  // abbrechen?" (caption "Abbruch"; "Nein" goes on). The zone of each full
  // moon follows the automatic summer time. A full moon outside the
  // planetary theory's range ends the search with a message. At the end
  // RunState is 0, the stop button disabled and StartJulDat equals
  // Startdat. Returns the number of eclipses reported.
  // To continue from a reported eclipse, start from its base instant: the
  // search then examines the full moon right after (or before) it first.
  int Run(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction,
          LunarEclipsePictureSink* sink);

  const Finsternistyp& Last() const { return last_; }
  const std::vector<std::string>& ReportLines() const { return reportLines_; }

 private:
  bool Report(const TSettings& s, const TRunContext& run, Host& host, bool picture, LunarEclipsePictureSink* sink);

  Finsternistyp last_;
  std::vector<std::string> reportLines_;
};

// The command "Mondfinsternis ohne Grafik" / "mit Grafik": StartJulDat :=
// Startdat - 29.6 days (so that the first full moon examined lies less than
// about three days before Startdat), then the forward search. Returns the
// number of eclipses reported.
int ListLunarEclipses(const TSettings& s, TRunContext& run, Host& host, LunarEclipseSearch& search, bool picture,
                      LunarEclipsePictureSink* sink = nullptr);

}  // namespace orb
