// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TBeliebigForm ("Koordinatentransformation"): a point of the sky typed in
// one of three frames (equatorial, ecliptic, horizontal) with an equinox,
// shown at once in all three frames for the observer's place and the start
// instant of the settings; the results stand in the captions of the frame
// choices. "&OK" hands the point to the main window, which makes it the
// object of kind -2 and computes its table. Not modal. The computation is
// tables/ArbitraryPoint.h.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "settings/Settings.h"
#include "tables/ArbitraryPoint.h"
#include "tables/TableDriver.h"

namespace Ui {
class TBeliebigForm;
}

namespace orb {

class TBeliebigForm : public QDialog {
  Q_OBJECT

 public:
  // What "&OK" hands on: the point's ecliptic coordinates and equinox (for
  // the table of kind -2) and the title of the object (NameEdit without
  // surrounding blanks, "unbenannt" when empty; for ArbitraryTitle).
  using AcceptPoint = std::function<void(const ArbitraryCoordinates& point, const std::string& title)>;

  // `settings` is the main window's record, read at every recomputation:
  // the place (Ort), the start instant (Startdat) and its zone (Zeitzone),
  // the angle and date formats. It must outlive the dialog.
  TBeliebigForm(const TSettings& settings, AcceptPoint onAccept, QWidget* parent = nullptr);
  ~TBeliebigForm() override;

  // Shows the date and place of the computation and, when both coordinate
  // fields and the equinox hold numbers, the point in the three frames.
  // Runs on every change of the fields, the frame and the equinox, and on
  // showing; the main window calls it when the start instant or the place
  // change while the dialog is open.
  void Recompute();

  // The message of "&OK" with a field without a number (caption, text): an
  // information box with "OK". Replaceable, so that tests need no modal box.
  std::function<void(const QString& caption, const QString& text)> showMessage;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ArbitraryInput Input() const;
  void FrameChosen();
  void OKBtnClick();

  std::unique_ptr<Ui::TBeliebigForm> ui_;
  const TSettings& settings_;
  AcceptPoint onAccept_;
};

}  // namespace orb
