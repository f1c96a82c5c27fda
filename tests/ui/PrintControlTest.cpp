// SPDX-License-Identifier: AGPL-3.0-or-later
// The print dialog driven through its widgets on the offscreen platform
// (typing into the margin field, clicking the orientation and scaling
// boxes, OK, Enter and Escape), and the text printer checked on the PDF
// pages it writes: where each piece of text lands, and how many pages.
//
// The machine has no printer; nothing here depends on installed printers:
// the dialog's printer list ends with "In PDF-Datei drucken" in any case,
// and the text printer's tests print into PDF files in temporary folders.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <limits>
#include <memory>
#include <sys/stat.h>

#include "core/SafeFile.h"
#include "support/TempDir.h"
#include "PdfStreams.h"
#include "ui/PrintControlU.h"

using orb::TPrintControl;

namespace {

// ---- pictures that report what the preview asked of them ----

// What the preview drawing held at its last paint, and how often it painted.
struct Seen {
  Seen() { clock.start(); }
  QElapsedTimer clock;
  qint64 paintedAtMs = -1;  // on `clock`
  int paints = 0;
  float pageWidthMm = 0, pageHeightMm = 0;
  float areaWidthMm = 0, areaHeightMm = 0;
  float leftMarginMm = 0;
};

// A picture of `widthMm` x `heightMm` whose drawing area is painted black
// all over, so that the preview image shows where the area lies.
orb::PictureSetup BlackPicture(float widthMm, float heightMm, const std::shared_ptr<Seen>& seen) {
  orb::PictureSetup picture;
  picture.x1 = 0, picture.y1 = 0, picture.x2 = widthMm, picture.y2 = heightMm;
  picture.widthMm = widthMm, picture.heightMm = heightMm;
  picture.paint = [seen](orb::tGDIext& g) {
    g.Reset();
    g.Clear(orb::kBlack);
    ++seen->paints;
    seen->paintedAtMs = seen->clock.elapsed();
    seen->pageWidthMm = g.PageWidthMm, seen->pageHeightMm = g.PageHeightMm;
    seen->areaWidthMm = g.AreaWidthMm, seen->areaHeightMm = g.AreaHeightMm;
    seen->leftMarginMm = g.LeftMarginMm;
  };
  return picture;
}

template <typename T>
T* Child(QWidget& dialog, const char* name) {
  T* child = dialog.findChild<T*>(QString::fromLatin1(name));
  if (!child) qFatal("no %s in the print dialog", name);
  return child;
}

void Show(TPrintControl& dialog) {
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

// A click on a radio button's or check box's caption, where the user
// clicks (the widget may be wider than its caption).
void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->sizeHint().width() / 2, button->height() / 2));
}

// Replaces the whole text of a line edit by typing: Ctrl+A, then the keys.
void TypeInto(QWidget* edit, const QString& keys) {
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(edit, keys);
}

// The message boxes opened while `action` runs: their caption and text,
// each answered with OK.
QStringList MessagesDuring(const std::function<void()>& action) {
  QStringList messages;
  QTimer watcher;
  watcher.setInterval(10);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      messages << box->windowTitle() + QStringLiteral(": ") + box->text();
      box->button(QMessageBox::Ok)->click();
    }
  });
  watcher.start();
  action();
  return messages;
}

// ---- PDF pages as the text printer wrote them ----

// A piece of text on a PDF page (one drawing of a run of characters): its
// start on the baseline in printer pixels from the printable page's corner,
// and its distance from the paper's left edge in millimetres.
struct PdfRun {
  double x = 0, y = 0;
  double paperXMm = 0;
};

double Number(const QRegularExpressionMatch& match, int group) { return match.captured(group).toDouble(); }

// The runs of every page of a PDF that Qt's PDF writer made: each page's
// content stream (Flate) starts with the matrix from printer pixels to
// points ("a 0 0 d e f cm"); each run is a text object whose first "x y Td"
// is its start in pixels (the text matrix turns y over).
QList<QList<PdfRun>> PdfPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray pdf = file.readAll();
  QList<QList<PdfRun>> pages;
  const QRegularExpression matrix(QStringLiteral(R"(([-\d.]+) 0 0 ([-\d.]+) ([-\d.]+) ([-\d.]+) cm)"));
  const QRegularExpression textObject(QStringLiteral(R"(BT\n[^\n]*\n([-\d.]+) ([-\d.]+) Td)"));
  for (const QString& content : orb::test::PdfPageStreams(pdf)) {
    if (content.isEmpty()) return {};
    const auto cm = matrix.match(content);
    if (!cm.hasMatch()) return {};
    QList<PdfRun> runs;
    for (auto text = textObject.globalMatch(content); text.hasNext();) {
      const auto td = text.next();
      PdfRun run;
      run.x = Number(td, 1);
      run.y = -Number(td, 2);
      run.paperXMm = (Number(cm, 3) + Number(cm, 1) * run.x) * 25.4 / 72;
      runs << run;
    }
    pages << runs;
  }
  return pages;
}

// A PDF printer at 1200 dpi on A4 portrait with 5 mm unprintable borders
// (the border TextIndentBlanks assumes): a printable page of 200 x 287 mm.
void PdfPrinter(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
                                    QPageLayout::Millimeter));
  printer.setOutputFileName(path);
}

// Liberation Mono 12 pt: every character 1229/2048 em wide, a blank of
// 12 pt * 0.6001 = 7.2 pt = 2.540 mm; lines (1705 + 615)/2048 em =
// 13.59 pt = 4.796 mm apart.
QFont TwelvePointMono() {
  QFont font(QStringLiteral("Liberation Mono"));
  font.setPointSize(12);
  return font;
}
constexpr double kMonoBlankMm = 2.540;

// "8", "8.5": to a tenth, without a sign on zero.
QString Tenths(double value) { return QString::number(std::round(value * 10) / 10 + 0.0); }

// The text's runs as "page:column:line" (page from 1; column in character
// widths behind the indent; line from the page's top), separated by blanks.
QString Layout(const QList<QList<PdfRun>>& pages, QPrinter& printer, const QFont& font, float marginMm) {
  const QFontMetricsF metrics(font, &printer);
  const double charWidth = metrics.horizontalAdvance(QLatin1Char(' '));
  const double indent = orb::TextIndentBlanks(marginMm, kMonoBlankMm) * charWidth;
  QStringList runs;
  for (int page = 0; page < pages.size(); ++page) {
    for (const PdfRun& run : pages[page]) {
      const double column = (run.x - indent) / charWidth;
      const double line = (run.y - metrics.ascent()) / metrics.lineSpacing();
      runs << QStringLiteral("%1:%2:%3").arg(page + 1).arg(Tenths(column), Tenths(line));
    }
  }
  return runs.join(u' ');
}

}  // namespace

class PrintControlTest : public QObject {
  Q_OBJECT

 private slots:
  // ==== the text printer ====

  void indentBlanks_data() {
    QTest::addColumn<float>("marginMm");
    QTest::addColumn<float>("blankMm");
    QTest::addColumn<int>("blanks");
    // 10 mm right of the 5 mm border: 4 blanks of 2.5 mm.
    QTest::newRow("15 mm, blank 2.5 mm") << 15.0f << 2.5f << 4;
    // Inside the printer's border: no indent, never a negative one.
    QTest::newRow("4 mm, blank 2.5 mm") << 4.0f << 2.5f << 0;
    QTest::newRow("0 mm, blank 2.5 mm") << 0.0f << 2.5f << 0;
    // 11.25 / 2.5 = 4.5 blanks: halves to even, as everywhere in the drawing layer.
    QTest::newRow("16.25 mm, blank 2.5 mm") << 16.25f << 2.5f << 4;
    // A font without a blank's width: 1.5 mm; (8 - 5) / 1.5 = 2.
    QTest::newRow("8 mm, no blank width") << 8.0f << 0.0f << 2;
    // No length at all, and beyond any page: no undefined conversion.
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 2.5f << 0;
    QTest::newRow("1e30 mm") << 1e30f << 2.5f << std::numeric_limits<int>::max();
  }
  void indentBlanks() {
    QFETCH(float, marginMm);
    QFETCH(float, blankMm);
    QFETCH(int, blanks);
    QCOMPARE(orb::TextIndentBlanks(marginMm, blankMm), blanks);
  }

  void textStartsAtTheMargin_data() {
    QTest::addColumn<float>("marginMm");
    QTest::addColumn<double>("firstGlyphMm");
    QTest::newRow("15 mm") << 15.0f << 15.0;
    QTest::newRow("25 mm") << 25.0f << 25.0;
    // Narrower than the unprintable border: the text starts at the border.
    QTest::newRow("3 mm") << 3.0f << 5.0;
  }
  void textStartsAtTheMargin() {
    QFETCH(float, marginMm);
    QFETCH(double, firstGlyphMm);
    orb::test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("text.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, path);
    QCOMPARE(orb::PrintText(printer, TwelvePointMono(), QStringLiteral("Mond\nSonne"), marginMm), std::string());
    const auto pages = PdfPages(path);
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].size(), 2);
    for (const PdfRun& run : pages[0]) {
      // Whole blanks: at most half a blank off; Qt puts the 5 mm border on
      // whole points of the page (4.93 mm): 0.1 mm more.
      QVERIFY2(std::abs(run.paperXMm - firstGlyphMm) <= kMonoBlankMm / 2 + 0.1,
               qPrintable(QString::number(run.paperXMm)));
    }
  }

  void textLayout_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("runs");  // "page:column:line" of each piece of text
    QTest::newRow("form feed") << QStringLiteral("Mond\fSonne") << 2 << QStringLiteral("1:0:0 2:0:0");
    // A form feed that nothing follows leaves no empty page; two in a row leave one.
    QTest::newRow("form feed at the end") << QStringLiteral("Mond\f") << 1 << QStringLiteral("1:0:0");
    QTest::newRow("two form feeds") << QStringLiteral("Mond\f\fSonne") << 3 << QStringLiteral("1:0:0 3:0:0");
    // "AB" then a tab: column 8; eight characters then a tab: column 16.
    QTest::newRow("tabs and CR LF") << QStringLiteral("AB\tC\r\nABCDEFGH\tI\r\n\tJ") << 1
                                    << QStringLiteral("1:0:0 1:8:0 1:0:1 1:16:1 1:8:2");
    QTest::newRow("empty line") << QStringLiteral("Mond\n\nSonne") << 1 << QStringLiteral("1:0:0 1:0:2");
    QTest::newRow("carriage return alone") << QStringLiteral("Mond\rSonne") << 1 << QStringLiteral("1:0:0 1:4:0");
    // 287 mm of printable height / 4.796 mm per line = 59.8: 59 whole lines
    // on the first page, the other 41 of 100 on the second.
    QString hundredLines, expected;
    for (int i = 0; i < 100; ++i) {
      hundredLines += QStringLiteral("Zeile %1\n").arg(i + 1);
      expected += (i ? QStringLiteral(" ") : QString()) +
                  (i < 59 ? QStringLiteral("1:0:%1").arg(i) : QStringLiteral("2:0:%1").arg(i - 59));
    }
    QTest::newRow("longer than a page") << hundredLines << 2 << expected;
  }
  void textLayout() {
    QFETCH(QString, text);
    QFETCH(int, pages);
    QFETCH(QString, runs);
    orb::test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("text.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, path);
    const QFont font = TwelvePointMono();
    QCOMPARE(orb::PrintText(printer, font, text, 15), std::string());
    const auto written = PdfPages(path);
    QCOMPARE(written.size(), pages);
    QCOMPARE(Layout(written, printer, font, 15), runs);
  }

  void textIntoAFile_data() {
    QTest::addColumn<QString>("target");  // what stands at the file's place
    QTest::addColumn<QString>("error");   // part of the error text, empty: none
    QTest::newRow("old file") << QStringLiteral("file") << QString();
    QTest::newRow("write-protected file") << QStringLiteral("protected")
                                          << QString::fromUtf8(orb::kWriteProtectedReason);
    QTest::newRow("FIFO") << QStringLiteral("fifo") << QString::fromUtf8(orb::kNotRegularReason);
  }
  void textIntoAFile() {
    QFETCH(QString, target);
    QFETCH(QString, error);
    orb::test::TempDir dir;
    const std::string path = dir.file("text.pdf");
    if (target == QLatin1String("fifo")) {
      QCOMPARE(mkfifo(path.c_str(), 0644), 0);
    } else {
      dir.write("text.pdf", "alt");
      if (target == QLatin1String("protected")) QCOMPARE(chmod(path.c_str(), 0444), 0);
    }
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, QString::fromStdString(path));
    const QString result = QString::fromStdString(orb::PrintText(printer, TwelvePointMono(), "Mond", 15));
    if (error.isEmpty()) {
      QCOMPARE(result, QString());
      QVERIFY(orb::test::TempDir::read(path).starts_with("%PDF-"));
    } else {
      QVERIFY2(result.startsWith(QStringLiteral("Datei ") + QString::fromStdString(path)), qPrintable(result));
      QVERIFY2(result.contains(error), qPrintable(result));
      if (target != QLatin1String("fifo")) QCOMPARE(orb::test::TempDir::read(path), std::string("alt"));
    }
    // The printer still prints into the file it was given, and no part file is left.
    QCOMPARE(printer.outputFileName(), QString::fromStdString(path));
    std::filesystem::directory_iterator files(dir.path());
    QCOMPARE(std::distance(begin(files), end(files)), 1);
  }

  // ==== the dialog ====

  void marginField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<float>("marginMm");
    QTest::newRow("letters") << QStringLiteral("abc") << 15.0f;  // the 15 mm it had
    QTest::newRow("number") << QStringLiteral("20") << 20.0f;
    QTest::newRow("decimal comma") << QStringLiteral("7,5") << 7.5f;
    QTest::newRow("with its unit") << QStringLiteral("12 mm") << 12.0f;
    // Left of the printable page's edge nothing can be printed: 0.
    QTest::newRow("negative") << QStringLiteral("-5") << 0.0f;
  }
  void marginField() {
    QFETCH(QString, typed);
    QFETCH(float, marginMm);
    TPrintControl dialog;
    dialog.PrepareText(15, false, false);
    Show(dialog);
    auto* edit = Child<QLineEdit>(dialog, "LinkerRandEdit");
    QCOMPARE(edit->text(), QStringLiteral("15.0"));
    TypeInto(edit, typed);
    QCOMPARE(edit->text(), typed);
    QCOMPARE(dialog.MarginMm(), marginMm);
    QCOMPARE(dialog.PictureOptions().leftMarginMm, marginMm);
  }

  void previewDrawnOnceAfterTheLastChange() {
    auto seen = std::make_shared<Seen>();
    TPrintControl dialog;
    dialog.PreparePicture(BlackPicture(100, 50, seen), 15, false, true);
    Show(dialog);
    QTRY_COMPARE(seen->paints, 1);
    QCOMPARE(seen->leftMarginMm, 15.0f);
    seen->paints = 0;

    // Two keys 30 ms apart, less than the delay: a delay counted from the
    // first key would draw 70 ms after the second.
    auto* edit = Child<QLineEdit>(dialog, "LinkerRandEdit");
    TypeInto(edit, QStringLiteral("2"));
    QTest::qWait(30);
    const qint64 lastKeyMs = seen->clock.elapsed();
    QTest::keyClicks(edit, QStringLiteral("0"));
    QCOMPARE(seen->paints, 0);
    QTRY_COMPARE(seen->paints, 1);
    QVERIFY2(seen->paintedAtMs - lastKeyMs >= 100, qPrintable(QString::number(seen->paintedAtMs - lastKeyMs)));
    // Three times the delay later: still the one drawing, with the new margin.
    QTest::qWait(300);
    QCOMPARE(seen->paints, 1);
    QCOMPARE(dialog.MarginMm(), 20.0f);
    QCOMPARE(seen->leftMarginMm, 20.0f);
  }

  void landscapeTurnsThePreview() {
    auto seen = std::make_shared<Seen>();
    TPrintControl dialog;
    dialog.PreparePicture(BlackPicture(100, 50, seen), 15, false, true);
    Show(dialog);
    QTRY_COMPARE(seen->paints, 1);
    auto* area = Child<QLabel>(dialog, "Label1");
    const QSize dialogSize = dialog.size();
    // The area has the page's shape: 160 px across the page's shorter side.
    QCOMPARE(area->width(), 160);
    QVERIFY(seen->pageWidthMm < seen->pageHeightMm);
    QVERIFY(std::abs(area->height() - 160 * seen->pageHeightMm / seen->pageWidthMm) <= 0.5);

    Click(Child<QRadioButton>(dialog, "QuerChk"));
    QTRY_COMPARE(seen->paints, 2);
    QCOMPARE(area->height(), 160);
    QVERIFY(seen->pageWidthMm > seen->pageHeightMm);
    QVERIFY(std::abs(area->width() - 160 * seen->pageWidthMm / seen->pageHeightMm) <= 0.5);
    QCOMPARE(dialog.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(dialog.Landscape());
    // The area stays centred in the preview box, and the dialog keeps its size.
    const QRect box = area->parentWidget()->rect();
    QVERIFY(std::abs(area->geometry().center().x() - box.center().x()) <= 1);
    QVERIFY(std::abs(area->geometry().center().y() - box.center().y()) <= 1);
    QCOMPARE(dialog.size(), dialogSize);
  }

  void proportionalOnlyWithPageScaling() {
    TPrintControl dialog;
    dialog.PreparePicture(BlackPicture(100, 50, std::make_shared<Seen>()), 15, false, true);
    Show(dialog);
    auto* scale = Child<QCheckBox>(dialog, "PageScaleChk");
    auto* proportional = Child<QCheckBox>(dialog, "ProportionalChk");
    QVERIFY(!proportional->isEnabled());
    for (bool scaled : {true, false, true}) {
      Click(scale);
      QCOMPARE(scale->isChecked(), scaled);
      QCOMPARE(proportional->isEnabled(), scaled);
      QCOMPARE(dialog.PictureOptions().scaleToPage, scaled);
    }
  }

  void scaledWidePictureFillsTheWidth() {
    auto seen = std::make_shared<Seen>();
    TPrintControl dialog;
    // 4 : 1, much wider than a portrait page's free part.
    dialog.PreparePicture(BlackPicture(200, 50, seen), 15, false, true);
    Show(dialog);
    QTRY_COMPARE(seen->paints, 1);
    Click(Child<QCheckBox>(dialog, "PageScaleChk"));
    QVERIFY(Child<QCheckBox>(dialog, "ProportionalChk")->isChecked());
    QTRY_COMPARE(seen->paints, 2);
    // From the 15 mm margin to the page's right edge, a quarter of that high.
    const float width = seen->pageWidthMm - 15;
    QVERIFY(std::abs(seen->areaWidthMm - width) < 0.01);
    QVERIFY(std::abs(seen->areaHeightMm - width / 4) < 0.01);

    // The page as the preview shows it: black from the margin to the right
    // edge, white below the picture. The preview draws at whole dots per
    // inch (about 20 on 160 px), so an edge may be 4 px off.
    const QImage page = Child<QLabel>(dialog, "Label1")->pixmap().toImage();
    const double pxPerMm = page.width() / seen->pageWidthMm;
    const double pyPerMm = page.height() / seen->pageHeightMm;
    const auto black = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
    const int middle = static_cast<int>((15 + width / 8) * pyPerMm);  // half-way down the picture
    int left = 0, right = page.width() - 1;
    while (left < page.width() && !black(left, middle)) ++left;
    while (right >= 0 && !black(right, middle)) --right;
    QVERIFY2(std::abs(left - 15 * pxPerMm) <= 4, qPrintable(QString::number(left)));
    QVERIFY2(right >= page.width() - 1 - 4, qPrintable(QString::number(right)));
    const int below = static_cast<int>((15 + width / 4) * pyPerMm) + 4;
    for (int y = below; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x) QVERIFY2(!black(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
  }

  void checkRange_data() {
    QTest::addColumn<bool>("hasSelection");  // PrepareText's
    QTest::addColumn<bool>("markierungChecked");
    QTest::addColumn<QString>("click");  // a range button the user clicks, or none
    QTest::addColumn<QString>("selection");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("no selection") << false << false << QString() << QString() << true << QString();
    QTest::newRow("a selection") << true << true << QString() << QStringLiteral("Mond") << true << QString();
    QTest::newRow("Markierung, nothing marked")
        << false << false << QStringLiteral("MarkierungChk") << QString() << false
        << QStringLiteral("Fehler: Es ist nichts markiert!");
    QTest::newRow("alles with a selection")
        << true << true << QStringLiteral("allesChk") << QStringLiteral("Mond") << true << QString();
  }
  void checkRange() {
    QFETCH(bool, hasSelection);
    QFETCH(bool, markierungChecked);
    QFETCH(QString, click);
    QFETCH(QString, selection);
    QFETCH(bool, result);
    QFETCH(QString, message);
    TPrintControl dialog;
    dialog.PrepareText(15, false, hasSelection);
    Show(dialog);
    QCOMPARE(Child<QRadioButton>(dialog, "MarkierungChk")->isChecked(), markierungChecked);
    if (!click.isEmpty()) Click(Child<QRadioButton>(dialog, click.toLatin1()));
    bool checked = !result;
    const QStringList messages = MessagesDuring([&] { checked = dialog.CheckRange(selection); });
    QCOMPARE(checked, result);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(dialog.SelectionOnly(), click.isEmpty() ? markierungChecked : click == QLatin1String("MarkierungChk"));
  }

  void textModeAfterPictureMode() {
    TPrintControl dialog;
    dialog.PreparePicture(BlackPicture(100, 50, std::make_shared<Seen>()), 15, false, true);
    Show(dialog);
    auto* previewBox = Child<QGroupBox>(dialog, "PreviewBox");
    auto* background = Child<QCheckBox>(dialog, "PrintBackgroundChk");
    auto* markierung = Child<QRadioButton>(dialog, "MarkierungChk");
    QVERIFY(previewBox->isVisible());
    QVERIFY(background->isVisible());
    QVERIFY(!markierung->isEnabled());
    const int pictureWidth = dialog.width();
    QTest::mouseClick(Child<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    dialog.PrepareText(15, false, false);
    Show(dialog);
    QVERIFY(!previewBox->isVisible());
    QVERIFY(!background->isVisible());
    QVERIFY(markierung->isEnabled());
    // No room kept for the preview: at least its 160 px narrower.
    QTRY_VERIFY2(dialog.width() <= pictureWidth - 160, qPrintable(QString::number(dialog.width())));
  }

  void okWithPdfOutput_data() {
    QTest::addColumn<QString>("key");     // "click" on OK, or the key pressed
    QTest::addColumn<QString>("answer");  // the file name the question returns
    QTest::addColumn<QString>("file");    // the printer's output file afterwards
    QTest::addColumn<int>("closed");      // -1: still open
    QTest::newRow("OK") << QStringLiteral("click") << QStringLiteral("druck.pdf") << QStringLiteral("druck.pdf")
                        << int(QDialog::Accepted);
    QTest::newRow("Enter") << QStringLiteral("enter") << QStringLiteral("druck.pdf") << QStringLiteral("druck.pdf")
                           << int(QDialog::Accepted);
    QTest::newRow("name without extension") << QStringLiteral("click") << QStringLiteral("druck")
                                            << QStringLiteral("druck.pdf") << int(QDialog::Accepted);
    QTest::newRow("question cancelled") << QStringLiteral("click") << QString() << QString() << -1;
    QTest::newRow("Escape") << QStringLiteral("escape") << QStringLiteral("druck.pdf") << QString()
                            << int(QDialog::Rejected);
  }
  void okWithPdfOutput() {
    QFETCH(QString, key);
    QFETCH(QString, answer);
    QFETCH(QString, file);
    QFETCH(int, closed);
    orb::test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string()) + u'/';
    TPrintControl dialog;
    int asked = 0;
    dialog.askPdfFileName = [&] {
      ++asked;
      return answer.isEmpty() ? QString() : folder + answer;
    };
    dialog.PrepareText(15, false, false);
    Show(dialog);
    auto* printers = Child<QComboBox>(dialog, "PrnList");
    QCOMPARE(printers->itemText(printers->count() - 1), TPrintControl::kPdfEntry);
    printers->setCurrentIndex(printers->count() - 1);  // the printers this machine may have come first
    Click(Child<QRadioButton>(dialog, "QuerChk"));
    TypeInto(Child<QSpinBox>(dialog, "SelCopies"), QStringLiteral("3"));

    if (key == QLatin1String("click")) QTest::mouseClick(Child<QPushButton>(dialog, "OKBtn"), Qt::LeftButton);
    // The keys go where the user typed last; the spin box passes them on.
    if (key == QLatin1String("enter")) QTest::keyClick(Child<QSpinBox>(dialog, "SelCopies"), Qt::Key_Return);
    if (key == QLatin1String("escape")) QTest::keyClick(Child<QSpinBox>(dialog, "SelCopies"), Qt::Key_Escape);

    QCOMPARE(asked, key == QLatin1String("escape") ? 0 : 1);
    QCOMPARE(dialog.isVisible(), closed == -1);
    if (closed != -1) QCOMPARE(dialog.result(), closed);
    QPrinter& printer = dialog.Printer();
    QCOMPARE(printer.outputFileName(), file.isEmpty() ? QString() : folder + file);
    if (closed == QDialog::Accepted) {
      QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
      QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
      QCOMPARE(printer.copyCount(), 3);
      QCOMPARE(printer.docName(), QStringLiteral("Druckausgabe"));
    }
  }

  void sharedDialog() {
    auto* owner = new QWidget;
    TPrintControl& first = orb::SharedPrintDialog(owner);
    QCOMPARE(first.parentWidget(), owner);
    QCOMPARE(&orb::SharedPrintDialog(nullptr), &first);  // kept, whoever asks
    QPointer<TPrintControl> kept(&first);
    delete owner;  // the dialog goes with its owner ...
    QVERIFY(kept.isNull());
    TPrintControl& second = orb::SharedPrintDialog(nullptr);  // ... and the next call makes a new one
    QVERIFY(second.parentWidget() == nullptr);
    QCOMPARE(&orb::SharedPrintDialog(nullptr), &second);
    delete &second;
  }
};

QTEST_MAIN(PrintControlTest)
#include "PrintControlTest.moc"
