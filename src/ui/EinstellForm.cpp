// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/EinstellForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <utility>
#include <vector>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "settings/NumberReader.h"
#include "ui/UiText.h"

namespace orb {
namespace {

// How often the place button's caption is refreshed from the settings (ms).
constexpr int kPlaceRefresh_ms = 1000;

// The number a text field holds, read leniently: a text without a number
// reads as 0, and so does a number too large for the setting.
float FieldNumber(const QLineEdit* edit) {
  const auto value = static_cast<float>(ParseNumber(edit->text().toStdString()));
  return std::isfinite(value) ? value : 0.0f;
}

void Hint(QWidget* w, const char* hint) {
  if (hint) w->setToolTip(U(hint));
}

}  // namespace

QString FontButtonCaption(const QFont& font) {
  const QString size = font.pointSizeF() > 0 ? QString::number(font.pointSizeF())
                                              : QString::number(font.pixelSize()) + QStringLiteral(" px");
  return font.family() + QStringLiteral("  ") + size;
}

struct TEinstellForm::Controls {
  // Zeitzone
  QLabel* utcLabel = nullptr;
  QLineEdit* TZEdit = nullptr;
  QWidget* TZSpin = nullptr;
  QPushButton *UTCBtn = nullptr, *MEZBtn = nullptr, *MESZBtn = nullptr;
  QCheckBox *AutoDSTChk = nullptr, *TDTChk = nullptr, *AskDeltaTChk = nullptr;
  // Äquinoktium
  QLineEdit* AequinEdit = nullptr;
  QCheckBox *EquDayChk = nullptr, *NutatChk = nullptr, *AberrChk = nullptr, *LightTimeChk = nullptr,
            *MondTopoChk = nullptr;
  // Anzeigen
  QCheckBox *JulDatChk = nullptr, *Ra_DegChk = nullptr;
  QLineEdit* DaemmTiefeEdit = nullptr;
  // The column check boxes and the flags of TableColumns they edit.
  std::vector<std::pair<QCheckBox*, bool TTableColumns::*>> columns;
  // Angle format and presentation
  QRadioButton *DMSChk = nullptr, *DMmChk = nullptr, *DddChk = nullptr;
  QCheckBox* NautischChk = nullptr;
  QLineEdit* SpaltensepEdit = nullptr;
  // The limits of the umbral path and of the partial eclipse in the path report
  QCheckBox* PfadGrenzenCheck = nullptr;
  // Schriftart, printing
  QPushButton *ScreenFontBtn = nullptr, *PrinterFontBtn = nullptr;
  QRadioButton *HochChk = nullptr, *QuerChk = nullptr;
  QLineEdit* BorderEdit = nullptr;
  // Beobachtungsort, Speichern
  QPushButton* OrtBtn = nullptr;
  QCheckBox *SaveEinstellChk = nullptr, *SaveDateChk = nullptr;
  QPushButton *OK = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;
  QTimer placeTimer;
};

TEinstellForm::TEinstellForm(TSettings& settings, EinstellLinks links, QWidget* parent)
    : QDialog(parent), settings_(settings), links_(std::move(links)), c_(std::make_unique<Controls>()) {
  setObjectName(QStringLiteral("EinstellForm"));
  setWindowTitle(QStringLiteral("Einstellungen"));
  askFont = [this](const QFont& current) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, this, QStringLiteral("Schriftart"));
    if (!ok) return std::nullopt;
    return font;
  };
  showError = [this](const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
  };
  BuildControls();
  c_->placeTimer.setInterval(kPlaceRefresh_ms);
  connect(&c_->placeTimer, &QTimer::timeout, this, &TEinstellForm::RefreshPlace);
}

TEinstellForm::~TEinstellForm() = default;

void TEinstellForm::BuildControls() {
  Controls& c = *c_;
  const auto check = [this](const char* name, const char* caption, const char* hint = nullptr) {
    auto* box = new QCheckBox(U(caption), this);
    box->setObjectName(QString::fromLatin1(name));
    Hint(box, hint);
    return box;
  };
  const auto radio = [this](const char* name, const char* caption) {
    auto* r = new QRadioButton(U(caption), this);
    r->setObjectName(QString::fromLatin1(name));
    return r;
  };
  // Only OK is a default button: Enter anywhere in the dialog confirms.
  const auto button = [this](const char* name, const char* caption, const char* hint = nullptr) {
    auto* b = new QPushButton(U(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    Hint(b, hint);
    return b;
  };
  const auto edit = [this](const char* name, const char* text, int widthChars, const char* hint = nullptr) {
    auto* e = new QLineEdit(U(text), this);
    e->setObjectName(QString::fromLatin1(name));
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * widthChars + 12);
    Hint(e, hint);
    return e;
  };
  const auto group = [this](const char* title) {
    auto* g = new QGroupBox(title ? U(title) : QString(), this);
    return g;
  };

  // ---- Zeitzone ----
  QGroupBox* zoneGroup = group("Zeitzone");
  c.utcLabel = new QLabel(QStringLiteral("UTC+"), zoneGroup);
  c.TZEdit = edit("TZEdit", "1", 6);
  c.TZEdit->setMaximumWidth(c.TZEdit->minimumWidth() * 3 / 2);
  c.TZSpin = new QWidget(zoneGroup);
  c.TZSpin->setObjectName(QStringLiteral("TZSpin"));
  {
    auto* spinLayout = new QVBoxLayout(c.TZSpin);
    spinLayout->setContentsMargins(0, 0, 0, 0);
    spinLayout->setSpacing(0);
    const auto arrow = [&](const char* name, Qt::ArrowType type, int delta) {
      auto* b = new QToolButton(c.TZSpin);
      b->setObjectName(QString::fromLatin1(name));
      b->setArrowType(type);
      b->setAutoRepeat(true);
      b->setFixedHeight(c.TZEdit->sizeHint().height() / 2);
      connect(b, &QToolButton::clicked, this, [this, delta] { StepZone(delta); });
      spinLayout->addWidget(b);
    };
    arrow("TZSpinUp", Qt::UpArrow, +1);
    arrow("TZSpinDown", Qt::DownArrow, -1);
  }
  c.UTCBtn = button("UTCBtn", "UTC", "Weltzeit");
  c.MEZBtn = button("MEZBtn", "MEZ", "Mitteleuropäische Zeit");
  c.MESZBtn = button("MESZBtn", "MESZ", "Mitteleuropäische Sommerzeit");
  c.AutoDSTChk = check("AutoDSTChk", "Autom. Sommerzeit", "Sommerzeit automatisch umschalten");
  c.TDTChk = check("TDTChk", "TDT verwenden");
  c.AskDeltaTChk = check("AskDeltaTChk", "Bei Sonnenfinsternissen DeltaT abfragen",
                         "Abweichung der Erdrotation, DeltaT = UTC- Ephemeridenzeit");
  {
    auto* l = new QGridLayout(zoneGroup);
    auto* zoneRow = new QHBoxLayout;
    zoneRow->addWidget(c.utcLabel);
    zoneRow->addWidget(c.TZEdit);
    zoneRow->addWidget(c.TZSpin);
    zoneRow->addStretch();
    l->addLayout(zoneRow, 0, 0, 1, 3);
    l->addWidget(c.UTCBtn, 1, 0);
    l->addWidget(c.MEZBtn, 1, 1);
    l->addWidget(c.MESZBtn, 1, 2);
    l->addWidget(c.AutoDSTChk, 2, 0, 1, 3);
    l->addWidget(c.TDTChk, 3, 0, 1, 3);
    l->addWidget(c.AskDeltaTChk, 4, 0, 1, 3);
  }
  connect(c.UTCBtn, &QPushButton::clicked, this, [this] { c_->TZEdit->setText(QStringLiteral("0")); });
  connect(c.MEZBtn, &QPushButton::clicked, this, [this] { c_->TZEdit->setText(QStringLiteral("1")); });
  connect(c.MESZBtn, &QPushButton::clicked, this, [this] { c_->TZEdit->setText(QStringLiteral("2")); });
  connect(c.TDTChk, &QCheckBox::clicked, this, &TEinstellForm::ApplyTdtRule);

  // ---- Äquinoktium ----
  QGroupBox* equinoxGroup = group("Äquinoktium");
  c.AequinEdit = edit("AequinEdit", "2000.0", 8,
                      "Bezugszeitraum für die Koordinaten. Ändert sich wegen der Schwankung der Rotationsachse der "
                      "Erde");
  c.EquDayChk = check("EquDayChk", "Äquinoktium des Tages",
                      "Wählt aktuelles Koordinatensystem. Für Sternkarten nicht anhaken");
  c.NutatChk = check("NutatChk", "Nutation", "Berücksichtigt die Schwankung der Erdachse durch die Mondbahn");
  c.AberrChk = check("AberrChk", "stellare Aberration",
                     "Berücksichtigt die Aberration des Lichtes durch die Erdbwegung. Nicht geeignet zum "
                     "Einzeichnen von Positionen in Sternkarten!");
  c.LightTimeChk = check("LightTimeChk", "Lichtlaufzeit", "Berücksichtigt die Lichtlaufzeit im Sonnensystem");
  c.MondTopoChk = check("MondTopoChk", "Koordinaten topozentrisch",
                        "Wenn angehakt, Koordinaten vom Beobachtungsort gesehen. Wenn nicht, Richtung vom "
                        "Erdmittelpunkt aus");
  {
    auto* l = new QVBoxLayout(equinoxGroup);
    auto* row = new QHBoxLayout;
    row->addWidget(c.AequinEdit);
    row->addStretch();
    l->addLayout(row);
    for (QWidget* w : {static_cast<QWidget*>(c.EquDayChk), static_cast<QWidget*>(c.NutatChk),
                       static_cast<QWidget*>(c.AberrChk), static_cast<QWidget*>(c.LightTimeChk),
                       static_cast<QWidget*>(c.MondTopoChk)})
      l->addWidget(w);
  }
  connect(c.EquDayChk, &QCheckBox::clicked, this, &TEinstellForm::ApplyEquinoxRule);
  connect(c.NutatChk, &QCheckBox::clicked, this, &TEinstellForm::ApplyEquinoxRule);
  connect(c.AberrChk, &QCheckBox::clicked, this, &TEinstellForm::CheckAberration);
  connect(c.LightTimeChk, &QCheckBox::clicked, this, &TEinstellForm::CheckAberration);

  // ---- Anzeigen ----
  QGroupBox* showGroup = group("Anzeigen");
  const auto column = [&](const char* name, const char* caption, bool TTableColumns::*field,
                          const char* hint = nullptr) {
    QCheckBox* box = check(name, caption, hint);
    c.columns.emplace_back(box, field);
    return box;
  };
  QCheckBox* wochentag = column("WochenTagChk", "Wochentag", &TTableColumns::Wochentag);
  QCheckBox* datum = column("DatumChk", "Datum", &TTableColumns::Datum);
  QCheckBox* uhrzeit = column("UhrzeitChk", "Uhrzeit", &TTableColumns::Uhrzeit);
  c.JulDatChk = check("JulDatChk", "Julianisches Datum",
                      "Zeigt das Julianische Datum an, die Tage seit dem 1. Jan -4712, 12 Uhr UT");
  QCheckBox* rade = column("RADEChk", "RA, DE", &TTableColumns::RaDe, "Äquatoriale Koordinaten");
  c.Ra_DegChk = check("Ra_DegChk", "RA in Grad", "Rektaszension in Grad statt in Stunden");
  QCheckBox* stdw =
      column("StdwChk", "Stundenwinkel", &TTableColumns::StdwDe, "(Stern-) Zeit seit der Passage durch den Meridian");
  QCheckBox* ekl = column("EklChk", "Ekliptikale Koord.", &TTableColumns::EklipKoor, "Koordinaten in der Ekliptik");
  QCheckBox* azimut =
      column("AzimutChk", "Azimutale Koord", &TTableColumns::AzimKoor, "Koordinaten im Bezug auf den Horizont");
  QCheckBox* aku = column("AKUchk", "Aufgang, Kulmination, Untergang", &TTableColumns::AufKulmUnt);
  QCheckBox* daemm = column("DaemmChk", "Dämmerung f. Sonnenstand unter Horizont", &TTableColumns::AEDaemm);
  c.DaemmTiefeEdit = edit("DaemmTiefeEdit", "18", 4);
  c.DaemmTiefeEdit->setMaximumWidth(c.DaemmTiefeEdit->minimumWidth() * 2);
  QPushButton* civil = button("BuergerlichBtn", "bürgerlich", "Es werden erste Sterne sichtbar");
  QPushButton* nautical = button("NautischBtn", "nautisch", "Dunkelheit reicht für die Astronavigation aus");
  QPushButton* astronomical = button("AstoDaemmBtn", "astronomisch", "Es ist vollständig dunkel");
  connect(civil, &QPushButton::clicked, this, [this] { c_->DaemmTiefeEdit->setText(QStringLiteral("6")); });
  connect(nautical, &QPushButton::clicked, this, [this] { c_->DaemmTiefeEdit->setText(QStringLiteral("12")); });
  connect(astronomical, &QPushButton::clicked, this,
          [this] { c_->DaemmTiefeEdit->setText(QStringLiteral("18")); });
  QCheckBox* azAufg = column("AzAufgChk", "Az. Auf/Unterg.", &TTableColumns::AufUntAz);
  QCheckBox* entf = column("EntfChk", "Entfernung", &TTableColumns::Entfernung);
  QCheckBox* elong = column("ElongChk", "Elongationen", &TTableColumns::Elongation, "Winkelabstand von der Sonne");
  QCheckBox* hell = column("HellChk", "Helligkeit", &TTableColumns::Helligkeit);
  QCheckBox* durchm = column("DurchmChk", "Durchmesser", &TTableColumns::Durchmesser);
  QCheckBox* phase = column("MondPhaseChk", "Mondphase", &TTableColumns::Mondphase);
  QCheckBox* alter = column("MondAlterChk", "Mondalter", &TTableColumns::Mondalter);
  QCheckBox* phys = column("PhysChk", "Phys. Ephemeriden", &TTableColumns::PhysEph, "Details zu Zentralmeridian etc");
  {
    auto* l = new QGridLayout(showGroup);
    int row = 0;
    for (QCheckBox* b : {wochentag, datum, uhrzeit, c.JulDatChk, rade, c.Ra_DegChk, stdw, ekl, azimut})
      l->addWidget(b, row++, 0);
    row = 0;
    for (QCheckBox* b : {azAufg, entf, elong, hell, durchm, phase, alter, phys, aku}) l->addWidget(b, row++, 1);
    auto* twilight = new QHBoxLayout;
    twilight->addWidget(daemm);
    twilight->addWidget(c.DaemmTiefeEdit);
    twilight->addStretch();
    l->addLayout(twilight, row++, 0, 1, 2);
    auto* depths = new QHBoxLayout;
    depths->addWidget(civil);
    depths->addWidget(nautical);
    depths->addWidget(astronomical);
    depths->addStretch();
    l->addLayout(depths, row++, 0, 1, 2);
    l->setColumnStretch(2, 1);
  }

  // ---- angle format, nautical presentation, separator ----
  QGroupBox* formatGroup = group(nullptr);
  c.DMSChk = radio("DMSChk", "DD MM SS");
  c.DMmChk = radio("DMmChk", "DD MM.mm");
  c.DddChk = radio("DddChk", "DD.dddd");
  auto* angleGroup = new QButtonGroup(this);
  for (QRadioButton* r : {c.DMSChk, c.DMmChk, c.DddChk}) angleGroup->addButton(r);
  c.NautischChk = check("NautischChk", "nautisch");
  auto* separatorLabel = new QLabel(QStringLiteral("Spaltentrenner:"), formatGroup);
  c.SpaltensepEdit = edit("SpaltensepEdit", "", 6,
                          "Für den Export in Tabellenkalkulation, gebräuchlich: Komma oder Semikolon");
  separatorLabel->setToolTip(c.SpaltensepEdit->toolTip());
  separatorLabel->setBuddy(c.SpaltensepEdit);
  c.PfadGrenzenCheck = check("PfadGrenzenCheck", "Grenzen des Pfades (Kern- und Halbschatten)",
                             "Sonnenfinsternispfad: nördliche und südliche Grenze des Kernschattens und des "
                             "Halbschattens zu jeder Zeile");
  {
    auto* l = new QGridLayout(formatGroup);
    l->addWidget(c.DMSChk, 0, 0);
    l->addWidget(c.DMmChk, 1, 0);
    l->addWidget(c.DddChk, 2, 0);
    l->addWidget(c.NautischChk, 0, 1);
    l->addWidget(separatorLabel, 3, 0);
    l->addWidget(c.SpaltensepEdit, 3, 1);
    l->addWidget(c.PfadGrenzenCheck, 4, 0, 1, 2);
  }

  // ---- Schriftart and printing ----
  QGroupBox* fontGroup = group("Schriftart");
  c.ScreenFontBtn = button("ScreenFontBtn", "");
  c.PrinterFontBtn = button("PrinterFontBtn", "");
  c.HochChk = radio("HochChk", "&Hoch");
  c.QuerChk = radio("QuerChk", "&Quer");
  auto* orientation = new QButtonGroup(this);
  orientation->addButton(c.HochChk);
  orientation->addButton(c.QuerChk);
  c.BorderEdit = edit("BorderEdit", "15", 5);
  c.BorderEdit->setMaximumWidth(c.BorderEdit->minimumWidth() * 2);
  {
    auto* l = new QGridLayout(fontGroup);
    l->addWidget(new QLabel(QStringLiteral("Bildschirm"), fontGroup), 0, 0);
    l->addWidget(c.ScreenFontBtn, 0, 1, 1, 2);
    l->addWidget(new QLabel(QStringLiteral("Drucker"), fontGroup), 1, 0);
    l->addWidget(c.PrinterFontBtn, 1, 1, 1, 2);
    l->addWidget(c.HochChk, 2, 1);
    l->addWidget(c.QuerChk, 2, 2);
    l->addWidget(new QLabel(QStringLiteral("Linker Rand"), fontGroup), 3, 0);
    auto* margin = new QHBoxLayout;
    margin->addWidget(c.BorderEdit);
    margin->addWidget(new QLabel(QStringLiteral("mm"), fontGroup));
    margin->addStretch();
    l->addLayout(margin, 3, 1, 1, 2);
    l->setColumnStretch(2, 1);
  }
  connect(c.ScreenFontBtn, &QPushButton::clicked, this, [this] { ChooseFont(false); });
  connect(c.PrinterFontBtn, &QPushButton::clicked, this, [this] { ChooseFont(true); });

  // ---- Beobachtungsort, Speichern ----
  QGroupBox* placeGroup = group("Beobachtungsort");
  c.OrtBtn = button("OrtBtn", "");
  (new QVBoxLayout(placeGroup))->addWidget(c.OrtBtn);
  connect(c.OrtBtn, &QPushButton::clicked, this, [this] {
    const float basis = settings_.BasisZeitzone, zone = settings_.Zeitzone;
    if (links_.choosePlace) links_.choosePlace();
    // A new place brings its own zone: the zone field takes it, or "OK"
    // would put the zone of the old place back.
    if (settings_.BasisZeitzone != basis || settings_.Zeitzone != zone) {
      c_->TZEdit->setText(FieldNumberText(settings_.TDT ? settings_.BasisZeitzone : settings_.Zeitzone));
    }
    RefreshPlace();
  });
  QGroupBox* saveGroup = group("Speichern");
  c.SaveEinstellChk = check("SaveEinstellChk", "Einstellungen");
  c.SaveDateChk = check("SaveDateChk", "Datum");
  {
    auto* l = new QHBoxLayout(saveGroup);
    l->addWidget(c.SaveEinstellChk);
    l->addWidget(c.SaveDateChk);
    l->addStretch();
  }

  // ---- buttons ----
  c.OK = new QPushButton(QStringLiteral("OK"), this);
  c.OK->setObjectName(QStringLiteral("OK"));
  c.OK->setDefault(true);
  c.CancelBtn = button("CancelBtn", "Abbruch");
  c.HelpBtn = button("HelpBtn", "Hilfe");
  c.HelpBtn->hide();
  connect(c.OK, &QPushButton::clicked, this, &TEinstellForm::accept);
  connect(c.CancelBtn, &QPushButton::clicked, this, &TEinstellForm::reject);

  // Three columns: time and coordinates; the columns of the tables; the
  // presentation, fonts, place and what is kept.
  auto* columns = new QHBoxLayout;
  auto* first = new QVBoxLayout;
  first->addWidget(zoneGroup);
  first->addWidget(equinoxGroup);
  first->addStretch();
  auto* second = new QVBoxLayout;
  second->addWidget(showGroup);
  second->addWidget(formatGroup);
  second->addStretch();
  auto* third = new QVBoxLayout;
  third->addWidget(fontGroup);
  third->addWidget(placeGroup);
  third->addWidget(saveGroup);
  third->addStretch();
  columns->addLayout(first);
  columns->addLayout(second);
  columns->addLayout(third);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(c.OK);
  buttons->addWidget(c.CancelBtn);
  buttons->addWidget(c.HelpBtn);
  auto* main = new QVBoxLayout(this);
  main->addLayout(columns);
  main->addLayout(buttons);
}

// ---------------------------------------------------------------- showing

void TEinstellForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  LoadControls();
  ApplyEquinoxRule();
  ApplyTdtRule();
  c_->placeTimer.start();
}

void TEinstellForm::hideEvent(QHideEvent* event) {
  c_->placeTimer.stop();
  QDialog::hideEvent(event);
}

void TEinstellForm::LoadControls() {
  const TSettings& s = settings_;
  Controls& c = *c_;
  // The zone field holds the zone in force at the start date. Under TDT the
  // effective zone is 0 and confirming takes the field as the base zone, so
  // the field shows the base zone: confirming with TDT keeps it.
  const float zone_h = s.TDT ? s.BasisZeitzone : s.Zeitzone;
  c.TZEdit->setText(FieldNumberText(zone_h));
  c.AutoDSTChk->setChecked(s.AutoSommerzeit);
  c.TDTChk->setChecked(s.TDT);
  c.AskDeltaTChk->setChecked(s.AskEtKorr);
  c.AequinEdit->setText(FieldNumberText(s.Aequinokt));
  c.EquDayChk->setChecked(s.AequinTag);
  c.NutatChk->setChecked(s.Nutation);
  c.AberrChk->setChecked(s.Aberration);
  c.LightTimeChk->setChecked(s.Lichtlaufzeit);
  c.MondTopoChk->setChecked(s.MondTopozentrisch);
  for (const auto& [box, field] : c.columns) box->setChecked(s.TableColumns.*field);
  c.JulDatChk->setChecked(s.ShowJulDat);
  c.Ra_DegChk->setChecked(s.RAGrad);
  c.DaemmTiefeEdit->setText(FieldNumberText(s.DaemmTiefe));
  if (s.NoMinutes) {
    c.DddChk->setChecked(true);
  } else if (s.NoSeconds) {
    c.DMmChk->setChecked(true);
  } else {
    c.DMSChk->setChecked(true);
  }
  c.NautischChk->setChecked(s.Nautisch);
  c.PfadGrenzenCheck->setChecked(s.PfadGrenzen);
  c.SpaltensepEdit->setText(Q(s.SpaltenSeparator));
  ShowFontCaptions();
  const bool landscape = links_.printLandscape ? links_.printLandscape() : true;
  (landscape ? c.QuerChk : c.HochChk)->setChecked(true);
  c.BorderEdit->setText(Q(TrimBlanks(Str(s.LRand, 0, 1))));
  RefreshPlace();
  c.SaveEinstellChk->setChecked(s.Speichern);
  c.SaveDateChk->setChecked(s.DatSpeichern);
}

void TEinstellForm::ApplyEquinoxRule() {
  Controls& c = *c_;
  c.EquDayChk->setText(c.NutatChk->isChecked() ? U("wahres Äquinoktium des Tages")
                                               : U("mittleres Äquinoktium des Tages"));
  const bool ofDate = c.EquDayChk->isChecked();
  c.AequinEdit->setEnabled(!ofDate);
  c.NutatChk->setEnabled(ofDate);
  c.AberrChk->setEnabled(ofDate);
}

void TEinstellForm::ApplyTdtRule() {
  Controls& c = *c_;
  const bool free = !c.TDTChk->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(c.TZEdit), c.TZSpin, static_cast<QWidget*>(c.utcLabel),
                     static_cast<QWidget*>(c.UTCBtn), static_cast<QWidget*>(c.MEZBtn),
                     static_cast<QWidget*>(c.MESZBtn), static_cast<QWidget*>(c.AutoDSTChk),
                     static_cast<QWidget*>(c.AskDeltaTChk)})
    w->setEnabled(free);
}

// Aberration without light time gives places that belong to no instant: the
// user is told, and the boxes keep what the user chose.
void TEinstellForm::CheckAberration() {
  if (c_->AberrChk->isChecked() && !c_->LightTimeChk->isChecked() && showError)
    showError(U("Koordinaten mit Aberration ohne Lichtlaufzeit sind unbrauchbar!"));
}

void TEinstellForm::StepZone(int delta_h) {
  c_->TZEdit->setText(FieldNumberText(FieldNumber(c_->TZEdit) + static_cast<float>(delta_h)));
}

void TEinstellForm::ChooseFont(bool printer) {
  const auto& current = printer ? links_.printerFont : links_.screenFont;
  const auto& apply = printer ? links_.setPrinterFont : links_.setScreenFont;
  if (!askFont) return;
  const std::optional<QFont> chosen = askFont(current ? current() : font());
  if (!chosen) return;
  if (apply) apply(*chosen);
  (printer ? c_->PrinterFontBtn : c_->ScreenFontBtn)->setText(FontButtonCaption(*chosen));
}

void TEinstellForm::ShowFontCaptions() {
  c_->ScreenFontBtn->setText(FontButtonCaption(links_.screenFont ? links_.screenFont() : font()));
  c_->PrinterFontBtn->setText(FontButtonCaption(links_.printerFont ? links_.printerFont() : font()));
}

void TEinstellForm::RefreshPlace() {
  const QString name = Q(settings_.Ort.Name);
  if (c_->OrtBtn->text() != name) c_->OrtBtn->setText(name);
}

// ---------------------------------------------------------------- confirming

void TEinstellForm::accept() {
  TSettings& s = settings_;
  Controls& c = *c_;
  // 1. the columns, the Julian date and the topocentric switch
  for (const auto& [box, field] : c.columns) s.TableColumns.*field = box->isChecked();
  s.ShowJulDat = c.JulDatChk->isChecked();
  s.MondTopozentrisch = c.MondTopoChk->isChecked();
  // 2. equinox and twilight depth
  s.Aequinokt = FieldNumber(c.AequinEdit);
  s.DaemmTiefe = FieldNumber(c.DaemmTiefeEdit);
  // 3. what is kept on exit, automatic summer time
  s.Speichern = c.SaveEinstellChk->isChecked();
  s.DatSpeichern = c.SaveDateChk->isChecked();
  s.AutoSommerzeit = c.AutoDSTChk->isChecked();
  // 4. The zone entered is the zone in force at the start date: when the
  // summer-time rule puts the start date in summer time, the base zone is
  // one hour less.
  s.BasisZeitzone = s.Zeitzone = FieldNumber(c.TZEdit);
  if (s.AutoSommerzeit && !c.TDTChk->isChecked() && SummerTime(s.Zeitzone, s.BasisZeitzone, s.Startdat)) {
    s.BasisZeitzone -= 1;
    s.Zeitzone -= 1;
  }
  // 5. right ascension in degrees, the deltaT question, the corrections
  s.RAGrad = c.Ra_DegChk->isChecked();
  s.AskEtKorr = c.AskDeltaTChk->isChecked();
  s.AequinTag = c.EquDayChk->isChecked();
  s.Nutation = c.NutatChk->isChecked();
  s.Aberration = c.AberrChk->isChecked();
  s.Lichtlaufzeit = c.LightTimeChk->isChecked();
  // 6. dynamical time: zone 0
  s.TDT = c.TDTChk->isChecked();
  if (s.TDT) s.Zeitzone = 0;
  // 7. angle format
  s.NoMinutes = c.DddChk->isChecked();
  s.NoSeconds = c.DddChk->isChecked() || c.DMmChk->isChecked();
  // 8. nautical presentation, column separator
  s.Nautisch = c.NautischChk->isChecked();
  s.PfadGrenzen = c.PfadGrenzenCheck->isChecked();
  s.SpaltenSeparator = Utf8Left(c.SpaltensepEdit->text().toStdString(), kMaxSeparatorChars);
  // 9. orientation of printed text
  if (links_.setPrintLandscape) links_.setPrintLandscape(c.QuerChk->isChecked());
  // 10. left margin of printed text; close
  s.LRand = FieldNumber(c.BorderEdit);
  QDialog::accept();
}

}  // namespace orb
