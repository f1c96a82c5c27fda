// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The central path of a solar eclipse: the table of the central line at a
// fixed step over the half day around the conjunction (UT, geographic
// longitude and latitude, duration of the central phase, phase), and the
// path list that the world map picture draws.

#include <memory>
#include <string>
#include <vector>

#include "core/Host.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/WorldMapPicture.h"
#include "settings/Settings.h"

namespace orb {

// The step width of the path table (days), asked once before the search.
// The table step of the settings (TableColumns.Schrittweite) is taken when it
// lies between half a minute (1/2880 day) and an hour (1/24 day), both
// included up to the precision of its single-precision value. Otherwise the
// step is 10 minutes: taken silently with a picture, and without one offered
// in the question "Bitte Schrittweite in Minuten eingeben:" (caption
// "Schrittweite", preset "10"), whose answer in minutes is read with the
// lenient number reader.
// Returns false when the user cancels the question or the answer is not a
// number of minutes from 1/60 (one second) to 720 (the whole tabulated half
// day); `step_days` then keeps the 10 minutes. Smaller answers would fill
// the text area with hundreds of thousands of rows per eclipse (and a step
// lost in the rounding of the instant would never end the table).
bool AskPathStep(const TSettings& s, Host& host, bool picture, Extended& step_days);

// Opens the world map picture of a path (the graphics layer implements it).
// `pathList` is PathReport::PathList(), `title` the title line of the
// eclipse ("Totale Sonnenfinsternis am 08.04.2024"), the picture's caption
// is "Orbitello32 - " + title. `limits` (MapLimitsOf the eclipse) is given
// with PfadGrenzen only, otherwise null.
class EclipsePathPictureSink {
 public:
  virtual ~EclipsePathPictureSink() = default;
  virtual void ShowEclipsePath(const std::vector<std::string>& pathList, const std::string& title,
                               std::shared_ptr<const PathMapLimits> limits) = 0;
};

// The limits for the world map: SampledPathLimits every half minute (as the
// central line of the path list is sampled), and the phase code of
// CentralLinePoint at every instant of the umbral limits.
PathMapLimits MapLimitsOf(const SolarEclipseContext& c);

// The path report: a SolarEclipseReport for the command loop of
// "Sonnenfinsternispfad ohne Grafik" / "... mit   Grafik".
class PathReport : public SolarEclipseReport {
 public:
  explicit PathReport(EclipsePathPictureSink* sink = nullptr) : sink_(sink) {}

  // AskPathStep; the step is kept for every eclipse of the search.
  bool AskStep(const TSettings& s, Host& host, bool picture) override;

  // The table of the eclipse of the conjunction found from run.StartJulDat in
  // `direction`: the central line (CentralLinePoint) from the table start
  // at the step while the instant plus deltaT lies in the fitted half day.
  // Before the first row with a phase code above 0 the header: an empty
  // line; "Sonnenfinsternis am " weekday ",  " date and clock time of the
  // conjunction " UTC;  DeltaT = " deltaT (the whole seconds used for the
  // table) " s"; the Saros line; the column line and the unit line (degrees
  // and minutes, or decimal degrees with NoMinutes). One row per instant
  // with a code above 0: date and clock time (UT, as the tables write them:
  // "08.04.2024 18:17:00"), then for a central point its longitude (degrees,
  // positive west, as CentralLinePoint counts it) and latitude, and the
  // duration of the central phase (minutes, Str(d, 7, 1)); for a
  // non-central phase dashes; then the phase word.
  // Degrees and minutes: the sign, then the whole degrees of the absolute
  // value right-aligned in 9 (longitude) or 7 (latitude) characters, the
  // rounded minutes in 3 (minutes that round to 60 are carried). As in the
  // degrees format of the tables the sign stays when the whole degrees are
  // 0: -0°30' reads "       -0 30" for a longitude; a value that rounds to
  // 0°00' has no sign. With NoMinutes Str(longitude, 12, 2) and
  // Str(latitude, 10, 2).
  // With PfadGrenzen the phase word is filled to 29 characters and each row
  // goes on with the northern and southern limit of the umbral path and of
  // the partial eclipse at its instant (PathLimitsAt): per limit two
  // blanks, the longitude and the latitude in the layout of the central
  // line's cells, dashes ("       -- --     -- --") when the limit does not
  // exist; the column line adds "Kern N Länge    Breite", "Kern S ...",
  // "Halb N ...", "Halb S ...", the unit line the degree (and minute) marks.
  // Without it the report is as before.
  // With `picture` and a code above 0, the path list is rebuilt and handed to
  // the sink (when there is one), with PfadGrenzen together with the
  // limits (MapLimitsOf). Returns whether a code above 0 was met,
  // that is, whether anything was printed; false also when the eclipse
  // cannot be set up (outside the planetary theory's range).
  bool Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction) override;

  // The path list of the last picture: the observer's longitude (degrees
  // east, two decimals), latitude (Str(phi, 8, 2)) and place name; one line
  // per central point of SampledCentralLine, in time order: every half
  // minute of the half day, the first and the last instant of the central
  // phase, and both sides of a change between annular and total (the map
  // draws a segment in the colour of its end point, so a short annular or
  // total stretch at an end of the path gets its own colour): longitude
  // (degrees west, two decimals), latitude (Str(phi, 8, 2)), phase code
  // (4 annular, 5 total; Int(code, 2)); then the title line and the Saros
  // line.
  const std::vector<std::string>& PathList() const { return pathList_; }
  // The eclipse last reported (its conjunction for the picture window's
  // navigation).
  const SolarEclipseContext& Context() const { return context_; }

 private:
  EclipsePathPictureSink* sink_;
  Extended step_days_ = 10.0L / 1440;
  SolarEclipseContext context_;
  std::vector<std::string> pathList_;
};

}  // namespace orb
