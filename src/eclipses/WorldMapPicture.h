// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The world map of a solar eclipse: coastlines from the geographic outline
// file, the observer's place, the central line (blue where total, red where
// annular, broken where it crosses the date line) and the title, on a plate
// carrée of longitude (east positive) against latitude in degrees. With
// the limits of the path, also the umbral path as a band between its
// limits and the limits of the partial eclipse.

#include <memory>
#include <string>
#include <vector>

#include "eclipses/EclipseCommand.h"
#include "eclipses/PathLimits.h"
#include "graphics/PictureSetup.h"

namespace orb {

// The limits the map draws: SampledPathLimits of the eclipse, and the phase
// code of the central line (CentralLinePoint) at every instant of the
// umbral limits, in time order (the band and the umbral limits take the
// colour of the central line at the same instant: blue where it is total,
// codes 3 and 5; red where it is annular, codes 2 and 4).
struct PathMapLimits {
  PathLimitCurves curves;
  std::vector<PathSample> phases;
};

// The paint procedure: draws through `g` in the world window `g` holds (the
// picture's own is -180..180 degrees longitude across, -100..100 degrees
// latitude upwards).
//
// `pathList` is PathReport::PathList(): the observer's longitude (degrees,
// east positive), latitude (degrees, Str(phi, 8, 2)) and place name; one
// line per central point with its longitude (degrees, WEST positive),
// latitude and phase code (4 annular, 5 total); the title line; the Saros
// line.
//
// `geoFile` is the path of the outline file, already found by the caller
// (FindDataFile); "" draws no coastlines. One point per line, "latitude
// longitude" in decimal degrees (north and east positive), anything after
// the second number ignored; a line whose first number is 9999 ends an
// outline. Only a regular file of at most 64 MB is read, and a line of more
// than 256 bytes is skipped.
//
// Drawing, on white with the thinnest black pen:
//  1. The outlines: each outline's points joined by lines. A point outside
//     the world window ends the outline too (the pen is lifted, so an
//     outline leaving the map is not joined across the gap); a point on the
//     pen's current pixel is skipped.
//  2. The observer: the longitude brought into (-180, 180]; a cross of two
//     lines of 1 mm half-length; the place name + "   " in blue, 5 mm high,
//     2 mm right of the cross's centre and vertically centred on it, or
//     right-aligned at that point when it would run past the right edge.
//  3. The central line: each point at the negated longitude; the segment to
//     a total point blue, to an annular point red. Two successive points
//     more than 180 degrees apart in longitude lie on either side of the
//     date line: the line is broken there instead of crossing the map.
//  4. The title line + ",  " + the Saros line, black, 6 mm high, centred at
//     the top edge.
//
// With `limits` (not null), in addition:
//  - before the outlines, the umbral path filled light blue where total and
//    light red where annular: the polygon between the northern and the
//    southern umbral limit over each run of instants at which both exist
//    and the colour stays (the quadrilateral between two instants takes
//    the colour of the later one, as a segment of the central line does);
//  - after the outlines, the umbral limits as thin lines in the central
//    line's colour at their instants, and the limits of the partial
//    eclipse (northern, southern, sunrise and sunset curves) as thin dashed
//    dark grey lines (dashes of 1.5 mm, gaps of 1 mm);
//  - then the observer, the central line and the title as above.
// Longitudes are unwrapped along a band or a line and the pieces beyond
// the date line are drawn again on the other side of the map, clipped at
// longitude -180 and 180, so the band and the limits run to the edges of
// the map and never across it. Without `limits` the picture is the one
// above, call by call.
//
// Nothing here reports a failure: a missing or unreadable outline file
// draws the map without coastlines (the eclipse command checks the file by
// OutlineFileProblem before the search); lines that do not hold the
// expected numbers, and points outside the world window, are left out.
void WorldMapPicture(tGDIext& g, const std::vector<std::string>& pathList, const std::string& geoFile,
                     const PathMapLimits* limits = nullptr);

// Why the outline file at `geoFile` cannot give coastlines, in German, to
// follow "Datei <name> ": "nicht gefunden", "ist keine gewöhnliche Datei"
// (a folder, a FIFO, a device), "ist zu groß (mehr als 64 MB)", "kann
// nicht gelesen werden: <reason>", "enthält keine Küstenlinien" (no point
// line inside the map); "" when the file holds at least one point.
std::string OutlineFileProblem(const std::string& geoFile);

// The picture: world window longitude -180..180 across, latitude -100..100
// upwards (degrees); natural size 200 x 111.111115 mm, not proportional;
// caption "Orbitello32 - " + title. The paint procedure keeps copies of the
// path list and the file path, shares `limits` (null: none drawn) and reads
// the file at every paint.
PictureSetup WorldMapPictureSetup(const std::vector<std::string>& pathList, const std::string& geoFile,
                                const std::string& title, std::shared_ptr<const PathMapLimits> limits = nullptr);

}  // namespace orb
