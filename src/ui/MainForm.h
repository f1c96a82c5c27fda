// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TForm1, the main window: the tool bar, the main menu, the fixed-pitch text
// area Memo1 that receives every table and listing, and the status bar with
// the conditions of the next computation. Every computation starts here and
// runs on a worker thread with a snapshot of the settings and a run context
// of its own, so the window never blocks; one computation at a time (a
// second command while one runs is refused with a beep). The window loads
// the settings at creation and writes them back when it closes.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/Host.h"
#include "eclipses/LunarEclipse.h"
#include "graphics/PictureSetup.h"
#include "settings/RunContext.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "tables/TableDriver.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

namespace orb {

class PathReport;
struct ShownPath;
class TBeliebigForm;
class TCometForm;
class TDateForm;
class TEinstellForm;
class TGraphForm;
class TJahrbuchForm;
class TOrtForm;
class WindowHost;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Takes the settings file (found by the program's rule, or a test's own),
  // loads the settings and the window's keys from it and lays the window
  // out. The messages about the file (unreadable, values that cannot be
  // meant, malformed fonts) are shown once the window is up.
  explicit TForm1(SettingsFile settingsFile, QWidget* parent = nullptr);
  ~TForm1() override;

  TSettings& Settings() { return settings_; }
  QPlainTextEdit* Memo() const { return memo_; }
  const std::string& LastHeader() const { return lastHeader_; }
  float MinimumMagnitude() const { return minimumMagnitude_; }
  SettingsFile& File() { return file_; }

  // Whether a computation runs, and waiting for its end while the window
  // goes on working (tests, closing).
  bool Running() const { return static_cast<bool>(run_); }
  void WaitForRun();

  // The commands (tool bar, menu, shortcuts).
  void StopBtnClick();
  void SunBtnClick();
  void MoonBtnClick();
  void PlanetBtnClick();
  void PlanetMenuClick(int32_t planetNr);
  void ListBtnClick(bool pressed);
  void LunarPhasesClick();
  void LunarEclipseClick(int tag);  // 30 without, 31 with picture
  void SolarEclipseClick(int tag);  // 20, 21 local circumstances; 22, 23 central path
  void MinimumMagnitudeClick();
  void EraseClick();
  void SaveClick();
  void PrintClick();
  void AboutClick();
  void NewPlanetClick();
  void NewPlanetItemClick(int tag);
  // The dialogs: date and time range, observer's place, settings, yearbook
  // (its "&Ok" starts the yearbook run), coordinate transformation.
  void DateClick();
  void PlaceClick();
  void SettingsClick();
  void YearBookClick();
  void CoordinateClick();
  TBeliebigForm* CoordinateDialog() const { return beliebigForm_; }
  // The comet and minor-planet choice; a body chosen there is computed at once.
  void CometClick();
  TCometForm* CometDialog() const { return cometForm_; }
  // The yearbook run over the sections of the settings file.
  void YearBookRunClick();
  // The table of the fixed point of the sky (object kind -2) at `point`,
  // titled `title`.
  void ArbitraryTableClick(const ArbitraryCoordinates& point, const std::string& title);

  // Replaceable questions, so that tests need no modal file dialog.
  std::function<QString()> askSaveFileName;
  std::function<QString()> askExportFileName;  // "Pfad exportieren…" of the world map

  // The picture windows (lunar eclipse, local circumstances, world map) and
  // the instants they show, for the navigation.
  TGraphForm* LunarPicture() const { return lunarForm_; }
  TGraphForm* LocalPicture() const { return localForm_; }
  TGraphForm* PathPicture() const { return pathForm_; }

 signals:
  // A computation has ended and its last lines stand in the text area.
  void RunFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Work = std::function<void(const TSettings&, TRunContext&, Host&)>;
  // Starts `work` on a worker thread with a snapshot of the settings and a
  // run context whose StartJulDat `prepare` may set; false (with a beep)
  // while another computation runs.
  bool StartRun(Work work, std::function<void(TRunContext&)> prepare = {});
  // The ephemeris table of `objekt` (Objekt), unless a computation runs.
  void StartTable(int32_t objekt);
  void FinishRun();

  void BuildActions();
  void BuildMenus();
  void BuildToolBar();
  QAction* Action(const QString& name, const QString& text, const QString& icon, const QKeySequence& key,
                  std::function<void()> onTrigger);
  void LoadWindowSettings();
  void SaveOnClose();
  void ShowStartupMessages();
  void UpdateMinimumMagnitudeCaption();
  // After a dialog changed place, start or formats: the open coordinate
  // dialog shows its point for them.
  void SettingsChanged();
  void ShowHint(QObject* over);

  // Pictures arrive from the worker; they are shown on the window's thread.
  void ShowLunarPicture(const PictureSetup& picture, Extended baseJD, Extended middle);
  void ShowLocalPicture(const PictureSetup& picture, Extended maximumJD);
  void ShowPathPicture(const PictureSetup& picture);
  // "Pfad exportieren…": the eclipse on the world map as GeoJSON or KML.
  void ExportPathClick();
  // Shows `picture` in `form` (created on first use), which keeps its size
  // and place from then on and prints with the text's left margin.
  void ShowPicture(TGraphForm*& form, const PictureSetup& picture);
  // A picture window's "zurück" / "weiter": list mode off, `work` from `from`.
  void StartNavigation(Extended from, Work work);
  // The central-line search's worker body: `search` fills the report (and
  // the picture); the eclipse's conjunction becomes the navigation's base.
  void RunPathSearch(const TSettings& s, const std::function<void(PathReport&)>& search);
  void AddNavigation(TGraphForm* form, int firstTag, std::function<void(int direction)> search,
                     std::function<void()> takeDate, int companionTag, Extended* companionJD);
  void TakeDate(Extended jd);
  void StartCompanion(Extended jd);

  SettingsFile file_;
  TSettings settings_;
  std::vector<SettingsProblem> loadProblems_;
  std::string fontProblem_;
  bool shownOnce_ = false;
  bool printLandscape_ = true;
  float minimumMagnitude_ = 0;
  std::string lastHeader_;
  bool closing_ = false;

  QPlainTextEdit* memo_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* statusText_ = nullptr;
  std::map<QString, QAction*> actions_;
  QMenu* popupMenu1_ = nullptr;
  QToolButton* newPlanetButton_ = nullptr;

  std::unique_ptr<WindowHost> host_;
  std::unique_ptr<TSettings> snapshot_;
  std::unique_ptr<TRunContext> run_;
  std::thread worker_;

  TBeliebigForm* beliebigForm_ = nullptr;
  TCometForm* cometForm_ = nullptr;
  TDateForm* dateForm_ = nullptr;
  TEinstellForm* einstellForm_ = nullptr;
  TJahrbuchForm* jahrbuchForm_ = nullptr;
  TOrtForm* ortForm_ = nullptr;

  TGraphForm* lunarForm_ = nullptr;
  TGraphForm* localForm_ = nullptr;
  TGraphForm* pathForm_ = nullptr;
  Extended lunarShownJD_ = 0, lunarMiddleJD_ = 0;
  Extended localShownJD_ = 0;
  Extended pathShownJD_ = 0;
  // The eclipse on the world map, for "Pfad exportieren…".
  std::shared_ptr<const ShownPath> pathShown_;
};

// The companion program that draws a Saros series picture, when it exists
// on the PATH or beside this program's executable; empty otherwise.
QString CompanionProgram();

}  // namespace orb
