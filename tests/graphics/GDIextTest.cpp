// SPDX-License-Identifier: AGPL-3.0-or-later
// The drawing layer on the recording canvas: world window, device mapping,
// margins, millimetre conversions per target, Reset's state, WriteLine,
// arrows, ticked lines, the print area and degenerate areas. Every expected
// pixel is worked by hand from the mapping
//   device x = round((x - XMin) * ScaleX) + OffsetX,
//   device y = round((YMax - y) * ScaleY) + OffsetY,
// with round = halves to even and 25.4 mm per inch.
#include "graphics/GDIext.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/RecordingCanvas.h"

namespace orb {
namespace {

using test::RecordingCanvas;
using Kind = RecordingCanvas::Primitive::Kind;

TEST(GDIextWindow, SetWindowSortsCornersAndMapsTheWorld) {
  RecordingCanvas canvas(200, 100);
  tGDIext g(canvas, tkWindow);
  g.SetWindow(10, 5, -10, -5);
  EXPECT_EQ(g.XMin, -10);
  EXPECT_EQ(g.XMax, 10);
  EXPECT_EQ(g.YMin, -5);
  EXPECT_EQ(g.YMax, 5);
  // ScaleX = 200 / 360, ScaleY = 100 / 180: the centre is pixel 100, the
  // top edge row 0, the bottom edge row 100.
  g.SetWindow(-180, -90, 180, 90);
  EXPECT_EQ(g.WorldX(0), 100);
  EXPECT_EQ(g.WorldX(180), 200);
  EXPECT_EQ(g.WorldY(90), 0);
  EXPECT_EQ(g.WorldY(-90), 100);
  // A circle's box: x 0 -+ 18 -> 100 -+ 10; y 45 + 18 = 63 on top -> row
  // 27 * 100 / 180 = 15, 45 - 18 = 27 -> row 63 * 100 / 180 = 35.
  g.Circle(0, 45, 18);
  EXPECT_EQ(canvas.Of(Kind::Ellipse).at(0).points, (std::vector<DevPoint>{{90, 15}, {110, 35}}));
  // Halves to even: with ScaleX = 2, 1.25 -> 2.5 -> 2 and 1.75 -> 3.5 -> 4.
  g.SetWindow(0, 0, 100, 50);
  EXPECT_EQ(g.WorldX(1.25f), 2);
  EXPECT_EQ(g.WorldX(1.75f), 4);
}

TEST(GDIextPrinter, MarginsPlaceTheWorldWindowOnThePage) {
  RecordingCanvas canvas(4000, 6000, 600);
  tGDIext g(canvas, tkPrinter, {}, 200, 287);
  EXPECT_FALSE(g.PaintBackground);
  // Margins 15 mm at 600 dpi: 600 * 15 / 25.4 = 354.33 -> 354. The area is
  // the page: 600 * 200 / 25.4 = 4724.4 -> 4724, 600 * 287 / 25.4 = 6779.5
  // -> 6780.
  EXPECT_EQ(g.DevWidth, 4724);
  EXPECT_EQ(g.DevHeight, 6780);
  EXPECT_EQ(g.WorldX(g.XMin), 354);
  EXPECT_EQ(g.WorldY(g.YMax), 354);
  EXPECT_EQ(g.WorldX(g.XMax), 354 + 4724);
  EXPECT_EQ(g.WorldY(g.YMin), 354 + 6780);

  // The print paths set the margin afterwards; Reset reads it again:
  // 600 * 25 / 25.4 = 590.55 -> 591. The top margin stays at 354.
  g.LeftMarginMm = 25;
  g.Reset();
  EXPECT_EQ(g.OffsetX, 591);
  EXPECT_EQ(g.OffsetY, 354);
  EXPECT_EQ(canvas.Of(Kind::FillRect).at(0).points, (std::vector<DevPoint>{{591, 354}, {591 + 4724, 354 + 6780}}));
}

// The pen and font of a text drawn right after Reset.
RecordingCanvas::Primitive AfterReset(tGDIext& g, RecordingCanvas& canvas) {
  g.Reset();
  g.TextAt("A", 0, 0);
  return canvas.Of(Kind::Text).back();
}

TEST(GDIextResolution, MillimetresFollowTheTargetsResolution) {
  // Pen 0.1 mm, font 4.5 mm: at 96 dpi the pen is 0.378 -> 0 (the thinnest
  // line); at zoom 2 the window counts 192 dpi: 0.756 -> 1.
  RecordingCanvas screen(200, 100, 96);
  tGDIext window(screen, tkWindow);
  EXPECT_EQ(AfterReset(window, screen).penWidth, 0);
  window.Zoom = 2;
  EXPECT_EQ(AfterReset(window, screen).penWidth, 1);
  EXPECT_EQ(window.DpiX, 192);
  // At 600 dpi: 2.36 -> 2.
  RecordingCanvas fine(200, 100, 600);
  tGDIext bitmap600(fine, tkBitmap600);
  EXPECT_EQ(AfterReset(bitmap600, fine).penWidth, 2);
  // A 300-dpi bitmap on a canvas that says 96: 1.18 -> 1 and 53.1 -> 53; its
  // world window starts as the bitmap in mm, 1181 * 25.4 / 300 = 99.99.
  RecordingCanvas bitmap(1181, 591, 96);
  tGDIext hires(bitmap, tkBitmap300);
  const auto text = AfterReset(hires, bitmap);
  EXPECT_EQ(hires.DpiY, 300);
  EXPECT_EQ(text.penWidth, 1);
  EXPECT_EQ(text.fontHeight, 53);
  EXPECT_NEAR(hires.XMax, 99.99f, 0.01f);
}

TEST(GDIextReset, RestoresTheDefaultStateOnEveryCall) {
  RecordingCanvas canvas(200, 100, 96);
  tGDIext g(canvas, tkWindow);
  g.SetPenColor(RGBColor(255, 0, 0));
  g.SetPenStyle(kPenDot);
  g.SetPenWidthMm(1);
  g.SetTextColor(RGBColor(0, 0, 255));
  g.SetFont("Arial", 30);
  g.BackColor = RGBColor(0, 0, 40);

  g.Reset();
  EXPECT_EQ(g.BackColor, kWhite);
  // The area cleared white, then the defaults on the next primitive.
  const auto clear = canvas.Of(Kind::FillRect).at(0);
  EXPECT_EQ(clear.brushColor, kWhite);
  EXPECT_EQ(clear.points, (std::vector<DevPoint>{{0, 0}, {200, 100}}));
  g.TextAt("x", 5, 5);
  const auto text = canvas.Of(Kind::Text).back();
  EXPECT_EQ(text.brushColor, 0x808080u);
  EXPECT_FALSE(text.brushHollow);
  EXPECT_EQ(text.penColor, kBlack);
  EXPECT_EQ(text.penStyle, kPenSolid);
  EXPECT_EQ(text.fontName, "Tahoma");
  // 4.5 mm at 96 dpi: 17.008 -> 17 px.
  EXPECT_EQ(text.fontHeight, 17);
  EXPECT_EQ(text.textColor, kBlack);
}

TEST(GDIextText, WriteLineWritesSuccessiveLinesFromTheAreasCorner) {
  RecordingCanvas canvas(4000, 6000, 600);
  tGDIext g(canvas, tkPrinter, {}, 200, 287);
  g.Reset();
  // Reset's font: 600 * 4.5 / 25.4 = 106.3 -> 106 px, the recording
  // canvas's text height. The corner is the margin (354, 354).
  g.WriteLine("Zeile 1");
  g.WriteLine("Zeile 2");
  const auto texts = canvas.Of(Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].points[0], (DevPoint{354, 354}));
  EXPECT_EQ(texts[1].points[0], (DevPoint{354, 354 + 106}));
  // World drawing is shifted down by the two lines.
  EXPECT_EQ(g.OffsetY, 354 + 2 * 106);
  EXPECT_EQ(g.WorldY(g.YMax), 354 + 2 * 106);
}

// A 200 x 200 window on the world (0, 0)-(10, 10): 20 px per unit, both axes.
struct GDIextShapes : ::testing::Test {
  RecordingCanvas canvas{200, 200, 96};
  tGDIext g{canvas, tkWindow};
  void SetUp() override {
    g.SetWindow(0, 0, 10, 10);
    g.Reset();
    g.SetPenWidthMm(0.5f);  // 96 * 0.5 / 25.4 = 1.89 -> 2 px
    g.SetPenColor(RGBColor(200, 0, 0));
    canvas.primitives.clear();
  }
};

// Arrow from (1, 1) to (9, 9), head 3 mm x 2 mm. In world units
// L = 96 * 3 / (25.4 * 20) = 0.566929, W = 96 * 2 / (25.4 * 20) = 0.377953;
// the shaft's direction is (1, 1) / sqrt(2), so the base point is
// 9 - L / sqrt(2) = 8.599123 each way -> (round(171.98), round(28.02)) =
// (172, 28); the side point is the base point + (-1, 1) * W / (2 sqrt(2)) =
// (8.465492, 8.732754) -> (round(169.31), round(25.34)) = (169, 25); its
// mirror about the base point is (175, 31). The tip is (180, 20).
TEST_F(GDIextShapes, DiagonalHeadIsSymmetricAboutTheShaft) {
  g.Arrow(false, 1, 1, 9, 9, 3, 2);
  const auto heads = canvas.Of(Kind::Polygon);
  ASSERT_EQ(heads.size(), 1u);
  const std::vector<DevPoint> head{{180, 20}, {169, 25}, {175, 31}};
  EXPECT_EQ(heads[0].points, head);
  // Symmetric: both sides equally far from the tip, and the side points'
  // midpoint (the base point) lies on the shaft.
  const auto dist2 = [](DevPoint a, DevPoint b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); };
  EXPECT_EQ(dist2(head[0], head[1]), dist2(head[0], head[2]));
  // The head is filled in the pen colour with a 1-pixel outline.
  EXPECT_EQ(heads[0].brushColor, RGBColor(200, 0, 0));
  EXPECT_FALSE(heads[0].brushHollow);
  EXPECT_EQ(heads[0].penWidth, 1);
  // No head at the start: the shaft begins exactly at (1, 1) -> (20, 180)
  // and ends at the base point, with the pen width restored.
  const auto lines = canvas.Of(Kind::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (std::vector<DevPoint>{{20, 180}, {172, 28}}));
  EXPECT_EQ(lines[0].penWidth, 2);
  // The brush is restored (Reset's grey).
  g.Circle(5, 5, 1);
  EXPECT_EQ(canvas.Of(Kind::Ellipse).back().brushColor, 0x808080u);
}

// Both ends: the start head's base point is 1 + L / sqrt(2) = 1.400877 each
// way -> (round(28.02), round(171.98)) = (28, 172), its side point
// (1.400877 - 0.133631, 1.400877 + 0.133631) -> (round(25.34), round(169.31))
// = (25, 169), mirrored (31, 175); tip (20, 180). The shaft runs between
// the two base points.
TEST_F(GDIextShapes, BothEndsDrawsTwoHeadsAndAShortenedShaft) {
  g.Arrow(true, 1, 1, 9, 9, 3, 2);
  const auto heads = canvas.Of(Kind::Polygon);
  ASSERT_EQ(heads.size(), 2u);
  EXPECT_EQ(heads[0].points, (std::vector<DevPoint>{{20, 180}, {25, 169}, {31, 175}}));
  EXPECT_EQ(heads[1].points, (std::vector<DevPoint>{{180, 20}, {169, 25}, {175, 31}}));
  EXPECT_EQ(canvas.Of(Kind::Line).back().points, (std::vector<DevPoint>{{28, 172}, {172, 28}}));
}

// Scale bar from (1, 5) to (9, 5), ticks 2 mm: W = 96 * 2 / (25.4 * 20) =
// 0.377953 units, half of it 0.188976 above the line: y = 5.188976 -> row
// round(96.22) = 96; mirrored about row 100 -> 104.
TEST_F(GDIextShapes, TickedLineHasTicksCentredAcrossEachEnd) {
  g.TickedLine(1, 5, 9, 5, 2);
  const auto lines = canvas.Of(Kind::Line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].points, (std::vector<DevPoint>{{20, 96}, {20, 104}}));
  EXPECT_EQ(lines[1].points, (std::vector<DevPoint>{{180, 96}, {180, 104}}));
  EXPECT_EQ(lines[2].points, (std::vector<DevPoint>{{20, 100}, {180, 100}}));
  EXPECT_EQ(lines[2].penWidth, 2);
}

TEST(GDIextPreview, PreviewAreaStandsForThePage) {
  // A 160 x 226 px preview of a 210 x 297 mm page: 160 / 210 * 25.4 =
  // 19.35 -> 19 dpi, 226 / 297 * 25.4 = 19.33 -> 19 dpi. Margins
  // 19 * 15 / 25.4 = 11.2 -> 11 px; the whole page 19 * 210 / 25.4 = 157.1
  // -> 157 by 19 * 297 / 25.4 = 222.2 -> 222.
  RecordingCanvas canvas(160, 226, 96);
  tGDIext g(canvas, tkPreview, {}, 210, 297);
  EXPECT_FALSE(g.PaintBackground);
  EXPECT_EQ(g.DpiX, 19);
  EXPECT_EQ(g.DpiY, 19);
  EXPECT_EQ(g.OffsetX, 11);
  EXPECT_EQ(g.OffsetY, 11);
  EXPECT_EQ(g.DevWidth, 157);
  EXPECT_EQ(g.DevHeight, 222);

  // A 170 x 144.5 mm picture scaled to the page, proportional:
  // f = min(195 / 170, 282 / 144.5) = 1.147 -> 195 x 165.75 mm, the width
  // between margin and edge; 19 * 195 / 25.4 = 145.9 -> 146,
  // 19 * 165.75 / 25.4 = 123.99 -> 124.
  g.SetPrintArea(170, 144.5f, true, true);
  g.Reset();
  EXPECT_FLOAT_EQ(g.AreaWidthMm, 195);
  EXPECT_NEAR(g.AreaHeightMm, 165.75f, 1e-3f);
  EXPECT_EQ(g.DevWidth, 146);
  EXPECT_EQ(g.DevHeight, 124);
  // Stretched: the page right of and below the margins, 195 x 282 mm.
  g.SetPrintArea(170, 144.5f, true, false);
  EXPECT_FLOAT_EQ(g.AreaWidthMm, 195);
  EXPECT_FLOAT_EQ(g.AreaHeightMm, 282);
}

TEST(GDIextPreview, ScaledAreaNeverRunsPastThePage) {
  RecordingCanvas canvas(226, 160, 96);
  tGDIext g(canvas, tkPrinter, {}, 297, 210);
  // Landscape: f = min(282 / 170, 195 / 144.5) = 1.3495 fills the 195 mm
  // below the margin; the width is 170 * 1.3495 = 229.4 mm of 282.
  g.SetPrintArea(170, 144.5f, true, true);
  EXPECT_NEAR(g.AreaHeightMm, 195, 1e-3);
  EXPECT_NEAR(g.AreaWidthMm, 229.41f, 0.01f);
  // A margin wider than the page leaves no room rather than a negative area.
  g.LeftMarginMm = 300;
  g.SetPrintArea(170, 144.5f, true, true);
  EXPECT_EQ(g.AreaWidthMm, 0);
  EXPECT_EQ(g.AreaHeightMm, 0);
}

TEST(GDIextDegenerate, ZeroSizeAreaAndEmptyWindowKeepScalesFinite) {
  RecordingCanvas empty(0, 0, 96);
  tGDIext window(empty, tkWindow);
  // The world extent 0 becomes 1e-20, so the scale is 0 / 1e-20 = 0.
  EXPECT_EQ(window.XMax, 1e-20f);
  EXPECT_EQ(window.ScaleX, 0);
  EXPECT_EQ(window.ScaleY, 0);
  // A preview area of no size has 0 dpi, yet no division by zero.
  tGDIext preview(empty, tkPreview, {}, 210, 297);
  EXPECT_EQ(preview.DpiX, 0);
  EXPECT_TRUE(std::isfinite(preview.ScaleX) && std::isfinite(preview.ScaleY));
  // An arrow there (its head infinitely long in world units) still gives
  // plain pixels.
  window.SetWindow(-1, -1, 1, 1);
  window.Reset();
  window.Arrow(true, -1, -1, 1, 1, 3, 2);
  window.TickedLine(-1, 0, 1, 0, 2);
  for (const auto& p : empty.primitives)
    for (const DevPoint& d : p.points) EXPECT_EQ(d, (DevPoint{0, 0}));

  // An empty world window: points beside it land far out on their own
  // side instead of wrapping around.
  RecordingCanvas canvas(200, 100, 96);
  tGDIext g(canvas, tkWindow);
  g.SetWindow(3, 3, 3, 3);
  EXPECT_TRUE(std::isfinite(g.ScaleX));
  EXPECT_EQ(g.WorldX(3), 0);
  EXPECT_GT(g.WorldX(4), 1000000);
  EXPECT_LT(g.WorldX(2), -1000000);
  EXPECT_LT(g.WorldY(4), -1000000);
}

}  // namespace
}  // namespace orb
