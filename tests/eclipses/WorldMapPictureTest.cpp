// SPDX-License-Identifier: AGPL-3.0-or-later
// The eclipse world map on a recording canvas: the central line's pieces and
// colours, the observer's cross and name, outlines, the title, and the
// shipped outline file data/geo.dat.
#include "eclipses/WorldMapPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/DataFiles.h"
#include "core/NumText.h"
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
