// SPDX-License-Identifier: AGPL-3.0-or-later
#include "graphics/qt/QtPrinting.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>
#include <cmath>

#include "core/SafeFile.h"
#include "graphics/GDIext.h"
#include "graphics/qt/QtBitmaps.h"
#include "graphics/qt/QtCanvas.h"

namespace orb {
namespace {

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

PageSizeMm PrintablePageMm(const QPrinter& printer) {
  // A thousandth of a millimetre for the conversions between points and
  // millimetres behind the page layout (210 mm come back as 209.99999).
  const QRectF page = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  return {static_cast<float>(std::floor(page.width() + 1e-3)), static_cast<float>(std::floor(page.height() + 1e-3))};
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

}  // namespace orb
