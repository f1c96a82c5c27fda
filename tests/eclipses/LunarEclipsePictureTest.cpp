// SPDX-License-Identifier: AGPL-3.0-or-later
// The lunar eclipse picture on a recording canvas, drawn from eclipses that
// the search reports.
#include "eclipses/LunarEclipsePicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/TimeScales.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace orb {
namespace {

using test::RecordingCanvas;
using Prim = RecordingCanvas::Primitive;

// The first eclipse that the search reports from the first of the month (UTC).
struct Reported {
  Finsternistyp e;
  std::vector<std::string> lines;
};
Reported EclipseFrom(int year, int month) {
  TSettings s;
  s.BasisZeitzone = 0;
  s.Startdat = CalendarToJD(year, month, 1);
  s.Tabelle = false;
  NormaliseSettings(s, 2461000.5L);
  test::ScriptedHost host;
  LunarEclipseSearch search;
  TRunContext run(s);
  ListLunarEclipses(s, run, host, search, false);
  return {search.Last(), search.ReportLines()};
}

bool WhiteDisc(const Prim& p) { return p.kind == Prim::Ellipse && !p.brushHollow && p.brushColor == kWhite; }
bool TimeLabel(const Prim& p) { return p.kind == Prim::Text && p.fontName == "Arial" && p.align == kAlignBottom; }

// The picture in a window of 170 x 144.5 mm at 96 dpi: 643 x 546 pixels.
RecordingCanvas Painted(const PictureSetup& picture) {
  RecordingCanvas canvas(643, 546);
  tGDIext g(canvas, tkWindow);
  g.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
  picture.paint(g);
  return canvas;
}

std::vector<Prim> Kept(const RecordingCanvas& canvas, bool (*keep)(const Prim&)) {
  std::vector<Prim> out;
  for (const Prim& p : canvas.primitives)
    if (keep(p)) out.push_back(p);
  return out;
}

// Penumbral (2020-01-10): the Moon at P1, the middle and P4; total
// (2018-07-27): at P1, U1, U2, the middle, U3, U4 and P4 - the instants of
// the report's contact lines, in their order. Each label is its line's time
// rounded to the minute: within 30 s of it (31 with the report's rounding).
TEST(LunarEclipsePicture, OneMoonAndOneLabelPerInstant) {
  for (const auto& [year, month, instants] : {std::tuple{2020, 1, 3u}, std::tuple{2018, 7, 7u}}) {
    const Reported r = EclipseFrom(year, month);
    const RecordingCanvas canvas = Painted(LunarEclipsePictureSetup(r.e, r.lines));
    EXPECT_EQ(Kept(canvas, WhiteDisc).size(), instants);
    const std::vector<Prim> labels = Kept(canvas, TimeLabel);
    ASSERT_EQ(labels.size(), instants);
    ASSERT_EQ(r.lines.size(), 3 + instants);
    for (std::size_t i = 0; i < instants; ++i) {
      const std::string& line = r.lines[3 + i];
      int h = 0, m = 0, lh = 0, lm = 0, ls = 0;
      std::sscanf(labels[i].text.c_str(), "%dh%dm", &h, &m);
      std::sscanf(line.c_str() + line.size() - 8, "%d:%d:%d", &lh, &lm, &ls);
      EXPECT_LE(std::abs(3600 * (h - lh) + 60 * (m - lm) - ls), 31) << labels[i].text << " / " << line;
    }
  }
}

// 2013-04-25 grazes the umbra: U1, the middle and U4 lie 15 minutes or
// 0.14 degree (5.5 mm) apart, the Moon moving 0.55 degree an hour against
// the shadow, while a label of six characters is 6 x 0.6 x 16 = 58 px
// (15 mm) wide on the recording canvas, so they must move. The Moon moves
// south there; in the mirror image it moves north. The middle's label ends
// one text height (16 px) beyond U1's, which stands at the Moon's height of
// 15 minutes before, 0.034 degree (5 px) back: 11 px from its Moon.
TEST(LunarEclipsePicture, LabelsOfCloseContactsDoNotOverlap) {
  const Reported r = EclipseFrom(2013, 4);
  Finsternistyp mirrored = r.e;
  mirrored.pathRate2 = -r.e.pathRate2;
  for (const Finsternistyp& e : {r.e, mirrored}) {
    const RecordingCanvas canvas = Painted(LunarEclipsePictureSetup(e, r.lines));
    const std::vector<Prim> labels = Kept(canvas, TimeLabel), moons = Kept(canvas, WhiteDisc);
    ASSERT_EQ(labels.size(), 5u);
    for (std::size_t i = 0; i < labels.size(); ++i) {
      for (std::size_t j = i + 1; j < labels.size(); ++j) {
        const DevPoint a = labels[i].points[0], b = labels[j].points[0], size = labels[i].extent;
        EXPECT_TRUE(std::abs(a.x - b.x) >= size.x || std::abs(a.y - b.y) >= size.y) << i << ", " << j;
      }
    }
    const int32_t moonY = (moons[2].points[0].y + moons[2].points[1].y) / 2;
    EXPECT_GT((labels[2].points[0].y - moonY) * (e.pathRate2 < 0 ? 1 : -1), 8);  // device y grows downward
  }
}

// Espenak's catalogue: the Moon passes gamma = +0.117 (2018-07-27), +1.073
// (2020-01-10) and -1.012 (2013-04-25) Earth radii from the shadow axis;
// an Earth radius at the Moon is about 0.95 degree, so 0.1 degree, 1.0
// degree north and 1.0 degree south. Beyond 0.8 degree the window's centre
// moves 0.2 degree (0.003490658 rad) toward the Moon.
TEST(LunarEclipsePicture, WindowShiftsTowardAMoonFarFromTheCentre) {
  for (const auto& [year, month, centre] :
       {std::tuple{2018, 7, 0.0f}, std::tuple{2020, 1, 0.003490658f}, std::tuple{2013, 4, -0.003490658f}}) {
    const Reported r = EclipseFrom(year, month);
    const PictureSetup picture = LunarEclipsePictureSetup(r.e, r.lines);
    EXPECT_EQ(picture.x2, 0.037f);
    EXPECT_NEAR(picture.y1, centre - 0.03145f, 1e-9);
    EXPECT_NEAR(picture.y2, centre + 0.03145f, 1e-9);
    EXPECT_EQ(picture.caption, "Orbitello32 - " + r.lines[0]);
  }
}

// On a 600-dpi page with 15 mm margins the picture's 170 x 144.5 mm start
// at round(600 x 15 / 25.4) = 354 px and end at 354 + round(600 x 144.5 /
// 25.4) = 3767 px; a text height is round(600 x 4.25 / 25.4) = 100 px. The
// header and rise-set lines stand 2 and 1 text heights above that edge, the
// seven contact lines of 2018-07-27 below it. The window has none of them.
TEST(LunarEclipsePicture, ContactLinesOnlyOnPaper) {
  const Reported r = EclipseFrom(2018, 7);
  const PictureSetup picture = LunarEclipsePictureSetup(r.e, r.lines);
  RecordingCanvas page(4960, 7016, 600);
  tGDIext printer(page, tkPrinter, picture.paint, 210, 297);
  printer.AreaWidthMm = picture.widthMm;
  printer.AreaHeightMm = picture.heightMm;
  printer.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
  printer.Paint();
  std::vector<std::string> texts;
  for (const Prim& t : page.Of(Prim::Text)) {
    if (t.fontName != "Courier New") continue;
    EXPECT_EQ(t.points[0], (DevPoint{354, 3567 + 100 * static_cast<int32_t>(texts.size())})) << t.text;
    texts.push_back(t.text);
  }
  std::vector<std::string> expected = {r.e.headerLine, r.e.riseSetLine};
  expected.insert(expected.end(), r.lines.begin() + 3, r.lines.end());
  EXPECT_EQ(texts, expected);

  const std::vector<std::string> shown = Painted(picture).Texts();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), r.lines[3]), 0);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), r.e.riseSetLine), 1);
}

}  // namespace
}  // namespace orb
