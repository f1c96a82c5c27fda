// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The path of a solar eclipse as a file for map programs: GeoJSON (RFC 7946)
// or KML 2.2. Exported are the central line, the limits of the umbral
// (antumbral) path, the limits of the partial eclipse, the curves of the
// eclipse beginning or ending at sunrise and at sunset, the umbral path as
// an area and the point of greatest eclipse, each with the eclipse's title,
// Saros line and instants (ISO 8601, UTC).
//
// Coordinates are WGS84 longitude (east positive, -180 .. 180) and latitude
// in degrees, five decimals (about a metre). A line that crosses the date
// line is split there into two, each ending on the 180th meridian at the
// latitude interpolated between the samples on either side, so that no
// segment runs the long way round the map (RFC 7946, 3.1.9).

#include <optional>
#include <string>
#include <vector>

#include "core/NumKernel.h"
#include "eclipses/EclipseCommand.h"

namespace orb {

class PathReport;

// A point of an exported geometry: instant (Julian centuries, UT; a point
// put on the date line gets the instant interpolated there), longitude
// (degrees, east positive, -180 .. 180) and latitude.
struct GeoPoint {
  Extended t = 0;
  Extended lon_deg = 0;
  Extended lat_deg = 0;
};
using GeoLine = std::vector<GeoPoint>;

enum class GeoShape {
  Lines,    // parts: the line strings (a MultiLineString when more than one)
  Polygon,  // parts: the closed outer rings, counter-clockwise (a MultiPolygon when more than one)
  Point,    // parts: one part with one point
};

// One feature of the export.
struct PathFeature {
  std::string kind;   // "central line", "northern limit", ..., "central zone", "greatest eclipse"
  std::string name;   // German label: "Zentrallinie", "Kernschatten Nordgrenze", ...
  std::string phase;  // "total", "annular", "hybrid" (central path) or "partial"
  GeoShape shape = GeoShape::Lines;
  std::vector<GeoLine> parts;
  Extended start = 0, end = 0;  // first and last instant of the points (Julian centuries, UT)
};

// Everything one export file holds.
struct PathExportData {
  std::string title;  // "Totale Sonnenfinsternis am 08.04.2024"
  std::string saros;  // "Saros 139"
  std::string type;   // the global type: "total", "annular", "hybrid", "partial", ...
  Extended conjunction = 0;               // Julian centuries, UT
  std::optional<Extended> greatest;       // greatest eclipse (Julian centuries, UT)
  std::vector<PathFeature> features;
};

// The default sampling of the limit curves: one minute.
inline constexpr Extended kExportLimitStep_cy = 1.0L / (1440.0L * 36525.0L);

// The export of the eclipse `c` (as PathReport::Context() holds it) with its
// title and Saros line:
//  - "central line": the central points of SampledCentralLine (every half
//    minute, the ends of the central phase and both sides of a change
//    between annular and total), one feature per phase ("total",
//    "annular"), each run of equal codes a line;
//  - "northern limit" / "southern limit" of the umbral path, "partial zone
//    northern limit" / "partial zone southern limit", "sunrise limit
//    north" / "... south", "sunset limit north" / "... south":
//    SampledPathLimits every `limitStep_cy`, each polyline a line; a limit
//    that never exists is left out;
//  - "central zone": the polygon between the umbral limits (the southern
//    limit in time order, the northern one back, the ends closed by a
//    straight segment), only when each limit is one unbroken line, the ring
//    does not go round a pole and does not cross itself, and it crosses the
//    date line at most once each way; it is then cut there into two;
//  - "greatest eclipse": the point of the central line at the instant the
//    shadow axis passes closest to the Earth's centre, when it is central
//    there. That instant (found on the fits) is `greatest` for every
//    eclipse.
// Lines are split at the date line (SplitAtDateLine).
PathExportData BuildPathExport(const SolarEclipseContext& c, const std::string& title, const std::string& saros,
                               Extended limitStep_cy = kExportLimitStep_cy);

// `line` split where it crosses the date line: wherever two neighbours lie
// more than 180 degrees of longitude apart, the line ends on the meridian
// +-180 on their side at the interpolated latitude and instant, and a new
// line begins at the same latitude on the other side. Lines of fewer than
// two points are dropped.
std::vector<GeoLine> SplitAtDateLine(const GeoLine& line);

// The instant `t` (Julian centuries, UT) as ISO 8601 in UTC to the
// rounded second, proleptic Gregorian calendar: "2024-04-08T18:17:21Z"
// (years before 0 or after 9999 with sign and at least four digits).
std::string IsoInstant(Extended t);

// The texts of the two formats (UTF-8).
std::string PathGeoJson(const PathExportData& data);
std::string PathKml(const PathExportData& data);

enum class PathExportFormat { Unknown, GeoJson, Kml };
// By the file name's extension, either case: ".geojson" or ".kml".
PathExportFormat PathExportFormatOf(const std::string& path);

// Writes `data` to `path` atomically (core/SafeFile.h) in the format of its
// extension. False with `error` in German: "Datei <path> konnte nicht
// geschrieben werden: <reason>." or, for another extension, "Die Datei
// <path> hat weder die Endung .geojson noch .kml.".
bool WritePathExport(const PathExportData& data, const std::string& path, std::string& error);

// For the window: the export of the eclipse of `c` with its title and
// Saros line to `path` (BuildPathExport and WritePathExport).
bool ExportEclipsePath(const SolarEclipseContext& c, const std::string& title, const std::string& saros,
                       const std::string& path, std::string& error);
// The same for the eclipse `report` reported last with a picture: its
// Context(), and the title and Saros line from the end of its PathList().
// False with "Es ist keine Sonnenfinsternis mit Zentrallinienbild
// berechnet." when there is no path list.
bool ExportEclipsePath(const PathReport& report, const std::string& path, std::string& error);

// "karte.geojson" with `number` 2: "karte-2.geojson" (the number before the
// extension; appended when there is none).
std::string NumberedExportPath(const std::string& path, int number);

// A report for the command loop that passes everything to `inner` and keeps
// each eclipse it printed with its title (in the zone of the new moon) and
// Saros line, for the export after the search.
class PathExportCollector : public SolarEclipseReport {
 public:
  struct Eclipse {
    SolarEclipseContext context;
    std::string title, saros;
  };
  explicit PathExportCollector(PathReport& inner) : inner_(inner) {}
  bool AskStep(const TSettings& s, Host& host, bool picture) override;
  bool Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction) override;
  const std::vector<Eclipse>& Eclipses() const { return eclipses_; }

 private:
  PathReport& inner_;
  std::vector<Eclipse> eclipses_;
};

}  // namespace orb
