// SPDX-License-Identifier: AGPL-3.0-or-later
#include "graphics/GDIext.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Constants.h"

namespace orb {
namespace {

// The smallest world extent: a zero-size area gives 1e-20 instead of 0.
constexpr float kTinyExtent = 1e-20f;
// Device coordinates stay within this many pixels of the origin.
constexpr double kDeviceLimit = 1e9;

// Rounding to the nearest integer, halves to even; NaN gives 0 and values
// beyond +-1e9 are clamped, so no conversion to int32 overflows.
int32_t Round(double x) {
  if (std::isnan(x)) return 0;
  return static_cast<int32_t>(std::nearbyint(std::clamp(x, -kDeviceLimit, kDeviceLimit)));
}

// A world extent that may stand in a denominator: 1e-20 for 0 (or for a
// value that is not a finite positive number).
float Extent(double extent) {
  return std::isfinite(extent) && extent > 0 ? static_cast<float>(extent) : kTinyExtent;
}

}  // namespace

tGDIext::tGDIext(Canvas& c, TargetKind kind, PaintProc paint, float pageWidthMm, float pageHeightMm, float zoom)
    : canvas(&c), Kind(kind), Zoom(zoom), paintProc(std::move(paint)) {
  TopMarginMm = LeftMarginMm = 15.0f;
  PaintBackground = !(kind == tkPreview || kind == tkPrinter);
  if (kind == tkPreview || kind == tkPrinter) {
    PageWidthMm = pageWidthMm;
    PageHeightMm = pageHeightMm;
    AreaWidthMm = pageWidthMm;
    AreaHeightMm = pageHeightMm;
  }
  UpdateGeometry();
  // The world window starts as the drawing area in millimetres.
  XMin = YMin = 0;
  XMax = Extent(DevWidth * kMmPerInch / DpiX);
  YMax = Extent(DevHeight * kMmPerInch / DpiY);
  UpdateScale();
}

void tGDIext::UpdateGeometry() {
  OffsetX = OffsetY = 0;
  DpiX = canvas->PixelsPerInchX();
  DpiY = canvas->PixelsPerInchY();
  switch (Kind) {
    case tkWindow:
      DevWidth = canvas->Width();
      DevHeight = canvas->Height();
      DpiX = Round(DpiX * static_cast<double>(Zoom));
      DpiY = Round(DpiY * static_cast<double>(Zoom));
      return;
    case tkPreview:
      // The preview area stands for the whole printable page.
      if (PageWidthMm > 0) DpiX = Round(canvas->Width() / static_cast<double>(PageWidthMm) * kMmPerInch);
      if (PageHeightMm > 0) DpiY = Round(canvas->Height() / static_cast<double>(PageHeightMm) * kMmPerInch);
      [[fallthrough]];
    case tkPrinter:
      DevWidth = Round(DpiX * static_cast<double>(AreaWidthMm) / kMmPerInch);
      DevHeight = Round(DpiY * static_cast<double>(AreaHeightMm) / kMmPerInch);
      SetOriginXMm(LeftMarginMm);
      OffsetY = Round(DpiY * static_cast<double>(TopMarginMm) / kMmPerInch);
      return;
    case tkBitmapScreen:
    case tkBitmap300:
    case tkBitmap600:
      DevWidth = canvas->Width();
      DevHeight = canvas->Height();
      if (Kind == tkBitmap300) DpiX = DpiY = 300;
      if (Kind == tkBitmap600) DpiX = DpiY = 600;
      return;
  }
}

void tGDIext::UpdateScale() {
  ScaleX = static_cast<float>(DevWidth / static_cast<double>(Extent(static_cast<double>(XMax) - XMin)));
  ScaleY = static_cast<float>(DevHeight / static_cast<double>(Extent(static_cast<double>(YMax) - YMin)));
}

// Geometry and scale afresh (a resized window, a new zoom or page needs no
// other notice), a white area, grey brush, black 0.1 mm pen and Tahoma
// 4.5 mm in black: every repaint starts from the same state, whatever the
// previous one left on a surface that lives on.
void tGDIext::Reset() {
  UpdateGeometry();
  UpdateScale();
  BackColor = kWhite;
  Clear(kWhite);
  SetBrushColor(0x808080);
  penColor_ = kBlack;
  penStyle_ = kPenSolid;
  SetPenWidthMm(0.1f);
  textColor_ = kBlack;
  fontName_ = "Tahoma";
  fontHeight_px_ = MmToDevY(4.5f);
  ApplyFont();
}

void tGDIext::SetWindow(float x1, float y1, float x2, float y2) {
  if (x1 >= x2) {
    XMax = x1, XMin = x2;
  } else {
    XMin = x1, XMax = x2;
  }
  if (y1 >= y2) {
    YMax = y1, YMin = y2;
  } else {
    YMin = y1, YMax = y2;
  }
  UpdateScale();
}

void tGDIext::CopyWindow(const tGDIext& from, tGDIext& to) {
  to.XMin = from.XMin, to.XMax = from.XMax, to.YMin = from.YMin, to.YMax = from.YMax;
}

void tGDIext::SetPrintArea(float pictureWidthMm, float pictureHeightMm, bool scaleToPage, bool proportional) {
  const double freeWidth = std::max(0.0, static_cast<double>(PageWidthMm) - LeftMarginMm);
  const double freeHeight = std::max(0.0, static_cast<double>(PageHeightMm) - TopMarginMm);
  double width = std::max(0.0f, pictureWidthMm), height = std::max(0.0f, pictureHeightMm);
  if (scaleToPage && !proportional) {
    width = freeWidth, height = freeHeight;
  } else if (scaleToPage && width > 0 && height > 0) {
    const double f = std::min(freeWidth / width, freeHeight / height);
    width *= f, height *= f;
  } else if (scaleToPage) {
    width = height = 0;  // a picture without extent has no shape to keep
  }
  AreaWidthMm = static_cast<float>(width);
  AreaHeightMm = static_cast<float>(height);
}

void tGDIext::Paint() {
  if (paintProc) paintProc(*this);
}

int32_t tGDIext::WorldX(float x) const { return DevX(x); }
int32_t tGDIext::WorldY(float y) const { return DevY(y); }
int32_t tGDIext::MmToDevX(float mm) const { return Round(DpiX * static_cast<double>(mm) / kMmPerInch); }
int32_t tGDIext::MmToDevY(float mm) const { return Round(DpiY * static_cast<double>(mm) / kMmPerInch); }
float tGDIext::MmToWorldX(float mm) const {
  return static_cast<float>(DpiX * static_cast<double>(mm) / (ScaleX * kMmPerInch));
}
float tGDIext::MmToWorldY(float mm) const {
  return static_cast<float>(DpiY * static_cast<double>(mm) / (ScaleY * kMmPerInch));
}

int32_t tGDIext::SetOriginXMm(float mm) {
  OffsetX = MmToDevX(mm);
  return OffsetX;
}

Color tGDIext::Gray(uint8_t level) { return RGBColor(level, level, level); }

void tGDIext::Clear(Color color) {
  SetBrushColor(color);
  canvas->FillRect(OffsetX, OffsetY, OffsetX + DevWidth, OffsetY + DevHeight);
}

void tGDIext::SetBrushColor(Color color) {
  brushColor_ = color;
  brushHollow_ = false;
  ApplyBrush();
}

void tGDIext::SetBrushClear() {
  brushHollow_ = true;
  ApplyBrush();
}

void tGDIext::SetPenColor(Color color) {
  penColor_ = color;
  ApplyPen();
}

void tGDIext::SetPenStyle(int32_t style) {
  penStyle_ = style;
  ApplyPen();
}

void tGDIext::SetPenWidthMm(float mm) {
  penWidth_px_ = MmToDevX(mm);
  ApplyPen();
}

void tGDIext::SetTextColor(Color color) {
  textColor_ = color;
  ApplyFont();
  SetBrushClear();
}

int32_t tGDIext::SetFontHeight(int32_t px) {
  fontHeight_px_ = px;
  ApplyFont();
  return fontHeight_px_;
}

void tGDIext::SetFontName(const std::string& name) {
  fontName_ = name;
  ApplyFont();
}

void tGDIext::SetFont(const std::string& name, int32_t px) {
  SetFontHeight(px);
  SetFontName(name);
}

void tGDIext::SetTextAlign(uint32_t flags) { canvas->SetTextAlign(flags); }

void tGDIext::LineToDev(int32_t x, int32_t y) { canvas->LineTo(x, y); }

void tGDIext::LineDev(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

void tGDIext::DotDev(int32_t x, int32_t y) { LineDev(x, y, x + 1, y); }

void tGDIext::PolygonDev(const std::vector<DevPoint>& points) { canvas->Polygon(points); }

void tGDIext::TextAt(const std::string& text, int32_t x, int32_t y) { canvas->TextOut(x, y, text); }

void tGDIext::WriteLine(const std::string& text) {
  canvas->TextOut(OffsetX, OffsetY, text);
  OffsetY += canvas->TextExtent(text).y;
}

int32_t tGDIext::TextHeight() { return canvas->TextExtent("Ag").y; }
int32_t tGDIext::TextWidth(const std::string& text) { return canvas->TextExtent(text).x; }

void tGDIext::Line(float x1, float y1, float x2, float y2) { LineDev(WorldX(x1), WorldY(y1), WorldX(x2), WorldY(y2)); }

void tGDIext::Circle(float xc, float yc, float r) {
  canvas->Ellipse(WorldX(xc - r), WorldY(yc + r), WorldX(xc + r), WorldY(yc - r));
}

void tGDIext::Arrow(bool bothEnds, float x1, float y1, float x2, float y2, float headLenMm, float headWidthMm) {
  const int32_t keptPenWidth = penWidth_px_;
  const Color keptBrush = brushColor_;
  const bool keptHollow = brushHollow_;
  penWidth_px_ = 1;
  ApplyPen();
  brushColor_ = penColor_;
  brushHollow_ = false;
  ApplyBrush();

  // Head length and width in world units, both along x.
  const double L = DpiX * static_cast<double>(headLenMm) / (kMmPerInch * ScaleX);
  const double W = DpiX * static_cast<double>(headWidthMm) / (kMmPerInch * ScaleX);
  const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
  const double len = std::sqrt(dx * dx + dy * dy);
  const DevPoint a{WorldX(x1), WorldY(y1)}, b{WorldX(x2), WorldY(y2)};
  DevPoint shaftStart = a, shaftEnd = b;
  // A head with its tip at `tip` and its base point (px, py) L back along the
  // shaft; the side point lies W/2 to the left of the base, and its mirror
  // is taken in device pixels, so the head is symmetric about the shaft on
  // any mapping. Returns the base point, where the shaft ends.
  const auto head = [&](DevPoint tip, double px, double py) {
    const DevPoint p{DevX(px), DevY(py)};
    const DevPoint side{DevX(px - dy * W / (2 * len)), DevY(py + dx * W / (2 * len))};
    canvas->Polygon({tip, side, DevPoint{2 * p.x - side.x, 2 * p.y - side.y}});
    return p;
  };
  // A zero-length arrow has no direction: only its (empty) shaft is drawn.
  if (len > 0) {
    if (bothEnds) shaftStart = head(a, x1 + dx * L / len, y1 + dy * L / len);
    shaftEnd = head(b, x2 - dx * L / len, y2 - dy * L / len);
  }
  penWidth_px_ = keptPenWidth;
  ApplyPen();
  LineDev(shaftStart.x, shaftStart.y, shaftEnd.x, shaftEnd.y);
  brushColor_ = keptBrush;
  brushHollow_ = keptHollow;
  ApplyBrush();
}

void tGDIext::TickedLine(float x1, float y1, float x2, float y2, float tickLenMm) {
  const double W = DpiX * static_cast<double>(tickLenMm) / (kMmPerInch * ScaleX);
  const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
  const double t = 2 * std::sqrt(dx * dx + dy * dy);
  // A tick W long across the line, centred on each end point (none on a
  // zero-length line, which has no direction).
  if (t > 0) {
    for (const auto& [x, y] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
      const DevPoint tick{DevX(x - dy * W / t), DevY(y + dx * W / t)};
      LineDev(tick.x, tick.y, 2 * WorldX(x) - tick.x, 2 * WorldY(y) - tick.y);
    }
  }
  Line(x1, y1, x2, y2);
}

int32_t tGDIext::DevX(double x) const { return Round((x - XMin) * ScaleX) + OffsetX; }
int32_t tGDIext::DevY(double y) const { return Round((YMax - y) * ScaleY) + OffsetY; }

void tGDIext::ApplyPen() { canvas->SetPen(penColor_, penStyle_, penWidth_px_); }
void tGDIext::ApplyBrush() { canvas->SetBrush(brushColor_, brushHollow_); }
void tGDIext::ApplyFont() { canvas->SetFont(fontName_, fontHeight_px_, textColor_); }

}  // namespace orb
