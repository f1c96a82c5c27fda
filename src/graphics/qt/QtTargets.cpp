// SPDX-License-Identifier: AGPL-3.0-or-later
#include "graphics/qt/QtTargets.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cerrno>
#include <string_view>

#include "core/SafeFile.h"
#include "graphics/qt/QtCanvas.h"

namespace orb {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kMetresPerInch = 0.0254;
// Bitmap sides beyond this many pixels are not attempted.
constexpr double kMaxBitmapSide = 1e6;

std::string FileError(const std::string& fileName, const std::string& reason) {
  return "Datei " + fileName + " konnte nicht geschrieben werden: " + reason + ".";
}

int RoundPixels(double px) { return static_cast<int>(std::nearbyint(std::clamp(px, 0.0, kMaxBitmapSide))); }

// The print paths' settings: the picture's world window, the margin, the
// background switch and the drawing area on the page.
void PreparePage(tGDIext& g, const PictureSetup& picture, const PrintOptions& options) {
  g.SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
  g.LeftMarginMm = options.leftMarginMm;
  g.PaintBackground = options.paintBackground;
  g.SetPrintArea(picture.widthMm, picture.heightMm, options.scaleToPage, options.proportional);
}

// One page on the printer's current output; false when the job could not
// start or finish.
bool PrintPage(QPrinter& printer, const PictureSetup& picture, const PrintOptions& options) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  {
    const PageSizeMm page = PrintablePageMm(printer);
    QtCanvas canvas(painter);
    tGDIext g(canvas, tkPrinter, picture.paint, page.widthMm, page.heightMm);
    PreparePage(g, picture, options);
    g.Paint();
  }
  return painter.end();
}

// Printing into a file: the job writes a fresh file beside the target,
// which then replaces the target by the rules of ReplaceFileBy; a failed
// job leaves an existing file as it was, and a target that may not be
// replaced (a folder, a FIFO, a device, a write-protected file) is refused
// before the job starts.
std::string PrintPageToFile(QPrinter& printer, const PictureSetup& picture, const PrintOptions& options) {
  const QString target = printer.outputFileName();
  const std::string targetName = target.toStdString();
  const FileResult written = ReplaceFileBy(QFile::encodeName(target).toStdString(), [&](const std::string& part) {
    printer.setOutputFileName(QFile::decodeName(part.c_str()));
    const bool printed = PrintPage(printer, picture, options);
    printer.setOutputFileName(target);
    return printed ? FileResult{} : FileResult{EIO, "Der Druckauftrag ist fehlgeschlagen"};
  });
  return written.ok() ? std::string() : FileError(targetName, written.reason);
}

}  // namespace

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

PageSizeMm PrintablePageMm(const QPaintDevice& printer) {
  return {static_cast<float>(printer.widthMM()), static_cast<float>(printer.heightMM())};
}

bool PrinterInstalled() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

bool UsePdfWhenNoPrinter(QPrinter& printer, const std::string& pdfPath) {
  if (printer.outputFormat() == QPrinter::NativeFormat && PrinterInstalled()) return false;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdfPath));
  return true;
}

std::string PrintPicture(QPrinter& printer, const PictureSetup& picture, const PrintOptions& options) {
  if (!picture.caption.empty()) printer.setDocName(QString::fromStdString(picture.caption));
  if (!printer.outputFileName().isEmpty()) return PrintPageToFile(printer, picture, options);
  if (PrintPage(printer, picture, options)) return {};
  return "Druck auf " + printer.printerName().toStdString() + " fehlgeschlagen.";
}

void PaintPreview(QPainter& painter, const PictureSetup& picture, PageSizeMm page, const PrintOptions& options) {
  QtCanvas canvas(painter);
  tGDIext g(canvas, tkPreview, picture.paint, page.widthMm, page.heightMm);
  PreparePage(g, picture, options);
  g.Paint();
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
