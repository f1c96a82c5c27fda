// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TEinstellForm ("Einstellungen"): the persistent settings that shape every
// table -- time zone and summer time, dynamical time, the equinox and the
// corrections of positions, the columns, the angle format, the column
// separator, the twilight depth, the fonts of screen and printer, the
// orientation and left margin of printed text, the observer's place and
// whether settings and date are kept on exit.
//
// Every control is loaded from the settings record when the dialog is
// shown; "OK" (or Enter anywhere) writes them back, "Abbruch" and Escape
// discard the edits. Font changes are not edits: they take effect at once.
// The observer's place is chosen in the location dialog, which writes the
// settings itself; the place button's caption follows within a second.

#include <QDialog>
#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "settings/Settings.h"

namespace orb {

// What the dialog reaches beyond the settings record. Each may be empty;
// the dialog then leaves that part alone.
struct EinstellLinks {
  // The font of the main window's text area, and applying a new one.
  std::function<QFont()> screenFont;
  std::function<void(const QFont&)> setScreenFont;
  // The text font of the print dialog, and applying a new one.
  std::function<QFont()> printerFont;
  std::function<void(const QFont&)> setPrinterFont;
  // The main window's orientation of printed text (true: landscape).
  std::function<bool()> printLandscape;
  std::function<void(bool)> setPrintLandscape;
  // Opens the location dialog (modal), which writes Ort and its list
  // itself.
  std::function<void()> choosePlace;
};

class TEinstellForm : public QDialog {
  Q_OBJECT

 public:
  TEinstellForm(TSettings& settings, EinstellLinks links, QWidget* parent = nullptr);
  ~TEinstellForm() override;

  // Asks for a font, starting from `current`; nothing when cancelled. A
  // font dialog by default; replaceable, so that tests need no modal dialog.
  std::function<std::optional<QFont>(const QFont& current)> askFont;
  // Shows an error message with an "OK" button. A message box by default;
  // replaceable, so that tests need no modal box.
  std::function<void(const QString& text)> showError;

  // Confirming: the controls are written to the settings in a fixed order
  // (columns, equinox and twilight depth, the save flags, the zone with
  // the summer-time rule at Startdat, the corrections, TDT, angle format,
  // nautical presentation and separator, orientation, left margin), then
  // the dialog closes with result Accepted.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The equinox rule: the caption of "Äquinoktium des Tages" names the true
  // (with nutation) or the mean equinox; the equinox field is enabled only
  // without the equinox of date, nutation and aberration only with it.
  void ApplyEquinoxRule();
  // The TDT rule: the zone controls, the summer-time switch and the deltaT
  // question are disabled while "TDT verwenden" is checked.
  void ApplyTdtRule();
  void BuildControls();
  void LoadControls();
  void CheckAberration();
  void StepZone(int delta_h);
  void ChooseFont(bool printer);
  void ShowFontCaptions();
  void RefreshPlace();

  TSettings& settings_;
  EinstellLinks links_;
  struct Controls;
  std::unique_ptr<Controls> c_;
};

// The caption of a font button: the font's name, two blanks, its size in
// points ("Courier New  10").
QString FontButtonCaption(const QFont& font);

}  // namespace orb
