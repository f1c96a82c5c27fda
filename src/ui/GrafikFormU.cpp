// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/GrafikFormU.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <cmath>
#include <set>

#include "core/Constants.h"
#include "graphics/GDIext.h"
#include "graphics/qt/QtBitmaps.h"
#include "graphics/qt/QtCanvas.h"
#include "graphics/qt/QtPrinting.h"
#include "ui/PrintControlU.h"

namespace orb {
namespace {

// The zoom stays between 1 % and 3200 %: below, the picture is a dot; above,
// a single text glyph would be larger than most screens.
constexpr float kMinZoom = 0.01f;
constexpr float kMaxZoom = 32.0f;

const QString kInputCaption = QStringLiteral("&Eingabe");

float ClampZoom(double zoom) {
  if (!(zoom > kMinZoom)) return kMinZoom;  // also NaN
  return static_cast<float>(std::min(zoom, static_cast<double>(kMaxZoom)));
}

int RoundPx(double px) { return static_cast<int>(std::lround(std::clamp(px, 0.0, 1e7))); }

// The first integer in a text, read leniently: everything up to the first
// digit or minus sign is skipped, the number ends at the first other
// character; no digits give 0.
int LenientInteger(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && !text[i].isDigit() && text[i] != QLatin1Char('-')) ++i;
  bool negative = false;
  if (i < text.size() && text[i] == QLatin1Char('-')) negative = true, ++i;
  long long value = 0;
  for (; i < text.size() && text[i].isDigit(); ++i) {
    value = value * 10 + text[i].digitValue();
    if (value > INT_MAX) value = INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

// The drawing area: draws through the window's callback at every paint.
class DrawingArea final : public QWidget {
 public:
  explicit DrawingArea(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Label1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  std::function<void(QPainter&)> paint;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (paint) paint(painter);
  }
};

}  // namespace

struct TGraphForm::State {
  QScrollArea* scroll = nullptr;
  DrawingArea* area = nullptr;
  QAction* zoomIn = nullptr;
  QAction* zoomOut = nullptr;
  QAction* input = nullptr;
  QAction* fitWindowSize = nullptr;
  QAction* fit = nullptr;           // "Einpassen"
  QAction* proportional = nullptr;  // "Proportional"
  std::set<int> ownerTags;          // tags of the owner's menu entries
  QSize ownSize;                    // the size ShowGraph gave the window (invalid when none)

  float widthMm = 0, heightMm = 0;  // the picture's natural size
  float zoom = 1;
  PaintProc paint;
  std::unique_ptr<QtCanvas> canvas;
  std::unique_ptr<tGDIext> drawing;
};

TGraphForm::TGraphForm(QWidget* owner) : QMainWindow(owner), state_(std::make_unique<State>()) {
  State& s = *state_;
  setObjectName(QStringLiteral("GraphForm"));
  setWindowTitle(QStringLiteral("Graphikausgabe"));

  s.scroll = new QScrollArea(this);
  s.scroll->setFrameShape(QFrame::NoFrame);
  s.scroll->setWidgetResizable(false);
  s.scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  s.area = new DrawingArea(s.scroll);
  s.scroll->setWidget(s.area);
  setCentralWidget(s.scroll);
  s.scroll->viewport()->installEventFilter(this);

  s.canvas = std::make_unique<QtCanvas>(*static_cast<QPaintDevice*>(s.area));
  s.drawing = std::make_unique<tGDIext>(*s.canvas, tkWindow);
  s.area->paint = [this](QPainter& painter) {
    State& st = *state_;
    st.drawing->Zoom = st.zoom;
    PaintDrawing(*st.drawing, *st.canvas, painter);
  };

  QMenuBar* bar = menuBar();
  // "Speichern": the bitmap kinds by tag.
  QMenu* save = bar->addMenu(QStringLiteral("&Speichern"));
  save->setObjectName(QStringLiteral("Speichern1"));
  const struct {
    const char* name;
    QString caption;
    int tag;
  } saveItems[] = {
      {"SaveScreenDPI", QStringLiteral("&Bildschirmauflösung %1 dpi").arg(ScreenDpi()), 1},
      {"SaveHiRes300dpi", QStringLiteral("&HiRes 300 dpi"), 2},
      {"SaveXXL600dpi", QStringLiteral("&XXL 600 dpi"), 3},
  };
  for (const auto& item : saveItems) {
    QAction* a = save->addAction(item.caption);
    a->setObjectName(QString::fromLatin1(item.name));
    a->setData(item.tag);
    connect(a, &QAction::triggered, this, [this, tag = item.tag] { SaveFromMenu(tag); });
  }

  QAction* print = bar->addAction(QStringLiteral("&Drucken"));
  print->setObjectName(QStringLiteral("Drucken1"));
  connect(print, &QAction::triggered, this, [this] { Print(); });

  QMenu* zoom = bar->addMenu(QStringLiteral("Zoom"));
  zoom->setObjectName(QStringLiteral("Zoom1"));
  s.zoomIn = zoom->addAction(QStringLiteral("Zoom in"));
  s.zoomIn->setObjectName(QStringLiteral("Zoomin"));
  s.zoomIn->setShortcut(QKeySequence(Qt::Key_Plus));
  connect(s.zoomIn, &QAction::triggered, this, [this] { SetZoom(state_->zoom * std::sqrt(2.0f)); });
  s.zoomOut = zoom->addAction(QStringLiteral("Zoom out"));
  s.zoomOut->setObjectName(QStringLiteral("Zoomout"));
  s.zoomOut->setShortcuts({QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Slash)});
  connect(s.zoomOut, &QAction::triggered, this, [this] { SetZoom(state_->zoom / std::sqrt(2.0f)); });
  const struct {
    const char* name;
    int percent;
  } percentItems[] = {{"N251", 25},   {"N501", 50},   {"N701", 70},  {"N100Proz", 100},
                      {"N1401", 140}, {"N2001", 200}, {"N4001", 400}};
  for (const auto& item : percentItems) {
    QAction* a = zoom->addAction(QString::number(item.percent) + QLatin1Char('%'));
    a->setObjectName(QString::fromLatin1(item.name));
    a->setData(item.percent);
    if (item.percent == 100) a->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(a, &QAction::triggered, this, [this, p = item.percent] { SetZoom(p / 100.0f); });
  }
  s.input = zoom->addAction(kInputCaption);
  s.input->setObjectName(QStringLiteral("Eingabe1"));
  connect(s.input, &QAction::triggered, this, [this] { AskZoom(); });

  s.fitWindowSize = bar->addAction(QStringLiteral("Fenstergröße anpassen"));
  s.fitWindowSize->setObjectName(QStringLiteral("Fenstergreanpassen1"));
  connect(s.fitWindowSize, &QAction::triggered, this, [this] { FitWindowToDrawing(); });
  s.fit = bar->addAction(QStringLiteral("Einpassen"));
  s.fit->setObjectName(QStringLiteral("SeitenbreiteMen"));
  s.fit->setCheckable(true);
  s.proportional = bar->addAction(QStringLiteral("Proportional"));
  s.proportional->setObjectName(QStringLiteral("Proportional"));
  s.proportional->setCheckable(true);
  s.proportional->setChecked(true);
  // A menu bar draws no check marks: the Zoom menu shows both switches
  // again, with their state.
  zoom->addSeparator();
  zoom->addAction(s.fit);
  zoom->addAction(s.proportional);
  connect(s.fit, &QAction::toggled, this, [this] { Relayout(); });
  connect(s.proportional, &QAction::toggled, this, [this] { Relayout(); });

  askSaveFileName = [this] {
    return QFileDialog::getSaveFileName(this, QStringLiteral("Speichern"), QString(),
                                        QStringLiteral("Bilddateien (*.bmp *.png)"), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
  };
  askOverwrite = [this](const QString& question) {
    return static_cast<int>(QMessageBox::warning(this, windowTitle(), question,
                                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
  };
  askZoom = [this] {
    bool ok = false;
    const QString answer = QInputDialog::getText(this, QStringLiteral("Zoom"),
                                                 QStringLiteral("Bitte Zoomfaktor eingeben:"), QLineEdit::Normal,
                                                 QString(), &ok);
    return ok ? answer : QString();
  };
  showError = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };

  // Until a picture arrives, its size is the client area's.
  resize(640, 480);
  LayOutNow();
  const QSize client = s.scroll->size();
  s.area->resize(client);
  s.widthMm = static_cast<float>(client.width() * kMmPerInch / std::max(1, s.area->logicalDpiX()));
  s.heightMm = static_cast<float>(client.height() * kMmPerInch / std::max(1, s.area->logicalDpiY()));
  Relayout();
}

TGraphForm::~TGraphForm() {
  if (OnFreeProc) OnFreeProc();
}

TGraphForm* TGraphForm::ShowGraph(TGraphForm*& form, const PictureSetup& picture, QWidget* owner) {
  if (form == nullptr) form = new TGraphForm(owner);
  TGraphForm& f = *form;
  State& s = *f.state_;
  if (!f.SizedOnce) {
    const QSize client(RoundPx(s.area->logicalDpiX() * static_cast<double>(picture.widthMm) / kMmPerInch),
                       RoundPx(s.area->logicalDpiY() * static_cast<double>(picture.heightMm) / kMmPerInch));
    f.SetClientSize(client);
    s.area->resize(client);
    f.WidenForMenu();
    f.KeepOnScreen();
    s.ownSize = f.size();
  }
  f.PrintMarginMm = 25.0f;
  s.widthMm = picture.widthMm;
  s.heightMm = picture.heightMm;
  // Every picture brings its own paint procedure (the navigation shows the
  // next eclipse in the same window).
  s.paint = picture.paint;
  s.drawing->paintProc = picture.paint;
  s.drawing->SetWindow(picture.x1, picture.y1, picture.x2, picture.y2);
  s.drawing->Reset();
  s.proportional->setChecked(picture.proportional);
  if (!picture.caption.empty()) f.setWindowTitle(QString::fromStdString(picture.caption));
  f.Relayout();
  // A window shown anew comes up on top; one already open may lie behind
  // its owner.
  const bool wasVisible = f.isVisible();
  f.show();
  // The frame's size is known once the window is shown.
  if (!f.SizedOnce) f.KeepOnScreen();
  if (wasVisible) f.raise();
  f.activateWindow();
  return form;
}

void TGraphForm::AddMenuEntry(const QString& caption, int tag, const QKeySequence& key,
                              std::function<void()> onClick) {
  if (!state_->ownerTags.insert(tag).second) return;
  QAction* a = menuBar()->addAction(caption);
  a->setObjectName(QStringLiteral("MenuEntry%1").arg(tag));
  a->setData(tag);
  if (!key.isEmpty()) a->setShortcut(key);
  connect(a, &QAction::triggered, this, [onClick = std::move(onClick)] {
    if (onClick) onClick();
  });
  // A window still of the size ShowGraph gave it grows with its menu bar.
  State& s = *state_;
  if (s.ownSize.isValid() && size() == s.ownSize) {
    WidenForMenu();
    KeepOnScreen();
    s.ownSize = size();
  }
}

float TGraphForm::Zoom() const { return state_->zoom; }

void TGraphForm::SetZoom(float zoom) {
  state_->zoom = ClampZoom(zoom);
  state_->fit->setChecked(false);
  Relayout();
}

bool TGraphForm::FitToWindow() const { return state_->fit->isChecked(); }
void TGraphForm::SetFitToWindow(bool fit) { state_->fit->setChecked(fit); }
bool TGraphForm::Proportional() const { return state_->proportional->isChecked(); }
void TGraphForm::SetProportional(bool proportional) { state_->proportional->setChecked(proportional); }
QSize TGraphForm::DrawingAreaSize() const { return state_->area->size(); }

// The drawing area for the view: the picture's natural size times the zoom
// ("Proportional"), the zoom fitted to the client area first ("Einpassen");
// without "Proportional" the client area itself ("Einpassen") or the client
// area times the zoom. Then the picture is drawn anew.
void TGraphForm::Relayout() {
  State& s = *state_;
  const QSize client = s.scroll->viewport()->size();
  const double cw = client.width(), ch = client.height();
  const double dpiX = s.area->logicalDpiX(), dpiY = s.area->logicalDpiY();
  const double naturalW = dpiX * static_cast<double>(s.widthMm) / kMmPerInch;
  const double naturalH = dpiY * static_cast<double>(s.heightMm) / kMmPerInch;
  QSize size;
  if (s.proportional->isChecked()) {
    if (s.fit->isChecked() && naturalW > 0 && naturalH > 0) {
      double zoom = cw / naturalW;
      if (zoom * naturalH > ch) zoom = ch / naturalH;
      s.zoom = ClampZoom(zoom);
    }
    size = QSize(RoundPx(s.zoom * naturalW), RoundPx(s.zoom * naturalH));
  } else if (s.fit->isChecked()) {
    size = client;
  } else {
    size = QSize(RoundPx(cw * s.zoom), RoundPx(ch * s.zoom));
  }
  s.drawing->Zoom = s.zoom;
  // Resizing the area may show or hide scroll bars, which resizes the
  // viewport and lays out again from within; the caption then shows the
  // zoom in force.
  if (s.area->size() != size) s.area->resize(size);
  s.input->setText(QStringLiteral("Eingabe (%1%)").arg(std::lround(s.zoom * 100.0)));
  s.area->update();
}

void TGraphForm::AskZoom() {
  const int percent = LenientInteger(askZoom ? askZoom() : QString());
  if (percent > 0) SetZoom(static_cast<float>(percent / 100.0));
}

// The client area (the scroll area without its scroll bars) set to `client`:
// the menu bar's height is measured, as it may wrap at a narrow width.
void TGraphForm::SetClientSize(QSize client) {
  for (int i = 0; i < 3; ++i) {
    LayOutNow();
    const QSize extra = size() - state_->scroll->size();
    const QSize wanted = client + extra;
    if (wanted == size()) return;
    resize(wanted);
  }
}

// The window's layout applied to its present size, also while it is hidden
// (a hidden window is laid out only when it is shown).
void TGraphForm::LayOutNow() {
  if (layout() == nullptr) return;
  layout()->invalidate();
  layout()->activate();
}

void TGraphForm::FitWindowToDrawing() {
  SetClientSize(state_->area->size());
  Relayout();
}

// The window at least as wide as its menu bar needs (a narrow picture would
// hide the owner's entries behind the menu bar's extension button), at most
// as wide as the screen.
void TGraphForm::WidenForMenu() {
  int need = menuBar()->sizeHint().width();
  if (const QScreen* screen = this->screen())
    need = std::min(need, screen->availableGeometry().width() - (frameGeometry().width() - width()));
  if (width() < need) {
    resize(need, height());
    LayOutNow();
  }
}

void TGraphForm::KeepOnScreen() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect avail = screen->availableGeometry();
  const QRect frame = frameGeometry();
  int x = frame.x(), y = frame.y();
  if (x + frame.width() > avail.x() + avail.width()) x = avail.x() + avail.width() - frame.width();
  if (x < avail.x()) x = avail.x();
  if (y + frame.height() > avail.y() + avail.height()) y = avail.y() + avail.height() - frame.height();
  if (y < avail.y()) y = avail.y();
  if (x != frame.x() || y != frame.y()) move(x, y);
}

PictureSetup TGraphForm::CurrentPicture() const {
  const State& s = *state_;
  PictureSetup picture;
  picture.paint = s.paint;
  picture.x1 = s.drawing->XMin;
  picture.y1 = s.drawing->YMin;
  picture.x2 = s.drawing->XMax;
  picture.y2 = s.drawing->YMax;
  picture.widthMm = s.widthMm;
  picture.heightMm = s.heightMm;
  picture.proportional = s.proportional->isChecked();
  picture.caption = windowTitle().toStdString();
  return picture;
}

void TGraphForm::SaveFromMenu(int tag) {
  for (;;) {
    QString name = askSaveFileName ? askSaveFileName() : QString();
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".bmp");
    if (QFileInfo::exists(name) && askOverwrite) {
      const int answer =
          askOverwrite(QStringLiteral("Datei ") + name + QStringLiteral(" ist schon vorhanden! Überschreiben?"));
      if (answer == QMessageBox::No) continue;
      if (answer != QMessageBox::Yes) return;
    }
    const std::string error = SaveBitmapAs(tag, name);
    if (!error.empty() && showError) showError(QString::fromStdString(error));
    return;
  }
}

// The bitmap at screen resolution is the picture at zoom 1 (the drawing
// area divided by the zoom); at 300 and 600 dpi it has the client area's
// shape at the kind's resolution. There, with "Proportional", the picture
// keeps its own shape: as large as the bitmap holds it, at the top left as
// in the window, the rest white (the world window stretched over the whole
// bitmap would distort a picture that the window shows undistorted).
std::string TGraphForm::SaveBitmapAs(int kind, const QString& fileName) {
  const State& s = *state_;
  QString name = fileName;
  if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".bmp");
  const TargetKind target = kind == 3 ? tkBitmap600 : kind == 2 ? tkBitmap300 : tkBitmapScreen;
  const int32_t screenDpi = std::max(1, s.area->logicalDpiX());
  const PictureSetup picture = CurrentPicture();
  if (target == tkBitmapScreen) {
    const QSize area = s.area->size();
    const QSize size(RoundPx(area.width() / s.zoom), RoundPx(area.height() / s.zoom));
    return WriteBitmap(RenderBitmap(picture, target, size, screenDpi), name.toStdString());
  }
  const int32_t dpi = BitmapDpi(target, screenDpi);
  const QSize client = s.scroll->viewport()->size();
  const double factor = static_cast<double>(dpi) / screenDpi;
  const QSize size(RoundPx(client.width() * factor), RoundPx(client.height() * factor));
  const QSize natural = NaturalBitmapSize(picture, dpi);
  if (!s.proportional->isChecked() || natural.isEmpty()) {
    return WriteBitmap(RenderBitmap(picture, target, size, screenDpi), name.toStdString());
  }
  const double f = std::min(static_cast<double>(size.width()) / natural.width(),
                            static_cast<double>(size.height()) / natural.height());
  const QImage shaped =
      RenderBitmap(picture, target, QSize(RoundPx(natural.width() * f), RoundPx(natural.height() * f)), screenDpi);
  if (shaped.isNull()) return WriteBitmap(shaped, name.toStdString());
  QImage whole(size, shaped.format());
  if (whole.isNull()) return WriteBitmap(whole, name.toStdString());
  whole.setDotsPerMeterX(shaped.dotsPerMeterX());
  whole.setDotsPerMeterY(shaped.dotsPerMeterY());
  whole.fill(Qt::white);
  QPainter painter(&whole);
  painter.drawImage(0, 0, shaped);
  painter.end();
  return WriteBitmap(whole, name.toStdString());
}

std::string TGraphForm::Print() {
  TPrintControl& dialog = SharedPrintDialog(this);
  const PictureSetup picture = CurrentPicture();
  dialog.PreparePicture(picture, PrintMarginMm, FitToWindow(), Proportional());
  if (dialog.exec() != QDialog::Accepted) return {};
  dialog.Printer().setDocName(windowTitle());
  const std::string error = PrintPicture(dialog.Printer(), picture, dialog.PictureOptions());
  if (!error.empty() && showError) showError(QString::fromStdString(error));
  return error;
}

bool TGraphForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == state_->scroll->viewport() && event->type() == QEvent::Resize) Relayout();
  return QMainWindow::eventFilter(watched, event);
}

void TGraphForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TGraphForm::closeEvent(QCloseEvent* event) {
  // Closing hides the window; the next picture keeps its size and place.
  SizedOnce = true;
  event->accept();
}

}  // namespace orb
