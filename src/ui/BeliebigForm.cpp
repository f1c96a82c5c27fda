// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/BeliebigForm.h"

#include <QMessageBox>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <utility>

#include "tables/TableFormat.h"
#include "ui_BeliebigForm.h"
#include "ui/UiText.h"

namespace orb {
namespace {


// The information box of the program with its German "OK" button.
void ShowInformation(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton, parent);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

// The labels of the two input fields for a frame.
struct InputLabels {
  const char* first;
  const char* second;
};
InputLabels LabelsOf(InputFrame frame) {
  switch (frame) {
    case InputFrame::Equatorial:
      return {"&Rektasz.:", "&Deklin.:"};
    case InputFrame::Ecliptic:
      return {"&Ekl. Lg.:", "&Ekl. Br:"};
    case InputFrame::Horizontal:
      return {"&Azimut:", "&Elev.:"};
  }
  return {"", ""};
}

// Makes a field wide enough to show `sample` whole at its font.
void FitToText(QLineEdit* edit, const QString& sample) {
  QStyleOptionFrame option;
  option.initFrom(edit);
  const QMargins margins = edit->textMargins();
  const QSize text(edit->fontMetrics().horizontalAdvance(sample) + margins.left() + margins.right(),
                   edit->fontMetrics().height());
  edit->setMinimumWidth(edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width());
}

}  // namespace

TBeliebigForm::TBeliebigForm(const TSettings& settings, AcceptPoint onAccept, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TBeliebigForm>()), settings_(settings), onAccept_(std::move(onAccept)) {
  ui_->setupUi(this);
  setModal(false);
  // A coordinate with decimal seconds, a year with decimals.
  FitToText(ui_->RAEdit, QStringLiteral("-888 88 88.888"));
  FitToText(ui_->DEEdit, QStringLiteral("-888 88 88.888"));
  FitToText(ui_->EquinEdit, QStringLiteral("-8888.888"));
  showMessage = [this](const QString& caption, const QString& text) { ShowInformation(this, caption, text); };

  for (QRadioButton* choice : {ui_->IsRAChk, ui_->IsEklChk, ui_->isAzimutChk}) {
    connect(choice, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked) FrameChosen();
    });
  }
  for (QLineEdit* field : {ui_->RAEdit, ui_->DEEdit, ui_->EquinEdit}) {
    connect(field, &QLineEdit::textChanged, this, &TBeliebigForm::Recompute);
  }
  connect(ui_->EquinTagChk, &QCheckBox::toggled, this, &TBeliebigForm::Recompute);
  connect(ui_->OKBtn, &QPushButton::clicked, this, &TBeliebigForm::OKBtnClick);
  connect(ui_->AbbruchBtn, &QPushButton::clicked, this, &QDialog::close);
  FrameChosen();
}

TBeliebigForm::~TBeliebigForm() = default;

ArbitraryInput TBeliebigForm::Input() const {
  ArbitraryInput in;
  in.frame = ui_->IsEklChk->isChecked()      ? InputFrame::Ecliptic
             : ui_->isAzimutChk->isChecked() ? InputFrame::Horizontal
                                              : InputFrame::Equatorial;
  in.first = ui_->RAEdit->text().toStdString();
  in.second = ui_->DEEdit->text().toStdString();
  in.equinoxYear = ui_->EquinEdit->text().toStdString();
  in.equinoxOfDate = ui_->EquinTagChk->isChecked();
  return in;
}

void TBeliebigForm::Recompute() {
  ui_->OutLabel->setText(Q(ComputationPlaceText(settings_)));
  const bool ofDate = ui_->EquinTagChk->isChecked();
  ui_->EquinEdit->setEnabled(!ofDate);
  ui_->Label2->setEnabled(!ofDate);
  // Incomplete input leaves the last results standing.
  const std::optional<ArbitraryPoint> point = ConvertArbitraryPoint(Input(), settings_.Ort, settings_.Startdat);
  if (!point) return;
  const ArbitraryCaptions captions = ResultCaptions(*point, AngleStyleOf(settings_));
  ui_->IsRAChk->setText(Q(captions.equatorial));
  ui_->IsEklChk->setText(Q(captions.ecliptic));
  ui_->isAzimutChk->setText(Q(captions.horizontal));
}

void TBeliebigForm::FrameChosen() {
  const InputLabels labels = LabelsOf(Input().frame);
  ui_->RALbl->setText(QString::fromUtf8(labels.first));
  ui_->DELbl->setText(QString::fromUtf8(labels.second));
  Recompute();
}

void TBeliebigForm::OKBtnClick() {
  // The fields as they stand now (the equinox included), not the last
  // results shown.
  const std::optional<ArbitraryPoint> point = ConvertArbitraryPoint(Input(), settings_.Ort, settings_.Startdat);
  if (!point) {
    showMessage(QString::fromUtf8(kArbitraryCaption), QString::fromUtf8(kInvalidCoordinatesText));
    return;
  }
  close();
  if (onAccept_) onAccept_(TableCoordinates(*point), ArbitraryTitleOf(ui_->NameEdit->text().toStdString()));
}

void TBeliebigForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Recompute();
}

}  // namespace orb
