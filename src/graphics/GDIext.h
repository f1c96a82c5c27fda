// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// tGDIext: the one drawing object through which every picture is drawn. A
// picture is a paint procedure that draws in world coordinates of its own
// choosing with sizes in millimetres; tGDIext maps the world window onto
// the target's drawing area, turns millimetres into device pixels at the
// target's true resolution and keeps the page margins when printing. The
// same paint procedure draws unchanged into the graphics window, the print
// preview, the printer page and bitmaps at screen resolution, 300 or 600 dpi.
//
// World x grows to the right, world y upwards; device y downwards:
//   device x = round((x - XMin) * ScaleX) + OffsetX
//   device y = round((YMax - y) * ScaleY) + OffsetY
// with ScaleX = DevWidth / (XMax - XMin), ScaleY = DevHeight / (YMax - YMin),
// and round = to the nearest integer, halves to even. 25.4 mm per inch.
// Device coordinates are kept within +-1e9 pixels, so that a degenerate
// window (an empty world extent, a zero-size area) never yields an
// undefined integer conversion.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/Canvas.h"

namespace orb {

enum TargetKind : uint8_t {
  tkWindow = 0,        // the graphics window's drawing area
  tkPreview = 1,       // the print dialog's preview area (stands for the whole printable page)
  tkPrinter = 2,       // the page of the running print job
  tkBitmapScreen = 3,  // a bitmap at the screen's resolution
  tkBitmap300 = 4,     // a bitmap at 300 dpi
  tkBitmap600 = 5,     // a bitmap at 600 dpi
};

class tGDIext;
// A picture: draws everything through the drawing it receives.
using PaintProc = std::function<void(tGDIext&)>;

inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;

class tGDIext {
 public:
  // Create: margins 15 mm; for preview and printer the printable page size
  // (mm) comes from `pageWidthMm`, `pageHeightMm` and is copied to the area;
  // the geometry is read, the world window set to the drawing area in
  // millimetres and the scale computed. `zoom` is the window's zoom factor.
  tGDIext(Canvas& canvas, TargetKind kind, PaintProc paint = {}, float pageWidthMm = 0, float pageHeightMm = 0,
          float zoom = 1);

  // Geometry and scale.
  void UpdateGeometry();
  void UpdateScale();
  // The first call of every paint procedure: geometry and scale re-read
  // (area size, zoom, page, margins), the area cleared white, BackColor
  // white, brush solid grey 0x808080, pen black solid 0.1 mm, font Tahoma
  // 4.5 mm in black.
  void Reset();
  // Any two opposite corners of the world window.
  void SetWindow(float x1, float y1, float x2, float y2);
  static void CopyWindow(const tGDIext& from, tGDIext& to);
  // The drawing area on the page for preview and printer (mm): the
  // picture's natural size; with `scaleToPage` the page below and right of
  // the margins, or with `proportional` too the picture's size times the
  // larger factor that still fits there. Never negative.
  void SetPrintArea(float pictureWidthMm, float pictureHeightMm, bool scaleToPage, bool proportional);
  // Calls the paint procedure with this drawing (nothing when there is none).
  void Paint();

  // Conversions.
  int32_t WorldX(float x) const;
  int32_t WorldY(float y) const;
  int32_t MmToDevX(float mm) const;
  int32_t MmToDevY(float mm) const;
  float MmToWorldX(float mm) const;
  float MmToWorldY(float mm) const;
  int32_t SetOriginXMm(float mm);
  static Color Gray(uint8_t level);

  // Pens, brushes and fonts. Clear fills the drawing area with a solid brush.
  void Clear(Color color);
  void SetBrushColor(Color color);
  void SetBrushClear();
  void SetPenColor(Color color);
  void SetPenStyle(int32_t style);
  void SetPenWidthMm(float mm);  // MmToDevX(mm) pixels; 0 is the thinnest line
  void SetTextColor(Color color);  // and a hollow brush: text without background
  int32_t SetFontHeight(int32_t px);  // cell height in pixels; returns the height in force
  void SetFontName(const std::string& name);
  void SetFont(const std::string& name, int32_t px);
  void SetTextAlign(uint32_t flags);

  // Drawing in device pixels.
  void LineToDev(int32_t x, int32_t y);
  void LineDev(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void DotDev(int32_t x, int32_t y);
  // A polygon filled with the brush and outlined with the pen.
  void PolygonDev(const std::vector<DevPoint>& points);
  void TextAt(const std::string& text, int32_t x, int32_t y);
  // Text at (OffsetX, OffsetY); then OffsetY grows by the text's height.
  void WriteLine(const std::string& text);
  // The height of a text line in pixels with the current font.
  int32_t TextHeight();
  int32_t TextWidth(const std::string& text);

  // Drawing in world units.
  void Line(float x1, float y1, float x2, float y2);
  // An ellipse in the box of the world circle (the radius counts in world
  // units on both axes), outlined with the pen and filled with the brush.
  void Circle(float xc, float yc, float r);
  // A shaft from (x1, y1) to (x2, y2) with a head headLenMm long and
  // headWidthMm wide (both measured along x) filled in the pen colour at the
  // end, and at the start too when `bothEnds`. Each head's side point is
  // mirrored about its base point in device pixels, so the head is
  // symmetric about the shaft on any mapping; the shaft stops at the bases.
  void Arrow(bool bothEnds, float x1, float y1, float x2, float y2, float headLenMm, float headWidthMm);
  // A line with a tick tickLenMm long (measured along x) across each end
  // point and centred on it, as on a scale bar.
  void TickedLine(float x1, float y1, float x2, float y2, float tickLenMm);

  // ---- fields ----
  Canvas* canvas;                   // the target's surface (owned by the caller; it must outlive the drawing)
  TargetKind Kind;
  Color BackColor = kWhite;         // the picture's background colour, 0x00BBGGRR
  bool PaintBackground = true;      // the picture fills its background (window, bitmaps; printer on request)
  int32_t DevWidth = 0, DevHeight = 0;  // drawing area, device pixels
  int32_t DpiX = 96, DpiY = 96;     // device pixels per inch for all mm conversions (window: times the zoom)
  int32_t OffsetX = 0, OffsetY = 0; // device position of the area's top-left corner; OffsetY is WriteLine's cursor
  float ScaleX = 1, ScaleY = 1;     // device pixels per world unit
  float XMin = 0, XMax = 1, YMin = 0, YMax = 1;  // world window
  float TopMarginMm = 15, LeftMarginMm = 15;     // page margins, mm (preview, printer)
  float PageWidthMm = 0, PageHeightMm = 0;       // printable page, mm (preview, printer)
  float AreaWidthMm = 0, AreaHeightMm = 0;       // drawing area on the page, mm (preview, printer)
  float Zoom = 1;                   // the window's zoom factor (tkWindow)
  PaintProc paintProc;

 private:
  // The world-to-device mapping at full precision (Arrow, TickedLine).
  int32_t DevX(double x) const;
  int32_t DevY(double y) const;
  void ApplyPen();
  void ApplyBrush();
  void ApplyFont();

  Color penColor_ = kBlack;
  int32_t penStyle_ = kPenSolid;
  int32_t penWidth_px_ = 0;
  Color brushColor_ = 0x808080;
  bool brushHollow_ = false;
  std::string fontName_ = "Tahoma";
  int32_t fontHeight_px_ = 16;
  Color textColor_ = kBlack;
};

}  // namespace orb
