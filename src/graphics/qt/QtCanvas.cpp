// SPDX-License-Identifier: AGPL-3.0-or-later
#include "graphics/qt/QtCanvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cstdlib>

namespace orb {
namespace {

// Font cells above this height (pixels) are drawn at this height.
constexpr int32_t kMaxFontPx = 1 << 15;
// Bound of the steps that look for the em of a requested cell height.
constexpr int kMaxFontSteps = 64;

QPointF PixelCentre(int32_t x, int32_t y) { return {x + 0.5, y + 0.5}; }

int CellHeight(QFont font, int em_px, const QPaintDevice* device) {
  font.setPixelSize(em_px);
  return QFontMetrics(font, device).height();
}

// The largest em (pixels) whose cell is not higher than `cell`, found from
// the face's cell-to-em ratio and a few single steps.
int EmForCell(const QFont& font, int cell, const QPaintDevice* device) {
  const int firstCell = std::max(1, CellHeight(font, cell, device));
  int em = std::max(1, static_cast<int>(static_cast<long long>(cell) * cell / firstCell));
  for (int i = 0; i < kMaxFontSteps && em > 1 && CellHeight(font, em, device) > cell; ++i) --em;
  for (int i = 0; i < kMaxFontSteps && CellHeight(font, em + 1, device) <= cell; ++i) ++em;
  return em;
}

}  // namespace

QColor ToQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

Qt::PenStyle ToQtPenStyle(int32_t style) {
  switch (style) {
    case kPenDash: return Qt::DashLine;
    case kPenDot: return Qt::DotLine;
    case kPenDashDot: return Qt::DashDotLine;
    case kPenDashDotDot: return Qt::DashDotDotLine;
    case kPenNone: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

QtCanvas::QtCanvas(QPaintDevice& device, int32_t dpiX, int32_t dpiY)
    : device_(&device),
      dpiX_(dpiX > 0 ? dpiX : device.logicalDpiX()),
      dpiY_(dpiY > 0 ? dpiY : device.logicalDpiY()) {
  SetPen(0, kPenSolid, 0);
}

QtCanvas::QtCanvas(QPainter& painter, int32_t dpiX, int32_t dpiY) : QtCanvas(*painter.device(), dpiX, dpiY) {
  Begin(&painter);
}

QtCanvas::~QtCanvas() { End(); }

void QtCanvas::Attach(QPainter* painter) {
  End();
  Begin(painter);
}

void QtCanvas::Begin(QPainter* painter) {
  if (!painter) return;
  painter_ = painter;
  painter_->save();
  painter_->setRenderHint(QPainter::Antialiasing, true);
  painter_->setRenderHint(QPainter::TextAntialiasing, true);
  align_ = 0;
  pos_ = {};
}

void QtCanvas::End() {
  if (painter_) painter_->restore();
  painter_ = nullptr;
}

int32_t QtCanvas::Width() const { return device_->width(); }
int32_t QtCanvas::Height() const { return device_->height(); }

void QtCanvas::SetPen(Color color, int32_t style, int32_t width_px) {
  // Width 0 is Qt's cosmetic pen: the thinnest line the device draws.
  // Styled lines end flat so that their dots and dashes keep their gaps.
  pen_ = QPen(ToQColor(color), std::max(0, width_px), ToQtPenStyle(style),
              style == kPenSolid ? Qt::RoundCap : Qt::FlatCap, Qt::RoundJoin);
}

void QtCanvas::SetBrush(Color color, bool hollow) {
  brushColor_ = ToQColor(color);
  brushHollow_ = hollow;
}

QFont QtCanvas::FontFor(const std::string& name, int32_t height_px) const {
  QFont font(QString::fromStdString(name));
  if (height_px < 0) {
    font.setPixelSize(std::min(-static_cast<int64_t>(height_px), static_cast<int64_t>(kMaxFontPx)));
  } else {
    font.setPixelSize(EmForCell(font, std::clamp(height_px, 1, kMaxFontPx), device_));
  }
  return font;
}

void QtCanvas::SetFont(const std::string& name, int32_t height_px, Color color) {
  textColor_ = ToQColor(color);
  if (name == fontName_ && height_px == fontHeight_px_ && !fontName_.empty()) return;
  font_ = FontFor(name, height_px);
  fontName_ = name;
  fontHeight_px_ = height_px;
}

void QtCanvas::SelectPenAndBrush() {
  painter_->setPen(pen_);
  painter_->setBrush(brushHollow_ ? QBrush(Qt::NoBrush) : QBrush(brushColor_));
}

void QtCanvas::LineTo(int32_t x, int32_t y) {
  const DevPoint from = pos_;
  pos_ = {x, y};
  if (!painter_ || pen_.style() == Qt::NoPen || from == pos_) return;
  const int64_t steps = std::llabs(static_cast<int64_t>(x) - from.x) + std::llabs(static_cast<int64_t>(y) - from.y);
  if (steps == 1) {
    // A line leaves out its last pixel: one step draws the start pixel
    // alone, as a dot of the pen's width.
    if (pen_.width() <= 1) {
      painter_->fillRect(QRect(from.x, from.y, 1, 1), pen_.color());
    } else {
      painter_->setPen(QPen(pen_.color(), pen_.width(), Qt::SolidLine, Qt::RoundCap));
      painter_->drawPoint(PixelCentre(from.x, from.y));
    }
    return;
  }
  SelectPenAndBrush();
  painter_->drawLine(PixelCentre(from.x, from.y), PixelCentre(x, y));
}

void QtCanvas::Polygon(const std::vector<DevPoint>& points) {
  if (!painter_ || points.empty()) return;
  QPolygonF polygon;
  for (const DevPoint& p : points) polygon << PixelCentre(p.x, p.y);
  SelectPenAndBrush();
  painter_->drawPolygon(polygon, Qt::OddEvenFill);
}

void QtCanvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!painter_) return;
  SelectPenAndBrush();
  painter_->drawEllipse(QRectF(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 - 0.5, y2 - 0.5)).normalized());
}

void QtCanvas::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!painter_ || brushHollow_) return;
  const int32_t left = std::min(x1, x2), top = std::min(y1, y2);
  const int32_t right = std::max(x1, x2), bottom = std::max(y1, y2);
  if (right > left && bottom > top) painter_->fillRect(QRect(left, top, right - left, bottom - top), brushColor_);
}

void QtCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  if (!painter_) return;
  const QString s = QString::fromStdString(text);
  const QFontMetrics metrics(font_, device_);
  const int width = metrics.horizontalAdvance(s), height = metrics.height();
  int left = x, top = y;
  if ((align_ & kAlignCenter) == kAlignCenter) {
    left = x - width / 2;
  } else if (align_ & kAlignRight) {
    left = x - width;
  }
  if ((align_ & kAlignBaseline) == kAlignBaseline) {
    top = y - metrics.ascent();
  } else if (align_ & kAlignBottom) {
    top = y - height;
  }
  if (!brushHollow_) painter_->fillRect(QRect(left, top, width, height), brushColor_);
  painter_->setFont(font_);
  painter_->setPen(QPen(textColor_));
  painter_->drawText(QPoint(left, top + metrics.ascent()), s);
}

DevPoint QtCanvas::TextExtent(const std::string& text) {
  const QFontMetrics metrics(font_, device_);
  return {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

}  // namespace orb
