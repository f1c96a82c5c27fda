// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The drawing surface over a QPainter, for any paint device: the graphics
// window's drawing area, the print preview, the printer page and QImage
// bitmaps. It keeps the state a graphics device context keeps (pen, brush,
// font, text colour, text alignment, current position) and draws with
// antialiasing.
//
// Device pixels: integer coordinates name pixels, as on the platform's
// device contexts. Lines and outlines run through pixel centres (a
// one-pixel-wide line at y = 10 covers exactly row 10); FillRect covers the
// pixels x1..x2-1, y1..y2-1; Ellipse fits its outline into the box
// (x1, y1)-(x2 - 1, y2 - 1).

#include <QColor>
#include <QFont>
#include <QPen>
#include <string>

#include "graphics/Canvas.h"

class QPainter;
class QPaintDevice;

namespace orb {

// The platform colour value 0x00BBGGRR as a QColor.
QColor ToQColor(Color color);
// Pen styles 0..5 (solid, dash, dot, dash-dot, dash-dot-dot, none) as Qt's;
// any other value draws solid.
Qt::PenStyle ToQtPenStyle(int32_t style);

class QtCanvas final : public Canvas {
 public:
  // A surface of `device` that is not painting yet (Attach binds a painter
  // for each paint). The resolution is the device's logical pixels per inch
  // unless `dpiX`, `dpiY` are given (> 0).
  explicit QtCanvas(QPaintDevice& device, int32_t dpiX = 0, int32_t dpiY = 0);
  // A surface over a painter that is active on its device (a printer page,
  // an image, a widget in its paint event); painting ends with the canvas.
  explicit QtCanvas(QPainter& painter, int32_t dpiX = 0, int32_t dpiY = 0);
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  // Binds a painter active on the device for one paint, or ends the paint
  // (nullptr), restoring the painter's own state. Pen, brush and font stay
  // selected across paints; the alignment (left, top) and the current
  // position (0, 0) start afresh, as on a new device context. Without a
  // painter the drawing calls draw nothing.
  void Attach(QPainter* painter);
  QPainter* Painter() const { return painter_; }
  QPaintDevice& Device() const { return *device_; }

  // The font selected for a face name and a height in pixels as a device
  // context takes it: > 0 the cell height (ascent + descent), < 0 the
  // character height (the em), 0 the smallest font.
  const QFont& Font() const { return font_; }
  QFont FontFor(const std::string& name, int32_t height_px) const;

  int32_t PixelsPerInchX() const override { return dpiX_; }
  int32_t PixelsPerInchY() const override { return dpiY_; }
  int32_t Width() const override;
  int32_t Height() const override;
  void SetPen(Color color, int32_t style, int32_t width_px) override;
  void SetBrush(Color color, bool hollow) override;
  void SetFont(const std::string& name, int32_t height_px, Color color) override;
  void SetTextAlign(uint32_t flags) override { align_ = flags; }
  void MoveTo(int32_t x, int32_t y) override { pos_ = {x, y}; }
  void LineTo(int32_t x, int32_t y) override;
  DevPoint CurrentPosition() const override { return pos_; }
  void Polygon(const std::vector<DevPoint>& points) override;
  void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  // Text under the alignment: horizontal left (0), right (2) or centre (6)
  // of x; vertical top (0), bottom (8) or baseline (24) at y. With a solid
  // brush the text cell is filled with the brush colour first.
  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  DevPoint TextExtent(const std::string& text) override;

 private:
  void Begin(QPainter* painter);
  void End();
  void SelectPenAndBrush();

  QPaintDevice* device_;
  QPainter* painter_ = nullptr;
  int32_t dpiX_, dpiY_;
  QPen pen_;
  QColor brushColor_{Qt::white};
  bool brushHollow_ = false;
  QFont font_;
  std::string fontName_;
  int32_t fontHeight_px_ = 0;
  QColor textColor_{Qt::black};
  uint32_t align_ = 0;
  DevPoint pos_;
};

}  // namespace orb
