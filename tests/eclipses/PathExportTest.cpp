// SPDX-License-Identifier: AGPL-3.0-or-later
// The path export: the central line as the map draws it, the date line,
// the instants, the central zone and the files. The formats themselves are
// validated by the cli.export tests (JSON schema, XML parser).
#include "eclipses/PathExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Constants.h"
#include "core/TimeScales.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/PathReport.h"
#include "support/TempDir.h"

namespace orb {
namespace {

// Search starts a few days before the eclipse (dates: Espenak & Meeus, Five
// Millennium Canon of Solar Eclipses, NASA/TP-2006-214141).
struct Case {
  const char* name;
  Extended startJD;
  std::size_t centralLines;  // line strings of the central line
  bool crossesDateLine;
  std::size_t zoneParts;     // polygons of the central zone: cut at the date line
};
const Case kCases[] = {
    {"2024-04-08 total, Pacific to Atlantic", CalendarToJD(2024, 4, 5), 1, false, 1},
    // Northern Australia to the South Pacific: the central line passes 180°
    // at about 33° S.
    {"2012-11-13 total, across the date line", CalendarToJD(2012, 11, 10), 2, true, 2},
    // Hybrid: the program's central line is annular for its first second.
    {"2013-11-03 hybrid", CalendarToJD(2013, 10, 31), 2, false, 1},
};

SolarEclipseContext Eclipse(Extended startJD) {
  SolarEclipseContext c;
  EXPECT_TRUE(SetUpSolarEclipse(c, startJD, +1, 10.0L / 1440, false));
  return c;
}

bool OnDateLine(const GeoPoint& p) { return p.lon_deg == 180 || p.lon_deg == -180; }

TEST(PathExport, CentralLineIsTheSampledCentralLineEastPositive) {
  for (const Case& k : kCases) {
    SCOPED_TRACE(k.name);
    const SolarEclipseContext c = Eclipse(k.startJD);
    const PathExportData data = BuildPathExport(c, "Titel", "Saros 1");
    std::vector<GeoPoint> exported, dateLine;
    std::size_t lines = 0;
    for (const PathFeature& f : data.features) {
      if (f.kind != "central line") continue;
      lines += f.parts.size();
      for (const GeoLine& line : f.parts) {
        for (const GeoPoint& p : line) (OnDateLine(p) ? dateLine : exported).push_back(p);
      }
    }
    std::stable_sort(exported.begin(), exported.end(), [](const GeoPoint& a, const GeoPoint& b) { return a.t < b.t; });
    std::vector<GeoPoint> expected;
    for (const PathSample& s : SampledCentralLine(c)) {
      if (!IsCentral(s.code)) continue;
      const CentralPoint p = CentralLinePoint(c, s.t);
      expected.push_back({s.t, -p.lonWest_deg, p.lat_deg});  // west 180 is east -180
    }
    ASSERT_EQ(exported.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(exported[i].t, expected[i].t) << i;
      EXPECT_EQ(exported[i].lon_deg, expected[i].lon_deg) << i;
      EXPECT_EQ(exported[i].lat_deg, expected[i].lat_deg) << i;
    }
    EXPECT_EQ(lines, k.centralLines);
    const auto zone = std::find_if(data.features.begin(), data.features.end(),
                                   [](const PathFeature& f) { return f.kind == "central zone"; });
    ASSERT_NE(zone, data.features.end());
    EXPECT_EQ(zone->parts.size(), k.zoneParts);
    if (!k.crossesDateLine) {
      EXPECT_TRUE(dateLine.empty());
      continue;
    }
    // The two lines meet on the date line: the first ends at +180, the
    // second begins at -180, at one latitude about 33° S.
    ASSERT_EQ(dateLine.size(), 2u);
    const std::vector<GeoLine>& parts = data.features.front().parts;
    EXPECT_EQ(parts[0].back().lon_deg, 180);
    EXPECT_EQ(parts[1].front().lon_deg, -180);
    EXPECT_EQ(parts[0].back().lat_deg, parts[1].front().lat_deg);
    EXPECT_NEAR(static_cast<double>(parts[1].front().lat_deg), -33.3, 0.5);
    EXPECT_LT(parts[0][parts[0].size() - 2].t, parts[0].back().t);
    EXPECT_LT(parts[1].front().t, parts[1][1].t);
  }
}

TEST(PathExport, SplitAtDateLine) {
  struct Split {
    const char* name;
    GeoLine line;
    std::vector<GeoLine> expected;
  };
  const std::vector<Split> cases = {
      {"eastward across 180", {{0, 170, 0}, {1, -170, 10}},
       {{{0, 170, 0}, {0.5L, 180, 5}}, {{0.5L, -180, 5}, {1, -170, 10}}}},
      {"westward, a quarter of the way", {{0, -175, -20}, {1, 165, -40}},
       {{{0, -175, -20}, {0.25L, -180, -25}}, {{0.25L, 180, -25}, {1, 165, -40}}}},
      {"across Greenwich: no split", {{0, -10, 0}, {1, 10, 5}, {2, 30, 6}}, {{{0, -10, 0}, {1, 10, 5}, {2, 30, 6}}}},
      {"from a point on 180: not doubled", {{0, 170, 0}, {1, 180, 1}, {2, -170, 2}},
       {{{0, 170, 0}, {1, 180, 1}}, {{1, -180, 1}, {2, -170, 2}}}},
      {"a lone point is no line", {{0, 10, 0}}, {}},
  };
  for (const Split& s : cases) {
    SCOPED_TRACE(s.name);
    const std::vector<GeoLine> got = SplitAtDateLine(s.line);
    ASSERT_EQ(got.size(), s.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].size(), s.expected[i].size());
      for (std::size_t j = 0; j < got[i].size(); ++j) {
        EXPECT_NEAR(static_cast<double>(got[i][j].t), static_cast<double>(s.expected[i][j].t), 1e-12);
        EXPECT_EQ(got[i][j].lon_deg, s.expected[i][j].lon_deg);
        EXPECT_NEAR(static_cast<double>(got[i][j].lat_deg), static_cast<double>(s.expected[i][j].lat_deg), 1e-12);
      }
    }
  }
}

TEST(PathExport, IsoInstantIsProlepticGregorianUtc) {
  struct Instant {
    Extended jd;
    const char* text;
  };
  // JD 2451545.0 = 2000-01-01 12:00 (J2000); 2299160.5 the first day of the
  // Gregorian calendar, 1582-10-15; the day before is Julian 4 October,
  // proleptic Gregorian 14 October; JD 0 is 4713 BC January 1 Julian =
  // astronomical year -4713 November 24 proleptic Gregorian (Meeus,
  // Astronomical Algorithms, ch. 7; ISO 8601 expanded years).
  const Instant cases[] = {
      {2451545.0L, "2000-01-01T12:00:00Z"},
      {2299160.5L, "1582-10-15T00:00:00Z"},
      {2299159.5L, "1582-10-14T00:00:00Z"},
      {0.0L, "-4713-11-24T12:00:00Z"},
      {2460408.5L + 59.6L / 86400, "2024-04-08T00:01:00Z"},  // rounded to the second
      {2460409.5L - 0.4L / 86400, "2024-04-09T00:00:00Z"},
  };
  for (const Instant& i : cases) EXPECT_EQ(IsoInstant(JulianCenturies(i.jd)), i.text) << i.text;
}

// The greatest eclipse of 2024-04-08 by Swiss Ephemeris (swetest 2.10
// -solecl -b1.4.2024 -n1): 18:17:20.4 UT with deltaT 69.1 s, that is
// 18:18:29.5 TT, at 104°09' W, 25°17' N. Our instants are UT with our
// deltaT (74 s for 2024), so the instant is compared in dynamical time; the
// place differs by the Earth's turn in the 5 s between the two deltaT. The
// central zone is the ring round it, counter-clockwise.
TEST(PathExport, GreatestEclipseLiesInTheCentralZone) {
  const SolarEclipseContext c = Eclipse(kCases[0].startJD);
  const PathExportData data = BuildPathExport(c, "Titel", "Saros 139");
  ASSERT_TRUE(data.greatest.has_value());
  const Extended swissTT = JulianCenturies(CalendarToJD(2024, 4, 8) + (18 * 3600 + 18 * 60 + 29.5L) / 86400);
  EXPECT_NEAR(static_cast<double>((*data.greatest - swissTT) * kSecondsPerCentury + c.deltaT_s), 0, 1.5);
  EXPECT_EQ(data.type, "total");
  const auto feature = [&](const std::string& kind) {
    const auto f = std::find_if(data.features.begin(), data.features.end(),
                                [&](const PathFeature& x) { return x.kind == kind; });
    EXPECT_NE(f, data.features.end()) << kind;
    return f == data.features.end() ? PathFeature{} : *f;
  };
  const PathFeature point = feature("greatest eclipse");
  const PathFeature zone = feature("central zone");
  ASSERT_EQ(point.parts.size(), 1u);
  ASSERT_EQ(zone.parts.size(), 1u);
  const GeoPoint g = point.parts[0][0];
  EXPECT_NEAR(static_cast<double>(g.lon_deg), -(104 + 9.25 / 60), 0.1);
  EXPECT_NEAR(static_cast<double>(g.lat_deg), 25 + 17.1 / 60, 0.1);
  const GeoLine& ring = zone.parts[0];
  ASSERT_GE(ring.size(), 4u);
  EXPECT_EQ(ring.front().lon_deg, ring.back().lon_deg);
  EXPECT_EQ(ring.front().lat_deg, ring.back().lat_deg);
  Extended area2 = 0;
  bool inside = false;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    area2 += ring[j].lon_deg * ring[i].lat_deg - ring[i].lon_deg * ring[j].lat_deg;
    if ((ring[i].lat_deg > g.lat_deg) != (ring[j].lat_deg > g.lat_deg) &&
        g.lon_deg < (ring[j].lon_deg - ring[i].lon_deg) * (g.lat_deg - ring[i].lat_deg) /
                            (ring[j].lat_deg - ring[i].lat_deg) + ring[i].lon_deg) {
      inside = !inside;
    }
  }
  EXPECT_GT(area2, 0);
  EXPECT_TRUE(inside);
}

TEST(PathExport, FilesByExtension) {
  const test::TempDir dir;
  const SolarEclipseContext c = Eclipse(kCases[0].startJD);
  std::string error;
  EXPECT_TRUE(ExportEclipsePath(c, "Totale Sonnenfinsternis am 08.04.2024", "Saros 139", dir.file("a.GeoJSON"), error));
  EXPECT_EQ(test::TempDir::read(dir.file("a.GeoJSON")).rfind("{\"type\":\"FeatureCollection\"", 0), 0u);
  EXPECT_TRUE(ExportEclipsePath(c, "<&>", "Saros 139", dir.file("a.kml"), error)) << error;
  const std::string kml = test::TempDir::read(dir.file("a.kml"));
  EXPECT_EQ(kml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">", 0),
            0u);
  EXPECT_NE(kml.find("<name>&lt;&amp;&gt;</name>"), std::string::npos);

  EXPECT_FALSE(ExportEclipsePath(c, "T", "S", dir.file("a.json"), error));
  EXPECT_EQ(error, "Die Datei " + dir.file("a.json") + " hat weder die Endung .geojson noch .kml.");
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.json")));
  const std::string missing = dir.file("fehlt/a.kml");
  EXPECT_FALSE(ExportEclipsePath(c, "T", "S", missing, error));
  EXPECT_EQ(error.rfind("Datei " + missing + " konnte nicht geschrieben werden: ", 0), 0u) << error;

  // A path report without a picture has no path list to take the title from.
  const PathReport report;
  EXPECT_FALSE(ExportEclipsePath(report, dir.file("b.kml"), error));
  EXPECT_EQ(error, "Es ist keine Sonnenfinsternis mit Zentrallinienbild berechnet.");

  EXPECT_EQ(NumberedExportPath("karten/pfad.geojson", 2), "karten/pfad-2.geojson");
  EXPECT_EQ(NumberedExportPath("v1.0/pfad", 3), "v1.0/pfad-3");
}

}  // namespace
}  // namespace orb
