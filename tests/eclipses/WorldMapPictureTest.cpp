// SPDX-License-Identifier: AGPL-3.0-or-later
// The eclipse world map on a recording canvas: the central line's pieces and
// colours, the observer's cross and name, outlines, the title, the band and
// the limits of the path, and the shipped outline file data/geo.dat.
#include "eclipses/WorldMapPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/Constants.h"
#include "core/DataFiles.h"
#include "core/NumText.h"
#include "core/TimeScales.h"
#include "eclipses/PathReport.h"
#include "support/RecordingCanvas.h"
#include "support/TempDir.h"

namespace orb {
namespace {

using test::RecordingCanvas;
using Primitive = RecordingCanvas::Primitive;

constexpr Color kBlue = 0xFF0000, kRed = 0x0000FF;  // 0x00BBGGRR

// A window of 720 x 400 pixels at 254 dpi (10 pixels per mm) with the
// picture's world window -180..180 x -100..100: 2 pixels per degree, so
// x = round(2 (lon + 180)), y = round(2 (100 - lat)); 1 mm is 5 degrees.
struct Map {
  RecordingCanvas canvas{720, 400, 254};
  tGDIext g{canvas, tkWindow};
  PictureSetup picture;
  explicit Map(const std::vector<std::string>& pathList, const std::string& geoFile = "") {
    picture = WorldMapPictureSetup(pathList, geoFile, "Totale Sonnenfinsternis am 08.04.2024");
    g.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
    picture.paint(g);
  }
  std::vector<Primitive> Lines() const { return canvas.Of(Primitive::Line); }
  Primitive Text(std::size_t i) const { return canvas.Of(Primitive::Text).at(i); }
};

// A path list as the path report writes it; the observer's longitude east
// positive, the central points' longitudes west positive.
struct Central {
  double lonWest_deg, lat_deg;
  int code;
};
std::vector<std::string> PathList(const std::vector<Central>& points, double lon = -170, double lat = -80,
                                  const std::string& name = "X") {
  std::vector<std::string> list{Str(lon, 0, 2) + Str(lat, 8, 2) + name};
  for (const Central& p : points) list.push_back(Str(p.lonWest_deg, 0, 2) + Str(p.lat_deg, 8, 2) + IntStr(p.code, 2));
  list.push_back("Totale Sonnenfinsternis am 08.04.2024");
  list.push_back("Saros 139");
  return list;
}

// Lines joined end to start into polylines, with the colour of each segment;
// only lines of the colours in `colors`.
struct Stroke {
  std::vector<DevPoint> points;
  std::vector<Color> colors;
};
std::vector<Stroke> Strokes(const Map& map, const std::vector<Color>& colors) {
  std::vector<Stroke> strokes;
  for (const Primitive& l : map.Lines()) {
    if (std::find(colors.begin(), colors.end(), l.penColor) == colors.end()) continue;
    if (strokes.empty() || !(strokes.back().points.back() == l.points[0])) strokes.push_back({{l.points[0]}, {}});
    strokes.back().points.push_back(l.points[1]);
    strokes.back().colors.push_back(l.penColor);
  }
  return strokes;
}
using Points = std::vector<DevPoint>;

TEST(WorldMapPicture, CentralLineIsBrokenOnlyAtTheDateLine) {
  // West longitudes -170, -175, 179, 174 (east 170, 175, -179, -174) at
  // latitude 10: x = 700, 710 | 2, 12; y = 180. Eastward, then westward.
  std::vector<Stroke> s = Strokes(Map(PathList({{-170, 10, 5}, {-175, 10, 5}, {179, 10, 5}, {174, 10, 5}})), {kBlue});
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].points, (Points{{700, 180}, {710, 180}}));
  EXPECT_EQ(s[1].points, (Points{{2, 180}, {12, 180}}));
  s = Strokes(Map(PathList({{174, 10, 5}, {179, 10, 5}, {-175, 10, 5}, {-170, 10, 5}})), {kBlue});
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].points, (Points{{12, 180}, {2, 180}}));
  EXPECT_EQ(s[1].points, (Points{{710, 180}, {700, 180}}));

  // Total eclipse of 2003-11-23, path rows 22:36 to 22:40 UT: beyond the
  // pole the west longitude grows from minute to minute; the line stays
  // whole. x = round(2 * 273.91) = 548 .. round(2 * 273.47) = 547,
  // y = round(2 * 165.07) = 330 .. round(2 * 167.51) = 335.
  s = Strokes(Map(PathList({{-93.91, -65.07, 5},
                            {-93.89, -65.70, 5},
                            {-93.81, -66.31, 5},
                            {-93.67, -66.92, 5},
                            {-93.47, -67.51, 5}})),
              {kBlue});
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].points.size(), 5u);
  EXPECT_EQ(s[0].points.front(), (DevPoint{548, 330}));
  EXPECT_EQ(s[0].points.back(), (DevPoint{547, 335}));
}

TEST(WorldMapPicture, HybridCentralLineIsRedWhereAnnularAndBlueWhereTotal) {
  // Codes 4, 4, 5, 5, 4 at west longitudes 20 .. -20 on the equator: each
  // segment takes its end point's colour; x = 2 * 160 = 320 .. 400, y = 200.
  const std::vector<Stroke> s =
      Strokes(Map(PathList({{20, 0, 4}, {10, 0, 4}, {0, 0, 5}, {-10, 0, 5}, {-20, 0, 4}})), {kBlue, kRed});
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].colors, (std::vector<Color>{kRed, kBlue, kBlue, kRed}));
  EXPECT_EQ(s[0].points.front(), (DevPoint{320, 200}));
  EXPECT_EQ(s[0].points.back(), (DevPoint{400, 200}));
}

TEST(WorldMapPicture, ObserverCrossAndName) {
  // 7.19 E, 51.74 N: centre x = round(2 * 187.19) = 374, y = round(2 *
  // 48.26) = 97; arms of 1 mm = 5 degrees: x 364 .. 384, y 107 .. 87.
  const Map map(PathList({}, 7.19, 51.74, "Bochum"));
  ASSERT_EQ(map.Lines().size(), 2u);
  EXPECT_EQ(map.Lines()[0].points, (Points{{364, 97}, {384, 97}}));
  EXPECT_EQ(map.Lines()[1].points, (Points{{374, 107}, {374, 87}}));
  // Blue, 5 mm = 50 pixels high, left end 2 mm = 20 pixels right of the
  // centre, middle on the cross: y = 97 - 50 / 2 = 72.
  const Primitive name = map.Text(0);
  EXPECT_EQ(name.text, "Bochum   ");
  EXPECT_EQ(name.points[0], (DevPoint{394, 72}));
  EXPECT_EQ(name.align, kAlignLeft | kAlignTop);
  EXPECT_EQ(name.textColor, kBlue);
  EXPECT_EQ(name.fontHeight, 50);

  // 150 E: anchor x = 2 * 330 + 20 = 680; "Tokio   " is 8 * 0.6 * 50 = 240
  // pixels wide on the recording canvas and would end at 920 > 720.
  const Primitive tokio = Map(PathList({}, 150, 0, "Tokio")).Text(0);
  EXPECT_EQ(tokio.points[0].x, 680);
  EXPECT_EQ(tokio.align, kAlignRight | kAlignTop);
  // 190 E is 170 W: x = 2 * 10 = 20. 74.01 W is written -74.01 and lands
  // left of Greenwich: x = round(2 * 105.99) = 212.
  EXPECT_EQ(Map(PathList({}, 190, 0)).Lines().at(1).points[0].x, 20);
  EXPECT_EQ(Map(PathList({}, -74.01, 40.71)).Lines().at(1).points[0].x, 212);
}

TEST(WorldMapPicture, Outlines) {
  // "latitude longitude" per line; x = 2 (lon + 180), y = 2 (100 - lat).
  test::TempDir dir;
  const std::string geo = dir.write("welt.dat",
                                    "10 20\n"         // (400, 180)
                                    "10 20\n"         // the same point: skipped
                                    "20 30\r\n"       // (420, 160), a Windows line end
                                    "9999\n"          // the outline ends
                                    "0 0\n"           // (360, 200)
                                    "0 10 Kap\n"      // (380, 200); text after the numbers ignored
                                    "Kueste\n"        // no number: skipped
                                    "5\n"             // one number: skipped
                                    "\n"              // skipped
                                    "0 20\n"          // (400, 200)
                                    "0 200\n"         // outside the map: the outline ends
                                    "0 30\n"          // (420, 200) starts a new one
                                    "0 40\n"          // (440, 200)
                                    "9999\r\n"
                                    "-50 -170\n");    // a single point draws nothing
  const std::vector<Stroke> s = Strokes(Map({}, geo), {kBlack});
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].points, (Points{{400, 180}, {420, 160}}));
  EXPECT_EQ(s[1].points, (Points{{360, 200}, {380, 200}, {400, 200}}));
  EXPECT_EQ(s[2].points, (Points{{420, 200}, {440, 200}}));
  EXPECT_EQ(Map({}, geo).Lines().at(0).penWidth, 0);  // the thinnest pen

  // A missing file, no file name, a folder: the map without coastlines
  // (the observer's cross and the central line: 3 lines).
  for (const std::string& missing : {dir.file("fehlt.dat"), std::string(), dir.path().string()})
    EXPECT_EQ(Map(PathList({{10, 0, 5}, {0, 0, 5}}), missing).Lines().size(), 3u) << missing;
}

TEST(WorldMapPicture, TitleAndCaption) {
  // 6 mm = 60 pixels high, black, centred at the top: x = 360, y = 0.
  const Map map(PathList({}));
  const Primitive title = map.Text(1);
  EXPECT_EQ(title.text, "Totale Sonnenfinsternis am 08.04.2024,  Saros 139");
  EXPECT_EQ(title.points[0], (DevPoint{360, 0}));
  EXPECT_EQ(title.align, kAlignCenter | kAlignTop);
  EXPECT_EQ(title.textColor, kBlack);
  EXPECT_EQ(title.fontHeight, 60);
  EXPECT_EQ(map.picture.caption, "Orbitello32 - Totale Sonnenfinsternis am 08.04.2024");
  EXPECT_FALSE(map.picture.proportional);
}

TEST(WorldMapPicture, ShippedOutlineFile) {
  const std::string geo = FindDataFile("geo.dat");
  ASSERT_FALSE(geo.empty());
  std::ifstream in(geo);
  std::string line, last;
  long points = 0, outlines = 0;
  double latMin = 90, latMax = -90, lonMin = 180, lonMax = -180;
  while (std::getline(in, line)) {
    last = line;
    if (line == "9999") {
      ++outlines;
      continue;
    }
    std::istringstream fields(line);
    double lat = 0, lon = 0;
    ASSERT_TRUE(fields >> lat >> lon && std::fabs(lat) <= 90 && std::fabs(lon) <= 180) << line;
    ++points;
    latMin = std::min(latMin, lat), latMax = std::max(latMax, lat);
    lonMin = std::min(lonMin, lon), lonMax = std::max(lonMax, lon);
  }
  EXPECT_EQ(last, "9999");
  // Natural Earth 1:50m land: 60361 points in 1422 outlines. Northernmost
  // land 83.6 N (Kaffeklubben Island); the Antarctic coast reaches 85.2 S
  // (Ross Ice Shelf), the polygons' closure at 90 S is left out; land meets
  // the date line (Chukotka, Fiji).
  EXPECT_GT(points, 50000);
  EXPECT_GT(outlines, 1000);
  EXPECT_NEAR(latMax, 83.6, 0.1);
  EXPECT_NEAR(latMin, -85.2, 0.1);
  EXPECT_EQ(lonMin, -180);
  EXPECT_EQ(lonMax, 180);

  // Drawn at 2 pixels per degree: many lines, none across the map. The
  // longest segment of the file is 5.7 degrees (north coast of Greenland),
  // 11.4 pixels; a segment joined across the date line would span ~720.
  const std::vector<Primitive> lines = Map({}, geo).Lines();
  EXPECT_GT(lines.size(), 10000u);
  int longest = 0;
  for (const Primitive& l : lines)
    longest = std::max({longest, std::abs(l.points[1].x - l.points[0].x), std::abs(l.points[1].y - l.points[0].y)});
  EXPECT_LE(longest, 12);
}

// ---- the band and the limits of the path ----

constexpr Color kLightBlue = 0xFFCDAF, kLightRed = 0xBEBEFF, kGrey = 0x5A5A5A;  // 0x00BBGGRR

// A window of 3600 x 2000 pixels at 254 dpi with the picture's world window:
// 10 pixels per degree (x = 10 (lon + 180), y = 10 (100 - lat)) and per mm.
struct LimitsMap {
  RecordingCanvas canvas;
  tGDIext g;
  LimitsMap(const PathMapLimits* limits, const std::vector<std::string>& pathList = PathList({}),
            const std::string& geoFile = "", int32_t width = 3600, int32_t height = 2000)
      : canvas(width, height, 254), g(canvas, tkWindow) {
    const PictureSetup picture = WorldMapPictureSetup(
        pathList, geoFile, "T", limits != nullptr ? std::make_shared<const PathMapLimits>(*limits) : nullptr);
    g.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
    picture.paint(g);
  }
  std::vector<Primitive> Polygons() const { return canvas.Of(Primitive::Polygon); }
  DevPoint At(Extended lonWest_deg, Extended lat_deg) const {
    return {g.WorldX(static_cast<float>(-lonWest_deg)), g.WorldY(static_cast<float>(lat_deg))};
  }
};

bool DevLess(DevPoint a, DevPoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; }

// Whether (x, y) lies inside the polygon (crossing count).
bool Inside(const std::vector<DevPoint>& polygon, double x, double y) {
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const DevPoint a = polygon[i], b = polygon[j];
    if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y)) inside = !inside;
  }
  return inside;
}
// The fill colours of the band polygons holding (x, y).
std::vector<Color> FillsAt(const LimitsMap& map, double x, double y) {
  std::vector<Color> fills;
  for (const Primitive& p : map.Polygons())
    if (Inside(p.points, x, y)) fills.push_back(p.brushColor);
  return fills;
}

// Real eclipses (dates of greatest eclipse: Espenak & Meeus, Five Millennium
// Canon of Solar Eclipses, NASA/TP-2006-214141): 2026's path passes close
// to the North Pole, the 2023 hybrid is total in the middle and annular at
// both ends (there the path is a few km wide only). The band's corners are
// points of the umbral limits (or lie on the map's edge), the band has the
// colours of the eclipse's phases, and the central line between two
// instants lies inside the band, in the fill of the later instant's phase.
TEST(WorldMapPicture, BandLiesBetweenTheUmbralLimitsAndHoldsTheCentralLine) {
  struct Case {
    const char* name;
    int32_t year, month, day;
    bool annular, total;
  };
  for (const Case& k : {Case{"2024-04-08 total", 2024, 4, 8, false, true},
                        Case{"2026-08-12 total", 2026, 8, 12, false, true},
                        Case{"2023-10-14 annular", 2023, 10, 14, true, false},
                        Case{"2023-04-20 hybrid", 2023, 4, 20, true, true}}) {
    SCOPED_TRACE(k.name);
    SolarEclipseContext c;
    ASSERT_TRUE(SetUpSolarEclipse(c, CalendarToJD(k.year, k.month, k.day) - 2, +1, 10.0L / 1440, false));
    const PathMapLimits limits = MapLimitsOf(c);
    const LimitsMap map(&limits);
    ASSERT_FALSE(map.Polygons().empty());

    std::vector<DevPoint> limitPoints;
    std::map<Extended, std::pair<LimitCurvePoint, LimitCurvePoint>> both;  // north, south by instant
    for (const LimitKind kind : {kUmbraNorth, kUmbraSouth}) {
      for (const LimitPolyline& l : limits.curves[kind]) {
        for (const LimitCurvePoint& p : l) {
          limitPoints.push_back(map.At(p.lonWest_deg, p.lat_deg));
          (kind == kUmbraNorth ? both[p.t].first : both[p.t].second) = p;
        }
      }
    }
    std::sort(limitPoints.begin(), limitPoints.end(), DevLess);
    bool blueFill = false, redFill = false;
    for (const Primitive& p : map.Polygons()) {
      EXPECT_TRUE(p.brushColor == kLightBlue || p.brushColor == kLightRed);
      (p.brushColor == kLightBlue ? blueFill : redFill) = true;
      for (const DevPoint& corner : p.points) {
        const bool onLimit = std::binary_search(limitPoints.begin(), limitPoints.end(), corner, DevLess);
        EXPECT_TRUE(onLimit || corner.x == 0 || corner.x == 3600) << corner.x << " " << corner.y;
      }
    }

    // Midpoints of the central line between successive half minutes at
    // which both limits exist and the path is at least 3 pixels wide (the
    // hybrid's narrows to nothing where it turns from annular to total).
    const auto bothExist = [](const std::pair<LimitCurvePoint, LimitCurvePoint>& ns, Extended t) {
      return ns.first.t == t && ns.second.t == t;
    };
    const auto width = [&](const std::pair<LimitCurvePoint, LimitCurvePoint>& ns) {
      const DevPoint n = map.At(ns.first.lonWest_deg, ns.first.lat_deg);
      const DevPoint s = map.At(ns.second.lonWest_deg, ns.second.lat_deg);
      return std::hypot(n.x - s.x, n.y - s.y);
    };
    EXPECT_EQ(redFill, k.annular);
    EXPECT_EQ(blueFill, k.total);
    int checked = 0;
    for (auto it = both.begin(); std::next(it) != both.end(); ++it) {
      const auto next = std::next(it);
      if (!bothExist(it->second, it->first) || !bothExist(next->second, next->first)) continue;
      if (std::fabs(static_cast<double>((next->first - it->first) * kSecondsPerCentury) - 30) > 1e-3) continue;
      const CentralPoint a = CentralLinePoint(c, it->first), b = CentralLinePoint(c, next->first);
      if (!IsCentral(a.code) || !IsCentral(b.code)) continue;
      if (width(it->second) < 3 || width(next->second) < 3) continue;
      const double eastA = -static_cast<double>(a.lonWest_deg);
      const double eastB = eastA + std::remainder(-static_cast<double>(b.lonWest_deg) - eastA, 360.0);
      const double x = 10 * (std::remainder((eastA + eastB) / 2, 360.0) + 180);
      const double y = 10 * (100 - static_cast<double>(a.lat_deg + b.lat_deg) / 2);
      if (x < 2 || x > 3598) continue;
      const std::vector<Color> fills = FillsAt(map, x, y);
      ASSERT_FALSE(fills.empty()) << "central line outside the band at " << x << " " << y;
      const Color expected = b.code == kTotalEclipse ? kLightBlue : kLightRed;
      EXPECT_NE(std::find(fills.begin(), fills.end(), expected), fills.end()) << x << " " << y;
      ++checked;
    }
    EXPECT_GT(checked, 100);
  }
}

// A path crossing the date line eastward (longitudes east 168, 175, 180,
// -175, -170; the umbral limits at latitudes 10 and 0, the partial
// eclipse's northern limit at 30), total for three instants and annular for
// two: the band and the limits run up to both edges and never across the
// map; quadrilaterals and limit segments take the colour of their later
// instant; the partial limit is dashed 15 pixels on, 10 off.
TEST(WorldMapPicture, BandAndLimitsAcrossTheDateLine) {
  PathMapLimits limits;
  const Extended lonWest[] = {-168, -175, 180, 175, 170};
  const SolarPhaseCode codes[] = {kTotalEclipse, kTotalEclipse, kTotalEclipse, kAnnularEclipse, kAnnularEclipse};
  for (const LimitKind k : {kUmbraNorth, kUmbraSouth, kPenumbraNorth}) limits.curves.curve[k].emplace_back();
  for (std::size_t i = 0; i < 5; ++i) {
    const Extended t = i;
    limits.curves.curve[kUmbraNorth][0].push_back({t, lonWest[i], 10});
    limits.curves.curve[kUmbraSouth][0].push_back({t, lonWest[i], 0});
    limits.curves.curve[kPenumbraNorth][0].push_back({t, lonWest[i], 30});
    limits.phases.push_back({t, codes[i]});
  }
  const LimitsMap map(&limits);

  // Blue east of 168 E (x 3480 .. 3600), red west of 170 W (x 0 .. 100).
  ASSERT_FALSE(map.Polygons().empty());
  for (const Primitive& p : map.Polygons()) {
    for (const DevPoint& corner : p.points) {
      const bool east = corner.x >= 3480 && corner.x <= 3600, west = corner.x >= 0 && corner.x <= 100;
      EXPECT_TRUE(p.brushColor == kLightBlue ? east : west) << corner.x;
    }
  }
  EXPECT_EQ(FillsAt(map, 3599, 950), std::vector<Color>{kLightBlue});
  EXPECT_EQ(FillsAt(map, 1, 950), std::vector<Color>{kLightRed});

  // Lines: none across the map; the umbral limits blue east and red west of
  // the date line, each reaching its edge.
  bool blueAtEdge = false, redAtEdge = false, greyEast = false, greyWest = false;
  std::vector<std::vector<DevPoint>> dashes;
  for (const Primitive& l : map.canvas.Of(Primitive::Line)) {
    const DevPoint a = l.points[0], b = l.points[1];
    EXPECT_LE(std::abs(b.x - a.x), 70);
    if (l.penColor == kBlue) {
      EXPECT_TRUE(a.x >= 3480 && b.x >= 3480);
      blueAtEdge = blueAtEdge || b.x == 3600;
    } else if (l.penColor == kRed) {
      EXPECT_TRUE(a.x <= 100 && b.x <= 100);
      redAtEdge = redAtEdge || a.x == 0;
    } else if (l.penColor == kGrey) {
      EXPECT_EQ(a.y, 700);
      greyEast = greyEast || a.x >= 3480;
      greyWest = greyWest || a.x <= 100;
      if (dashes.empty() || !(dashes.back().back() == a)) dashes.push_back({a});
      dashes.back().push_back(b);
    }
  }
  EXPECT_TRUE(blueAtEdge && redAtEdge && greyEast && greyWest);
  // Dashes of 15 (the last one of each side shorter) and gaps of 10 from
  // x = 3480; the gap over the corner at 175 E (x = 3550) runs on to 3555.
  ASSERT_GE(dashes.size(), 8u);
  for (const std::vector<DevPoint>& d : dashes) EXPECT_LE(d.back().x - d.front().x, 15);
  std::vector<std::vector<DevPoint>> east;
  std::copy_if(dashes.begin(), dashes.end(), std::back_inserter(east),
               [](const std::vector<DevPoint>& d) { return d.front().x >= 3480; });
  ASSERT_GE(east.size(), 4u);
  EXPECT_EQ(east[0].front().x, 3480);
  EXPECT_EQ(east[2].back().x, 3545);
  EXPECT_EQ(east[3].front().x, 3555);
  EXPECT_EQ(east[3].back().x, 3570);
}

// Without limits nothing of them is drawn; with them the picture keeps
// every primitive of the map without limits, in order and with the same
// pen and font (2024-04-08 on the shipped coastlines): the band, the umbral
// limits and the dashed partial limits come in addition only.
TEST(WorldMapPicture, LimitsOnlyAddToTheMap) {
  SolarEclipseContext c;
  ASSERT_TRUE(SetUpSolarEclipse(c, CalendarToJD(2024, 4, 6), +1, 10.0L / 1440, false));
  const PathMapLimits limits = MapLimitsOf(c);
  std::vector<std::string> pathList{"7.19   51.74Ortheim"};
  for (const PathSample& p : SampledCentralLine(c)) {
    const CentralPoint q = CentralLinePoint(c, p.t);
    if (IsCentral(q.code)) pathList.push_back(Str(q.lonWest_deg, 0, 2) + Str(q.lat_deg, 8, 2) + IntStr(q.code, 2));
  }
  pathList.push_back("Totale Sonnenfinsternis am 08.04.2024");
  pathList.push_back("Saros 139");
  const std::string geo = FindDataFile("geo.dat");
  ASSERT_FALSE(geo.empty());
  const LimitsMap plain(nullptr, pathList, geo, 720, 400), with(&limits, pathList, geo, 720, 400);

  const auto same = [](const Primitive& a, const Primitive& b) {
    if (a.kind != b.kind || a.points != b.points) return false;
    if (a.kind == Primitive::Text)
      return a.text == b.text && a.fontName == b.fontName && a.fontHeight == b.fontHeight &&
             a.textColor == b.textColor && a.align == b.align && a.brushHollow == b.brushHollow;
    if (a.kind == Primitive::FillRect) return a.brushColor == b.brushColor;
    return a.penColor == b.penColor && a.penStyle == b.penStyle && a.penWidth == b.penWidth;
  };
  EXPECT_TRUE(plain.Polygons().empty());
  std::size_t matched = 0, added = 0;
  for (const Primitive& p : with.canvas.primitives) {
    if (matched < plain.canvas.primitives.size() && same(p, plain.canvas.primitives[matched])) {
      ++matched;
      continue;
    }
    ++added;
    const bool band = p.kind == Primitive::Polygon && (p.brushColor == kLightBlue || p.brushColor == kLightRed);
    const bool limit = p.kind == Primitive::Line && (p.penColor == kBlue || p.penColor == kRed || p.penColor == kGrey);
    EXPECT_TRUE(band || limit) << "primitive " << p.kind << " in " << p.penColor;
  }
  EXPECT_EQ(matched, plain.canvas.primitives.size());
  EXPECT_GT(added, 100u);
}

}  // namespace
}  // namespace orb

// The outline file checks (kept together at the end of the file).
#include <sys/stat.h>

#include <functional>

namespace orb {
namespace {

TEST(WorldMapPicture, OutlineFileChecks) {
  // Only a regular file is read (a FIFO that nobody writes into must not
  // make the reader wait), a line beyond 256 bytes is skipped whole, and a
  // file without a point on the map is told apart from a good one.
  struct Case {
    const char* what;
    std::function<std::string(const test::TempDir&)> make;
    std::string problem;
    std::vector<Points> strokes;
  };
  const std::string overlong = "0 -10" + std::string(300, ' ') + "Kap\n";
  const std::vector<Case> cases = {
      {"good file", [](const test::TempDir& d) { return d.write("welt.dat", "0 0\n0 10\n"); }, "",
       {{{360, 200}, {380, 200}}}},
      {"overlong line skipped",
       [&](const test::TempDir& d) { return d.write("welt.dat", overlong + "0 0\n0 10\n"); }, "",
       {{{360, 200}, {380, 200}}}},
      {"only an overlong line", [&](const test::TempDir& d) { return d.write("welt.dat", overlong); },
       "enthält keine Küstenlinien", {}},
      {"empty file", [](const test::TempDir& d) { return d.write("welt.dat", ""); }, "enthält keine Küstenlinien",
       {}},
      {"no point on the map", [](const test::TempDir& d) { return d.write("welt.dat", "9999\n0 400\nKueste\n"); },
       "enthält keine Küstenlinien", {}},
      {"FIFO",
       [](const test::TempDir& d) {
         EXPECT_EQ(mkfifo(d.file("welt.dat").c_str(), 0600), 0);
         return d.file("welt.dat");
       },
       "ist keine gewöhnliche Datei", {}},
      {"folder", [](const test::TempDir& d) { return d.path().string(); }, "ist keine gewöhnliche Datei", {}},
      {"missing", [](const test::TempDir& d) { return d.file("fehlt.dat"); }, "nicht gefunden", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string geo = c.make(dir);
    EXPECT_EQ(OutlineFileProblem(geo), c.problem);
    std::vector<Points> strokes;
    for (const Stroke& s : Strokes(Map({}, geo), {kBlack})) strokes.push_back(s.points);
    EXPECT_EQ(strokes, c.strokes);
  }
}

}  // namespace
}  // namespace orb
