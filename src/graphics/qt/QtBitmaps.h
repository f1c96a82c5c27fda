// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// A picture drawn into the Qt targets that need Qt Gui alone: a QImage
// bitmap at screen resolution, 300 or 600 dpi (written as BMP, or PNG) and
// the graphics window. Each function builds the drawing of its kind over a
// QtCanvas, sets the picture's world window and calls its paint procedure.
// The printer and the print preview are in QtPrinting.h.

#include <QImage>
#include <QSize>
#include <string>

#include "graphics/PictureSetup.h"
#include "graphics/GDIext.h"

class QPainter;

namespace orb {

class QtCanvas;

// "Datei <name> konnte nicht geschrieben werden: <reason>." of a picture file.
std::string FileError(const std::string& fileName, const std::string& reason);

// ---- bitmaps ----

// The screen's logical pixels per inch (96 without a screen).
int32_t ScreenDpi();
// Pixels per inch of a bitmap kind: 300, 600, or `screenDpi` for the screen kind.
int32_t BitmapDpi(TargetKind kind, int32_t screenDpi);
// The picture's natural size at `dpi`: round(mm * dpi / 25.4) each way.
QSize NaturalBitmapSize(const PictureSetup& picture, int32_t dpi);

// The picture in a bitmap of kind tkBitmapScreen, tkBitmap300 or
// tkBitmap600 (other kinds draw as tkBitmapScreen), of `size` pixels or, when
// `size` is not valid, of its natural size at the kind's resolution. The
// image carries its resolution (dots per metre). `screenDpi` 0 takes the
// screen's. A size that cannot be allocated, or a program without a
// QGuiApplication (fonts need one; the offscreen platform will do), gives a
// null image.
QImage RenderBitmap(const PictureSetup& picture, TargetKind kind, QSize size = QSize(), int32_t screenDpi = 0);

// Writes the image as PNG when the name ends in ".png" (any case), as BMP
// otherwise, by ReplaceFileContents (core/SafeFile.h): an existing file is
// replaced only by a complete new one and keeps its permissions; a folder,
// FIFO or device of that name and a write-protected file are refused; a
// missing folder is not created. Returns "" or the German error text
// "Datei <name> konnte nicht geschrieben werden: <reason>.".
std::string WriteBitmap(const QImage& image, const std::string& fileName);

// RenderBitmap, then WriteBitmap.
std::string SaveBitmap(const PictureSetup& picture, TargetKind kind, const std::string& fileName, QSize size = QSize(),
                       int32_t screenDpi = 0);

// ---- graphics window ----

// The picture on a window's drawing area at `zoom` (in its paint event).
void PaintWindow(QPainter& painter, const PictureSetup& picture, float zoom);

// One paint of a drawing kept between paints (the window's or the preview
// area's): makes `canvas` the drawing's canvas, binds the painter to it,
// calls the paint procedure and releases the painter again.
void PaintDrawing(tGDIext& drawing, QtCanvas& canvas, QPainter& painter);

}  // namespace orb
