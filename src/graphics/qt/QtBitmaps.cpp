// SPDX-License-Identifier: AGPL-3.0-or-later
#include "graphics/qt/QtBitmaps.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/Constants.h"
#include "core/SafeFile.h"
#include "graphics/qt/QtCanvas.h"

namespace orb {
namespace {

constexpr double kMetresPerInch = 0.0254;
// Bitmap sides beyond this many pixels are not attempted.
constexpr double kMaxBitmapSide = 1e6;

int RoundPixels(double px) { return static_cast<int>(std::nearbyint(std::clamp(px, 0.0, kMaxBitmapSide))); }

}  // namespace

std::string FileError(const std::string& fileName, const std::string& reason) {
  return "Datei " + fileName + " konnte nicht geschrieben werden: " + reason + ".";
}

int32_t ScreenDpi() {
  const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
  return screen ? static_cast<int32_t>(std::lround(screen->logicalDotsPerInchX())) : 96;
}

int32_t BitmapDpi(TargetKind kind, int32_t screenDpi) {
  if (kind == tkBitmap300) return 300;
  if (kind == tkBitmap600) return 600;
  return screenDpi;
}

QSize NaturalBitmapSize(const PictureSetup& picture, int32_t dpi) {
  return {RoundPixels(picture.widthMm * static_cast<double>(dpi) / kMmPerInch),
          RoundPixels(picture.heightMm * static_cast<double>(dpi) / kMmPerInch)};
}

QImage RenderBitmap(const PictureSetup& picture, TargetKind kind, QSize size, int32_t screenDpi) {
  if (kind != tkBitmap300 && kind != tkBitmap600) kind = tkBitmapScreen;
  const int32_t dpi = BitmapDpi(kind, screenDpi > 0 ? screenDpi : ScreenDpi());
  if (!size.isValid()) size = NaturalBitmapSize(picture, dpi);
  // Text needs the font database, which exists only with an application
  // object; without one there is no bitmap rather than an abort.
  if (!qGuiApp) return {};
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return image;
  const int dotsPerMetre = static_cast<int>(std::lround(dpi / kMetresPerInch));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  {
    QtCanvas canvas(painter, dpi, dpi);
    tGDIext g(canvas, kind, picture.paint);
    g.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
    g.Paint();
  }
  painter.end();
  return image;
}

std::string WriteBitmap(const QImage& image, const std::string& fileName) {
  if (image.isNull()) return FileError(fileName, "Die Grafik konnte nicht erstellt werden");
  const QString name = QString::fromStdString(fileName);
  const char* format = name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? "PNG" : "BMP";
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format))
    return FileError(fileName, "Die Grafik konnte nicht kodiert werden");
  buffer.close();
  const FileResult written =
      ReplaceFileContents(fileName, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return written.ok() ? std::string() : FileError(fileName, written.reason);
}

std::string SaveBitmap(const PictureSetup& picture, TargetKind kind, const std::string& fileName, QSize size,
                       int32_t screenDpi) {
  return WriteBitmap(RenderBitmap(picture, kind, size, screenDpi), fileName);
}

void PaintWindow(QPainter& painter, const PictureSetup& picture, float zoom) {
  QtCanvas canvas(painter);
  tGDIext g(canvas, tkWindow, picture.paint, 0, 0, zoom);
  g.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
  g.Paint();
}

void PaintDrawing(tGDIext& drawing, QtCanvas& canvas, QPainter& painter) {
  drawing.canvas = &canvas;
  canvas.Attach(&painter);
  drawing.Paint();
  canvas.Attach(nullptr);
}

}  // namespace orb
