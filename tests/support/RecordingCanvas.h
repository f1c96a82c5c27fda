// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// A canvas for tests: it records every primitive with the pen, brush and
// font in force, so that a test can ask what a picture drew ("three Moon
// discs", "two polylines in blue").

#include <string>
#include <vector>

#include "graphics/Canvas.h"

namespace orb::test {

class RecordingCanvas : public Canvas {
 public:
  // A surface of `width` x `height` pixels at `dpi` pixels per inch.
  RecordingCanvas(int32_t width, int32_t height, int32_t dpi = 96);

  struct Primitive {
    enum Kind { Line, Polygon, Ellipse, FillRect, Text } kind;
    std::vector<DevPoint> points;  // Line: from, to; Polygon: corners; Ellipse/FillRect: two corners; Text: anchor
    std::string text;
    Color penColor;
    int32_t penStyle, penWidth;
    Color brushColor;
    bool brushHollow;
    std::string fontName;
    int32_t fontHeight;
    Color textColor;
    uint32_t align;
    DevPoint extent;  // Text: its extent
  };

  int32_t PixelsPerInchX() const override { return dpi_; }
  int32_t PixelsPerInchY() const override { return dpi_; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
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
  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  // Text extent: 0.6 x height per character wide, the font height high.
  DevPoint TextExtent(const std::string& text) override;

  // The primitives of one kind, in drawing order.
  std::vector<Primitive> Of(Primitive::Kind kind) const;
  // Texts, in drawing order.
  std::vector<std::string> Texts() const;

  std::vector<Primitive> primitives;

 private:
  Primitive Make(Primitive::Kind kind) const;

  int32_t width_, height_, dpi_;
  DevPoint pos_;
  Color penColor_ = 0;
  int32_t penStyle_ = 0, penWidth_ = 0;
  Color brushColor_ = 0xFFFFFF;
  bool brushHollow_ = false;
  std::string fontName_;
  int32_t fontHeight_ = 16;
  Color textColor_ = 0;
  uint32_t align_ = 0;
};

}  // namespace orb::test
