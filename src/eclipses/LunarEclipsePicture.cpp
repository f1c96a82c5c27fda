// SPDX-License-Identifier: AGPL-3.0-or-later
// The lunar eclipse picture: shadow discs, the Moon on its linearised path
// with the contact times, the ecliptic, scale bar, north arrow and the
// report's lines, drawn through tGDIext.
#include "eclipses/LunarEclipsePicture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "eclipses/PictureStyle.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

using namespace picture;

// Colours of the penumbra and the umbra.
constexpr Color kPenumbraColor = RGBColor(255, 180, 180);
constexpr Color kUmbraColor = RGBColor(220, 90, 90);

constexpr float kLabelFontMm = 4.25f;
constexpr float kMarkMm = 2;  // the marks reach this far inside and outside the penumbra circle

constexpr float kDegree_rad = static_cast<float>(kDegree);
constexpr float kEclipticHalfLength_rad = 2 * kDegree_rad;
constexpr float kNorthArrowInset_rad = 0.1f * kDegree_rad;
constexpr float kNorthArrowLength_rad = 0.5f * kDegree_rad;

// The path runs a little beyond the penumbral contacts.
constexpr Extended kPathMargin_days = 0.02L;
// The ecliptic is drawn with the obliquity of J2000.
constexpr Extended kObliquityJ2000_rad = 0.40909280422038968273L;

// The world window and its shift for an eclipse far from the shadow centre.
constexpr float kHalfWidth_rad = 0.037f;
constexpr float kHalfHeight_rad = 0.03145f;
constexpr float kWindowShift_rad = 0.003490658f;     // 0.2 degree
constexpr Extended kShiftBeyond_rad = 0.013962634L;  // 0.8 degree

constexpr std::size_t kFirstContactLine = 3;  // title, header, rise-set line come first

// The Moon's centre on the record's straight path at `offset` (days).
struct MoonPlace {
  Extended offset = 0;
  float x = 0, y = 0;
};

MoonPlace MoonAt(const Finsternistyp& e, Extended offset) {
  return {offset, static_cast<float>((offset - e.pathRef1) * e.pathRate1),
          static_cast<float>((offset - e.pathRef2) * e.pathRate2)};
}

// The instants of the picture in drawing order, which is time order.
std::vector<MoonPlace> MoonPlaces(const Finsternistyp& e) {
  std::vector<Extended> offsets;
  if (e.type == 0) {
    offsets = {e.P1, e.middle, e.P4};
  } else if (e.type == 1) {
    offsets = {e.P1, e.U1, e.middle, e.U4, e.P4};
  } else {
    offsets = {e.P1, e.U1, e.U2, e.middle, e.U3, e.U4, e.P4};
  }
  std::vector<MoonPlace> places;
  for (const Extended t : offsets) places.push_back(MoonAt(e, t));
  return places;
}

// The clock time (hours and minutes, the record's zone) of `offset`.
std::string LabelText(const Finsternistyp& e, Extended offset) {
  return ZoneShortTimeText(e.base + offset, e.zone);
}

void MoonDiscs(tGDIext& g, const std::vector<MoonPlace>& places, float radius) {
  for (const MoonPlace& p : places) g.Circle(p.x, p.y, radius);
}

// Short marks across the penumbra circle where it meets the axes: at the
// top (vertical) and at the right and left ends (horizontal).
void PenumbraMarks(tGDIext& g, float radius) {
  const float dy = g.MmToWorldY(kMarkMm), dx = g.MmToWorldX(kMarkMm);
  g.Line(0, radius - dy, 0, radius + dy);
  g.Line(radius - dx, 0, radius + dx, 0);
  g.Line(-radius - dx, 0, -radius + dx, 0);
}

// A label's place in device pixels: left edge, right edge, bottom.
struct LabelBox {
  int32_t left = 0, right = 0, bottom = 0;
};

// The time labels, left and bottom aligned, centred on each Moon place. A
// label whose right edge reaches past the previous label's left edge is
// moved one text height beyond the previous label: up while the Moon moves
// north (or keeps its height), down while it moves south.
void Labels(tGDIext& g, const Finsternistyp& e, const std::vector<MoonPlace>& places) {
  g.SetTextAlign(kAlignLeft | kAlignBottom);
  const int32_t height = g.TextHeight();
  LabelBox previous;
  bool first = true;
  for (const MoonPlace& p : places) {
    const std::string text = LabelText(e, p.offset);
    const int32_t width = g.TextWidth(text);
    LabelBox box;
    box.left = g.WorldX(p.x) - width / 2;
    box.right = box.left + width;
    box.bottom = g.WorldY(p.y);
    if (!first && previous.left < box.right) {
      if (e.pathRate2 >= 0) {
        box.bottom = std::min(box.bottom, previous.bottom - height);
      } else {
        box.bottom = std::max(box.bottom, previous.bottom + height);
      }
    }
    g.TextAt(text, box.left, box.bottom);
    previous = box;
    first = false;
  }
}

// The ecliptic through the shadow centre, dotted.
void Ecliptic(tGDIext& g, const Finsternistyp& e) {
  const float slope = static_cast<float>(std::tan(EclipticNorthAngle(kObliquityJ2000_rad, e.sunLon)));
  g.SetPenStyle(kPenDot);
  g.Line(-kEclipticHalfLength_rad, -kEclipticHalfLength_rad * slope, kEclipticHalfLength_rad,
         kEclipticHalfLength_rad * slope);
}

// The 1-degree scale bar centred on the window's middle line x = 0 and the
// north arrow at the left edge, both at `y` (world units).
void ScaleAndNorth(tGDIext& g, float y) {
  g.TickedLine(-kDegree_rad / 2, y, kDegree_rad / 2, y, kTickMm);
  g.SetTextAlign(kAlignCenter | kAlignBottom);
  g.TextAt("1°", g.WorldX(0), g.WorldY(y));
  const float x = g.XMin + kNorthArrowInset_rad;
  g.Arrow(false, x, y, x, y + kNorthArrowLength_rad, kNorthHeadLenMm, kNorthHeadWidthMm);
  g.TextAt("N", g.WorldX(x), g.WorldY(y + kNorthArrowLength_rad));
}

// The record's header and rise-set lines above the bottom edge; on a
// printer the contact lines below it.
void TextLines(tGDIext& g, const Finsternistyp& e, const std::vector<std::string>& reportLines) {
  g.SetTextAlign(kAlignLeft | kAlignTop);
  g.SetFontName("Courier New");
  const int32_t height = g.TextHeight();
  const int32_t left = g.WorldX(g.XMin), bottom = g.WorldY(g.YMin);
  g.TextAt(e.headerLine, left, bottom - 2 * height);
  g.TextAt(e.riseSetLine, left, bottom - height);
  if (g.Kind != tkPrinter) return;
  for (std::size_t i = kFirstContactLine; i < reportLines.size(); ++i) {
    g.TextAt(reportLines[i], left, bottom + static_cast<int32_t>(i - kFirstContactLine) * height);
  }
}

// The centre of the world window: 0.2 degree toward the Moon when it passes
// more than 0.8 degree north or south of the shadow centre.
float WindowCentre(const Finsternistyp& e) {
  const Extended north = (e.middle - e.pathRef2) * e.pathRate2;
  if (north > kShiftBeyond_rad) return kWindowShift_rad;
  if (north < -kShiftBeyond_rad) return -kWindowShift_rad;
  return 0;
}

}  // namespace

void LunarEclipsePicture(tGDIext& g, const Finsternistyp& e, const std::vector<std::string>& reportLines) {
  g.Reset();
  const std::vector<MoonPlace> places = MoonPlaces(e);
  const float moon = static_cast<float>(e.moonRadius);
  const float penumbra = static_cast<float>(e.penumbraRadius);
  g.SetPenWidthMm(kPenWidthMm);
  if (g.PaintBackground) {
    g.BackColor = kSkyColor;
    g.Clear(kSkyColor);
  }
  g.SetBrushColor(kWhite);
  MoonDiscs(g, places, moon);
  g.SetBrushColor(kPenumbraColor);
  g.Circle(0, 0, penumbra);
  g.SetBrushColor(kUmbraColor);
  g.Circle(0, 0, static_cast<float>(e.umbraRadius));
  PenumbraMarks(g, penumbra);
  const MoonPlace start = MoonAt(e, e.P1 - kPathMargin_days), end = MoonAt(e, e.P4 + kPathMargin_days);
  g.Line(start.x, start.y, end.x, end.y);
  g.SetBrushClear();
  MoonDiscs(g, places, moon);

  g.SetFont("Arial", g.MmToDevY(kLabelFontMm));
  Labels(g, e, places);
  Ecliptic(g, e);
  g.SetPenStyle(kPenSolid);
  g.SetPenColor(kBlack);
  g.SetPenWidthMm(kPenWidthMm);
  ScaleAndNorth(g, g.YMin + kScaleBarTextHeights * static_cast<float>(g.TextHeight()) / g.ScaleY);
  TextLines(g, e, reportLines);
}

PictureSetup LunarEclipsePictureSetup(const Finsternistyp& eclipse, const std::vector<std::string>& reportLines) {
  PictureSetup picture;
  picture.paint = [eclipse, reportLines](tGDIext& g) { LunarEclipsePicture(g, eclipse, reportLines); };
  const float centre = WindowCentre(eclipse);
  picture.x1 = -kHalfWidth_rad;
  picture.y1 = centre - kHalfHeight_rad;
  picture.x2 = kHalfWidth_rad;
  picture.y2 = centre + kHalfHeight_rad;
  picture.widthMm = 170;
  picture.heightMm = 144.5f;
  picture.caption = "Orbitello32 - " + (reportLines.empty() ? std::string() : reportLines.front());
  return picture;
}

}  // namespace orb
