// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/JahrbuchForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

#include "core/NumText.h"
#include "settings/NumberReader.h"
#include "settings/SettingsLoad.h"
#include "ui/UiText.h"

namespace orb {
namespace {


// The bodies a row's check box is shown for (body 0 the Sun, 1 the Moon,
// 2..9 Mercury to Pluto).
enum class ShownFor { All, Sun, Moon, Planets };

bool Shown(ShownFor f, int body) {
  switch (f) {
    case ShownFor::All:
      return true;
    case ShownFor::Sun:
      return body == 0;
    case ShownFor::Moon:
      return body == 1;
    case ShownFor::Planets:
      return body >= 2;
  }
  return true;
}

// The column rows: label, the flag(s) of the table columns, the bodies the
// box is shown for, and whether the row ends in an "alle" button.
struct ColumnRow {
  const char* label;
  bool TTableColumns::*field;
  bool TTableColumns::*second;  // a second flag set together with the first, or null
  ShownFor shownFor;
  bool button;
};

constexpr ColumnRow kRows[TJahrbuchForm::kColumnRows] = {
    {"Wochentag", &TTableColumns::Wochentag, nullptr, ShownFor::All, true},
    {"Datum", &TTableColumns::Datum, nullptr, ShownFor::All, true},
    {"Uhrzeit", &TTableColumns::Uhrzeit, nullptr, ShownFor::All, true},
    {"Äquatorial", &TTableColumns::RaDe, nullptr, ShownFor::All, true},
    {"Ekliptikal", &TTableColumns::EklipKoor, nullptr, ShownFor::All, true},
    {"Auf- und Untergang", &TTableColumns::AufKulmUnt, nullptr, ShownFor::All, true},
    {"Azimut Auf- und Untergang", &TTableColumns::AufUntAz, nullptr, ShownFor::All, true},
    {"Dämmerung", &TTableColumns::AEDaemm, nullptr, ShownFor::Sun, false},
    {"Elongation", &TTableColumns::Elongation, nullptr, ShownFor::Planets, true},
    {"Mondphase, Alter", &TTableColumns::Mondphase, &TTableColumns::Mondalter, ShownFor::Moon, false},
    {"Entfernung", &TTableColumns::Entfernung, nullptr, ShownFor::All, true},
    {"Helligkeit", &TTableColumns::Helligkeit, nullptr, ShownFor::Planets, true},
    {"Durchmesser", &TTableColumns::Durchmesser, nullptr, ShownFor::All, true},
    {"Phys.Ephemeriden", &TTableColumns::PhysEph, nullptr, ShownFor::All, true},
};

const QString kAll = QStringLiteral("alle");
const QString kNone = QStringLiteral("keine");

}  // namespace

TJahrbuchForm::TJahrbuchForm(const TSettings& settings, SettingsFile& file, std::function<void()> startYearbook,
                             std::function<void()> closed, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      file_(file),
      startYearbook_(std::move(startYearbook)),
      closed_(std::move(closed)) {
  setObjectName(QStringLiteral("JahrbuchForm"));
  setWindowTitle(QStringLiteral("Jahrbuch"));
  showError = [this](const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
  };
  BuildGrid();
}

TJahrbuchForm::~TJahrbuchForm() = default;

std::string TJahrbuchForm::SectionName(int body) const {
  return YearbookSectionName(settings_.PlanetName(body + kSun));
}

void TJahrbuchForm::BuildGrid() {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  const int buttonColumn = kBodies + 1;
  for (int b = 0; b < kBodies; ++b) {
    auto* name = new QLabel(QString::fromStdString(settings_.PlanetName(b + kSun)), this);
    grid->addWidget(name, 0, b + 1, Qt::AlignHCenter);
  }
  // Row 0 "Objekt berechnen", then the column rows.
  for (int r = 0; r <= kColumnRows; ++r) {
    const QString label = r == 0 ? QStringLiteral("Objekt berechnen") : U(kRows[r - 1].label);
    const ShownFor shownFor = r == 0 ? ShownFor::All : kRows[r - 1].shownFor;
    grid->addWidget(new QLabel(label, this), r + 1, 0);
    for (int b = 0; b < kBodies; ++b) {
      auto* box = new QCheckBox(this);
      box->setObjectName(QStringLiteral("Chk%1_%2").arg(r).arg(b));
      box->setToolTip(QString::fromStdString(settings_.PlanetName(b + kSun)) + QStringLiteral(": ") + label);
      grid->addWidget(box, r + 1, b + 1, Qt::AlignHCenter);
      boxes_[r][b] = box;
      if (!Shown(shownFor, b)) box->hide();
    }
    if (r > 0 && !kRows[r - 1].button) continue;
    auto* all = new QPushButton(kAll, this);
    all->setObjectName(r == 0 ? QStringLiteral("CalcAllBtn") : QStringLiteral("AllBtn%1").arg(r));
    all->setAutoDefault(false);
    connect(all, &QPushButton::clicked, this, [this, r] { AllBtnClick(r); });
    grid->addWidget(all, r + 1, buttonColumn);
    rowButtons_[r] = all;
  }
  const int stepRow = kColumnRows + 2;
  grid->addWidget(new QLabel(QStringLiteral("Schrittweite [Tage]"), this), stepRow, 0);
  for (int b = 0; b < kBodies; ++b) {
    auto* step = new QLineEdit(this);
    step->setObjectName(QStringLiteral("StepEdit%1").arg(b));
    // Room for a step like "0.04167" (one hour).
    step->setFixedWidth(step->fontMetrics().horizontalAdvance(QStringLiteral("0.04167")) + 10);
    grid->addWidget(step, stepRow, b + 1, Qt::AlignHCenter);
    steps_[b] = step;
  }

  // Rows without a button as high as those with one.
  for (int r = 0; r <= kColumnRows; ++r) grid->setRowMinimumHeight(r + 1, rowButtons_[0]->sizeHint().height());

  auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("&Abbruch"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &TJahrbuchForm::accept);
  connect(cancel, &QPushButton::clicked, this, &TJahrbuchForm::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* main = new QVBoxLayout(this);
  main->addLayout(grid);
  main->addLayout(buttons);
}

void TJahrbuchForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  LoadSections();
}

void TJahrbuchForm::LoadSections() {
  for (int b = 0; b < kBodies; ++b) {
    // A missing section or key gives the defaults of a fresh column set.
    TTableColumns columns;
    ReadTableColumns(file_.Document(), SectionName(b), columns, topocentric_[b]);
    boxes_[0][b]->setChecked(columns.ObjDarstell);
    for (int r = 1; r <= kColumnRows; ++r) boxes_[r][b]->setChecked(columns.*kRows[r - 1].field);
    steps_[b]->setText(FieldNumberText(columns.Schrittweite));
  }
  for (int r = 0; r <= kColumnRows; ++r) UpdateCaption(r);
}

void TJahrbuchForm::UpdateCaption(int row) {
  if (!rowButtons_[row]) return;
  bool all = true;
  for (const QCheckBox* box : boxes_[row]) all = all && box->isChecked();
  rowButtons_[row]->setText(all ? kNone : kAll);
}

void TJahrbuchForm::AllBtnClick(int row) {
  QPushButton* button = rowButtons_[row];
  const bool check = button->text() == kAll;
  for (QCheckBox* box : boxes_[row]) box->setChecked(check);
  button->setText(check ? kNone : kAll);
}

void TJahrbuchForm::accept() {
  for (int b = 0; b < kBodies; ++b) {
    TTableColumns columns;
    columns.ObjDarstell = boxes_[0][b]->isChecked();
    for (int r = 1; r <= kColumnRows; ++r) {
      const ColumnRow& row = kRows[r - 1];
      columns.*row.field = boxes_[r][b]->isChecked();
      if (row.second) columns.*row.second = boxes_[r][b]->isChecked();
    }
    // No row shows these two.
    columns.StdwDe = false;
    columns.AzimKoor = false;
    // Read leniently: a field without a number is 0, and so is a number
    // that is none.
    const Extended step = ParseNumber(steps_[b]->text().toStdString());
    columns.Schrittweite = std::isfinite(step) ? step : 0;
    WriteTableColumns(file_, SectionName(b), columns, topocentric_[b]);
  }
  std::string error;
  if (!file_.Path().empty() && !file_.Save(error) && showError) showError(QString::fromStdString(error));
  QDialog::accept();
  if (startYearbook_) startYearbook_();
}

void TJahrbuchForm::done(int result) {
  const bool wasVisible = isVisible();
  QDialog::done(result);
  if (wasVisible && closed_) closed_();
}

}  // namespace orb
