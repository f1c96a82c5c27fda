// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/PrintControlU.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QImage>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPrinterInfo>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <optional>

#include "core/Constants.h"
#include "core/SafeFile.h"
#include "graphics/GDIext.h"
#include "graphics/qt/QtBitmaps.h"
#include "graphics/qt/QtCanvas.h"
#include "settings/NumberReader.h"
#include "ui_PrintControlU.h"

namespace orb {
namespace {

// The preview area's shorter side in pixels; the longer one follows the page.
constexpr int kPreviewShortSidePx = 160;
// The longest side a preview area may take (a strip of paper 10 : 1).
constexpr int kPreviewLongestSidePx = 10 * kPreviewShortSidePx;
// Free pixels around the preview area inside the preview box.
constexpr int kPreviewPaddingPx = 8;
// The delay between the last change and the preview's drawing.
constexpr int kPreviewDelayMs = 100;
// The margin at which a text line starts without indent: the printer's
// unprintable border, as it usually is.
constexpr double kUnprintableBorderMm = 5;
// The width of a blank when the font reports none.
constexpr double kFallbackBlankMm = 1.5;
// A tab advances to the next multiple of this many average character widths.
constexpr int kTabWidthChars = 8;

QFont DefaultTextFont() {
  QFont font(QStringLiteral("Liberation Mono"), 10);
  font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("Courier New")});
  font.setStyleHint(QFont::Monospace);
  return font;
}

// "Liberation Mono  10": the font's name and size as the dialog shows them.
QString FontCaption(const QFont& font) {
  const QString size = font.pointSizeF() > 0 ? QString::number(font.pointSizeF())
                                              : QString::number(font.pixelSize()) + QStringLiteral(" px");
  return font.family() + QStringLiteral("  ") + size;
}

bool HasDigit(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The margin a text field holds: its number read leniently; nothing when
// it holds no digit or a number that is no length. A negative margin would
// put the picture beyond the printable page: it counts as 0.
std::optional<float> MarginOfText(const QString& text) {
  if (!HasDigit(text)) return std::nullopt;
  const auto value = static_cast<float>(ParseNumber(text.toStdString()));
  if (!std::isfinite(value)) return std::nullopt;
  return std::max(0.0f, value);
}

// ---- text printer ----

// The printable page in device pixels, in the painter's coordinates.
QRectF PrintableRect(const QPrinter& printer) {
  QRectF page = printer.pageRect(QPrinter::DevicePixel);
  if (!printer.fullPage()) page.moveTopLeft(QPointF(0, 0));
  return page;
}

// One run of the text printer: the text on as many pages as it needs;
// false when the job could not start, add a page or finish.
bool PrintTextPages(QPrinter& printer, const QFont& font, const QString& text, float marginMm) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setFont(font);
  const QFontMetricsF metrics(font, &printer);
  const double dpi = std::max(1, printer.logicalDpiX());
  const double blankPx = metrics.horizontalAdvance(QLatin1Char(' '));
  const double blankMm = blankPx * kMmPerInch / dpi;
  const double blankUsedMm = blankMm > 0 ? blankMm : kFallbackBlankMm;
  const double indentPx =
      TextIndentBlanks(marginMm, static_cast<float>(blankMm)) * blankUsedMm * dpi / kMmPerInch;
  const double lineHeight = std::max(1.0, metrics.lineSpacing());
  const double tabWidth = kTabWidthChars * (metrics.averageCharWidth() > 0 ? metrics.averageCharWidth() : blankPx);
  const QRectF page = PrintableRect(printer);

  double y = page.top();  // top of the current line
  double x = 0;           // position on the line behind the indent
  int pendingPages = 0;   // form feeds not yet turned into pages
  QString run;            // characters not yet drawn
  bool ok = true;

  // The current line gets a place on a page: the pages of the form feeds
  // before it, or a new page when it would pass the bottom (a line taller
  // than the page still gets a page of its own).
  const auto placeLine = [&] {
    if (pendingPages > 0) {
      for (; pendingPages > 0; --pendingPages) ok = printer.newPage() && ok;
      y = page.top();
    } else if (y > page.top() && y + lineHeight > page.bottom()) {
      ok = printer.newPage() && ok;
      y = page.top();
    }
  };
  const auto flush = [&] {
    if (run.isEmpty()) return;
    placeLine();
    painter.drawText(QPointF(page.left() + indentPx + x, y + metrics.ascent()), run);
    x += metrics.horizontalAdvance(run);
    run.clear();
  };
  for (const QChar c : text) {
    switch (c.unicode()) {
      case u'\r':
        flush();
        break;
      case u'\n':
        flush();
        placeLine();
        y += lineHeight;
        x = 0;
        break;
      case u'\f':
        flush();
        ++pendingPages;
        y = page.top();
        x = 0;
        break;
      case u'\t':
        flush();
        if (tabWidth > 0) x = (std::floor(x / tabWidth) + 1) * tabWidth;
        break;
      default:
        run += c;
    }
  }
  flush();
  return painter.end() && ok;
}

}  // namespace

const QString TPrintControl::kPdfEntry = QStringLiteral("In PDF-Datei drucken");

struct TPrintControl::State {
  State(TPrintControl& dialog, Ui::TPrintControl& ui) : self(dialog), ui(ui) {}

  TPrintControl& self;
  Ui::TPrintControl& ui;
  QPrinter printer{QPrinter::HighResolution};
  PictureSetup picture;
  bool pictureMode = false;
  float marginMm = 15;
  QFont textFont = DefaultTextFont();
  QTimer* timer = nullptr;
  // The preview: the page as an image of the preview area's size, the
  // surface over it and the drawing that stands for the printable page.
  QImage page{kPreviewShortSidePx, kPreviewShortSidePx, QImage::Format_RGB32};
  std::unique_ptr<QtCanvas> canvas;
  std::unique_ptr<tGDIext> drawing;

  bool PdfChosen() const { return ui.PrnList->currentData().toString().isEmpty(); }

  void FillPrinterList() {
    const QSignalBlocker blocker(ui.PrnList);
    ui.PrnList->clear();
    for (const QString& name : QPrinterInfo::availablePrinterNames()) ui.PrnList->addItem(name, name);
    ui.PrnList->addItem(kPdfEntry, QString());
    int current = ui.PrnList->count() - 1;
    if (printer.outputFormat() == QPrinter::NativeFormat) {
      const int found = ui.PrnList->findData(printer.printerName());
      if (found >= 0) current = found;
    }
    ui.PrnList->setCurrentIndex(current);
    ui.PrnSettingsBtn->setEnabled(!PdfChosen());
  }

  // The orientation buttons as the printer has it.
  void ShowOrientation() {
    const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    const QSignalBlocker blockQuer(ui.QuerChk);
    const QSignalBlocker blockHoch(ui.HochChk);
    (landscape ? ui.QuerChk : ui.HochChk)->setChecked(true);
  }

  void ApplyPrinter() {
    const QString name = ui.PrnList->currentData().toString();
    if (name.isEmpty()) {
      if (printer.outputFormat() != QPrinter::PdfFormat) printer.setOutputFormat(QPrinter::PdfFormat);
    } else if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != name ||
               !printer.outputFileName().isEmpty()) {
      printer.setOutputFileName(QString());
      printer.setPrinterName(name);
    }
  }

  void ApplyOrientation() {
    printer.setPageOrientation(ui.QuerChk->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
  }

  // The controls of the mode: the preview box and "Hintergrund drucken"
  // in picture mode only; "Markierung" in text mode only.
  void ShowMode() {
    ui.PreviewBox->setVisible(pictureMode);
    ui.PrintBackgroundChk->setVisible(pictureMode);
    ui.MarkierungChk->setEnabled(!pictureMode);
  }

  // The preview area sized to the page's shape and centred in the preview
  // box, which stays square so that turning the page keeps the dialog's
  // size; the page cleared. Returns the page in millimetres as the preview
  // drawing takes it.
  PageSizeMm SizePreviewArea() {
    const PageSizeMm printable = PrintablePageMm(printer);
    const bool landscape = ui.QuerChk->isChecked();
    const float shortSide = std::min(printable.widthMm, printable.heightMm);
    const float longSide = std::max(printable.widthMm, printable.heightMm);
    PageSizeMm pageMm{landscape ? longSide : shortSide, landscape ? shortSide : longSide};
    int longPx = kPreviewShortSidePx;
    if (shortSide > 0) {
      longPx = std::clamp(static_cast<int>(std::lround(longSide * kPreviewShortSidePx / shortSide)),
                          kPreviewShortSidePx, kPreviewLongestSidePx);
    }
    const int width = landscape ? longPx : kPreviewShortSidePx;
    const int height = landscape ? kPreviewShortSidePx : longPx;
    const int side = longPx + 2 * kPreviewPaddingPx;
    ui.PreviewArea->setFixedSize(side, side);
    ui.Label1->setGeometry((side - width) / 2, (side - height) / 2, width, height);
    if (page.size() != QSize(width, height)) page = QImage(width, height, QImage::Format_RGB32);
    page.fill(Qt::white);
    ui.Label1->setPixmap(QPixmap::fromImage(page));
    return pageMm;
  }

  // The preview after a change: "Proportional" follows page scaling; in
  // picture mode the printer takes the choice, the area the page's shape,
  // the drawing the page, margin, background and drawing area, and the
  // page is drawn 100 ms after the last change.
  void Preview() {
    ui.ProportionalChk->setEnabled(ui.PageScaleChk->isChecked());
    if (!pictureMode) return;
    ApplyPrinter();
    ApplyOrientation();
    const PageSizeMm pageMm = SizePreviewArea();
    drawing->canvas = canvas.get();
    drawing->PageWidthMm = pageMm.widthMm;
    drawing->PageHeightMm = pageMm.heightMm;
    drawing->LeftMarginMm = MarginOfText(ui.LinkerRandEdit->text()).value_or(marginMm);
    drawing->PaintBackground = ui.PrintBackgroundChk->isChecked();
    drawing->paintProc = picture.paint;
    drawing->SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
    drawing->SetPrintArea(picture.widthMm, picture.heightMm, ui.PageScaleChk->isChecked(),
                          ui.ProportionalChk->isChecked());
    timer->start();
  }

  // The timer's work: the page drawn by the picture's paint procedure.
  void DrawPreview() {
    if (!pictureMode) return;
    QPainter painter(&page);
    painter.fillRect(page.rect(), Qt::white);
    PaintDrawing(*drawing, *canvas, painter);
    painter.end();
    ui.Label1->setPixmap(QPixmap::fromImage(page));
  }

  void OnShow() {
    FillPrinterList();
    ShowOrientation();
    {
      const QSignalBlocker blocker(ui.SelCopies);
      ui.SelCopies->setValue(printer.copyCount());
    }
    ui.LinkerRandEdit->setText(QString::number(marginMm, 'f', 1));
    ShowMode();
    Preview();
  }

  void OnMarginEdited(const QString& text) {
    if (const auto margin = MarginOfText(text)) marginMm = *margin;
    Preview();
  }

  void OnPrinterSetup() {
    ApplyPrinter();
    ApplyOrientation();
    printer.setCopyCount(ui.SelCopies->value());
    QPageSetupDialog setup(&printer, &self);
    setup.exec();
    ShowOrientation();  // the setup dialog may have turned the page
    Preview();
  }

  void OnChooseFont() {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, textFont, &self, QStringLiteral("Schriftart"));
    if (chosen) self.SetTextFont(font);
  }

  QString AskPdfFileByDialog() {
    return QFileDialog::getSaveFileName(&self, kPdfEntry, printer.outputFileName(),
                                        QStringLiteral("PDF-Dateien (*.pdf)"));
  }

  void OnOk() {
    ApplyPrinter();
    ApplyOrientation();
    printer.setCopyCount(ui.SelCopies->value());
    if (PdfChosen()) {
      QString fileName = self.askPdfFileName ? self.askPdfFileName() : AskPdfFileByDialog();
      if (fileName.isEmpty()) return;
      if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".pdf");
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(fileName);
    }
    if (printer.docName().isEmpty()) printer.setDocName(QStringLiteral("Druckausgabe"));
    self.accept();
  }

  void OnClosed() {
    timer->stop();
    pictureMode = false;
    picture = PictureSetup();  // the paint procedure may hold the graphics window's data
    drawing->paintProc = nullptr;
    ShowMode();
  }
};

TPrintControl::TPrintControl(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TPrintControl>()) {
  ui_->setupUi(this);
  state_ = std::make_unique<State>(*this, *ui_);
  State& s = *state_;

  s.timer = new QTimer(this);
  s.timer->setObjectName(QStringLiteral("Timer1"));
  s.timer->setSingleShot(true);
  s.timer->setTimerType(Qt::PreciseTimer);
  s.timer->setInterval(kPreviewDelayMs);
  connect(s.timer, &QTimer::timeout, this, [&s] { s.DrawPreview(); });

  s.canvas = std::make_unique<QtCanvas>(s.page);
  s.drawing = std::make_unique<tGDIext>(*s.canvas, tkPreview);
  ui_->PreviewArea->setBackgroundRole(QPalette::Mid);
  ui_->PreviewArea->setAutoFillBackground(true);
  ui_->Label1->setAutoFillBackground(true);
  QPalette white = ui_->Label1->palette();
  white.setColor(QPalette::Window, Qt::white);
  ui_->Label1->setPalette(white);
  s.SizePreviewArea();

  s.printer.setCopyCount(1);
  s.FillPrinterList();
  s.ShowOrientation();
  s.ShowMode();
  s.Preview();

  askPdfFileName = [&s] { return s.AskPdfFileByDialog(); };

  connect(ui_->PrnList, &QComboBox::currentIndexChanged, this, [&s] {
    s.ui.PrnSettingsBtn->setEnabled(!s.PdfChosen());
    s.Preview();
  });
  connect(ui_->HochChk, &QRadioButton::toggled, this, [&s](bool checked) {
    if (checked) s.Preview();
  });
  connect(ui_->QuerChk, &QRadioButton::toggled, this, [&s](bool checked) {
    if (checked) s.Preview();
  });
  for (QCheckBox* box : {ui_->PageScaleChk, ui_->ProportionalChk, ui_->PrintBackgroundChk})
    connect(box, &QCheckBox::toggled, this, [&s] { s.Preview(); });
  connect(ui_->LinkerRandEdit, &QLineEdit::textEdited, this, [&s](const QString& text) { s.OnMarginEdited(text); });
  connect(ui_->PrnSettingsBtn, &QPushButton::clicked, this, [&s] { s.OnPrinterSetup(); });
  connect(ui_->FontBtn, &QPushButton::clicked, this, [&s] { s.OnChooseFont(); });
  connect(ui_->OKBtn, &QPushButton::clicked, this, [&s] { s.OnOk(); });
  connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(this, &QDialog::finished, this, [&s] { s.OnClosed(); });
}

TPrintControl::~TPrintControl() = default;

QPrinter& TPrintControl::Printer() { return state_->printer; }

void TPrintControl::PrepareText(float marginMm, bool landscape, bool hasSelection) {
  State& s = *state_;
  s.timer->stop();
  s.pictureMode = false;
  s.picture = PictureSetup();
  s.marginMm = marginMm;
  s.printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  s.ShowOrientation();
  (hasSelection ? ui_->MarkierungChk : ui_->allesChk)->setChecked(true);
  s.ShowMode();
}

void TPrintControl::PreparePicture(const PictureSetup& picture, float marginMm, bool scaleToPage, bool proportional) {
  State& s = *state_;
  s.picture = picture;
  s.pictureMode = true;
  s.marginMm = marginMm;
  {
    const QSignalBlocker blockScale(ui_->PageScaleChk);
    const QSignalBlocker blockProportional(ui_->ProportionalChk);
    ui_->PageScaleChk->setChecked(scaleToPage);
    ui_->ProportionalChk->setChecked(proportional);
  }
  ui_->allesChk->setChecked(true);
  s.ShowMode();
  if (isVisible()) s.Preview();
}

bool TPrintControl::CheckRange(const QString& selection) {
  if (ui_->MarkierungChk->isChecked() && selection.isEmpty()) {
    QMessageBox::critical(this, QStringLiteral("Fehler"), QStringLiteral("Es ist nichts markiert!"), QMessageBox::Ok);
    return false;
  }
  return ui_->allesChk->isChecked() || !selection.isEmpty();
}

float TPrintControl::MarginMm() const { return state_->marginMm; }
bool TPrintControl::SelectionOnly() const { return ui_->MarkierungChk->isChecked(); }
bool TPrintControl::Landscape() const { return ui_->QuerChk->isChecked(); }

PrintOptions TPrintControl::PictureOptions() const {
  PrintOptions options;
  options.leftMarginMm = state_->marginMm;
  options.paintBackground = ui_->PrintBackgroundChk->isChecked();
  options.scaleToPage = ui_->PageScaleChk->isChecked();
  options.proportional = ui_->ProportionalChk->isChecked();
  return options;
}

const QFont& TPrintControl::TextFont() const { return state_->textFont; }

void TPrintControl::SetTextFont(const QFont& font) {
  state_->textFont = font;
  ui_->PrinterFont->setText(FontCaption(font));
}

void TPrintControl::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) state_->OnShow();
  QDialog::showEvent(event);
}

TPrintControl& SharedPrintDialog(QWidget* owner) {
  // Guarded: when the owner goes, the dialog goes with it, and the next
  // call creates a new one.
  static QPointer<TPrintControl> dialog;
  if (!dialog) dialog = new TPrintControl(owner);
  return *dialog;
}

int TextIndentBlanks(float marginMm, float blankWidthMm) {
  const double blank = blankWidthMm > 0 ? blankWidthMm : kFallbackBlankMm;
  // Halves to even, as the drawing layer rounds.
  const double blanks = std::nearbyint((static_cast<double>(marginMm) - kUnprintableBorderMm) / blank);
  if (!(blanks > 0)) return 0;  // also NaN
  return blanks >= INT_MAX ? INT_MAX : static_cast<int>(blanks);
}

std::string PrintText(QPrinter& printer, const QFont& font, const QString& text, float marginMm) {
  const QString target = printer.outputFileName();
  if (target.isEmpty() && printer.outputFormat() == QPrinter::PdfFormat) return "Keine PDF-Datei angegeben.";
  if (target.isEmpty()) {
    if (PrintTextPages(printer, font, text, marginMm)) return {};
    return "Druck auf " + printer.printerName().toStdString() + " fehlgeschlagen.";
  }
  // Into a file: a fresh file beside the target replaces it when the job
  // has completed (core/SafeFile.h); a target that may not be replaced is
  // refused before the job starts, and a failed job leaves the old file.
  const FileResult written = ReplaceFileBy(QFile::encodeName(target).toStdString(), [&](const std::string& part) {
    printer.setOutputFileName(QFile::decodeName(part.c_str()));
    const bool printed = PrintTextPages(printer, font, text, marginMm);
    printer.setOutputFileName(target);
    return printed ? FileResult{} : FileResult{EIO, "Der Druckauftrag ist fehlgeschlagen"};
  });
  return written.ok() ? std::string() : FileError(target.toStdString(), written.reason);
}

}  // namespace orb
