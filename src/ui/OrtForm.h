// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TOrtForm ("Beobachtungsort festlegen"): the observer's place from the
// location list (settings OrtsDatName, settings/LocationList.h). The list
// is searched as the user types (from the fourth character on, anywhere in
// the line, ignoring case) and the matching lines are shown in
// alphabetical order; a click or Enter chooses a line: the place is written
// into the settings (ApplyLocation) and the dialog closes with Accepted.
// "&Editieren" turns the dialog into a plain editor of the list file, in
// which "&Suchen" finds the next occurrence of the search text after the
// caret; "OK" saves the file (core/SafeFile.h), "&Abbruch" leaves edit
// mode without saving.
//
// Use: TOrtForm dialog(settings, parent); if (dialog.exec() == QDialog::Accepted)
// the settings hold the new place (PlaceChosen() says the same).

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

#include "settings/Settings.h"

class QKeyEvent;
class QListWidgetItem;

namespace Ui {
class TOrtForm;
}

namespace orb {

class TOrtForm : public QDialog {
  Q_OBJECT

 public:
  // The dialog writes a chosen place into `settings` (Ort.Name, Ort.Breite,
  // Ort.Laenge, BasisZeitzone, Zeitzone) and reads OrtsDatName from it.
  explicit TOrtForm(TSettings& settings, QWidget* parent = nullptr);
  ~TOrtForm() override;

  // Whether the last showing ended with a place chosen.
  bool PlaceChosen() const { return chosen_; }
  // Whether the dialog is in edit mode (the editor shown instead of the list).
  bool EditMode() const { return editMode_; }
  // The editor position (0-based) from which the next search in edit mode
  // starts: 0 when shown and when edit mode begins, the editor's selection
  // start whenever the editor loses the focus.
  int32_t SearchCaret() const { return searchCaret_; }

  // The beep of an empty choice and of a search that finds nothing;
  // QApplication::beep unless replaced (tests count the beeps).
  std::function<void()> beep;

 protected:
  // Showing: search text and list emptied, list mode, SearchCaret 0, the
  // focus in the search field.
  void showEvent(QShowEvent* event) override;
  // A new font: the fixed-pitch font and the columns follow it.
  void changeEvent(QEvent* event) override;
  // The keys that reach the dialog itself (Escape, Enter).
  void keyPressEvent(QKeyEvent* event) override;
  // The dialog sees the keys of its controls first, and notes the editor's
  // selection when the editor loses the focus.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SuchenClick();
  void SuchEditChange();
  void EditierenClick();
  void OKClick();
  void AbbruchClick();
  // The list's lines that contain the search text.
  void SearchList();
  // The next occurrence of the search text in the editor.
  void SearchEditor();
  // Takes the selected line as the place and closes; beeps without one.
  // A line that gives no place (LocationLineProblem) is said in a warning
  // box, and the place and the dialog stay.
  void Choose();
  void ShowListMode();
  // The fixed-pitch font of list, editor and headings from the dialog's
  // font; the headings' widths and the list's size in its columns.
  void LayOutColumns();
  // Handles a key of the key table; false when it is not one of them.
  bool HandleKey(QObject* receiver, QKeyEvent* key);
  void Beep();

  std::unique_ptr<Ui::TOrtForm> ui_;
  TSettings& settings_;
  bool chosen_ = false;
  bool editMode_ = false;
  int32_t searchCaret_ = 0;
};

}  // namespace orb
