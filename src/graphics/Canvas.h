// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The primitive 2-D surface the drawing layer draws on: device pixels, a
// pen, a brush, a font, a current position and text alignment, as a
// graphics device context of the platform keeps them. Qt implements it for
// the window, the print preview, the printer and bitmaps; tests use a
// recording canvas that lists the primitives.

#include <cstdint>
#include <string>
#include <vector>

namespace orb {

// A colour as the platform's colour value: 0x00BBGGRR.
using Color = uint32_t;
inline constexpr Color RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

// Pen styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none.
enum PenStyle : int32_t { kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenDashDot = 3, kPenDashDotDot = 4, kPenNone = 5 };

// Text alignment flags: horizontal left 0, right 2, centre 6; vertical
// top 0, bottom 8, baseline 24 (the pictures use 0, 8, 14, 24 and 26).
inline constexpr uint32_t kAlignLeft = 0, kAlignRight = 2, kAlignCenter = 6;
inline constexpr uint32_t kAlignTop = 0, kAlignBottom = 8, kAlignBaseline = 24;

struct DevPoint {
  int32_t x = 0, y = 0;
  bool operator==(const DevPoint&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // The surface: logical pixels per inch and its size in device pixels.
  virtual int32_t PixelsPerInchX() const = 0;
  virtual int32_t PixelsPerInchY() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;

  // Pen: colour, style, width in pixels (0: the thinnest line).
  virtual void SetPen(Color color, int32_t style, int32_t width_px) = 0;
  // Brush: a solid colour, or hollow (shapes unfilled, text without background).
  virtual void SetBrush(Color color, bool hollow) = 0;
  // Font: face name, cell height in pixels, text colour.
  virtual void SetFont(const std::string& name, int32_t height_px, Color color) = 0;
  virtual void SetTextAlign(uint32_t flags) = 0;

  virtual void MoveTo(int32_t x, int32_t y) = 0;
  virtual void LineTo(int32_t x, int32_t y) = 0;
  virtual DevPoint CurrentPosition() const = 0;
  // A polygon filled with the brush and outlined with the pen.
  virtual void Polygon(const std::vector<DevPoint>& points) = 0;
  // An ellipse in the box (x1, y1)-(x2, y2), filled with the brush and outlined with the pen.
  virtual void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // Fills the rectangle (x1, y1)-(x2, y2) with the brush (no outline).
  virtual void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // Text at (x, y) under the current alignment.
  virtual void TextOut(int32_t x, int32_t y, const std::string& text) = 0;
  // Width and height of a text in pixels with the current font.
  virtual DevPoint TextExtent(const std::string& text) = 0;
};

}  // namespace orb
