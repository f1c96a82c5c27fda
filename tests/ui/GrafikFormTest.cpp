// SPDX-License-Identifier: AGPL-3.0-or-later
// The graphics window driven as a user drives it: menu actions triggered by
// their object names, keys sent to the window, captions, sizes and pixels
// read back. The offscreen screen has 96 dpi; every size below is worked
// out for it as round(mm * 96 / 25.4) or from the client area in pixels.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTransform>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "graphics/qt/QtBitmaps.h"
#include "support/TempDir.h"
#include "PdfStreams.h"
#include "ui/GrafikFormU.h"
#include "ui/PrintControlU.h"

namespace orb {
namespace {

constexpr Color kGrey = 0x808080;  // the drawing's brush after Reset
constexpr Color kRed = 0x0000FF;   // 0x00BBGGRR

// A test picture: a world window 0..100 x 0..100 with a frame along its
// border and a filled circle of radius 25 at the centre (Reset's grey brush
// unless `disc` says otherwise).
PictureSetup TestPicture(float widthMm, float heightMm, bool proportional = true, Color disc = kGrey,
                         const std::string& caption = "Orbitello32 - Testbild") {
  PictureSetup picture;
  picture.paint = [disc](tGDIext& g) {
    g.Reset();
    g.SetBrushColor(disc);
    g.Line(1, 1, 99, 1);
    g.Line(99, 1, 99, 99);
    g.Line(99, 99, 1, 99);
    g.Line(1, 99, 1, 1);
    g.Circle(50, 50, 25);
  };
  picture.x1 = 0, picture.y1 = 0, picture.x2 = 100, picture.y2 = 100;
  picture.widthMm = widthMm, picture.heightMm = heightMm;
  picture.proportional = proportional;
  picture.caption = caption;
  return picture;
}

// The picture of the eclipse pictures' size, 170 x 144.5 mm: 643 x 546
// pixels at 96 dpi (642.52 and 546.14 rounded).
constexpr float kW = 170, kH = 144.5f;
constexpr double kNaturalW = 170 * 96 / 25.4, kNaturalH = 144.5 * 96 / 25.4;

// ---- the page of a PDF that Qt's PDF writer made ----

// Millimetres on the paper from its top left corner: the paper, the
// printable page (the first "cm" maps printer pixels to points with the
// printable page's corner as origin), the picture's drawing area (the first
// filled rectangle: the drawing is cleared first) and every point of every
// path drawn (m, l, c, re).
struct PdfPage {
  QRectF paperMm, printableMm, area;
  std::vector<QPointF> points;
};

PdfPage ReadPdfPage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray pdf = file.readAll();
  const QString latin = QString::fromLatin1(pdf);
  const auto box = QRegularExpression(QStringLiteral(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])")).match(latin);
  const QStringList streams = test::PdfPageStreams(pdf);
  if (!box.hasMatch() || streams.isEmpty()) return {};
  const QStringList tokens = streams.front().split(QRegularExpression(QStringLiteral("\\s+")));

  constexpr double kMmPerPt = 25.4 / 72;
  const double paperW = box.captured(1).toDouble() * kMmPerPt, paperH = box.captured(2).toDouble() * kMmPerPt;
  PdfPage page;
  page.paperMm = QRectF(0, 0, paperW, paperH);
  QTransform toMm;  // printer pixels -> mm from the paper's top left corner
  bool haveMatrix = false;
  std::vector<double> numbers;
  for (const QString& token : tokens) {
    bool isNumber = false;
    const double value = token.toDouble(&isNumber);
    if (isNumber) {
      numbers.push_back(value);
      continue;
    }
    const auto n = numbers.size();
    auto point = [&](std::size_t i) { return toMm.map(QPointF(numbers[i], numbers[i + 1])); };
    if (token == QLatin1String("cm") && n >= 6 && !haveMatrix) {
      // PDF points from the bottom: x' = a x + e, y' = d y + f.
      const double a = numbers[n - 6], d = numbers[n - 3], e = numbers[n - 2], f = numbers[n - 1];
      toMm = QTransform(a * kMmPerPt, 0, 0, -d * kMmPerPt, e * kMmPerPt, paperH - f * kMmPerPt);
      page.printableMm =
          QRectF(e * kMmPerPt, paperH - f * kMmPerPt, paperW - 2 * e * kMmPerPt, paperH - 2 * (paperH - f * kMmPerPt));
      haveMatrix = true;
    } else if ((token == QLatin1String("m") || token == QLatin1String("l")) && n >= 2) {
      page.points.push_back(point(n - 2));
    } else if (token == QLatin1String("c") && n >= 6) {
      for (std::size_t i = n - 6; i < n; i += 2) page.points.push_back(point(i));
    } else if (token == QLatin1String("re") && n >= 4) {
      const QPointF corner = point(n - 4);
      const QPointF opposite = toMm.map(QPointF(numbers[n - 4] + numbers[n - 2], numbers[n - 3] + numbers[n - 1]));
      page.points.push_back(corner);
      page.points.push_back(opposite);
      if (!page.area.isValid()) page.area = QRectF(corner, opposite).normalized();
    }
    numbers.clear();
  }
  return page;
}

QColor Rgb(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

class GrafikFormTest : public QObject {
  Q_OBJECT

  TGraphForm* form_ = nullptr;

  QScrollArea* Scroll() const { return form_->findChild<QScrollArea*>(); }
  QSize Client() const { return Scroll()->viewport()->size(); }
  QAction* Action(const char* name) const { return form_->findChild<QAction*>(QString::fromLatin1(name)); }
  QString InputCaption() const { return Action("Eingabe1")->text(); }
  QImage Grab() const { return form_->findChild<QWidget*>(QStringLiteral("Label1"))->grab().toImage(); }

  void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  // Opens the window on a picture as an owner does, and waits until the
  // window is shown and active (shortcuts need an active window).
  void Open(const PictureSetup& picture) {
    TGraphForm::ShowGraph(form_, picture, nullptr);
    form_->SizedOnce = true;
    QVERIFY(QTest::qWaitForWindowActive(form_));
    Settle();
  }

  // The user drags the window until its client area (without the scroll
  // bars) is `client`.
  void ResizeClient(QSize client) {
    for (int i = 0; i < 3 && Client() != client; ++i) {
      form_->resize(form_->size() + client - Client());
      Settle();
    }
    QCOMPARE(Client(), client);
  }

  void Trigger(const char* name) {
    QAction* action = Action(name);
    QVERIFY2(action != nullptr, name);
    action->trigger();
    Settle();
  }

 private slots:
  void initTestCase() {
    // The sizes of these tests are worked out for a 96-dpi screen.
    QCOMPARE(ScreenDpi(), 96);
  }

  void cleanup() {
    delete form_;
    form_ = nullptr;
  }

  // ---- view ----

  // Each zoom command, by menu or key, from 100 %: the drawing area is the
  // natural size times the zoom, "Eingabe" shows the zoom, and "Einpassen"
  // is off afterwards.
  void zoomCommands_data() {
    QTest::addColumn<QStringList>("steps");  // action names, or "key:" and a key
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("caption");
    const double root2 = std::sqrt(2.0);
    QTest::newRow("Zoom in twice") << QStringList{"Zoomin", "Zoomin"} << 2.0 << "Eingabe (200%)";
    QTest::newRow("Zoom out once") << QStringList{"Zoomout"} << 1 / root2 << "Eingabe (71%)";  // 0.7071
    QTest::newRow("+ key twice") << QStringList{"key:+", "key:+"} << 2.0 << "Eingabe (200%)";
    QTest::newRow("- key") << QStringList{"key:-"} << 1 / root2 << "Eingabe (71%)";
    QTest::newRow("keypad /") << QStringList{"key:KP/"} << 1 / root2 << "Eingabe (71%)";
    QTest::newRow("25%") << QStringList{"N251"} << 0.25 << "Eingabe (25%)";
    QTest::newRow("50%") << QStringList{"N501"} << 0.5 << "Eingabe (50%)";
    QTest::newRow("70%") << QStringList{"N701"} << 0.7 << "Eingabe (70%)";
    QTest::newRow("140%") << QStringList{"N1401"} << 1.4 << "Eingabe (140%)";
    QTest::newRow("200%") << QStringList{"N2001"} << 2.0 << "Eingabe (200%)";
    QTest::newRow("400% then Return") << QStringList{"N4001", "key:Return"} << 1.0 << "Eingabe (100%)";
    QTest::newRow("Einpassen then 140%") << QStringList{"SeitenbreiteMen", "N1401"} << 1.4 << "Eingabe (140%)";
  }
  void zoomCommands() {
    QFETCH(QStringList, steps);
    QFETCH(double, zoom);
    QFETCH(QString, caption);
    Open(TestPicture(kW, kH));
    for (const QString& step : steps) {
      if (step == "key:+")
        QTest::keyClick(form_, Qt::Key_Plus);
      else if (step == "key:-")
        QTest::keyClick(form_, Qt::Key_Minus);
      else if (step == "key:KP/")
        QTest::keyClick(form_, Qt::Key_Slash, Qt::KeypadModifier);
      else if (step == "key:Return")
        QTest::keyClick(form_, Qt::Key_Return);
      else
        Trigger(step.toLatin1().constData());
      Settle();
    }
    QCOMPARE(InputCaption(), caption);
    QVERIFY(!Action("SeitenbreiteMen")->isChecked());
    QCOMPARE(form_->DrawingAreaSize(), QSize(int(std::lround(kNaturalW * zoom)), int(std::lround(kNaturalH * zoom))));
  }

  // The drawing area under "Proportional" and "Einpassen" with the picture
  // 170 x 144.5 mm in a client area of 800 x 400 (twice as wide as high,
  // without the scroll bars); the circle stays at the area's centre.
  void viewModes_data() {
    QTest::addColumn<bool>("proportional");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QString>("zoomAction");  // chosen before the switches, or empty
    QTest::addColumn<QSize>("area");
    QTest::addColumn<bool>("scrollBars");
    QTest::addColumn<QString>("caption");
    // Zoom = 400 / 546.14 = 0.7324 (the height decides); width 642.52 * 0.7324
    // = 470.6 -> 471: the full height, the right 329 pixels empty.
    QTest::newRow("Proportional, Einpassen") << true << true << "" << QSize(471, 400) << false << "Eingabe (73%)";
    // Stretched to the client area each way.
    QTest::newRow("Einpassen alone") << false << true << "" << QSize(800, 400) << false << "Eingabe (100%)";
    // Twice the client area each way.
    QTest::newRow("neither, 200%") << false << false << "N2001" << QSize(1600, 800) << true << "Eingabe (200%)";
    // The natural size twice: 642.52 * 2 and 546.14 * 2 rounded.
    QTest::newRow("Proportional, 200%") << true << false << "N2001" << QSize(1285, 1092) << true << "Eingabe (200%)";
  }
  void viewModes() {
    QFETCH(bool, proportional);
    QFETCH(bool, fit);
    QFETCH(QString, zoomAction);
    QFETCH(QSize, area);
    QFETCH(bool, scrollBars);
    QFETCH(QString, caption);
    Open(TestPicture(kW, kH));
    if (!zoomAction.isEmpty()) Trigger(zoomAction.toLatin1().constData());
    if (Action("Proportional")->isChecked() != proportional) Trigger("Proportional");
    if (Action("SeitenbreiteMen")->isChecked() != fit) Trigger("SeitenbreiteMen");
    ResizeClient(QSize(800, 400));
    QCOMPARE(form_->DrawingAreaSize(), area);
    QCOMPARE(Scroll()->horizontalScrollBar()->isVisible(), scrollBars);
    QCOMPARE(Scroll()->verticalScrollBar()->isVisible(), scrollBars);
    QCOMPARE(InputCaption(), caption);
    // The circle (radius a quarter of the world window) at the centre, the
    // area white between it and the frame.
    const QImage image = Grab();
    QCOMPARE(image.size(), area);
    QCOMPARE(image.pixelColor(area.width() / 2, area.height() / 2), Rgb(kGrey));
    QCOMPARE(image.pixelColor(area.width() / 10, area.height() / 2), Rgb(kWhite));
    QCOMPARE(image.pixelColor(area.width() / 2, area.height() / 10), Rgb(kWhite));
  }

  // "Eingabe" reads the first integer of the answer as percent; an answer
  // without a positive number changes nothing.
  void zoomInput_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("caption");
    QTest::newRow("letters only") << "abc"
                                  << "Eingabe (100%)";
    QTest::newRow("number among letters") << "abc150xyz"
                                          << "Eingabe (150%)";
    QTest::newRow("cancelled") << ""
                               << "Eingabe (100%)";
    QTest::newRow("negative") << "-50"
                              << "Eingabe (100%)";
    QTest::newRow("zero") << "0"
                          << "Eingabe (100%)";
    QTest::newRow("with blank and sign") << " 35 %"
                                         << "Eingabe (35%)";
  }
  void zoomInput() {
    QFETCH(QString, answer);
    QFETCH(QString, caption);
    Open(TestPicture(kW, kH));
    int asked = 0;
    form_->askZoom = [&] {
      ++asked;
      return answer;
    };
    Trigger("Eingabe1");
    QCOMPARE(asked, 1);
    QCOMPARE(InputCaption(), caption);
  }

  // "Fenstergröße anpassen": the client area takes the drawing area, also
  // when the narrow window wraps the menu bar (50 %: 321 x 273 pixels).
  void fitWindowToDrawing() {
    Open(TestPicture(kW, kH));
    Trigger("N501");
    Trigger("Fenstergreanpassen1");
    QCOMPARE(form_->DrawingAreaSize(), QSize(321, 273));  // 642.52 / 2 and 546.14 / 2 rounded
    QCOMPARE(Client(), QSize(321, 273));
    QVERIFY(!Scroll()->horizontalScrollBar()->isVisible());
  }

  // ---- saving ----

  // The bitmap of each kind shows what the window shows at zoom 1 at the
  // kind's resolution: the client area's shape, or with "Proportional" the
  // picture's natural size. The client area is 600 x 400, the picture
  // 170 x 144.5 mm; the zoom (200 %) does not matter.
  // The sizes of the saved bitmaps (client area 600 x 400, zoom 200 %),
  // and the shape of the disc in them: stretched with the bitmap, or in the
  // picture's own proportions (170 : 144.5) with "Proportional".
  void saveSizes_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("proportional");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<double>("discShape");  // width / height of the disc
    QTest::newRow("screen") << "SaveScreenDPI" << false << "a.bmp" << QSize(600, 400) << QByteArray("bmp")
                            << 600.0 / 400;
    // 600 * 300 / 96 = 1875, 400 * 300 / 96 = 1250
    QTest::newRow("300 dpi") << "SaveHiRes300dpi" << false << "b.bmp" << QSize(1875, 1250) << QByteArray("bmp")
                             << 1875.0 / 1250;
    // twice the 300-dpi sizes, as PNG by the name
    QTest::newRow("600 dpi, PNG") << "SaveXXL600dpi" << false << "c.PNG" << QSize(3750, 2500) << QByteArray("png")
                                  << 3750.0 / 2500;
    // 170 and 144.5 mm at 96 dpi
    QTest::newRow("screen, proportional")
        << "SaveScreenDPI" << true << "d.png" << QSize(643, 546) << QByteArray("png") << 170 / 144.5;
    QTest::newRow("300 dpi, proportional")
        << "SaveHiRes300dpi" << true << "e.bmp" << QSize(1875, 1250) << QByteArray("bmp") << 170 / 144.5;
  }
  void saveSizes() {
    QFETCH(QString, item);
    QFETCH(bool, proportional);
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);
    QFETCH(double, discShape);
    const test::TempDir dir;
    Open(TestPicture(kW, kH, proportional));
    Trigger("N2001");
    ResizeClient(QSize(600, 400));
    const QString path = QString::fromStdString(dir.file(file.toStdString()));
    form_->askSaveFileName = [&] { return path; };
    Trigger(item.toLatin1().constData());
    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QCOMPARE(image.size(), size);
    // The grey disc's extent (its black outline aside).
    QRect disc;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == Rgb(kGrey)) disc |= QRect(x, y, 1, 1);
      }
    }
    QVERIFY(!disc.isEmpty());
    const double shape = static_cast<double>(disc.width()) / disc.height();
    QVERIFY2(std::abs(shape / discShape - 1) < 0.02, qPrintable(QString::number(shape)));  // a pixel in 200
    QCOMPARE(image.pixelColor(disc.center()), Rgb(kGrey));
    QCOMPARE(image.pixelColor(disc.left() / 2, disc.center().y()), Rgb(kWhite));
  }

  // The user picks the screen resolution by the item's caption.
  void screenItemNamesResolution() {
    Open(TestPicture(kW, kH));
    QCOMPARE(Action("SaveScreenDPI")->text(), QString("&Bildschirmauflösung 96 dpi"));
  }

  // The file name: ".bmp" added when it has no extension; an existing file
  // brings the question, No asks for the name again, Cancel stops, Yes
  // replaces the file.
  void saveAsksName_data() {
    QTest::addColumn<QStringList>("names");   // the answers to the file dialog ("" = cancelled)
    QTest::addColumn<QList<int>>("answers");  // the answers to the overwrite question
    QTest::addColumn<QString>("written");     // the file that receives the bitmap, or ""
    const int yes = QMessageBox::Yes, no = QMessageBox::No, cancel = QMessageBox::Cancel;
    QTest::newRow("no extension") << QStringList{"neu"} << QList<int>{} << "neu.bmp";
    QTest::newRow("dialog cancelled") << QStringList{""} << QList<int>{} << "";
    QTest::newRow("exists, No, new name") << QStringList{"alt.bmp", "neu.bmp"} << QList<int>{no} << "neu.bmp";
    QTest::newRow("exists, No, cancelled") << QStringList{"alt.bmp", ""} << QList<int>{no} << "";
    QTest::newRow("exists, Cancel") << QStringList{"alt.bmp"} << QList<int>{cancel} << "";
    QTest::newRow("exists, Yes") << QStringList{"alt.bmp"} << QList<int>{yes} << "alt.bmp";
    QTest::newRow("exists without extension, Yes") << QStringList{"alt"} << QList<int>{yes} << "alt.bmp";
  }
  void saveAsksName() {
    QFETCH(QStringList, names);
    QFETCH(QList<int>, answers);
    QFETCH(QString, written);
    const test::TempDir dir;
    const std::string oldContent = "old picture";
    const QString oldFile = QString::fromStdString(dir.write("alt.bmp", oldContent));
    const auto inDir = [&](const QString& name) {
      return name.isEmpty() ? name : QString::fromStdString(dir.file(name.toStdString()));
    };
    Open(TestPicture(kW, kH));
    int nameCalls = 0;
    form_->askSaveFileName = [&] { return nameCalls < names.size() ? inDir(names[nameCalls++]) : QString(); };
    QStringList questions;
    form_->askOverwrite = [&](const QString& question) {
      questions << question;
      return questions.size() <= answers.size() ? answers[questions.size() - 1] : int(QMessageBox::Cancel);
    };
    Trigger("SaveScreenDPI");
    QCOMPARE(nameCalls, names.size());
    QCOMPARE(questions.size(), answers.size());
    for (const QString& q : questions) QCOMPARE(q, "Datei " + oldFile + " ist schon vorhanden! Überschreiben?");
    const bool oldReplaced = written == "alt.bmp";
    QCOMPARE(test::TempDir::read(oldFile.toStdString()) == oldContent, !oldReplaced);
    if (!written.isEmpty()) QCOMPARE(QImage(inDir(written)).size(), QSize(643, 546));  // the natural size
    const QStringList files = QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files);
    QCOMPARE(files.size(), 1 + int(!written.isEmpty() && !oldReplaced));
  }

  // A file that cannot be written: the error text in a message box, the
  // window as it was.
  void saveErrorShown() {
    const test::TempDir dir;
    Open(TestPicture(kW, kH));
    Trigger("N1401");
    const QSize area = form_->DrawingAreaSize();
    const QString path = QString::fromStdString(dir.file("fehlt/bild.bmp"));  // a missing folder
    form_->askSaveFileName = [&] { return path; };
    QStringList errors;
    form_->showError = [&](const QString& text) { errors << text; };
    Trigger("SaveHiRes300dpi");
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Datei " + path + " konnte nicht geschrieben werden: "), qPrintable(errors[0]));
    QCOMPARE(QString::fromStdString(form_->SaveBitmapAs(2, path)), errors[0]);
    QCOMPARE(form_->DrawingAreaSize(), area);
    QCOMPARE(InputCaption(), QString("Eingabe (140%)"));
    QVERIFY(form_->isVisible());
  }

  // ---- the owner ----

  // The first picture sizes the window to its natural size on the screen;
  // once SizedOnce, the next one keeps the user's size and place and brings
  // its own paint procedure, world window, size, caption and "Proportional".
  void showGraphTwice() {
    TGraphForm::ShowGraph(form_, TestPicture(kW, kH), nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    Settle();
    QCOMPARE(Client(), QSize(643, 546));
    QCOMPARE(form_->windowTitle(), QString("Orbitello32 - Testbild"));
    QCOMPARE(form_->PrintMarginMm, 25.0f);
    form_->SizedOnce = true;
    ResizeClient(QSize(500, 300));
    const QRect placed = form_->geometry();

    TGraphForm* const first = form_;
    // 100 x 50 mm, not proportional, a red disc.
    TGraphForm::ShowGraph(form_, TestPicture(100, 50, false, kRed, "Orbitello32 - Zweites Bild"), nullptr);
    Settle();
    QCOMPARE(form_, first);
    QCOMPARE(form_->geometry(), placed);
    QCOMPARE(form_->windowTitle(), QString("Orbitello32 - Zweites Bild"));
    QVERIFY(!Action("Proportional")->isChecked());
    // Not proportional: the client area at 100 % (the scroll bars have gone).
    QCOMPARE(form_->DrawingAreaSize(), Client());
    QVERIFY(!Scroll()->horizontalScrollBar()->isVisible());
    const QImage image = Grab();
    QCOMPARE(image.pixelColor(250, 150), Rgb(kRed));
    // Proportional again: 100 x 50 mm is 378 x 189 pixels (377.95, 188.98).
    Trigger("Proportional");
    QCOMPARE(form_->DrawingAreaSize(), QSize(378, 189));
  }

  // A window placed beyond the screen's edges comes back onto the screen;
  // a picture without a caption leaves the window's own.
  void showGraphKeepsOnScreen() {
    form_ = new TGraphForm;
    const QRect screen = form_->screen()->availableGeometry();
    form_->move(screen.right() + 200, screen.bottom() + 200);
    // 100 x 50 mm: smaller than the offscreen screen.
    TGraphForm::ShowGraph(form_, TestPicture(100, 50, true, kGrey, ""), nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    QCOMPARE(form_->windowTitle(), QString("Graphikausgabe"));
    QVERIFY2(screen.contains(form_->frameGeometry()), "window off the screen");
    form_->move(screen.left() - 300, screen.top() - 300);
    form_->hide();
    TGraphForm::ShowGraph(form_, TestPicture(100, 50), nullptr);
    QVERIFY2(screen.contains(form_->frameGeometry()), "window off the screen");
  }

  // The owner's entries follow the window's menus, each tag once, all in
  // sight (the window sized by ShowGraph grows with its menu bar); their
  // keys trigger them.
  void ownerMenuEntries() {
    Open(TestPicture(100, 50));  // 378 pixels wide: narrower than the menu bar
    int back = 0, take = 0, forward = 0;
    for (int round = 0; round < 2; ++round) {
      form_->AddMenuEntry("|   <= &zurück  ", 1, QKeySequence(Qt::Key_Left), [&] { ++back; });
      form_->AddMenuEntry("  &Datum übernehmen  ", 2, QKeySequence(), [&] { ++take; });
      form_->AddMenuEntry("  &weiter =>  ", 3, QKeySequence(Qt::Key_Right), [&] { ++forward; });
    }
    QStringList captions;
    for (const QAction* a : form_->menuBar()->actions()) captions << a->text();
    QCOMPARE(captions, (QStringList{"&Speichern", "&Drucken", "Zoom", "Fenstergröße anpassen", "Einpassen",
                                    "Proportional", "|   <= &zurück  ", "  &Datum übernehmen  ", "  &weiter =>  "}));
    // As wide as the menu bar needs, unless the screen is narrower (the
    // offscreen screen is 800 pixels wide).
    const int screenWidth = form_->screen()->availableGeometry().width();
    const int frame = form_->frameGeometry().width() - form_->width();
    QCOMPARE(form_->width(), std::min(form_->menuBar()->sizeHint().width(), screenWidth - frame));
    QVERIFY(form_->width() > 378);
    QVERIFY(form_->screen()->availableGeometry().contains(form_->frameGeometry()));
    QTest::keyClick(form_, Qt::Key_Left);
    QTest::keyClick(form_, Qt::Key_Right);
    QTest::keyClick(form_, Qt::Key_Right);
    QCOMPARE(back, 1);
    QCOMPARE(forward, 2);
    form_->menuBar()->actions()[7]->trigger();
    QCOMPARE(take, 1);
  }

  // ---- printing ----

  // "Einpassen" prints the picture scaled to the page: with "Proportional"
  // in its own proportions, without it over the whole area right of the
  // left margin (25 mm) and below the top margin (15 mm); either way every
  // stroke stays on the paper. Checked in the PDF the print dialog writes.
  void printScaledToThePage_data() {
    QTest::addColumn<float>("widthMm");
    QTest::addColumn<float>("heightMm");
    QTest::addColumn<bool>("proportional");
    QTest::newRow("wide, proportional") << 300.0f << 100.0f << true;
    QTest::newRow("tall, proportional") << 100.0f << 400.0f << true;
    QTest::newRow("wide, stretched") << 300.0f << 100.0f << false;
  }
  void printScaledToThePage() {
    QFETCH(float, widthMm);
    QFETCH(float, heightMm);
    QFETCH(bool, proportional);
    test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("bild.pdf"));
    Open(TestPicture(widthMm, heightMm, proportional));
    form_->SetFitToWindow(true);
    form_->SetProportional(proportional);
    TPrintControl& dialog = SharedPrintDialog(form_);
    dialog.askPdfFileName = [&] { return path; };
    QTimer::singleShot(0, &dialog, [&] {
      auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("PrnList"));
      printers->setCurrentIndex(printers->count() - 1);  // "In PDF-Datei drucken"
      QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    });
    QCOMPARE(form_->Print(), std::string());

    const PdfPage page = ReadPdfPage(path);
    QVERIFY2(page.area.isValid(), "no drawing area in the PDF");
    // Every point drawn lies on the paper.
    for (const QPointF& p : page.points)
      QVERIFY2(page.paperMm.contains(p), qPrintable(QStringLiteral("%1 %2 mm").arg(p.x()).arg(p.y())));
    // The area starts at the margins of the printable page and reaches its
    // right or bottom edge (to a millimetre: the page is whole millimetres).
    const QRectF printable = page.printableMm;
    QVERIFY(std::abs(page.area.left() - (printable.left() + 25)) < 0.1);
    QVERIFY(std::abs(page.area.top() - (printable.top() + 15)) < 0.1);
    QVERIFY(page.area.right() <= printable.right() + 0.1 && page.area.bottom() <= printable.bottom() + 0.1);
    const bool fillsWidth = page.area.right() > printable.right() - 1;
    const bool fillsHeight = page.area.bottom() > printable.bottom() - 1;
    if (proportional) {
      QVERIFY(fillsWidth || fillsHeight);
      QVERIFY(std::abs(page.area.width() / page.area.height() - widthMm / heightMm) < 0.01);
    } else {
      QVERIFY(fillsWidth && fillsHeight);
    }
  }

  // Escape hides the window (and it keeps its size from then on); the
  // destruction calls OnFreeProc.
  void escapeHidesDestructorFrees() {
    TGraphForm::ShowGraph(form_, TestPicture(kW, kH), nullptr);
    QVERIFY(QTest::qWaitForWindowActive(form_));
    QVERIFY(!form_->SizedOnce);
    QTest::keyClick(form_, Qt::Key_Escape);
    QVERIFY(!form_->isVisible());
    QVERIFY(form_->SizedOnce);
    int freed = 0;
    form_->OnFreeProc = [&] { ++freed; };
    delete form_;
    form_ = nullptr;
    QCOMPARE(freed, 1);
  }
};

}  // namespace orb

QTEST_MAIN(orb::GrafikFormTest)
#include "GrafikFormTest.moc"
