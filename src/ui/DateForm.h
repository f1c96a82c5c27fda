// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TDateForm ("Datum und Uhrzeit wählen"): the time range of the
// computations. The start instant (and in list mode the end instant) is
// entered three ways that stay in step: as local date and time fields, as a
// Julian date, and for years from 1900 on with a calendar picker. Beside
// them the step width (days, hours, minutes) with the number of
// calculations it gives over the range, the time zone with summer time (set
// automatically on the start side), dynamical time, the date format and
// whether the date is kept between runs.
//
// The dialog edits its controls only and writes the settings record when
// the user confirms ("&OK !" or Enter); the one exception is "&Tabelle
// berechnen", which switches list mode at once. Escape, "&Abbruch" and the
// close box ask "Änderungen übernehmen?" when the start, the end (in list
// mode), the zone or the step differ from the settings.
//
// Created once and reused: every showing reloads all controls from the
// settings.

#include <QDialog>
#include <QString>
#include <functional>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "settings/Settings.h"

class QAbstractSpinBox;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace orb {

class TDateForm : public QDialog {
  Q_OBJECT

 public:
  // `settings` is read on every showing and written on confirmation;
  // `listModeChanged` is called with the new state when "&Tabelle
  // berechnen" is clicked (after `Tabelle` has been written), so that the
  // main window's list button follows.
  TDateForm(TSettings& settings, std::function<void(bool listMode)> listModeChanged, QWidget* parent = nullptr);
  ~TDateForm() override;

  // Fills every control from the settings (done on every showing).
  void Load();

  // Whether the controls differ from the settings: the start by more than
  // 0.0001 day, the end in list mode likewise, the zone by more than 0.01 h
  // (not under stored TDT), the step by more than 0.001 day.
  bool Changed() const;

  // The dialog's questions (Yes / No / Cancel, German buttons), given the
  // question's text; replaceable, so that tests answer without a modal box.
  std::function<MsgResult(const QString& question)> askYesNoCancel;
  // The current instant (JD, UT) for "&Computerzeit" and the captions of the
  // date formats; replaceable for tests.
  std::function<Extended()> now;

  // True while one field's change is being handed on to the others; every
  // change handler does nothing while it is set.
  bool Updating = false;

 public slots:
  // Confirmation: writes the settings and closes; stays open when the user
  // cancels the question about an end before the start.
  void accept() override;
  // Escape, "&Abbruch", the close box: asks first when something changed.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The controls of one side (start or end) of the range.
  struct Side {
    QSpinBox *year = nullptr, *month = nullptr, *day = nullptr;
    QSpinBox *hour = nullptr, *minute = nullptr, *second = nullptr;
    QLineEdit* jd = nullptr;
    QDateEdit* calendar = nullptr;
    QLabel* hint = nullptr;
    bool start = false;
  };

  void BuildControls();
  QGroupBox* BuildSide(Side& side, bool start);
  void Connect(Side& side);

  // The zone of the dialog (hours): the value of TZ, 0 while TDT is checked.
  float Zone() const;
  // The zone written in TZ.
  float TypedZone() const;
  // The step (days): the stored step while the step fields still hold what
  // they were loaded with, else the step of the fields.
  Extended Step() const;
  Extended FieldStep() const;

  // The conversions between the fields, the Julian date and the picker.
  void FieldsToJD(Side& side);
  void JDToFields(Side& side);
  void WriteJDFromFields(Side& side);
  void ShowCalendar(Side& side);
  void DateChosen(Side& side);
  void ZeroTime(Side& side, int tag);
  void ComputerTime(Side& side);
  void UpdateRange();
  void CalculationsEntered();
  void ZoneEntered();
  // The local times of both sides stay, their instants follow the zone of
  // the fields (a new zone, TDT switched).
  void MoveInstantsToZone();
  void StepZone(int direction);
  void UpdateZoneLabel();
  void ApplyTDTRule();
  void ListModeClicked(bool on);
  void ShowListMode(bool on);
  bool Confirm();

  TSettings& settings_;
  std::function<void(bool)> listModeChanged_;

  Side start_, end_;
  QGroupBox* endGroup_ = nullptr;
  QWidget* rangeBox_ = nullptr;
  QPushButton *startNow_ = nullptr, *endNow_ = nullptr, *endStart_ = nullptr;
  QPushButton* zeroButtons_[6] = {};
  QSpinBox *tabD_ = nullptr, *tabH_ = nullptr, *tabM_ = nullptr, *calculations_ = nullptr;
  QLabel* rangeLabel_ = nullptr;
  QLineEdit* tz_ = nullptr;
  QAbstractSpinBox* zoneSpin_ = nullptr;
  QLabel *utcLabel_ = nullptr, *tzLabel_ = nullptr;
  QCheckBox *dst_ = nullptr, *autoDst_ = nullptr, *tdt_ = nullptr, *selTable_ = nullptr, *saveDat_ = nullptr;
  QRadioButton *classicDate_ = nullptr, *newDate_ = nullptr;
  QPushButton *ok_ = nullptr, *cancel_ = nullptr;

  // The step as loaded, and the step fields it was shown in.
  Extended loadedStep_ = 0;
  int loadedStepFields_[3] = {};
};

}  // namespace orb
