// SPDX-License-Identifier: AGPL-3.0-or-later
// The Qt canvases, drawn off screen: pixels of lines, rectangles and discs,
// font cell heights and text alignment, bitmaps of each resolution written
// as BMP and PNG, printing into a PDF file, the preview page and the window
// zoom. Sizes are worked by hand as round(mm * dpi / 25.4), halves to even.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/qt/QtCanvas.h"
#include "graphics/qt/QtBitmaps.h"
#include "graphics/qt/QtPrinting.h"
#include "support/TempDir.h"

namespace orb {
namespace {

const Color kDisc = RGBColor(200, 30, 10);
const Color kBackground = RGBColor(10, 60, 120);

// A picture that fills its background (when asked to) and draws a disc of
// radius 0.5 at the origin; it notes the drawing's geometry.
struct DiscPicture {
  std::optional<tGDIext> seen;
  PictureSetup Setup(float widthMm, float heightMm) {
    PictureSetup picture;
    picture.paint = [this](tGDIext& g) {
      g.Reset();
      if (g.PaintBackground) {
        g.BackColor = kBackground;
        g.Clear(kBackground);
      }
      g.SetBrushColor(kDisc);
      g.SetPenColor(kDisc);
      g.Circle(0, 0, 0.5f);
      seen = g;
    };
    picture.x1 = -1, picture.y1 = -1, picture.x2 = 1, picture.y2 = 1;
    picture.widthMm = widthMm, picture.heightMm = heightMm;
    picture.caption = "Orbitello32 - Scheibe";
    return picture;
  }
};

// A pixel's colour as "#rrggbb".
std::string At(const QImage& image, int x, int y) { return image.pixelColor(x, y).name().toStdString(); }
// kDisc and kBackground as pixels: 200, 30, 10 and 10, 60, 120 in hex.
const std::string kDiscPixel = "#c81e0a", kBackgroundPixel = "#0a3c78";
const std::string kWhitePixel = "#ffffff", kBlackPixel = "#000000", kRedPixel = "#ff0000";

// The bounding box of every pixel that is not white.
QRect Ink(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
  return box;
}

QImage White(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

TEST(QtBitmap, SizeAndResolutionFollowTheKind) {
  DiscPicture picture;
  const PictureSetup setup = picture.Setup(100, 50);
  // 300 dpi: 100 * 300 / 25.4 = 1181.1 -> 1181, 50 * 300 / 25.4 = 590.55 ->
  // 591; 300 / 0.0254 = 11811.02 -> 11811 dots per metre.
  const QImage hires = RenderBitmap(setup, tkBitmap300);
  EXPECT_EQ(hires.size(), QSize(1181, 591));
  EXPECT_EQ(hires.dotsPerMeterX(), 11811);
  EXPECT_EQ(hires.dotsPerMeterY(), 11811);
  ASSERT_TRUE(picture.seen);
  EXPECT_EQ(picture.seen->DpiX, 300);
  // 600 dpi: 2362.2 -> 2362 by 1181.1 -> 1181; 23622.05 -> 23622.
  const QImage xxl = RenderBitmap(setup, tkBitmap600);
  EXPECT_EQ(xxl.size(), QSize(2362, 1181));
  EXPECT_EQ(xxl.dotsPerMeterX(), 23622);
  // The graphics window chooses the size itself: 600 x 400 px at 300 dpi.
  EXPECT_EQ(RenderBitmap(setup, tkBitmap300, QSize(600, 400)).size(), QSize(600, 400));
}

TEST(QtBitmap, FilledDiscShowsItsColourOnTheBackground) {
  DiscPicture picture;
  // 40 mm at 96 dpi: 151.2 -> 151 px square; ScaleX = 151 / 2 = 75.5, the
  // disc's box from round(0.5 * 75.5) = 38 to round(1.5 * 75.5) = 113, so
  // its centre is pixel 75 and its radius 37 px.
  const QImage image = RenderBitmap(picture.Setup(40, 40), tkBitmapScreen, QSize(), 96);
  ASSERT_EQ(image.size(), QSize(151, 151));
  EXPECT_EQ(At(image, 75, 75), kDiscPixel);
  EXPECT_EQ(At(image, 75, 45), kDiscPixel);          // 30 px above the centre
  EXPECT_EQ(At(image, 75, 30), kBackgroundPixel);    // 45 px above
  EXPECT_EQ(At(image, 2, 2), kBackgroundPixel);
}

TEST(QtCanvasPixels, LinesDotsAndRectanglesCoverTheirPixels) {
  QImage image = White(60, 20);
  QPainter painter(&image);
  {
    QtCanvas canvas(painter, 96, 96);
    canvas.SetPen(kBlack, kPenSolid, 0);
    canvas.MoveTo(10, 10);
    canvas.LineTo(50, 10);
    // The one-pixel dot: move to (5, 15), line to (6, 15).
    canvas.MoveTo(5, 15);
    canvas.LineTo(6, 15);
    canvas.SetBrush(RGBColor(255, 0, 0), false);
    canvas.FillRect(20, 2, 25, 5);
  }
  painter.end();
  // The thinnest line covers exactly row 10.
  EXPECT_EQ(At(image, 30, 10), kBlackPixel);
  EXPECT_EQ(At(image, 30, 9), kWhitePixel);
  EXPECT_EQ(At(image, 30, 11), kWhitePixel);
  // The dot is its start pixel alone.
  EXPECT_EQ(At(image, 5, 15), kBlackPixel);
  EXPECT_EQ(At(image, 6, 15), kWhitePixel);
  // FillRect covers x 20..24 and y 2..4.
  EXPECT_EQ(At(image, 20, 2), kRedPixel);
  EXPECT_EQ(At(image, 24, 4), kRedPixel);
  EXPECT_EQ(At(image, 25, 4), kWhitePixel);
}

TEST(QtCanvasText, CellHeightIsTheRequestedHeight) {
  QImage image = White(10, 10);
  image.setDotsPerMeterX(11811);
  image.setDotsPerMeterY(11811);
  QtCanvas canvas(image);
  EXPECT_EQ(canvas.PixelsPerInchX(), 300);
  // Reset's font at 96, 300 and 600 dpi (17, 53, 106 px) and a small one.
  for (const char* face : {"Arial", "Tahoma", "Courier New"}) {
    for (int32_t h : {12, 17, 53, 106}) {
      canvas.SetFont(face, h, kBlack);
      const int cell = QFontMetrics(canvas.Font(), &image).height();
      EXPECT_NEAR(cell, h, 1) << face << " " << h;
      EXPECT_EQ(canvas.TextExtent("Ag").y, cell);
    }
  }
  // A negative height is the character height: the em itself.
  canvas.SetFont("Arial", -40, kBlack);
  EXPECT_EQ(canvas.Font().pixelSize(), 40);
}

// Draws "H" at (100, 60) under `align` and returns the ink's box.
QRect InkOfH(uint32_t align, bool hollow = true) {
  QImage image = White(200, 120);
  QPainter painter(&image);
  {
    QtCanvas canvas(painter, 96, 96);
    canvas.SetFont("Arial", 30, kBlack);
    canvas.SetBrush(RGBColor(255, 255, 0), hollow);
    canvas.SetTextAlign(align);
    canvas.TextOut(100, 60, "H");
  }
  painter.end();
  return Ink(image);
}

TEST(QtCanvasText, AlignmentPlacesTheTextAroundItsAnchor) {
  const QRect leftTop = InkOfH(kAlignLeft | kAlignTop);
  EXPECT_GE(leftTop.left(), 100);
  EXPECT_GE(leftTop.top(), 60);
  const QRect rightBottom = InkOfH(kAlignRight | kAlignBottom);
  EXPECT_LT(rightBottom.right(), 100);
  EXPECT_LT(rightBottom.bottom(), 60);
  // Centre and bottom (14): "H" is symmetric, so its ink centres on x.
  const QRect centreBottom = InkOfH(kAlignCenter | kAlignBottom);
  EXPECT_NEAR((centreBottom.left() + centreBottom.right() + 1) / 2.0, 100, 2);
  EXPECT_LT(centreBottom.bottom(), 60);
  // Baseline: the letter stands on row 60 (antialiasing may touch it).
  const QRect baseline = InkOfH(kAlignBaseline);
  EXPECT_NEAR(baseline.bottom(), 59, 1);
  // With a solid brush the 30-px cell is filled from the anchor on.
  const QRect opaque = InkOfH(kAlignLeft | kAlignTop, false);
  EXPECT_EQ(opaque.topLeft(), QPoint(100, 60));
  EXPECT_NEAR(opaque.height(), 30, 1);
}

std::string Head(const std::string& path, size_t n) { return test::TempDir::read(path).substr(0, n); }

TEST(QtFiles, BitmapsAreWrittenAsBmpOrPngAndReadBack) {
  test::TempDir dir;
  DiscPicture picture;
  const PictureSetup setup = picture.Setup(20, 10);
  // 20 mm at 300 dpi: 236.2 -> 236 by 118.1 -> 118.
  for (const char* name : {"bild.bmp", "Bild.PNG", "bild"}) {
    const std::string path = dir.file(name);
    EXPECT_EQ(SaveBitmap(setup, tkBitmap300, path), "");
    const QImage back(QString::fromStdString(path));
    EXPECT_EQ(back.size(), QSize(236, 118)) << name;
    EXPECT_EQ(back.dotsPerMeterX(), 11811) << name;
  }
  EXPECT_EQ(Head(dir.file("bild.bmp"), 2), "BM");
  EXPECT_EQ(Head(dir.file("bild"), 2), "BM");
  EXPECT_EQ(Head(dir.file("Bild.PNG"), 4), "\x89PNG");
  // An existing file is replaced by the new picture (600 dpi: 472 x 236).
  EXPECT_EQ(SaveBitmap(setup, tkBitmap600, dir.file("bild.bmp")), "");
  EXPECT_EQ(QImage(QString::fromStdString(dir.file("bild.bmp"))).size(), QSize(472, 236));
}

TEST(QtFiles, UnwritableFileGivesTheGermanErrorText) {
  // Each refusal names its reason, and leaves the target as it was: no
  // folder is created, a FIFO is not written into (nor replaced by a
  // regular file), a write-protected file keeps its content.
  struct Case {
    const char* what;
    std::string name;
    float widthMm;  // 0: a picture without size, which makes no bitmap
    std::string reason;
  };
  test::TempDir dir;
  ASSERT_EQ(mkfifo(dir.file("rohr.png").c_str(), 0600), 0);
  const std::string locked = dir.write("fest.bmp", "alt");
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
  const std::vector<Case> cases = {
      {"missing folder", dir.file("fehlt/bild.bmp"), 20, "Das Verzeichnis existiert nicht"},
      {"FIFO", dir.file("rohr.png"), 20, "Keine gewöhnliche Datei"},
      {"folder", dir.path().string(), 20, "Ist ein Verzeichnis"},
      {"write-protected", locked, 20, "Die Datei ist schreibgeschützt"},
      {"no bitmap", dir.file("leer.bmp"), 0, "Die Grafik konnte nicht erstellt werden"},
  };
  DiscPicture picture;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SaveBitmap(picture.Setup(c.widthMm, c.widthMm / 2), tkBitmap300, c.name),
              "Datei " + c.name + " konnte nicht geschrieben werden: " + c.reason + ".");
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("fehlt"))));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("leer.bmp"))));
  EXPECT_TRUE(std::filesystem::is_fifo(dir.file("rohr.png")));
  EXPECT_EQ(test::TempDir::read(locked), "alt");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temporary file
}

// A PDF printer at 600 dpi on A4 with 5 mm unprintable borders: a printable
// page of 200 x 287 mm.
void PdfPrinter(QPrinter& printer, const std::string& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(600);
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
                                      QPageLayout::Millimeter));
  EXPECT_TRUE(UsePdfWhenNoPrinter(printer, path));
}

TEST(QtPrinter, PrintsThePictureIntoAPdfFile) {
  test::TempDir dir;
  DiscPicture picture;
  QPrinter printer(QPrinter::HighResolution);
  // An older file of that name is replaced.
  PdfPrinter(printer, dir.write("bild.pdf", "alt"));
  EXPECT_EQ(PrintablePageMm(printer).widthMm, 200);
  EXPECT_EQ(PrintablePageMm(printer).heightMm, 287);
  PrintOptions options;
  options.leftMarginMm = 25;
  options.scaleToPage = true;
  EXPECT_EQ(PrintPicture(printer, picture.Setup(170, 144.5f), options), "");
  EXPECT_EQ(printer.docName(), "Orbitello32 - Scheibe");
  EXPECT_EQ(Head(dir.file("bild.pdf"), 5), "%PDF-");
  EXPECT_GT(test::TempDir::read(dir.file("bild.pdf")).size(), 500u);
  // Nothing but the PDF stays in the folder (no part file).
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  // On the page: margin 600 * 25 / 25.4 = 590.55 -> 591; scaled to the
  // page, f = min(175 / 170, 272 / 144.5) = 1.0294, 175 x 148.75 mm ->
  // 600 * 175 / 25.4 = 4133.9 -> 4134 by 600 * 148.75 / 25.4 = 3513.8 -> 3514.
  ASSERT_TRUE(picture.seen);
  EXPECT_EQ(picture.seen->DpiX, 600);
  EXPECT_EQ(picture.seen->OffsetX, 591);
  EXPECT_EQ(picture.seen->DevWidth, 4134);
  EXPECT_EQ(picture.seen->DevHeight, 3514);

  // A PDF in a missing folder or onto a FIFO: the German error text with
  // its reason; the job does not start, and the FIFO stays.
  const std::string missing = dir.file("fehlt/bild.pdf");
  const std::string fifo = dir.file("rohr.pdf");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const auto& [target, reason] : {std::pair{missing, "Das Verzeichnis existiert nicht"},
                                       std::pair{fifo, "Keine gewöhnliche Datei"}}) {
    picture.seen.reset();
    printer.setOutputFileName(QString::fromStdString(target));
    EXPECT_EQ(PrintPicture(printer, picture.Setup(170, 144.5f), options),
              "Datei " + target + " konnte nicht geschrieben werden: " + reason + ".");
    EXPECT_FALSE(picture.seen) << target;
    EXPECT_EQ(printer.outputFileName().toStdString(), target);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(QtPreview, PageMapsOntoThePreviewArea) {
  DiscPicture picture;
  // A 160 x 226 px preview of a 210 x 297 mm page: 19 dpi both ways
  // (160 / 210 * 25.4 = 19.35, 226 / 297 * 25.4 = 19.33); margins
  // 19 * 15 / 25.4 = 11.2 -> 11 px; a 100 x 50 mm picture: 19 * 100 / 25.4 =
  // 74.8 -> 75 by 19 * 50 / 25.4 = 37.4 -> 37 px, so x 11..85, y 11..47.
  QImage image = White(160, 226);
  QPainter painter(&image);
  PrintOptions options;
  options.leftMarginMm = 15;
  options.paintBackground = true;
  PaintPreview(painter, picture.Setup(100, 50), {210, 297}, options);
  painter.end();
  ASSERT_TRUE(picture.seen);
  EXPECT_EQ(At(image, 11, 11), kBackgroundPixel);
  EXPECT_EQ(At(image, 85, 47), kBackgroundPixel);
  EXPECT_EQ(At(image, 10, 11), kWhitePixel);
  EXPECT_EQ(At(image, 11, 10), kWhitePixel);
  EXPECT_EQ(At(image, 86, 47), kWhitePixel);
  EXPECT_EQ(At(image, 85, 48), kWhitePixel);
  EXPECT_EQ(picture.seen->DpiX, 19);

  // Without "Hintergrund drucken" the area stays white around the disc.
  QImage plain = White(160, 226);
  QPainter plainPainter(&plain);
  options.paintBackground = false;
  PaintPreview(plainPainter, picture.Setup(100, 50), {210, 297}, options);
  plainPainter.end();
  EXPECT_EQ(At(plain, 12, 12), kWhitePixel);
  EXPECT_EQ(At(plain, 48, 29), kDiscPixel);  // the disc at the area's centre
}

TEST(QtWindow, ZoomScalesTheResolutionAndDrawingsRepaint) {
  DiscPicture picture;
  QImage area = White(200, 100);  // 3780 dots per metre: 96 dpi
  QPainter painter(&area);
  PaintWindow(painter, picture.Setup(50, 25), 2);
  painter.end();
  ASSERT_TRUE(picture.seen);
  EXPECT_EQ(picture.seen->DpiX, 192);

  // A drawing kept between paints, on a canvas that lives as long.
  QtCanvas canvas(area);
  tGDIext drawing(canvas, tkWindow, picture.Setup(50, 25).paint);
  drawing.SetWindow(-1, -1, 1, 1);
  for (int paint = 0; paint < 2; ++paint) {
    area.fill(Qt::white);
    QPainter p(&area);
    PaintDrawing(drawing, canvas, p);
    EXPECT_EQ(canvas.Painter(), nullptr);
    p.end();
    EXPECT_EQ(At(area, 100, 50), kDiscPixel);
  }
}

}  // namespace
}  // namespace orb

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
