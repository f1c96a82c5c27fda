// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/DateForm.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "settings/NumberReader.h"
#include "tables/TableFormat.h"
#include "ui/UiText.h"

namespace orb {
namespace {

// The years a date field takes: their Julian dates stay within
// kCalendarLimit_jd, the range of every Julian date the program reads.
constexpr int kYearLimit = 2700000;
// The largest day count, hour count, minute count and number of
// calculations a field holds.
constexpr int kFieldLimit = 2000000000;
// The zones of the world run from -12 to +14 hours; the settings take
// zones in -14 .. 14.
constexpr float kZoneLimit_h = 14;
// The calendar picker shows the dates of the Gregorian calendar from 1900
// to 9999.
constexpr int kFirstPickerYear = 1900;
constexpr int kLastPickerYear = 9999;
// Tolerances of the question "Änderungen übernehmen?".
constexpr Extended kInstantTolerance_days = 0.0001L;
constexpr float kZoneTolerance_h = 0.01f;
constexpr Extended kStepTolerance_days = 0.001L;
// A fraction of a table step above 0.0007 counts as one more calculation.
constexpr Extended kCalculationRoundUp = 0.4993L;
// The day count is read 0.432 s ahead before hours and minutes are cut off,
// so that a whole second never shows as the second before; the seconds are
// then rounded.
constexpr Extended kFieldLead_days = 0.000005L;

const QString kEndBeforeStart = QStringLiteral("Startdatum ist später als Enddatum\r\nEnddatum   =   Startdatum setzen?");
const QString kTakeChanges = QStringLiteral("Änderungen übernehmen?");


// A field that holds no number yet: empty, or a lone sign.
bool Incomplete(const QString& text) {
  const QString t = text.trimmed();
  return t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("+");
}

// A Julian date read leniently from a text field; a text without a number
// reads as 0, a date beyond kCalendarLimit_jd (which has no calendar date
// and which the settings file refuses) as the limit.
Extended ReadJD(const QLineEdit* field) {
  const Extended jd = ParseNumber(field->text().toStdString());
  if (!std::isfinite(jd)) return 0;
  return std::clamp(jd, -kCalendarLimit_jd, kCalendarLimit_jd);
}

QString JDText(Extended jd) { return Q(Str(jd, 1, 6)); }

// The local date and clock time of an instant, to the whole second.
struct LocalFields {
  int32_t year = 0, month = 1, day = 1;
  int32_t hour = 0, minute = 0, second = 0;
};

// The fields of `jd` in the zone `zone_h`: t = round((jd + zone/24) * 86400)
// / 86400 (local time to whole seconds); the calendar date of t gives year,
// month and day with fraction D; with d = D + 0.000005 the day is Int(d),
// the hour Int(Frac(d) * 24), the minute Int(Frac(d * 24) * 60) and the
// second round(Frac(d * 1440) * 60).
// t is split exactly into its day and its second of the day: JDToCalendar
// reads the time of day 0.0864 s ahead, which together with the lead above
// would exceed half a second and round every second up by one.
LocalFields LocalFieldsOf(Extended jd, float zone_h) {
  const Extended total_s = std::round((jd + static_cast<Extended>(zone_h) / kHoursPerDay) * kSecondsPerDay);
  const Extended fromMidnight_s = total_s + kSecondsPerDay / 2;  // from the midnight that begins JD day 0
  const Extended dayNumber = std::floor(fromMidnight_s / kSecondsPerDay);
  const Extended secondOfDay = fromMidnight_s - dayNumber * kSecondsPerDay;
  const CalendarDate date = JDToCalendar(dayNumber);  // the day's noon
  const Extended d = std::floor(date.day) + secondOfDay / kSecondsPerDay + kFieldLead_days;
  LocalFields f;
  f.year = date.year;
  f.month = date.month;
  f.day = static_cast<int32_t>(std::trunc(d));
  f.hour = static_cast<int32_t>(std::trunc(Frac(d) * 24));
  f.minute = static_cast<int32_t>(std::trunc(Frac(d * 24) * 60));
  f.second = static_cast<int32_t>(std::round(Frac(d * kMinutesPerDay) * 60));
  return f;
}

int ClampToField(Extended v, int lo, int hi) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::clamp(v, static_cast<Extended>(lo), static_cast<Extended>(hi)));
}

QSpinBox* SpinField(const char* name, int lo, int hi) {
  auto* spin = new QSpinBox;
  spin->setObjectName(QLatin1String(name));
  spin->setRange(lo, hi);
  return spin;
}

QPushButton* Button(const char* name, const QString& caption, const QString& hint = {}) {
  auto* b = new QPushButton(caption);
  b->setObjectName(QLatin1String(name));
  if (!hint.isEmpty()) b->setToolTip(hint);
  // Enter anywhere in the dialog confirms; a focused button does not take it.
  b->setAutoDefault(false);
  return b;
}

QLabel* Label(const QString& caption, QWidget* buddy = nullptr) {
  auto* l = new QLabel(caption);
  if (buddy) l->setBuddy(buddy);
  return l;
}

// The up/down buttons of the zone: no text of their own, each step hands
// its direction (+1, -1) on.
class ZoneUpDown : public QAbstractSpinBox {
 public:
  explicit ZoneUpDown(std::function<void(int)> step) : step_(std::move(step)) {}
  void stepBy(int steps) override {
    for (int i = 0; i < std::abs(steps); ++i) step_(steps > 0 ? 1 : -1);
  }
  QSize sizeHint() const override {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(2, fontMetrics().height()), this);
  }
  QSize minimumSizeHint() const override { return sizeHint(); }
  QValidator::State validate(QString& input, int&) const override {
    return input.isEmpty() ? QValidator::Acceptable : QValidator::Invalid;
  }

 protected:
  StepEnabled stepEnabled() const override { return isEnabled() ? StepUpEnabled | StepDownEnabled : StepNone; }

 private:
  std::function<void(int)> step_;
};

MsgResult AskYesNoCancelBox(QWidget* parent, const QString& question) {
  QString text = question;
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), text, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(QStringLiteral("&Abbrechen"), QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return MsgResult::Yes;
  if (box.clickedButton() == no) return MsgResult::No;
  return MsgResult::Cancel;
}

}  // namespace

TDateForm::TDateForm(TSettings& settings, std::function<void(bool)> listModeChanged, QWidget* parent)
    : QDialog(parent), settings_(settings), listModeChanged_(std::move(listModeChanged)) {
  setObjectName(QStringLiteral("DateForm"));
  setWindowTitle(QStringLiteral("Datum und Uhrzeit wählen"));
  askYesNoCancel = [this](const QString& question) { return AskYesNoCancelBox(this, question); };
  now = [] { return CurrentJD(); };
  BuildControls();
}

TDateForm::~TDateForm() = default;

QGroupBox* TDateForm::BuildSide(Side& side, bool start) {
  side.start = start;
  auto* group = new QGroupBox(start ? QStringLiteral("Start Berechnung") : QStringLiteral("Ende Berechnung"));
  group->setObjectName(start ? QStringLiteral("StartGroup") : QStringLiteral("EndGroup"));
  const auto name = [start](const char* s, const char* e) { return start ? s : e; };
  side.year = SpinField(name("SY", "EY"), -kYearLimit, kYearLimit);
  side.month = SpinField(name("SMon", "EMon"), 1, 12);
  side.day = SpinField(name("SD", "ED"), 1, 31);
  side.hour = SpinField(name("SH", "EH"), 0, 23);
  side.minute = SpinField(name("SMin", "EMin"), 0, 59);
  side.second = SpinField(name("SS", "ES"), 0, 59);
  side.jd = new QLineEdit;
  side.jd->setObjectName(QLatin1String(name("SJD", "EJD")));
  if (start) side.jd->setToolTip(QStringLiteral("Tage seit dem 1. Jan. 4713 12 Uhr Weltzeit"));
  side.calendar = new QDateEdit;
  side.calendar->setObjectName(QLatin1String(name("SCal", "ECal")));
  side.calendar->setCalendarPopup(true);
  side.calendar->setDateRange(QDate(kFirstPickerYear, 1, 1), QDate(kLastPickerYear, 12, 31));
  side.calendar->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  side.hint = new QLabel;
  side.hint->setObjectName(QLatin1String(name("DatHintLabel", "DatHintLabelE")));

  auto* grid = new QGridLayout(group);
  grid->addWidget(Label(start ? QStringLiteral("&Jahr") : QStringLiteral("Jah&r"), side.year), 0, 0);
  grid->addWidget(Label(start ? QStringLiteral("&Monat") : QStringLiteral("Monat"), side.month), 0, 1);
  grid->addWidget(Label(QStringLiteral("Tag"), side.day), 0, 2);
  grid->addWidget(side.year, 1, 0);
  grid->addWidget(side.month, 1, 1);
  grid->addWidget(side.day, 1, 2);
  grid->addWidget(Label(start ? QStringLiteral("Stu&nde") : QStringLiteral("Stun&de"), side.hour), 2, 0);
  grid->addWidget(Label(QStringLiteral("Minute"), side.minute), 2, 1);
  grid->addWidget(Label(QStringLiteral("Sekunde"), side.second), 2, 2);
  grid->addWidget(side.hour, 3, 0);
  grid->addWidget(side.minute, 3, 1);
  grid->addWidget(side.second, 3, 2);

  static const char* const kZeroNames[6] = {"RSH", "RSM", "RSS", "ESH", "ESM", "ESS"};
  static const char* const kZeroHints[3] = {"Zeit auf Null stellen", "Minuten und Sekunden auf Null stellen",
                                           "Sekunden auf Null stellen"};
  for (int i = 0; i < 3; ++i) {
    const int tag = (start ? 1 : 4) + i;
    QPushButton* zero = Button(kZeroNames[tag - 1], QStringLiteral("= 0"), QString::fromUtf8(kZeroHints[i]));
    zero->setProperty("tag", tag);
    zeroButtons_[tag - 1] = zero;
    grid->addWidget(zero, 4, i);
    connect(zero, &QPushButton::clicked, this, [this, &side, i] { ZeroTime(side, i + 1); });
  }
  grid->addWidget(Label(start ? QStringLiteral("Ju&lianisches Datum") : QStringLiteral("Julianisches Datum"), side.jd),
                  5, 0, 1, 3);
  grid->addWidget(side.jd, 6, 0, 1, 3);
  // The hint takes the picker's place without moving what follows.
  side.hint->setMinimumHeight(side.calendar->sizeHint().height());
  auto* calendarRow = new QHBoxLayout;
  calendarRow->addWidget(side.calendar);
  calendarRow->addWidget(side.hint);
  calendarRow->addStretch();
  grid->addLayout(calendarRow, 7, 0, 1, 3);

  const QString nowHint = QStringLiteral("Zeit und Datum auf aktuelle Systemzeit stellen");
  auto* buttons = new QHBoxLayout;
  if (start) {
    startNow_ = Button("SST", QStringLiteral("&Computerzeit"), nowHint);
    buttons->addWidget(startNow_);
  } else {
    endNow_ = Button("EST", QStringLiteral("Com&puterzeit"), nowHint);
    endStart_ = Button("EStart", QStringLiteral("= &Startzeit"), QStringLiteral("Startzeit übernehmen"));
    buttons->addWidget(endNow_);
    buttons->addWidget(endStart_);
  }
  buttons->addStretch();
  grid->addLayout(buttons, 8, 0, 1, 3);
  return group;
}

void TDateForm::BuildControls() {
  QGroupBox* startGroup = BuildSide(start_, true);
  endGroup_ = BuildSide(end_, false);

  // Step width and the number of calculations.
  tabD_ = SpinField("TabD", 0, kFieldLimit);
  tabH_ = SpinField("TabH", 0, kFieldLimit);
  tabM_ = SpinField("TabM", 0, kFieldLimit);
  auto* stepGrid = new QGridLayout;
  stepGrid->addWidget(Label(QStringLiteral("Schritt&weite"), tabD_), 0, 0, 1, 3);
  stepGrid->addWidget(tabD_, 1, 0);
  stepGrid->addWidget(tabH_, 1, 1);
  stepGrid->addWidget(tabM_, 1, 2);
  stepGrid->addWidget(Label(QStringLiteral("Tage")), 2, 0);
  stepGrid->addWidget(Label(QStringLiteral("Stunden")), 2, 1);
  stepGrid->addWidget(Label(QStringLiteral("Minuten")), 2, 2);

  calculations_ = SpinField("Calculations", -kFieldLimit, kFieldLimit);
  rangeLabel_ = new QLabel;
  rangeLabel_->setObjectName(QStringLiteral("ZeitraumLabel"));
  rangeBox_ = new QWidget;
  auto* rangeLayout = new QGridLayout(rangeBox_);
  rangeLayout->setContentsMargins(0, 0, 0, 0);
  rangeLayout->addWidget(Label(QStringLiteral("&Berechnungen:"), calculations_), 0, 0);
  rangeLayout->addWidget(calculations_, 0, 1);
  rangeLayout->addWidget(rangeLabel_, 1, 0, 1, 2);
  rangeLayout->setColumnStretch(2, 1);

  // Time zone, summer time, dynamical time.
  tz_ = new QLineEdit;
  tz_->setObjectName(QStringLiteral("TZ"));
  tz_->setToolTip(QStringLiteral("Zeitzone, UTC ist Welzeit, MEZ ist 1 MESZ ist 2 etc."));
  tz_->setMaximumWidth(tz_->fontMetrics().horizontalAdvance(QStringLiteral("-00.00000")) + 12);
  zoneSpin_ = new ZoneUpDown([this](int direction) { StepZone(direction); });
  zoneSpin_->setObjectName(QStringLiteral("ZZSpin"));
  utcLabel_ = Label(QStringLiteral("&UTC +"), tz_);
  utcLabel_->setObjectName(QStringLiteral("UTCLabel"));
  tzLabel_ = new QLabel;
  tzLabel_->setObjectName(QStringLiteral("TZLabel"));
  dst_ = new QCheckBox(QStringLiteral("Sommer&zeit"));
  dst_->setObjectName(QStringLiteral("DSTChk"));
  dst_->setToolTip(QStringLiteral("Die eingegebene Zeit ist Sommerzeit"));
  autoDst_ = new QCheckBox(QStringLiteral("&automatisch"));
  autoDst_->setObjectName(QStringLiteral("AutoDSTChk"));
  autoDst_->setToolTip(QStringLiteral("Sommerzeit automatisch umschalten"));
  autoDst_->setChecked(true);
  tdt_ = new QCheckBox(QStringLiteral("TDT Ephemeridenzeit"));
  tdt_->setObjectName(QStringLiteral("TDTChk"));
  tdt_->setToolTip(
      QStringLiteral("TDT (Dynamische Zeit), Ephemeridenzeit. Vernachlässigt ungleichförmige Erdrotation"));
  auto* zoneRow = new QHBoxLayout;
  zoneRow->addWidget(utcLabel_);
  zoneRow->addWidget(tz_);
  zoneRow->addWidget(zoneSpin_);
  zoneRow->addWidget(tzLabel_);
  zoneRow->addStretch();
  auto* dstRow = new QHBoxLayout;
  dstRow->addWidget(dst_);
  dstRow->addWidget(autoDst_);
  dstRow->addStretch();

  selTable_ = new QCheckBox(QStringLiteral("&Tabelle berechnen"));
  selTable_->setObjectName(QStringLiteral("SelTable"));
  classicDate_ = new QRadioButton;
  classicDate_->setObjectName(QStringLiteral("DatumklassischChk"));
  classicDate_->setToolTip(QStringLiteral("Format Tag.Monat.Jahr"));
  newDate_ = new QRadioButton;
  newDate_->setObjectName(QStringLiteral("NewDateChk"));
  newDate_->setToolTip(QStringLiteral("Format Jahr-Monat-Tag"));
  saveDat_ = new QCheckBox(QStringLiteral("Datum speichern"));
  saveDat_->setObjectName(QStringLiteral("SaveDatChk"));

  ok_ = Button("OKBtn", QStringLiteral("&OK !"));
  ok_->setDefault(true);
  cancel_ = Button("Abbruch", QStringLiteral("&Abbruch"));
  auto* okRow = new QHBoxLayout;
  okRow->addWidget(ok_);
  okRow->addWidget(cancel_);

  auto* left = new QVBoxLayout;
  left->addWidget(startGroup);
  left->addLayout(stepGrid);
  left->addWidget(Label(QStringLiteral("Zeitzone")));
  left->addLayout(zoneRow);
  left->addLayout(dstRow);
  left->addWidget(tdt_);
  left->addWidget(selTable_);
  left->addWidget(classicDate_);
  left->addWidget(newDate_);
  left->addWidget(saveDat_);
  left->addStretch();
  left->addLayout(okRow);

  auto* right = new QVBoxLayout;
  right->addWidget(endGroup_);
  right->addWidget(rangeBox_);
  right->addStretch();

  auto* main = new QHBoxLayout(this);
  main->addLayout(left);
  main->addLayout(right);
  // The dialog takes the size of what it shows: the start side alone, or
  // both sides in list mode.
  main->setSizeConstraint(QLayout::SetFixedSize);

  Connect(start_);
  Connect(end_);
  for (QSpinBox* step : {tabD_, tabH_, tabM_}) {
    connect(step, &QSpinBox::textChanged, this, [this] {
      if (Updating || !tabD_->hasAcceptableInput() || !tabH_->hasAcceptableInput() || !tabM_->hasAcceptableInput())
        return;
      Updating = true;
      UpdateRange();
      Updating = false;
    });
  }
  connect(calculations_, &QSpinBox::textChanged, this, [this] { CalculationsEntered(); });
  connect(tz_, &QLineEdit::textChanged, this, [this] { ZoneEntered(); });
  connect(tdt_, &QCheckBox::clicked, this, [this] {
    ApplyTDTRule();
    UpdateZoneLabel();
    // The zone of the fields has changed: the local times stay, the
    // instants move, as for a change of the zone.
    MoveInstantsToZone();
  });
  connect(selTable_, &QCheckBox::clicked, this, [this](bool on) { ListModeClicked(on); });
  connect(startNow_, &QPushButton::clicked, this, [this] { ComputerTime(start_); });
  connect(endNow_, &QPushButton::clicked, this, [this] { ComputerTime(end_); });
  connect(endStart_, &QPushButton::clicked, this, [this] { end_.jd->setText(start_.jd->text()); });
  connect(ok_, &QPushButton::clicked, this, &TDateForm::accept);
  connect(cancel_, &QPushButton::clicked, this, &TDateForm::reject);
}

void TDateForm::Connect(Side& side) {
  for (QSpinBox* field : {side.year, side.month, side.day, side.hour, side.minute, side.second}) {
    connect(field, &QSpinBox::textChanged, this, [this, &side] { FieldsToJD(side); });
  }
  connect(side.jd, &QLineEdit::textChanged, this, [this, &side] { JDToFields(side); });
  connect(side.calendar, &QDateEdit::dateChanged, this, [this, &side] { DateChosen(side); });
}

// ---- showing ----

void TDateForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) Load();
  QDialog::showEvent(event);
}

void TDateForm::Load() {
  const TSettings& s = settings_;
  Updating = true;
  // The dynamical-time switch first: it decides the zone of the fields.
  tdt_->setChecked(s.TDT);
  // Under TDT the stored zone is 0; the field shows the user's own zone
  // (with summer time), which comes back when TDT is switched off.
  float zone = s.Zeitzone;
  if (s.TDT) {
    zone = s.BasisZeitzone;
    if (s.AutoSommerzeit) SummerTime(zone, s.BasisZeitzone, s.Startdat);
  }
  tz_->setText(FieldNumberText(zone));
  dst_->setChecked(std::fabs(zone - s.BasisZeitzone) > 0.001f);
  autoDst_->setChecked(s.AutoSommerzeit);

  const Extended step = s.TableColumns.Schrittweite;
  const Extended days = std::trunc(step);
  const Extended rest = step - days;
  const Extended hours = std::trunc(rest * kHoursPerDay);
  tabD_->setValue(ClampToField(days, 0, kFieldLimit));
  tabH_->setValue(ClampToField(hours, 0, kFieldLimit));
  tabM_->setValue(ClampToField(std::round(rest * kMinutesPerDay - hours * 60), 0, kFieldLimit));
  loadedStep_ = step;
  loadedStepFields_[0] = tabD_->value();
  loadedStepFields_[1] = tabH_->value();
  loadedStepFields_[2] = tabM_->value();

  start_.jd->setText(JDText(s.Startdat));
  end_.jd->setText(JDText(s.Startdat + s.DeltaTab));
  Updating = false;
  JDToFields(start_);
  JDToFields(end_);

  selTable_->setChecked(s.Tabelle);
  ShowListMode(s.Tabelle);

  (s.NewDateFormat ? newDate_ : classicDate_)->setChecked(true);
  const Extended today = now();
  const auto caption = [&](bool newFormat) {
    const DateStyle style{newFormat, s.NewDateSep};
    QString date = Q(DateText(today, s.Zeitzone, style));
    return QStringLiteral("Datumsformat: ") + date.replace(QLatin1Char('&'), QLatin1String("&&"));
  };
  classicDate_->setText(caption(false));
  newDate_->setText(caption(true));

  saveDat_->setChecked(s.DatSpeichern);
  ApplyTDTRule();
  UpdateZoneLabel();
}

// ---- the zone, the step ----

float TDateForm::TypedZone() const {
  const Extended zone = ParseNumber(tz_->text().toStdString());
  if (!std::isfinite(zone)) return 0;
  return static_cast<float>(std::clamp(zone, static_cast<Extended>(-kZoneLimit_h), static_cast<Extended>(kZoneLimit_h)));
}

float TDateForm::Zone() const { return tdt_->isChecked() ? 0.0f : TypedZone(); }

Extended TDateForm::FieldStep() const {
  return tabD_->value() + (tabH_->value() + tabM_->value() / 60.0L) / kHoursPerDay;
}

// The step fields hold whole minutes; a step stored to the second (or
// finer) is kept as long as the fields show what they were loaded with.
Extended TDateForm::Step() const {
  if (tabD_->value() == loadedStepFields_[0] && tabH_->value() == loadedStepFields_[1] &&
      tabM_->value() == loadedStepFields_[2])
    return loadedStep_;
  return FieldStep();
}

// ---- conversions ----

void TDateForm::WriteJDFromFields(Side& side) {
  for (const QSpinBox* field : {side.year, side.month, side.day, side.hour, side.minute, side.second}) {
    if (!field->hasAcceptableInput()) return;
  }
  const Extended day = side.day->value() + side.hour->value() / kHoursPerDay + side.minute->value() / kMinutesPerDay +
                       side.second->value() / kSecondsPerDay - static_cast<Extended>(Zone()) / kHoursPerDay;
  side.jd->setText(JDText(CalendarToJD(side.year->value(), side.month->value(), day)));
}

void TDateForm::FieldsToJD(Side& side) {
  if (Updating) return;
  for (const QSpinBox* field : {side.year, side.month, side.day, side.hour, side.minute, side.second}) {
    if (!field->hasAcceptableInput()) return;
  }
  Updating = true;
  WriteJDFromFields(side);
  // Automatic summer time on the start side (never under dynamical time).
  if (side.start && autoDst_->isChecked() && !tdt_->isChecked()) {
    float zone = TypedZone();
    const float base = dst_->isChecked() ? zone - 1 : zone;
    if (SummerTime(zone, base, ReadJD(side.jd))) {
      dst_->setChecked(!dst_->isChecked());
      tz_->setText(FieldNumberText(zone));
      // The typed local time is meant in the new zone: both instants move
      // with it, as for a change of the zone.
      WriteJDFromFields(start_);
      WriteJDFromFields(end_);
      ShowCalendar(end_);
    }
  }
  UpdateRange();
  ShowCalendar(side);
  Updating = false;
}

void TDateForm::JDToFields(Side& side) {
  if (Updating || Incomplete(side.jd->text())) return;
  Updating = true;
  const LocalFields f = LocalFieldsOf(ReadJD(side.jd), Zone());
  side.year->setValue(std::clamp(f.year, -kYearLimit, kYearLimit));
  side.month->setValue(f.month);
  side.day->setValue(f.day);
  side.hour->setValue(f.hour);
  side.minute->setValue(f.minute);
  side.second->setValue(f.second);
  ShowCalendar(side);
  UpdateRange();
  Updating = false;
}

void TDateForm::ShowCalendar(Side& side) {
  const int year = side.year->value();
  const Extended jd = ReadJD(side.jd);
  if (year >= kFirstPickerYear && year <= kLastPickerYear) {
    const LocalFields f = LocalFieldsOf(jd, Zone());
    const bool wasUpdating = std::exchange(Updating, true);
    side.calendar->setDate(QDate(f.year, f.month, f.day));
    Updating = wasUpdating;
    side.calendar->show();
    side.hint->clear();
    side.hint->hide();
    return;
  }
  side.calendar->hide();
  side.hint->setText(Q(year <= 0 && jd < 2299160.9L ? AstronomicalYearHint(year) : CalendarHint(jd)));
  side.hint->show();
}

void TDateForm::DateChosen(Side& side) {
  if (Updating) return;
  const QDate date = side.calendar->date();
  Updating = true;
  side.year->setValue(date.year());
  side.month->setValue(date.month());
  side.day->setValue(date.day());
  Updating = false;
  FieldsToJD(side);
}

void TDateForm::ZeroTime(Side& side, int what) {
  Updating = true;
  if (what == 1) side.hour->setValue(0);
  if (what <= 2) side.minute->setValue(0);
  side.second->setValue(0);
  Updating = false;
  FieldsToJD(side);
}

void TDateForm::ComputerTime(Side& side) { side.jd->setText(JDText(now())); }

void TDateForm::UpdateRange() {
  const Extended span = ReadJD(end_.jd) - ReadJD(start_.jd);
  rangeLabel_->setText(QStringLiteral("Zeitraum:") + QString::asprintf(" %1.4g ", static_cast<double>(span)) +
                       QStringLiteral("Tage"));
  const Extended step = Step();
  const Extended n = step != 0 ? span / step : 1;
  calculations_->setValue(ClampToField(std::round(n + kCalculationRoundUp), -kFieldLimit, kFieldLimit));
}

// A number of calculations gives the step that divides the range into as
// many parts. A number that gives no step forward (0, or one whose sign
// differs from the range's) is ignored.
void TDateForm::CalculationsEntered() {
  if (Updating || !calculations_->hasAcceptableInput()) return;
  const int n = calculations_->value();
  if (n == 0) return;
  const Extended step = (ReadJD(end_.jd) - ReadJD(start_.jd)) / n;
  if (!(step > 0)) return;
  Updating = true;
  const Extended days = std::trunc(step);
  const Extended hours = std::trunc((step - days) * kHoursPerDay);
  tabD_->setValue(ClampToField(days, 0, kFieldLimit));
  tabH_->setValue(ClampToField(hours, 0, kFieldLimit));
  tabM_->setValue(ClampToField(std::round((step - days) * kMinutesPerDay - hours * 60), 0, kFieldLimit));
  Updating = false;
}

void TDateForm::ZoneEntered() {
  UpdateZoneLabel();
  if (Updating || Incomplete(tz_->text())) return;
  MoveInstantsToZone();
}

void TDateForm::MoveInstantsToZone() {
  Updating = true;
  WriteJDFromFields(start_);
  WriteJDFromFields(end_);
  UpdateRange();
  ShowCalendar(start_);
  ShowCalendar(end_);
  Updating = false;
}

void TDateForm::StepZone(int direction) {
  float zone = TypedZone() + static_cast<float>(direction);
  if (direction > 0) {
    while (zone > 12) zone -= 24;
  } else {
    while (zone <= -12) zone += 24;
  }
  tz_->setText(FieldNumberText(zone));
}

void TDateForm::UpdateZoneLabel() { tzLabel_->setText(Q(ZoneName(TypedZone(), 1, tdt_->isChecked()))); }

void TDateForm::ApplyTDTRule() {
  const bool on = !tdt_->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{tz_, zoneSpin_, dst_, autoDst_, utcLabel_}) w->setEnabled(on);
}

// ---- list mode ----

void TDateForm::ListModeClicked(bool on) {
  settings_.Tabelle = on;
  if (listModeChanged_) listModeChanged_(on);
  ShowListMode(on);
}

void TDateForm::ShowListMode(bool on) {
  endGroup_->setVisible(on);
  rangeBox_->setVisible(on);
  // The new size at once, not only when the layout's turn comes.
  layout()->activate();
}

// ---- closing ----

bool TDateForm::Changed() const {
  const TSettings& s = settings_;
  if (std::fabs(ReadJD(start_.jd) - s.Startdat) > kInstantTolerance_days) return true;
  if (selTable_->isChecked() && std::fabs(ReadJD(end_.jd) - (s.Startdat + s.DeltaTab)) > kInstantTolerance_days)
    return true;
  if (!s.TDT && std::fabs(TypedZone() - s.Zeitzone) > kZoneTolerance_h) return true;
  return std::fabs(Step() - s.TableColumns.Schrittweite) > kStepTolerance_days;
}

bool TDateForm::Confirm() {
  TSettings& s = settings_;
  if (s.Tabelle && ReadJD(end_.jd) < ReadJD(start_.jd)) {
    const MsgResult answer = askYesNoCancel(kEndBeforeStart);
    if (answer == MsgResult::Cancel) return false;
    if (answer == MsgResult::Yes) end_.jd->setText(start_.jd->text());
  }
  const Extended startJD = ReadJD(start_.jd);
  const Extended rangeOutsideList = std::max(s.DeltaTab, 0.0L);
  const Extended endJD = s.Tabelle ? ReadJD(end_.jd) : startJD + rangeOutsideList;
  const float zone = TypedZone();
  const bool tdt = tdt_->isChecked();
  s.Startdat = startJD;
  s.TableColumns.Schrittweite = Step();
  s.DeltaTab = s.Tabelle ? endJD - startJD : rangeOutsideList;
  // The base zone is the zone without summer time, also under TDT (where
  // the effective zone is 0), so that it is there when TDT goes off again.
  s.BasisZeitzone = std::max(dst_->isChecked() ? zone - 1 : zone, -kZoneLimit_h);
  s.Zeitzone = tdt ? 0 : zone;
  s.TDT = tdt;
  s.AutoSommerzeit = autoDst_->isChecked();
  s.NewDateFormat = newDate_->isChecked();
  s.DatSpeichern = saveDat_->isChecked();
  ApplyAutoSummerTime(s);
  return true;
}

void TDateForm::accept() {
  if (Confirm()) QDialog::accept();
}

void TDateForm::reject() {
  if (Changed()) {
    const MsgResult answer = askYesNoCancel(kTakeChanges);
    if (answer == MsgResult::Cancel) return;
    if (answer == MsgResult::Yes) {
      accept();
      return;
    }
  }
  QDialog::reject();
}

}  // namespace orb
