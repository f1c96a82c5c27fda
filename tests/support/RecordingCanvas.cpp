// SPDX-License-Identifier: AGPL-3.0-or-later
#include "support/RecordingCanvas.h"

#include "core/NumText.h"

namespace orb::test {

RecordingCanvas::RecordingCanvas(int32_t width, int32_t height, int32_t dpi)
    : width_(width), height_(height), dpi_(dpi) {}

void RecordingCanvas::SetPen(Color color, int32_t style, int32_t width_px) {
  penColor_ = color, penStyle_ = style, penWidth_ = width_px;
}

void RecordingCanvas::SetBrush(Color color, bool hollow) { brushColor_ = color, brushHollow_ = hollow; }

void RecordingCanvas::SetFont(const std::string& name, int32_t height_px, Color color) {
  fontName_ = name, fontHeight_ = height_px, textColor_ = color;
}

RecordingCanvas::Primitive RecordingCanvas::Make(Primitive::Kind kind) const {
  return Primitive{kind,        {},         "",       penColor_, penStyle_,  penWidth_, brushColor_,
                   brushHollow_, fontName_, fontHeight_, textColor_, align_, {}};
}

void RecordingCanvas::LineTo(int32_t x, int32_t y) {
  Primitive p = Make(Primitive::Line);
  p.points = {pos_, DevPoint{x, y}};
  primitives.push_back(p);
  pos_ = {x, y};
}

void RecordingCanvas::Polygon(const std::vector<DevPoint>& points) {
  Primitive p = Make(Primitive::Polygon);
  p.points = points;
  primitives.push_back(p);
}

void RecordingCanvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Primitive p = Make(Primitive::Ellipse);
  p.points = {DevPoint{x1, y1}, DevPoint{x2, y2}};
  primitives.push_back(p);
}

void RecordingCanvas::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Primitive p = Make(Primitive::FillRect);
  p.points = {DevPoint{x1, y1}, DevPoint{x2, y2}};
  primitives.push_back(p);
}

void RecordingCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  Primitive p = Make(Primitive::Text);
  p.points = {DevPoint{x, y}};
  p.text = text;
  p.extent = TextExtent(text);
  primitives.push_back(p);
}

DevPoint RecordingCanvas::TextExtent(const std::string& text) {
  return {static_cast<int32_t>(0.6 * fontHeight_ * static_cast<double>(Utf8Length(text))), fontHeight_};
}

std::vector<RecordingCanvas::Primitive> RecordingCanvas::Of(Primitive::Kind kind) const {
  std::vector<Primitive> out;
  for (const Primitive& p : primitives)
    if (p.kind == kind) out.push_back(p);
  return out;
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> out;
  for (const Primitive& p : primitives)
    if (p.kind == Primitive::Text) out.push_back(p.text);
  return out;
}

}  // namespace orb::test
