// SPDX-License-Identifier: AGPL-3.0-or-later
// The local solar eclipse picture on a recording canvas, drawn from
// eclipses that the local report prints.
#include "eclipses/LocalEclipsePicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "eclipses/SolarEclipse.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace orb {
namespace {

using test::RecordingCanvas;
using Prim = RecordingCanvas::Primitive;

struct Place {
  const char* name;
  double lonEast_deg, lat_deg;
  float zone_h;
};
constexpr Place kStuttgart{"Stuttgart", 9.18, 48.78, 2};

// The report of the eclipse of the new moon after `jd` and its picture.
struct Reported {
  LocalEclipse e;
  std::vector<std::string> lines;
  LocalPictureValues v;
  PictureSetup picture;
};
Reported EclipseAfter(const Place& p, Extended jd, const std::string& separator = "") {
  TSettings s;
  s.Ort.Name = p.name, s.Ort.Laenge = p.lonEast_deg, s.Ort.Breite = p.lat_deg;
  s.BasisZeitzone = s.Zeitzone = p.zone_h;
  s.SpaltenSeparator = separator;
  NextEclipseNewMoon(jd, +1, false);
  TRunContext run(s);
  run.StartJulDat = jd;
  run.RunState = kRunSolarEclipses;
  test::ScriptedHost host;
  LocalEclipseReport report;
  EXPECT_TRUE(report.Report(s, run, host, true, +1));
  Reported r{report.Last(), report.ReportLines(), {}, {}};
  r.v = LocalPictureValuesOf(s, r.e, r.lines);
  r.picture = LocalEclipsePictureSetup(r.v, r.lines);
  return r;
}

// The picture in a window, by default 170 x 144.5 mm at 96 dpi.
RecordingCanvas Painted(const PictureSetup& picture, int32_t width = 643, int32_t height = 546) {
  RecordingCanvas canvas(width, height);
  tGDIext g(canvas, tkWindow);
  g.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
  picture.paint(g);
  return canvas;
}

// The alignment of a text; 99 when it was not drawn.
uint32_t AlignOf(const RecordingCanvas& canvas, const std::string& text) {
  for (const Prim& p : canvas.Of(Prim::Text))
    if (p.text == text) return p.align;
  return 99;
}

// 1999-08-11 at Stuttgart is total: the heads of the arrows of contacts 2
// and 3 and of the north arrow are 3 filled triangles; the contact times
// are the rows' characters 25 to 32 (no column separator), those of
// contacts 2 and 3 at the arrows' inner ends; greatest eclipse (12:34:05
// in the report) has no time. The line under the picture is the report's
// "Mi, 11.08.1999  12:34:05 MESZ" in hours and minutes, its 102.9% and the
// Saros line. 2022-10-25 at Stuttgart is partial: only the north arrow's
// head, the time of greatest eclipse (report: 12:11:06), and the right
// contact times though ";" shifts them in the rows.
TEST(LocalEclipsePicture, ArrowsForCentralEclipsesAndTheTimes) {
  const Reported total = EclipseAfter(kStuttgart, 2451401.9);
  ASSERT_EQ(total.e.type, kLocalTotal);
  const RecordingCanvas t = Painted(total.picture);
  EXPECT_EQ(t.Of(Prim::Polygon).size(), 3u);
  const uint32_t aligns[4] = {kAlignCenter | kAlignBottom, kAlignBaseline, kAlignRight | kAlignBaseline,
                              kAlignCenter | kAlignBottom};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(AlignOf(t, total.lines[4 + i].substr(24, 8)), aligns[i]) << i;
  EXPECT_EQ(AlignOf(t, "12:34:05"), 99u);
  EXPECT_EQ(AlignOf(t, "Mi, 11.08.1999  12h34m MESZ: 102.9%  Saros 145"), kAlignLeft);

  const Reported partial = EclipseAfter(kStuttgart, 2459877.9, ";");
  ASSERT_EQ(partial.lines[4].substr(24, 8), " 11:12:4");
  const RecordingCanvas p = Painted(partial.picture);
  EXPECT_EQ(p.Of(Prim::Polygon).size(), 1u);
  for (const char* time : {"11:12:49", "12:11:06", "13:11:03"})
    EXPECT_EQ(AlignOf(p, time), kAlignCenter | kAlignBottom);
}

// The window has the picture's proportion 144.5 / 170 = 0.85. Drawn 85 x round(85 x
// 0.85) = 72 pixels small, a Sun radius takes as many pixels across as up:
// the Sun's disc stays round within a pixel.
TEST(LocalEclipsePicture, WindowKeepsThePictureProportion) {
  for (const double jd : {2451401.9, 2459877.9}) {
    const Reported r = EclipseAfter(kStuttgart, jd);
    const PictureSetup& w = r.picture;
    EXPECT_NEAR((w.y2 - w.y1) / (w.x2 - w.x1), 0.85, 1e-6);
    const Prim sun = Painted(w, 85, 72).Of(Prim::Ellipse).front();
    const int32_t across = sun.points[1].x - sun.points[0].x, up = sun.points[1].y - sun.points[0].y;
    EXPECT_GT(across, 8);
    EXPECT_LE(std::abs(across - up), 1);
  }
}

// Grazing partial eclipses: 2022-04-30 at La Paz (the shadow axis passed
// south of the Earth: from South America the Moon passes south of the Sun)
// and 2022-10-25 at Colombo (the axis passed north, over Siberia). The
// magnitude is the covered fraction of the Sun's diameter of 2 radii, so
// the Moon reaches 2 x magnitude radii past the limb: |M| - G = 1 - 2 mag.
TEST(LocalEclipsePicture, GrazingMoonTouchesTheLimbOnItsSide) {
  const Place laPaz{"La Paz", -68.15, -16.50, -4}, colombo{"Colombo", 79.86, 6.93, 5.5f};
  for (const auto& [place, jd, north] : {std::tuple{laPaz, 2459700.0, false}, std::tuple{colombo, 2459877.9, true}}) {
    const Reported r = EclipseAfter(place, jd);
    ASSERT_EQ(r.e.type, kLocalPartial);
    EXPECT_LT(r.v.magnitude, 0.06f);
    EXPECT_EQ(r.e.moonNorth, north);
    EXPECT_NEAR(std::hypot(r.v.mx, r.v.my) - r.v.G, 1 - 2 * r.v.magnitude, 1e-5);
    const std::vector<Prim> discs = Painted(r.picture).Of(Prim::Ellipse);  // Sun, then Moon at M
    const int32_t sunY = discs[0].points[0].y + discs[0].points[1].y,
                  moonY = discs[1].points[0].y + discs[1].points[1].y;
    EXPECT_EQ(moonY < sunY, north) << place.name;  // device y grows downward
  }
}

// A near-central partial eclipse whose outer contacts point to the wrong
// side: G = 1, P = 270 and 92 degrees, C1 = (2, 0), C4 = (-2 sin 92,
// 2 cos 92) = (-1.9988, -0.0698), their midpoint 0.035 south. The Moon
// passing north at magnitude 0.95 (above 0.9) lies 1 + 1 - 1.9 = 0.1 north;
// at 0.85 it follows the midpoint, 2 - 1.7 = 0.3 south. Contacts opposite
// (P = 270 and 90) give no direction: the north flag does, 0.1 north.
TEST(LocalEclipsePicture, NearCentralPartialEclipseTakesTheMoonsSide) {
  LocalEclipse e;
  e.type = kLocalPartial;
  e.diameterRatio = 1;
  e.moonNorth = true;
  e.sunDistance_km = 1.496e8L;
  e.P[0] = 270;
  for (const auto& [P4, magnitude, mx, my] :
       {std::tuple{92.0L, 0.95L, -0.00175f, 0.1f}, std::tuple{92.0L, 0.85L, 0.0052f, -0.3f},
        std::tuple{90.0L, 0.95L, 0.0f, 0.1f}}) {
    e.P[3] = P4;
    e.magnitude = magnitude;
    const LocalPictureValues v = LocalPictureValuesOf(TSettings{}, e, {});
    EXPECT_NEAR(v.mx, mx, 2e-4);
    EXPECT_NEAR(v.my, my, 2e-4);
  }
  EXPECT_EQ(LocalEclipsePictureSetup(LocalPictureValues{}, {}).caption, "Orbitello32 - Sonnenfinsternis");
}

}  // namespace
}  // namespace orb
