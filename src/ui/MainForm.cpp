// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "core/DataFiles.h"
#include "core/NumText.h"
#include "core/SafeFile.h"
#include "core/TimeScales.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/EclipsePlaces.h"
#include "eclipses/LocalEclipse.h"
#include "eclipses/LocalEclipsePicture.h"
#include "eclipses/LunarEclipsePicture.h"
#include "eclipses/MoonPhases.h"
#include "eclipses/PathExport.h"
#include "eclipses/PathReport.h"
#include "eclipses/WorldMapPicture.h"
#include "engine/CometOrbit.h"
#include "engine/PlanetaryTheory.h"
#include "settings/NumberReader.h"
#include "settings/SettingsLoad.h"
#include "tables/EphemerisLimits.h"
#include "tables/TableDriver.h"
#include "tables/TableFormat.h"
#include "ui/BeliebigForm.h"
#include "ui/CometForm.h"
#include "ui/DateForm.h"
#include "ui/EinstellForm.h"
#include "ui/FontText.h"
#include "ui/GrafikFormU.h"
#include "ui/Icons.h"
#include "ui/JahrbuchForm.h"
#include "ui/OrtForm.h"
#include "ui/PrintControlU.h"
#include "ui/StatusHints.h"
#include "ui/WindowHost.h"
#include "ui/UiText.h"

namespace orb {
namespace {

constexpr const char* kCaption = "Orbitello 32";
// The status bar's text at start: the program and the date of its tables'
// layout.
constexpr const char* kStartText = "Orbitello32  –  Ephemeriden, Mondphasen und Finsternisse  –  Stand 29.01.2012";
constexpr const char* kPrintJobTitle = "Orbitello32 - Textausgabe";
constexpr const char* kCompanionName = "Zyklusbild";

// The navigation of the eclipse pictures: a month back or on from the
// eclipse shown (the local and path searches step from there to the
// neighbouring eclipse new moon).
constexpr Extended kBackward_days = 28;
constexpr Extended kForward_days = 29;


// The default font of the text area: a fixed-pitch font.
QFont DefaultScreenFont() {
  QFont font(QStringLiteral("Courier New"), 10);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

// Runs `f` on the window's thread (queued): the worker hands its results over.
void OnWindowThread(QObject* window, std::function<void()> f) {
  QMetaObject::invokeMethod(window, std::move(f), Qt::QueuedConnection);
}

// The picture sinks of the eclipse searches: the worker builds the picture
// (a paint procedure with its own copy of the eclipse), the window's thread
// shows it.
class LunarSink : public LunarEclipsePictureSink {
 public:
  using Show = std::function<void(const PictureSetup&, Extended baseJD, Extended middle)>;
  LunarSink(QObject* window, Show show) : window_(window), show_(std::move(show)) {}
  void ShowLunarEclipse(const Finsternistyp& e, const std::vector<std::string>& lines) override {
    OnWindowThread(window_, [show = show_, p = LunarEclipsePictureSetup(e, lines), base = e.base, middle = e.middle] {
      show(p, base, middle);
    });
  }

 private:
  QObject* window_;
  Show show_;
};

class LocalSink : public LocalEclipsePictureSink {
 public:
  using Show = std::function<void(const PictureSetup&, Extended maximumJD)>;
  LocalSink(const TSettings& s, QObject* window, Show show) : s_(s), window_(window), show_(std::move(show)) {}
  void ShowLocalEclipse(const LocalEclipse& e, const std::vector<std::string>& lines) override {
    OnWindowThread(window_, [show = show_, p = LocalEclipsePictureSetup(LocalPictureValuesOf(s_, e, lines), lines),
                             tm = JDFromCenturies(e.Tm)] { show(p, tm); });
  }

 private:
  const TSettings& s_;
  QObject* window_;
  Show show_;
};

class PathSink : public EclipsePathPictureSink {
 public:
  using Show = std::function<void(const PictureSetup&)>;
  PathSink(const TSettings& s, QObject* window, Show show) : s_(s), window_(window), show_(std::move(show)) {}
  void ShowEclipsePath(const std::vector<std::string>& pathList, const std::string& title,
                       std::shared_ptr<const PathMapLimits> limits) override {
    OnWindowThread(window_, [show = show_, p = WorldMapPictureSetup(pathList, FindDataFile(s_.GeoFileName), title,
                                                                    std::move(limits))] { show(p); });
  }

 private:
  const TSettings& s_;
  QObject* window_;
  Show show_;
};

// The selected text of the text area with its line breaks.
QString SelectedText(const QPlainTextEdit* memo) {
  QString text = memo->textCursor().selectedText();
  text.replace(QChar(0x2029), QLatin1Char('\n'));
  return text;
}

}  // namespace

QString CompanionProgram() {
  const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromUtf8(kCompanionName);
  if (QFileInfo(beside).isExecutable()) return beside;
  return QStandardPaths::findExecutable(QString::fromUtf8(kCompanionName));
}

// ---------------------------------------------------------------- creation

TForm1::TForm1(SettingsFile settingsFile, QWidget* parent) : QMainWindow(parent), file_(std::move(settingsFile)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(kCaption));
  setWindowIcon(ToolIcon(QStringLiteral("orbitello32")));
  LoadSettings(file_.Document(), settings_, CurrentJD(), &loadProblems_);

  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setFont(DefaultScreenFont());
  memo_->setUndoRedoEnabled(false);
  memo_->viewport()->setMouseTracking(true);
  memo_->viewport()->installEventFilter(this);
  setCentralWidget(memo_);

  statusText_ = new QLabel(QString::fromUtf8(kStartText), this);
  statusText_->setObjectName(QStringLiteral("StatusBar"));
  statusBar()->addWidget(statusText_, 1);

  host_ = std::make_unique<WindowHost>(
      memo_, this, [this](bool on) { actions_["StopBtn"]->setEnabled(on); },
      [this](const QString& text) { statusText_->setText(text); });

  BuildActions();
  BuildMenus();
  BuildToolBar();
  actions_["ListBtn"]->setChecked(settings_.Tabelle);
  actions_["StopBtn"]->setEnabled(false);
  LoadWindowSettings();
  UpdateMinimumMagnitudeCaption();
  setMouseTracking(true);
}

TForm1::~TForm1() {
  if (run_) {
    run_->End();
  }
  if (worker_.joinable()) worker_.join();
}

QAction* TForm1::Action(const QString& name, const QString& text, const QString& icon, const QKeySequence& key,
                        std::function<void()> onTrigger) {
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  if (!icon.isEmpty()) action->setIcon(ToolIcon(icon));
  if (!key.isEmpty()) action->setShortcut(key);
  connect(action, &QAction::triggered, this, [f = std::move(onTrigger)] { f(); });
  actions_[name] = action;
  return action;
}

void TForm1::BuildActions() {
  // The tool bar's buttons: objectName, hint, icon.
  Action("StopBtn", "Berechnung stoppen", "stop", {}, [this] { StopBtnClick(); });
  Action("DateBtn", "Datum und Uhrzeit einstellen", "date", {}, [this] { DateClick(); });
  Action("OrtBtn", "Ort auswählen", "place", {}, [this] { PlaceClick(); });
  Action("SettingsBtn", "Einstellungen", "settings", {}, [this] { SettingsClick(); });
  Action("PrintBtn", "Text drucken", "print", {}, [this] { PrintClick(); });
  QAction* list = Action("ListBtn", "Listenberechnung an- und abschalten", "list", {}, [] {});
  list->setCheckable(true);
  connect(list, &QAction::toggled, this, [this](bool on) { ListBtnClick(on); });
  Action("SunBtn", "Sonne berechnen", "sun", {}, [this] { SunBtnClick(); });
  Action("PlanetBtn", "Planeten berechnen", "planet", {}, [this] { PlanetBtnClick(); });
  Action("MoonBtn", "Mond berechnen", "moon", {}, [this] { MoonBtnClick(); });
  Action("NewPlanet", "neuen Planeten auswählen", "newplanet", {}, [this] { NewPlanetClick(); });
  Action("SoFiBtn", "Sonnenfinsternis berechnen", "solareclipse", {}, [this] { SolarEclipseClick(21); });
  Action("MoFiBtn", "Mondfinsternis berechnen", "lunareclipse", {}, [this] { LunarEclipseClick(31); });
  Action("YearBookBtn", "Jahrbuchmodus", "yearbook", {}, [this] { YearBookClick(); })->setCheckable(true);
  Action("EraseBtn", "Text löschen", "erase", {}, [this] { EraseClick(); });
  Action("SaveBtn", "Text in Datei speichern", "save", {}, [this] { SaveClick(); });
  Action("MondphasenBtn", "Mondphasen berechnen", "moonphases", {}, [this] { LunarPhasesClick(); });
  Action("ExitBtn", "Programm beenden", "exit", {}, [this] { close(); });
  Action("SofiWorldMapBtn", "Sonnenfinsternispfad berechnen", "eclipsemap", {}, [this] { SolarEclipseClick(23); });
  for (const char* name : {"StopBtn", "DateBtn", "OrtBtn", "SettingsBtn", "PrintBtn", "ListBtn", "SunBtn", "PlanetBtn",
                           "MoonBtn", "NewPlanet", "SoFiBtn", "MoFiBtn", "YearBookBtn", "EraseBtn", "SaveBtn",
                           "MondphasenBtn", "ExitBtn", "SofiWorldMapBtn"}) {
    actions_[name]->setToolTip(actions_[name]->text());
  }
}

void TForm1::BuildMenus() {
  QMenu* datei = menuBar()->addMenu(QStringLiteral("Datei"));
  datei->setObjectName(QStringLiteral("Datei1"));
  datei->addAction(Action("Datum1", "Datum", {}, QKeySequence("Ctrl+D"), [this] { DateClick(); }));
  datei->addAction(Action("Einstellungen1", "Einstellungen", {}, QKeySequence("Ctrl+E"), [this] { SettingsClick(); }));
  datei->addAction(Action("Beobachtungsort1", "Beobachtungsort", {}, QKeySequence("Ctrl+O"), [this] { PlaceClick(); }));
  datei->addSeparator();
  datei->addAction(Action("Speichern1", "Speichern", {}, QKeySequence("Ctrl+S"), [this] { SaveClick(); }));
  datei->addAction(Action("Drucken1", "Drucken", {}, QKeySequence("Ctrl+P"), [this] { PrintClick(); }));
  datei->addAction(Action("Beenden1", "Beenden", {}, QKeySequence("Alt+F4"), [this] { close(); }));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("Bearbeiten"));
  edit->setObjectName(QStringLiteral("Bearbeiten1"));
  edit->addAction(Action("Kopieren1", "Kopieren", {}, QKeySequence("Ctrl+C"), [this] { memo_->copy(); }));
  edit->addAction(Action("Ausschneiden1", "Ausschneiden", {}, QKeySequence("Ctrl+X"), [this] { memo_->cut(); }));
  edit->addAction(Action("Einfuegen1", "Einfügen", {}, QKeySequence("Ctrl+V"), [this] { memo_->paste(); }));
  edit->addAction(
      Action("AllesMarkieren1", "Alles markieren", {}, QKeySequence("Ctrl+A"), [this] { memo_->selectAll(); }));
  edit->addAction(Action("AllesLoeschen1", "Alles löschen", {}, QKeySequence("Ctrl+Del"), [this] { EraseClick(); }));
  // The text area's own keys (copy, cut, paste, select all) win while it
  // has the focus; the menu's act on it from anywhere else.
  for (const char* name : {"Kopieren1", "Ausschneiden1", "Einfuegen1", "AllesMarkieren1"}) {
    actions_[name]->setShortcutContext(Qt::WindowShortcut);
  }

  QMenu* compute = menuBar()->addMenu(QStringLiteral("Berechnen"));
  compute->setObjectName(QStringLiteral("Berechnen1"));
  compute->addAction(Action("Sonne1", "Sonne", {}, QKeySequence("Shift+Ctrl+S"), [this] { SunBtnClick(); }));
  compute->addAction(Action("Mond1", "Mond", {}, QKeySequence("Shift+Ctrl+M"), [this] { MoonBtnClick(); }));
  // Mercury .. Neptune by their tags; Mars is Shift+Ctrl+4, not 3.
  const struct {
    const char* name;
    const char* text;
    const char* key;
    int32_t tag;
  } planets[] = {{"Merkur1", "Merkur", "Shift+Ctrl+1", 1}, {"Venus1", "Venus", "Shift+Ctrl+2", 2},
                 {"Mars1", "Mars", "Shift+Ctrl+4", 3},     {"Jupiter1", "Jupiter", "Shift+Ctrl+5", 4},
                 {"Saturn1", "Saturn", "Shift+Ctrl+6", 5}, {"Uranus1", "Uranus", "Shift+Ctrl+7", 6},
                 {"Neptun1", "Neptun", "Shift+Ctrl+8", 7}, {"Kometen1", "Kometen", "Shift+Ctrl+9", 9}};
  for (const auto& p : planets) {
    QAction* a = Action(p.name, p.text, {}, QKeySequence(p.key), [this, tag = p.tag] { PlanetMenuClick(tag); });
    a->setData(p.tag);
    compute->addAction(a);
  }
  compute->addAction(Action("NeuerKomet1", "Neuen Kometen / Asteroiden wählen", {}, {}, [this] { CometClick(); }));
  compute->addSeparator();
  compute->addAction(Action("Jahrbuch1", "Jahrbuch", {}, QKeySequence("Shift+Ctrl+J"), [this] { YearBookClick(); }));
  compute->addAction(Action("Koordinatentransformation1", "Koordinatentransformation", {},
                            QKeySequence("Shift+Ctrl+K"), [this] { CoordinateClick(); }));
  compute->addAction(
      Action("Mondphasen1", "Mondphasen", {}, QKeySequence("Shift+Ctrl+P"), [this] { LunarPhasesClick(); }));
  compute->addSeparator();
  compute->addAction(Action("MaxSeclMagMenu", "", {}, {}, [this] { MinimumMagnitudeClick(); }));
  const struct {
    const char* name;
    const char* text;
    const char* key;
    int tag;
  } eclipses[] = {{"SoFi20", "Sonnenfinsternis ohne Grafik", "", 20},
                  {"SoFi21", "Sonnenfinsternis mit   Grafik", "Ctrl+Alt+S", 21},
                  {"SoFi22", "Sonnenfinsternispfad ohne Grafik", "", 22},
                  {"SoFi23", "Sonnenfinsternispfad mit   Grafik", "Ctrl+Alt+P", 23},
                  {"MoFi30", "Mondfinsternis ohne Grafik", "", 30},
                  {"MoFi31", "Mondfinsternis mit Grafik", "Ctrl+Alt+M", 31}};
  for (const auto& e : eclipses) {
    const int tag = e.tag;
    QAction* a = Action(e.name, e.text, {}, QKeySequence(e.key), [this, tag] {
      if (tag >= 30) {
        LunarEclipseClick(tag);
      } else {
        SolarEclipseClick(tag);
      }
    });
    a->setData(tag);
    compute->addAction(a);
    if (tag == 23) {
      // The places of the location list inside the central path, with the
      // path's search from Startdat.
      compute->addAction(Action("SoFiOrte", "Orte im Totalitätsbereich", {}, {}, [this] {
        StartRun([](const TSettings& s, TRunContext& run, Host& host) { ListEclipsePlaces(s, run, host); });
      }));
    }
    if (tag == 21 || tag == 23) compute->addSeparator();
  }

  QAction* info = menuBar()->addAction(QStringLiteral("Info"));
  info->setObjectName(QStringLiteral("Info1"));
  actions_["Info1"] = info;
  connect(info, &QAction::triggered, this, [this] { AboutClick(); });
}

void TForm1::BuildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Werkzeuge"));
  toolBar_->setObjectName(QStringLiteral("ToolBar1"));
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(24, 24));
  toolBar_->setMouseTracking(true);
  toolBar_->installEventFilter(this);
  const std::vector<std::vector<const char*>> groups = {
      {"StopBtn"},
      {"DateBtn", "OrtBtn", "SettingsBtn", "PrintBtn"},
      {"ListBtn", "SunBtn", "PlanetBtn", "MoonBtn", "NewPlanet"},
      {"SoFiBtn", "SofiWorldMapBtn", "MoFiBtn", "MondphasenBtn", "YearBookBtn"},
      {"EraseBtn", "SaveBtn", "ExitBtn"}};
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (g > 0) toolBar_->addSeparator();
    for (const char* name : groups[g]) {
      toolBar_->addAction(actions_[name]);
      QWidget* button = toolBar_->widgetForAction(actions_[name]);
      button->setObjectName(QLatin1String(name));
      button->setMouseTracking(true);
      button->installEventFilter(this);
    }
  }
  newPlanetButton_ = qobject_cast<QToolButton*>(toolBar_->widgetForAction(actions_["NewPlanet"]));

  // The new-planet popup: its fourteen items are filled when it opens.
  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
}

// ---------------------------------------------------------------- settings

void TForm1::LoadWindowSettings() {
  const WindowSettings w = ReadWindowSettings(file_);
  setGeometry(w.Fenster_X, w.Fenster_Y, w.Fenster_W, w.Fenster_H);
  if (w.Fenster_State == kWindowMaximised) setWindowState(windowState() | Qt::WindowMaximized);
  if (!w.ScreenFont.empty()) {
    if (const std::optional<FontText> f = FontFromText(Q(w.ScreenFont))) {
      QFont font = f->font;
      font.setStyleHint(QFont::Monospace);
      memo_->setFont(font);
    } else {
      fontProblem_ = kInvalidFontText;
    }
  }
  printLandscape_ = w.PrintLandscape;
  settings_.LRand = w.LinkerRand;
}

void TForm1::ShowStartupMessages() {
  if (!file_.ReadErrorText().empty()) {
    QMessageBox::warning(this, QStringLiteral("Einstellungen"), Q(file_.ReadErrorText()));
  }
  for (const SettingsProblem& p : loadProblems_) {
    QMessageBox::warning(this, QStringLiteral("Einstellungen"), Q(p.text));
  }
  loadProblems_.clear();
  // A malformed font text is said once; the default font stands.
  if (!fontProblem_.empty()) QMessageBox::critical(this, QStringLiteral("Fehler"), Q(fontProblem_));
  fontProblem_.clear();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  // The printer font is read on the first show, into the print dialog.
  const std::string printerFont = ReadWindowSettings(file_).PrinterFont;
  if (!printerFont.empty()) {
    if (const std::optional<FontText> f = FontFromText(Q(printerFont))) {
      SharedPrintDialog(this).SetTextFont(f->font);
    } else if (fontProblem_.empty()) {
      fontProblem_ = kInvalidFontText;
    }
  }
  OnWindowThread(this, [this] { ShowStartupMessages(); });
}

void TForm1::SaveOnClose() {
  std::string error;
  WriteSettings(file_, settings_);
  if (settings_.Speichern) {
    WindowSettings w;
    const bool maximised = isMaximized();
    w.Fenster_State = maximised ? kWindowMaximised : isMinimized() ? kWindowMinimised : kWindowNormal;
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    w.Fenster_X = normal.x();
    w.Fenster_Y = normal.y();
    w.Fenster_W = normal.width();
    w.Fenster_H = normal.height();
    w.ScreenFont = FontToText(memo_->font(), Qt::black).toStdString();
    w.PrinterFont = FontToText(SharedPrintDialog(this).TextFont(), Qt::black).toStdString();
    w.PrintLandscape = printLandscape_;
    w.LinkerRand = settings_.LRand;
    WriteWindowSettings(file_, w);
  }
  if (file_.Path().empty()) return;
  if (!file_.Save(error)) QMessageBox::warning(this, QStringLiteral("Einstellungen"), Q(error));
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (run_) {
    // The computation ends after its current step, without the question.
    closing_ = true;
    run_->End();
    WaitForRun();
  }
  SaveOnClose();
  for (TGraphForm* form : {lunarForm_, localForm_, pathForm_}) {
    if (form != nullptr) form->close();
  }
  event->accept();
}

// ---------------------------------------------------------------- running

bool TForm1::StartRun(Work work, std::function<void(TRunContext&)> prepare) {
  if (run_) {
    // One computation at a time: a second one would share the first one's
    // planetary theory and text area.
    QApplication::beep();
    return false;
  }
  host_->Flush();
  host_->ResetLineCount();
  snapshot_ = std::make_unique<TSettings>(settings_);
  run_ = std::make_unique<TRunContext>(*snapshot_);
  run_->LastHeader = lastHeader_;
  if (prepare) prepare(*run_);
  actions_["StopBtn"]->setEnabled(true);
  worker_ = std::thread([this, work = std::move(work)] {
    work(*snapshot_, *run_, *host_);
    theory::ReleaseThreadState();
    OnWindowThread(this, [this] { FinishRun(); });
  });
  return true;
}

void TForm1::FinishRun() {
  if (worker_.joinable()) worker_.join();
  host_->Flush();
  if (run_) lastHeader_ = run_->LastHeader;
  run_.reset();
  snapshot_.reset();
  actions_["StopBtn"]->setEnabled(false);
  emit RunFinished();
}

void TForm1::WaitForRun() {
  if (!run_) return;
  QEventLoop loop;
  connect(this, &TForm1::RunFinished, &loop, &QEventLoop::quit);
  if (run_) loop.exec();
}

// ---------------------------------------------------------------- commands

void TForm1::StopBtnClick() {
  QApplication::beep();
  if (run_) run_->RequestStop();
}

void TForm1::SunBtnClick() { StartTable(kSun); }
void TForm1::MoonBtnClick() { StartTable(kMoon); }
void TForm1::PlanetBtnClick() { StartTable(settings_.PlanetNr); }

void TForm1::StartTable(int32_t objekt) {
  if (Running()) {
    // Refused before the settings change: the running table keeps its object.
    QApplication::beep();
    return;
  }
  settings_.Objekt = objekt;
  StartRun([](const TSettings& s, TRunContext& run, Host& host) { ComputeTable(s, run, host); });
}

void TForm1::PlanetMenuClick(int32_t planetNr) {
  if (Running()) {
    QApplication::beep();
    return;
  }
  settings_.PlanetNr = planetNr;
  PlanetBtnClick();
}

void TForm1::ListBtnClick(bool pressed) { settings_.Tabelle = pressed; }

void TForm1::LunarPhasesClick() {
  StartRun([](const TSettings& s, TRunContext& run, Host& host) { ListMoonPhases(s, run, host); });
}

void TForm1::LunarEclipseClick(int tag) {
  const bool picture = tag % 2 == 1;
  StartRun([this, picture](const TSettings& s, TRunContext& run, Host& host) {
    LunarSink sink(
        this, [this](const PictureSetup& p, Extended base, Extended middle) { ShowLunarPicture(p, base, middle); });
    LunarEclipseSearch search;
    ListLunarEclipses(s, run, host, search, picture, &sink);
  });
}

void TForm1::SolarEclipseClick(int tag) {
  const bool picture = tag % 2 == 1;
  const bool path = tag >= kRunSolarEclipsePath;
  const double minimum = minimumMagnitude_;
  StartRun([this, picture, path, minimum](const TSettings& s, TRunContext& run, Host& host) {
    if (path) {
      RunPathSearch(s, [&](PathReport& report) { SolarEclipseCommand(s, run, host, report, true, picture, 0); });
    } else {
      LocalSink sink(s, this, [this](const PictureSetup& p, Extended tm) { ShowLocalPicture(p, tm); });
      LocalEclipseReport report(minimum, &sink);
      SolarEclipseCommand(s, run, host, report, false, picture, minimum);
    }
  });
}

// The eclipse of the world map: its fits, title and Saros line.
struct ShownPath {
  SolarEclipseContext context;
  std::string title;
  std::string saros;
};

void TForm1::RunPathSearch(const TSettings& s, const std::function<void(PathReport&)>& search) {
  PathSink sink(s, this, [this](const PictureSetup& p) { ShowPathPicture(p); });
  PathReport report(&sink);
  search(report);
  const Extended conjunction = JDFromCenturies(report.Context().conjunction);
  std::shared_ptr<const ShownPath> shown;
  if (const std::vector<std::string>& list = report.PathList(); list.size() >= 2) {
    shown = std::make_shared<const ShownPath>(ShownPath{report.Context(), list[list.size() - 2], list.back()});
  }
  OnWindowThread(this, [this, conjunction, shown] {
    pathShownJD_ = conjunction;
    if (shown) pathShown_ = shown;
  });
}

void TForm1::ExportPathClick() {
  if (!pathShown_) return;
  const QString name = askExportFileName ? askExportFileName()
                                         : QFileDialog::getSaveFileName(
                                               pathForm_, QStringLiteral("Pfad exportieren"), QString(),
                                               QStringLiteral("GeoJSON (*.geojson);;KML (*.kml)"));
  if (name.isEmpty()) return;
  std::string error;
  if (!ExportEclipsePath(pathShown_->context, pathShown_->title, pathShown_->saros,
                         QFile::encodeName(name).toStdString(), error)) {
    QMessageBox::critical(pathForm_ != nullptr ? static_cast<QWidget*>(pathForm_) : this, QStringLiteral("Fehler"),
                          Q(error));
  }
}

void TForm1::MinimumMagnitudeClick() {
  QString answer = QString::number(std::lround(minimumMagnitude_ * 100));
  if (!AskText(this, QStringLiteral("Sonnenfinsternis"), QStringLiteral("Bitte minimalen Bedeckungsgrad in % eingeben:"),
               answer)) {
    return;
  }
  const Extended percent = std::fabs(ParseNumber(answer.toStdString()));
  if (!std::isfinite(percent)) return;
  minimumMagnitude_ = static_cast<float>(std::min<Extended>(percent / 100, 1));
  UpdateMinimumMagnitudeCaption();
}

void TForm1::UpdateMinimumMagnitudeCaption() {
  actions_["MaxSeclMagMenu"]->setText(QStringLiteral("Minimale Bedeckung: ") +
                                      Q(StrT(minimumMagnitude_ * 100.0L, 0, 2)) + QStringLiteral("%"));
}

void TForm1::EraseClick() {
  memo_->clear();
  lastHeader_.clear();
}

void TForm1::SaveClick() {
  const QString name = askSaveFileName
                           ? askSaveFileName()
                           : QFileDialog::getSaveFileName(this, QStringLiteral("Speichern"), QString(),
                                                          QStringLiteral("Textdateien (*.txt *.TXT *.CSV)"));
  if (name.isEmpty()) return;
  host_->Flush();
  std::string text = memo_->toPlainText().toStdString();
  if (!text.empty()) text += '\n';
  const FileResult written = ReplaceFileContents(QFile::encodeName(name).toStdString(), text);
  if (!written.ok()) {
    QMessageBox::critical(this, QStringLiteral("Fehler"),
                          QStringLiteral("Datei ") + name + QStringLiteral(" konnte nicht geschrieben werden: ") +
                              Q(written.reason) + QStringLiteral("."));
  }
}

void TForm1::PrintClick() {
  host_->Flush();
  TPrintControl& dialog = SharedPrintDialog(this);
  const QString selection = SelectedText(memo_);
  dialog.PrepareText(settings_.LRand, printLandscape_, !selection.isEmpty());
  if (dialog.exec() != QDialog::Accepted) return;
  if (!dialog.CheckRange(selection)) return;
  settings_.LRand = dialog.MarginMm();
  printLandscape_ = dialog.Landscape();
  QPrinter& printer = dialog.Printer();
  printer.setDocName(QString::fromUtf8(kPrintJobTitle));
  const QString text = dialog.SelectionOnly() ? selection : memo_->toPlainText();
  const std::string error = PrintText(printer, dialog.TextFont(), text, settings_.LRand);
  if (!error.empty()) QMessageBox::critical(this, QStringLiteral("Fehler"), Q(error));
}

void TForm1::AboutClick() {
  double first = 0, last = 0;
  const bool range = theory::EphemerisRange(first, last);
  const bool files = theory::LastEphemerisSource() == theory::EphemerisSource::JplFiles;
  QString text = QStringLiteral(
      "<p><b>Orbitello 32</b><br>Ephemeriden von Sonne, Mond, Planeten, Kometen und Kleinplaneten, "
      "Mondphasen, Mond- und Sonnenfinsternisse für einen Beobachtungsort.</p>");
  text += QStringLiteral("<p>Ephemeride: ") + Q(theory::EphemerisDescription()).toHtmlEscaped();
  if (range) {
    text += QStringLiteral(", gültig vom ") + Q(DateText(first, 0, DateStyle{})) + QStringLiteral(" bis ") +
            Q(DateText(last, 0, DateStyle{}));
  }
  text += QStringLiteral(".</p><p>Genauigkeit: ");
  text += files ? QStringLiteral(
                      "Die Örter von Sonne, Mond und allen Planeten einschließlich Pluto folgen der "
                      "JPL-Ephemeride DE431 auf rund eine Millibogensekunde; die Tabellen runden auf 0,1 s "
                      "bzw. 1\". Kometen und Kleinplaneten rechnet das Programm als Zweikörperbahnen: "
                      "ihre Genauigkeit hängt vom Alter der Bahnelemente ab.")
                : QStringLiteral(
                      "Die analytische Ephemeride (Moshier) gibt Sonne, Mond und Planeten zwischen 3000 v. Chr. "
                      "und 3000 n. Chr. auf etwa eine Bogensekunde.");
  text += QStringLiteral("</p><p>Lizenz: AGPL-3.0-or-later. Swiss Ephemeris © Astrodienst AG.</p>");
  QMessageBox box(QMessageBox::Information, QString::fromUtf8(kCaption), text, QMessageBox::NoButton, this);
  box.setObjectName(QStringLiteral("AboutBox"));
  box.setTextFormat(Qt::RichText);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

void TForm1::NewPlanetClick() {
  popupMenu1_->clear();
  // Eight planets, a separator, the element set, the comet dialog, the
  // elements, a separator, "Abbruch"; each item's tag is its number.
  for (int32_t tag = 1; tag <= 8; ++tag) {
    QAction* a = popupMenu1_->addAction(Q(settings_.PlanetName(tag)), this, [this, tag] { NewPlanetItemClick(tag); });
    a->setData(tag);
  }
  popupMenu1_->addSeparator()->setData(13);
  QAction* body = popupMenu1_->addAction(Q(settings_.CurrentElements.name), this, [this] { NewPlanetItemClick(9); });
  body->setData(9);
  body->setEnabled(!settings_.CurrentElements.name.empty());
  QAction* comet = popupMenu1_->addAction(QStringLiteral("Neuen Kometen/Asteroiden eingeben"), this,
                                          [this] { NewPlanetItemClick(10); });
  comet->setData(10);
  QAction* elements =
      popupMenu1_->addAction(QStringLiteral("Bahndaten anzeigen"), this, [this] { NewPlanetItemClick(11); });
  elements->setData(11);
  popupMenu1_->addSeparator()->setData(14);
  popupMenu1_->addAction(QStringLiteral("Abbruch"))->setData(12);
  const QPoint below = newPlanetButton_ != nullptr
                           ? newPlanetButton_->mapToGlobal(QPoint(0, newPlanetButton_->height()))
                           : mapToGlobal(QPoint(0, 0));
  popupMenu1_->popup(below);
}

void TForm1::NewPlanetItemClick(int tag) {
  if (tag >= 1 && tag <= 9) {
    if (Running()) {
      QApplication::beep();
      return;
    }
    settings_.PlanetNr = tag;
    const QString hint = Q(PlanetButtonHint(settings_));
    actions_["PlanetBtn"]->setToolTip(hint);
    actions_["NewPlanet"]->setToolTip(QStringLiteral("Neuen Planeten auswählen, aktuell gewählt: ") +
                                      Q(settings_.PlanetName(tag)));
    PlanetBtnClick();
  } else if (tag == 10) {
    CometClick();
  } else if (tag == 11) {
    host_->Flush();
    memo_->appendPlainText(QString());
    const std::string text = ElementText(settings_.CurrentElements, "\r\n");
    memo_->appendPlainText(Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }
}

void TForm1::DateClick() {
  if (dateForm_ == nullptr) {
    dateForm_ = new TDateForm(
        settings_, [this](bool listMode) { actions_["ListBtn"]->setChecked(listMode); }, this);
  }
  dateForm_->exec();
  actions_["ListBtn"]->setChecked(settings_.Tabelle);
  SettingsChanged();
}

void TForm1::PlaceClick() {
  if (ortForm_ == nullptr) ortForm_ = new TOrtForm(settings_, this);
  ortForm_->exec();
  SettingsChanged();
}

void TForm1::SettingsClick() {
  if (einstellForm_ == nullptr) {
    EinstellLinks links;
    links.screenFont = [this] { return memo_->font(); };
    links.setScreenFont = [this](const QFont& f) {
      QFont font = f;
      font.setStyleHint(QFont::Monospace);
      memo_->setFont(font);
    };
    links.printerFont = [this] { return SharedPrintDialog(this).TextFont(); };
    links.setPrinterFont = [this](const QFont& f) { SharedPrintDialog(this).SetTextFont(f); };
    links.printLandscape = [this] { return printLandscape_; };
    links.setPrintLandscape = [this](bool landscape) { printLandscape_ = landscape; };
    links.choosePlace = [this] { PlaceClick(); };
    einstellForm_ = new TEinstellForm(settings_, std::move(links), this);
  }
  einstellForm_->exec();
  SettingsChanged();
}

void TForm1::CoordinateClick() {
  if (beliebigForm_ == nullptr) {
    beliebigForm_ = new TBeliebigForm(
        settings_,
        [this](const ArbitraryCoordinates& point, const std::string& title) { ArbitraryTableClick(point, title); },
        this);
  }
  beliebigForm_->show();
  beliebigForm_->raise();
  beliebigForm_->activateWindow();
}

void TForm1::CometClick() {
  if (cometForm_ == nullptr) {
    cometForm_ = new TCometForm(
        settings_, file_,
        [this](const std::string& name) {
          // The dialog has made the body object 9; its table follows.
          actions_["PlanetBtn"]->setToolTip(Q(PlanetButtonHint(settings_)));
          actions_["NewPlanet"]->setToolTip(QStringLiteral("Neuen Planeten auswählen, aktuell gewählt: ") + Q(name));
          PlanetBtnClick();
        },
        nullptr, this);
  }
  cometForm_->exec();
}

void TForm1::SettingsChanged() {
  if (beliebigForm_ != nullptr && beliebigForm_->isVisible()) beliebigForm_->Recompute();
}

void TForm1::YearBookClick() {
  QAction* button = actions_["YearBookBtn"];
  button->setChecked(true);
  if (jahrbuchForm_ == nullptr) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    jahrbuchForm_ = new TJahrbuchForm(
        settings_, file_, [this] { YearBookRunClick(); }, [button] { button->setChecked(false); }, this);
    QApplication::restoreOverrideCursor();
  }
  jahrbuchForm_->exec();
}

void TForm1::YearBookRunClick() {
  if (Running()) {
    QApplication::beep();
    return;
  }
  // The worker reads the yearbook sections from its own copy of the file.
  auto document = std::make_shared<const IniDocument>(file_.Document());
  StartRun([document](const TSettings& s, TRunContext& run, Host& host) { YearBookRun(s, run, host, *document); });
}

void TForm1::ArbitraryTableClick(const ArbitraryCoordinates& point, const std::string& title) {
  if (Running()) {
    QApplication::beep();
    return;
  }
  settings_.Objekt = kArbitrary;
  settings_.ArbitraryTitle = title;
  StartRun([point](const TSettings& s, TRunContext& run, Host& host) { ComputeTable(s, run, host, point); });
}

// ---------------------------------------------------------------- pictures

void TForm1::AddNavigation(TGraphForm* form, int firstTag, std::function<void(int direction)> search,
                           std::function<void()> takeDate, int companionTag, Extended* companionJD) {
  form->AddMenuEntry(QStringLiteral("|   <= &zurück  "), firstTag, QKeySequence(Qt::Key_Left),
                     [search] { search(-1); });
  form->AddMenuEntry(QStringLiteral("  &Datum übernehmen  "), firstTag + 1, {}, std::move(takeDate));
  if (companionTag > 0 && !CompanionProgram().isEmpty()) {
    form->AddMenuEntry(QString::fromUtf8(kCompanionName), companionTag, {},
                       [this, companionJD] { StartCompanion(*companionJD); });
  }
  form->AddMenuEntry(QStringLiteral("  &weiter =>  "), firstTag + 2, QKeySequence(Qt::Key_Right),
                     [search] { search(+1); });
}

void TForm1::ShowPicture(TGraphForm*& form, const PictureSetup& picture) {
  TGraphForm::ShowGraph(form, picture, this);
  form->SizedOnce = true;
  form->PrintMarginMm = settings_.LRand;
}

void TForm1::StartNavigation(Extended from, Work work) {
  settings_.Tabelle = false;
  actions_["ListBtn"]->setChecked(false);
  StartRun(std::move(work), [from](TRunContext& run) { run.StartJulDat = from; });
}

void TForm1::ShowLunarPicture(const PictureSetup& picture, Extended baseJD, Extended middle) {
  lunarShownJD_ = baseJD;
  lunarMiddleJD_ = baseJD + middle;
  ShowPicture(lunarForm_, picture);
  AddNavigation(
      lunarForm_, 1,
      [this](int direction) {
        // From the eclipse's own base instant the search examines the
        // neighbouring full moon first, both ways.
        StartNavigation(lunarShownJD_, [this, direction](const TSettings& s, TRunContext& run, Host& host) {
          LunarSink sink(
              this, [this](const PictureSetup& p, Extended base, Extended mid) { ShowLunarPicture(p, base, mid); });
          LunarEclipseSearch search;
          search.Run(s, run, host, true, direction, &sink);
        });
      },
      [this] { TakeDate(lunarMiddleJD_); }, 0, nullptr);
}

void TForm1::ShowLocalPicture(const PictureSetup& picture, Extended maximumJD) {
  localShownJD_ = maximumJD;
  ShowPicture(localForm_, picture);
  AddNavigation(
      localForm_, 4,
      [this](int direction) {
        const Extended from = localShownJD_ + (direction < 0 ? -kBackward_days : kForward_days);
        const double minimum = minimumMagnitude_;
        StartNavigation(from, [this, direction, minimum](const TSettings& s, TRunContext& run, Host& host) {
          LocalSink sink(s, this, [this](const PictureSetup& p, Extended tm) { ShowLocalPicture(p, tm); });
          LocalEclipseReport report(minimum, &sink);
          SolarEclipseSearch(s, run, host, report, false, true, minimum, direction);
        });
      },
      [this] { TakeDate(localShownJD_); }, 10, &localShownJD_);
}

void TForm1::ShowPathPicture(const PictureSetup& picture) {
  ShowPicture(pathForm_, picture);
  AddNavigation(
      pathForm_, 7,
      [this](int direction) {
        const Extended from = pathShownJD_ + (direction < 0 ? -kBackward_days : kForward_days);
        StartNavigation(from, [this, direction](const TSettings& s, TRunContext& run, Host& host) {
          RunPathSearch(
              s, [&](PathReport& report) { SolarEclipseSearch(s, run, host, report, true, true, 0, direction); });
        });
      },
      [this] { TakeDate(pathShownJD_); }, 11, &pathShownJD_);
  pathForm_->AddMenuEntry(QStringLiteral("  Pfad &exportieren…  "), 12, {}, [this] { ExportPathClick(); });
}

void TForm1::TakeDate(Extended jd) {
  settings_.Startdat = jd;
  ApplyAutoSummerTime(settings_);
  ShowHint(nullptr);  // the status bar shows the new date
}

void TForm1::StartCompanion(Extended jd) {
  const QString program = CompanionProgram();
  if (program.isEmpty()) return;
  QProcess::startDetached(program, {Q(Str(jd, 1, 5))});
}

// ---------------------------------------------------------------- hints

void TForm1::ShowHint(QObject* over) {
  const QString name = over != nullptr ? over->objectName() : QString();
  std::string hint;
  if (name == QLatin1String("DateBtn")) {
    hint = DateButtonHint(settings_);
  } else if (name == QLatin1String("OrtBtn")) {
    hint = PlaceButtonHint(settings_);
  } else if (name == QLatin1String("PlanetBtn")) {
    hint = PlanetButtonHint(settings_);
    actions_["PlanetBtn"]->setToolTip(Q(hint));
  } else if (name.isEmpty() || name == QLatin1String("Memo1") || name == QLatin1String("Form1") ||
             over == memo_->viewport()) {
    hint = WindowHint(settings_);
  } else {
    return;
  }
  if (!Running()) statusText_->setText(Q(hint));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseMove || type == QEvent::Enter || type == QEvent::HoverMove) {
    if (watched == toolBar_ && type == QEvent::MouseMove) {
      // Over a disabled button the tool bar receives the movement.
      const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
      ShowHint(toolBar_->childAt(at));
    } else {
      ShowHint(watched);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace orb
