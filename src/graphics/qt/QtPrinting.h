// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// A picture on the printer page (QPrinter; a PDF file when no printer is
// installed) and in the print preview. Needs Qt PrintSupport; the batch
// program does without it.

#include <string>

#include "graphics/PictureSetup.h"

class QPainter;
class QPrinter;

namespace orb {

// ---- printer and preview ----

struct PrintOptions {
  float leftMarginMm = 25;       // the left margin on the page, mm (the top margin stays 15 mm)
  bool paintBackground = false;  // "Hintergrund drucken"
  bool scaleToPage = false;      // "Auf Seitengröße skalieren"
  bool proportional = true;      // keep the picture's aspect ratio when scaling to the page
};

// The printable page of a printer in whole millimetres: the millimetres
// that fit on it (rounding up would let a picture scaled to the page pass
// its edge by a fraction of a millimetre).
struct PageSizeMm {
  float widthMm = 0, heightMm = 0;
};
PageSizeMm PrintablePageMm(const QPrinter& printer);

// Whether the system knows at least one printer.
bool PrinterInstalled();
// Sends the printer's output to a PDF file at `pdfPath` when no printer is
// installed (or the printer is set to PDF already); returns true when the
// output goes to that file, false when it goes to an installed printer.
bool UsePdfWhenNoPrinter(QPrinter& printer, const std::string& pdfPath);

// Prints the picture on one page: margins, drawing area as the picture's
// natural size or scaled to the page (SetPrintArea), the caption as the job
// title. A PDF output replaces its file only when the job completes, by
// the rules of WriteBitmap. Returns "" or a German error text (for a PDF:
// "Datei <name> konnte nicht geschrieben werden: <reason>.").
std::string PrintPicture(QPrinter& printer, const PictureSetup& picture, const PrintOptions& options);

// The print preview: `painter` paints on a device that stands for the
// whole printable page of `page` millimetres (the preview area, or the page
// of a preview printer); the page is drawn as PrintPicture would print it.
// The caller clears the page.
void PaintPreview(QPainter& painter, const PictureSetup& picture, PageSizeMm page, const PrintOptions& options);

}  // namespace orb
