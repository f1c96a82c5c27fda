// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TCometForm ("Neuen Kometen / Asteroiden auswählen"): finds a comet or
// minor planet by name, designation or number in the element sources of the
// data folder (settings/ElementSources.h: "Comets.dat", "asteroid/CometG.dat",
// the minor-planet name list with its ".AST" element files) or in the
// small-body database, and makes the chosen body the current object: its
// elements become CurrentElements, Objekt and PlanetNr become 9 and the
// main window computes its table. "&Update Comets.dat" replaces the comet
// list with a fresh download.
//
// The search runs as the user types (from two characters on; a single digit
// looks up that number in the name list). Each shown result in ListBox1 has
// its key in the hidden ListBox2, same row: "C " + comet line, "A " + number
// in 7 columns + " " + name-list line, "J " + a database link.
//
// The two internet requests (database query, comet list download) run on a
// worker thread, one at a time; the window keeps working and the status line
// Label3 follows them. Closing the dialog cancels a running request.
//
// The dialog keeps its data folder and its three source switches in the
// settings file (ReadElementSourceSettings / WriteElementSourceSettings):
// read at creation, written back whenever it closes, when a body is chosen
// and when a folder is picked. The file on disk is written by the main
// window as usual (the dialog changes the document only).

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/Host.h"
#include "settings/ElementSources.h"
#include "settings/HttpGet.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

class QKeyEvent;

namespace Ui {
class TCometForm;
}

namespace orb {

class TCometForm : public QDialog {
  Q_OBJECT

 public:
  // Called after a body has been chosen and the settings hold it
  // (CurrentElements, Objekt = PlanetNr = 9, PlanetNames[9]) with its
  // trimmed name: the main window sets its new-object hint and computes the
  // table. The dialog closes afterwards.
  using BodyChosen = std::function<void(const std::string& trimmedName)>;

  // `settings` is the main window's record: the dialog reads Startdat (the
  // instant whose ".AST" file is read) and writes the chosen body into it.
  // `file` is the main window's settings file: the dialog's own keys, and
  // MinJulDat / MaxJulDat written by the choice of an ".AST" file. `http`
  // makes the internet requests; null means the libcurl client. All must
  // outlive the dialog (`http` is shared with a request still running).
  TCometForm(TSettings& settings, SettingsFile& file, BodyChosen onChosen, std::shared_ptr<HttpGet> http = nullptr,
             QWidget* parent = nullptr);
  ~TCometForm() override;

  // The messages of the dialog: the "nicht gefunden" boxes of the name list
  // and of the element files (kind Error, caption "Fehler!"), a database
  // search without a result (kind Information), the elements of the hidden
  // "Elemente anzeigen". A message box with "OK" unless replaced (tests).
  std::function<void(MsgKind kind, const QString& caption, const QString& text)> showMessage;
  // The beep of an empty choice and of a database link without elements.
  std::function<void()> beep;
  // The path picked by "&Durchsuchen": a Guide program file or a folder;
  // empty when cancelled. A file dialog unless replaced (tests).
  std::function<QString()> askGuidePath;

  // Whether an internet request (query or download) is running.
  bool Busy() const { return static_cast<bool>(request_); }
  // The data folder in use (GuideDirEdit, with a trailing "/").
  std::string GuideDir() const;

  // Every way of closing ends here: a running request is cancelled and the
  // folder and the switches are written to the settings file.
  void done(int result) override;

 signals:
  // A request has ended (or was cancelled) and its result was taken over.
  void RequestFinished();

 protected:
  // Showing puts the focus into the search field and says how to fill an
  // empty data folder.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // What a request on the worker thread brings back.
  struct Outcome {
    bool download = false;    // the comet list download (else a query)
    bool downloaded = false;  // the download succeeded
    QueryOutcome query = QueryOutcome::kFailed;
    CometBahnTyp elements;
    std::vector<ElementHit> candidates;
  };
  struct Request {
    std::thread worker;
    std::atomic<bool> cancel{false};
    bool fromList = false;  // a database link chosen from the list ("J")
    std::string searchText;
  };

  void Search();
  void Choose();
  void ChooseAsteroid(const std::string& key);
  void Finish(const CometBahnTyp& elements);
  void DatabaseClick();
  void UpdateClick();
  void GuideDirClick();
  void ShowElementsClick();
  // Starts `work` on a worker thread; refused with a beep while one runs.
  void StartRequest(std::function<Outcome(HttpGet&, const std::atomic<bool>&, const StatusText&)> work, bool fromList,
                    const std::string& searchText);
  // The end of a request, on the window's thread.
  void RequestDone(Request* request, Outcome outcome);
  void ShowResults(const std::vector<ElementHit>& hits);
  void SetStatus(const QString& text);
  // The status hint of an empty data folder; nothing when it holds a list.
  void HintAtMissingLists();
  ElementSourceSettings CurrentSources() const;
  void StoreSources();
  void Message(MsgKind kind, const QString& caption, const QString& text);
  void Beep();

  std::unique_ptr<Ui::TCometForm> ui_;
  TSettings& settings_;
  SettingsFile& file_;
  BodyChosen onChosen_;
  std::shared_ptr<HttpGet> http_;
  ElementSourceSettings sources_;
  // The name list reported missing at this showing (once, not per key).
  std::string missingNameList_;
  std::unique_ptr<Request> request_;
  class DialogHost;
  std::unique_ptr<DialogHost> host_;
};

}  // namespace orb
