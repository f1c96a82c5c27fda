// SPDX-License-Identifier: AGPL-3.0-or-later
// The local solar eclipse picture: the Sun, the Moon at the outer contacts
// and at greatest eclipse, the contact times, scale bar, north arrow and the
// report's lines, drawn through tGDIext.
#include "eclipses/LocalEclipsePicture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "eclipses/PictureStyle.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

using namespace picture;

constexpr uint8_t kMoonGray = 180;

constexpr Extended kSunRadius_km = 695500;

constexpr float kCross = 0.05f;      // half length of the cross at the Sun's centre
constexpr float kArrowStart = 0.8f;  // contact arrows start this far from the centre
constexpr float kContactHeadLenMm = 2, kContactHeadWidthMm = 1.8f;
constexpr float kNorthArrowInset = 0.1f;
constexpr float kNorthArrowLength = 0.7f;
constexpr float kMargin = 0.2f;  // around the Moon's discs in the world window
constexpr float kMinHalfWidth = 2;
constexpr float kProportion = 0.85f;  // height / width of window and picture

constexpr float kTextFontMm = 4.5f, kRowFontMm = 4;
constexpr float kTextStartLines = 1.85f;  // the text starts this many lines above the bottom edge
constexpr std::size_t kSarosLine = 1, kFirstLineBelow = 2;

// Above this magnitude the side of the Moon at greatest eclipse comes from
// the north flag when the outer contacts point to the other side.
constexpr float kNearCentral = 0.9f;
// A midpoint of the outer contacts closer than this to the Sun's centre
// (contacts opposite each other) gives no direction.
constexpr float kNoDirection = 1e-6f;

struct Point {
  float x = 0, y = 0;
};

// The Moon's centre at position angle `P_deg` (from north through east) and
// distance `r` (Sun radii) from the Sun's centre; east is left.
Point AtPositionAngle(Extended P_deg, float r) {
  const Extended P = P_deg * kDegree;
  return {static_cast<float>(-std::sin(P)) * r, static_cast<float>(std::cos(P)) * r};
}

// The Moon's centre at greatest eclipse of a partial eclipse: the midpoint
// of C1 and C4 (on a straight path the foot of the perpendicular from the
// Sun's centre) brought to the distance 1 + G - 2 magnitude. Near a central
// eclipse the path's curvature can put that midpoint on the other side of
// the Sun; then the side the Moon passes on wins.
Point PartialMaximum(const LocalPictureValues& v, bool moonNorth) {
  const float distance = 1 + v.G - 2 * std::fabs(v.magnitude);
  const Point mid{(v.c1x + v.c4x) / 2, (v.c1y + v.c4y) / 2};
  const float length = std::hypot(mid.x, mid.y);
  if (!(length > kNoDirection)) return {0, moonNorth ? distance : -distance};
  float f = distance / length;
  const bool wrongSide = moonNorth ? mid.y < 0 : mid.y > 0;
  if (v.magnitude > kNearCentral && wrongSide) f = -f;
  return {mid.x * f, mid.y * f};
}

// The clock time of `t` (centuries, UT) in the zone, as the report's rows.
std::string ClockAt(Extended t, float zone_h) { return ClockTimeText(ZoneInstantOf(JDFromCenturies(t), zone_h)); }

std::string MaxLine(const TSettings& s, const LocalEclipse& e, const std::vector<std::string>& reportLines) {
  const Extended jd = JDFromCenturies(e.Tm);
  const std::string saros = reportLines.size() > kSarosLine ? reportLines[kSarosLine] : std::string();
  return WeekdayText(jd, e.zone_h) + ", " + DateTimeText(jd, e.zone_h, DateStyleOf(s)) + " " +
         ZoneName(e.zone_h, 0, s.TDT) + ": " + Str(e.magnitude * 100, 5, 1) + "%" + "  " + saros;
}

// ---- paint steps ----

void Discs(tGDIext& g, const LocalPictureValues& v) {
  g.SetBrushColor(kWhite);
  g.Circle(0, 0, 1);
  g.SetBrushColor(tGDIext::Gray(kMoonGray));
  g.Circle(v.mx, v.my, v.G);
  g.Circle(v.c1x, v.c1y, v.G);
  g.Circle(v.c4x, v.c4y, v.G);
  g.SetBrushClear();
  g.Circle(v.c1x, v.c1y, v.G);
  g.Circle(v.mx, v.my, v.G);
  g.Circle(0, 0, 1);
}

void CrossAndPath(tGDIext& g, const LocalPictureValues& v) {
  g.Line(-kCross, 0, kCross, 0);
  g.Line(0, -kCross, 0, kCross);
  g.SetPenStyle(kPenDashDot);
  g.Line(v.c1x, v.c1y, v.mx, v.my);
  g.Line(v.mx, v.my, v.c4x, v.c4y);
}

// An arrow from 0.8 Sun radii out to the limb at position angle `P_rad`,
// and the contact's time at its inner end under `align`.
void ContactArrow(tGDIext& g, float P_rad, const std::string& time, uint32_t align) {
  const float sx = -std::sin(P_rad), sy = std::cos(P_rad);
  g.Arrow(false, kArrowStart * sx, kArrowStart * sy, sx, sy, kContactHeadLenMm, kContactHeadWidthMm);
  g.SetTextAlign(align);
  g.TextAt(time, g.WorldX(kArrowStart * sx), g.WorldY(kArrowStart * sy));
}

void Times(tGDIext& g, const LocalPictureValues& v) {
  g.SetTextAlign(kAlignCenter | kAlignBottom);
  if (IsCentral(v.type)) {
    ContactArrow(g, v.p2, v.contactTime[1], kAlignLeft | kAlignBaseline);
    ContactArrow(g, v.p3, v.contactTime[2], kAlignRight | kAlignBaseline);
  } else {
    g.TextAt(v.maxTime, g.WorldX(v.mx), g.WorldY(v.my));
  }
  g.SetTextAlign(kAlignCenter | kAlignBottom);
  g.TextAt(v.contactTime[0], g.WorldX(v.c1x), g.WorldY(v.c1y));
  g.TextAt(v.contactTime[3], g.WorldX(v.c4x), g.WorldY(v.c4y));
}

// The scale bar of 1 degree = 1/alpha Sun radii about the window's middle
// and the north arrow at the left edge, both at `y`. Without a usable Sun
// radius there is no scale bar.
void ScaleAndNorth(tGDIext& g, const LocalPictureValues& v, float y) {
  g.SetTextAlign(kAlignCenter | kAlignBottom);
  const float middle = (g.XMin + g.XMax) / 2, half = 0.5f / v.sunRadius_deg;
  if (std::isfinite(half) && half > 0) {
    g.TickedLine(middle - half, y, middle + half, y, kTickMm);
    g.TextAt("1°", g.WorldX(middle), g.WorldY(y));
  }
  const float x = g.XMin + kNorthArrowInset;
  g.Arrow(false, x, y, x, y + kNorthArrowLength, kNorthHeadLenMm, kNorthHeadWidthMm);
  g.TextAt("N", g.WorldX(x), g.WorldY(y + kNorthArrowLength));
}

// The lines under the picture, from 1.85 line heights above its bottom
// edge on.
void TextLines(tGDIext& g, const LocalPictureValues& v, const std::vector<std::string>& reportLines) {
  g.SetTextAlign(kAlignLeft | kAlignTop);
  g.SetFont("Courier New", g.MmToDevY(kTextFontMm));
  g.OffsetY = g.WorldY(g.YMin) - static_cast<int32_t>(std::lround(kTextStartLines * g.TextHeight()));
  g.WriteLine(v.maxLine);
  g.SetFontHeight(g.MmToDevY(kRowFontMm));
  for (std::size_t i = kFirstLineBelow; i < reportLines.size(); ++i) g.WriteLine(reportLines[i]);
}

}  // namespace

LocalPictureValues LocalPictureValuesOf(const TSettings& s, const LocalEclipse& e,
                                        const std::vector<std::string>& reportLines) {
  LocalPictureValues v;
  v.G = static_cast<float>(e.diameterRatio);
  v.sunRadius_deg = static_cast<float>(ArcSinD(kSunRadius_km / e.sunDistance_km));
  v.magnitude = static_cast<float>(e.magnitude);
  v.type = e.type;
  const Point c1 = AtPositionAngle(e.P[0], 1 + v.G), c4 = AtPositionAngle(e.P[3], 1 + v.G);
  v.c1x = c1.x, v.c1y = c1.y;
  v.c4x = c4.x, v.c4y = c4.y;
  const Extended times[4] = {e.T1, e.T2, e.T3, e.T4};
  for (int i = 0; i < 4; ++i) {
    if (i == 0 || i == 3 || IsCentral(e.type)) v.contactTime[i] = ClockAt(times[i], e.zone_h);
  }
  v.maxTime = ClockAt(e.Tm, e.zone_h);
  if (IsCentral(e.type)) {
    v.p2 = static_cast<float>(e.P[1] * kDegree);
    v.p3 = static_cast<float>(e.P[2] * kDegree);
    const Point a = AtPositionAngle(e.P[1], 1 - v.G), b = AtPositionAngle(e.P[2], 1 - v.G);
    v.mx = (a.x + b.x) / 2;
    v.my = (a.y + b.y) / 2;
  } else {
    const Point m = PartialMaximum(v, e.moonNorth);
    v.mx = m.x, v.my = m.y;
  }
  v.maxLine = MaxLine(s, e, reportLines);
  return v;
}

void LocalEclipsePicture(tGDIext& g, const LocalPictureValues& v, const std::vector<std::string>& reportLines) {
  g.Reset();
  if (g.PaintBackground) {
    g.BackColor = kSkyColor;
    g.Clear(kSkyColor);
  }
  Discs(g, v);
  CrossAndPath(g, v);
  g.SetPenStyle(kPenSolid);
  g.SetPenColor(kBlack);
  g.SetPenWidthMm(kPenWidthMm);
  Times(g, v);
  ScaleAndNorth(g, v, g.YMin + kScaleBarTextHeights * static_cast<float>(g.TextHeight()) / g.ScaleY);
  TextLines(g, v, reportLines);
}

PictureSetup LocalEclipsePictureSetup(const LocalPictureValues& v, const std::vector<std::string>& reportLines) {
  float right = std::max(kMinHalfWidth, v.c1x + v.G + kMargin);
  float left = std::min(-kMinHalfWidth, v.c4x - v.G - kMargin);
  float top = std::max({0.0f, v.c1y, v.c4y}) + v.G + kMargin;
  float bottom = std::min({0.0f, v.c1y, v.c4y}) - v.G - kMargin;
  // Widen the smaller extent about the origin (both edges lie on either
  // side of it) to the picture's proportion.
  const float width = right - left, height = top - bottom;
  if (height < kProportion * width) {
    const float f = kProportion * width / height;
    top *= f, bottom *= f;
  } else if (height > kProportion * width) {
    const float f = height / (kProportion * width);
    right *= f, left *= f;
  }
  PictureSetup picture;
  picture.paint = [v, reportLines](tGDIext& g) { LocalEclipsePicture(g, v, reportLines); };
  picture.x1 = left, picture.y1 = bottom, picture.x2 = right, picture.y2 = top;
  picture.widthMm = 170;
  picture.heightMm = 144.5f;
  picture.caption = reportLines.empty() ? "Orbitello32 - Sonnenfinsternis" : "Orbitello32 - " + reportLines.front();
  return picture;
}

}  // namespace orb
