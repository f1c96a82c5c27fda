// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TJahrbuchForm ("Jahrbuch"): for each of the ten bodies Sun, Moon and
// Mercury to Pluto, whether it is part of the yearbook run, the columns of
// its yearbook table and its step. The choices live in the settings file,
// one section "Jahrbucheinstellungen <name>" per body holding a set of
// table columns; the dialog shows them when it is shown, "&Ok" writes all
// ten and starts the yearbook run.
//
// The grid: one column per body, a row "Objekt berechnen" and fifteen rows
// of columns and the step. Rows that do not apply to a body keep a hidden
// check box, so that its section still holds the flag (the "alle" button of
// a row sets the hidden ones too). Every check box is named
// "Chk<row>_<body>" (row 0 is "Objekt berechnen", rows 1..14 the column
// rows; body 0 is the Sun, 1 the Moon, 2..9 Mercury to Pluto), every step
// field "StepEdit<body>", the row buttons "AllBtn<row>" and the button of
// the first row "CalcAllBtn".

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

#include "settings/Settings.h"
#include "settings/SettingsFile.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace orb {

class TJahrbuchForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kBodies = 10;    // Sun, Moon, Mercury .. Pluto
  static constexpr int kColumnRows = 14;  // check-box rows below "Objekt berechnen"

  // `settings` gives the bodies' names (PlanetNames), `file` holds the
  // sections. `startYearbook` is called after "&Ok" has written the
  // sections and closed the dialog; `closed` whenever the dialog closes.
  TJahrbuchForm(const TSettings& settings, SettingsFile& file, std::function<void()> startYearbook,
                std::function<void()> closed, QWidget* parent = nullptr);
  ~TJahrbuchForm() override;

  // Shows an error message with an "OK" button (the settings file could
  // not be written). A message box by default; replaceable for tests.
  std::function<void(const QString& text)> showError;

  // "&Ok": the ten sections written into the settings file (and the file
  // saved), the dialog closed, the yearbook run started.
  void accept() override;
  // Every way of closing ends here; calls `closed`.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildGrid();
  void LoadSections();
  // The caption of a row's button: "keine" when all ten boxes of the row
  // (hidden ones included) are checked, else "alle".
  void UpdateCaption(int row);
  // The shared action of the "alle" / "keine" buttons.
  void AllBtnClick(int row);
  std::string SectionName(int body) const;

  const TSettings& settings_;
  SettingsFile& file_;
  std::function<void()> startYearbook_;
  std::function<void()> closed_;

  // Row 0 is "Objekt berechnen", rows 1..14 the column rows.
  std::array<std::array<QCheckBox*, kBodies>, kColumnRows + 1> boxes_{};
  std::array<QPushButton*, kColumnRows + 1> rowButtons_{};  // null for the rows without button
  std::array<QLineEdit*, kBodies> steps_{};
  // Each section's topocentric flag, which the dialog does not edit: written
  // back as it was read.
  std::array<bool, kBodies> topocentric_{};
};

}  // namespace orb
