// SPDX-License-Identifier: AGPL-3.0-or-later
// The settings dialog driven through its widgets on the offscreen platform:
// the zone entered at a summer or winter start date, dynamical time, the
// equinox and TDT rules, the aberration warning, the buttons that fill
// fields, the lenient number fields, the separator's length, fonts applied
// at once, and "Abbruch" / Escape leaving the settings as they were.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "core/TimeScales.h"
#include "settings/SettingsFile.h"
#include "ui/EinstellForm.h"

using orb::TEinstellForm;
using orb::TSettings;

namespace {

// The dialog over a settings record, with the main window's side recorded.
struct Fixture {
  TSettings s;
  QFont screen{QStringLiteral("DejaVu Sans Mono"), 10};
  QFont printer{QStringLiteral("DejaVu Sans Mono"), 9};
  bool landscape = true;
  int placeChoices = 0;
  QStringList errors;
  std::unique_ptr<TEinstellForm> form;

  explicit Fixture(const TSettings& settings = {}) : s(settings) {
    orb::EinstellLinks links;
    links.screenFont = [this] { return screen; };
    links.setScreenFont = [this](const QFont& f) { screen = f; };
    links.printerFont = [this] { return printer; };
    links.setPrinterFont = [this](const QFont& f) { printer = f; };
    links.printLandscape = [this] { return landscape; };
    links.setPrintLandscape = [this](bool l) { landscape = l; };
    links.choosePlace = [this] {
      ++placeChoices;
      s.Ort.Name = "Bochum";
    };
    form = std::make_unique<TEinstellForm>(s, links);
    form->showError = [this](const QString& text) { errors << text; };
    form->show();
  }
  template <typename T = QWidget>
  T* W(const char* name) const {
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    if (!w) qFatal("no %s", name);
    return w;
  }
  QCheckBox* Chk(const char* name) const { return W<QCheckBox>(name); }
  QLineEdit* Edit(const char* name) const { return W<QLineEdit>(name); }
  void Ok() const { W<QPushButton>("OK")->click(); }
};

// The persistent part of a record as the settings file holds it.
std::string Stored(const TSettings& s) {
  orb::SettingsFile file;
  orb::WriteSettings(file, s);
  return file.Document().Serialize();
}

}  // namespace

class EinstellFormTest : public QObject {
  Q_OBJECT

 private slots:
  // The zone entered is the zone in force at the start date (automatic
  // summer time on). Summer time in Germany 2012: March 25 to October 28.
  // Under TDT the stored zone is 0, the base zone is what the field holds,
  // and a dialog opened under TDT shows the base zone, so that it is kept.
  void ZoneEnteredAtTheStartDate() {
    const struct {
      int month;
      bool tdtBefore, tdtClicked;
      const char* entered;  // nullptr: as shown
      float base, zone;
    } cases[] = {
        {7, false, false, "2", 1, 2},    // summer: base one hour less
        {1, false, false, "1", 1, 1},    // winter: as entered
        {7, false, true, "5", 5, 0},     // TDT: no summer-time rule, zone 0
        {7, true, false, nullptr, 1, 0}, // TDT before: the base zone kept
    };
    for (const auto& c : cases) {
      TSettings s;
      s.Startdat = orb::CalendarToJD(2012, c.month, 15.5L);
      s.AutoSommerzeit = true;
      s.TDT = c.tdtBefore;
      s.BasisZeitzone = 1;
      s.Zeitzone = c.tdtBefore ? 0 : 2;
      Fixture f(s);
      if (c.tdtClicked) f.Chk("TDTChk")->click();
      for (const char* name : {"TZEdit", "TZSpin", "UTCBtn", "MEZBtn", "MESZBtn", "AutoDSTChk", "AskDeltaTChk"})
        QVERIFY2(f.W(name)->isEnabled() != (c.tdtBefore || c.tdtClicked), name);
      if (c.entered) f.Edit("TZEdit")->setText(QString::fromLatin1(c.entered));
      f.Ok();
      QCOMPARE(f.s.BasisZeitzone, c.base);
      QCOMPARE(f.s.Zeitzone, c.zone);
    }
  }

  // The equinox rule after each click: caption, equinox field, nutation and
  // aberration.
  void EquinoxRule() {
    TSettings s;
    s.AequinTag = true;
    s.Nutation = true;
    Fixture f(s);
    const struct {
      const char* click;  // nullptr: as shown
      const char* caption;
      bool equinoxField, corrections;
    } steps[] = {
        {nullptr, "wahres Äquinoktium des Tages", false, true},
        {"NutatChk", "mittleres Äquinoktium des Tages", false, true},
        {"EquDayChk", "mittleres Äquinoktium des Tages", true, false},
        {"EquDayChk", "mittleres Äquinoktium des Tages", false, true},
        {"NutatChk", "wahres Äquinoktium des Tages", false, true},
    };
    for (const auto& step : steps) {
      if (step.click) f.Chk(step.click)->click();
      QCOMPARE(f.Chk("EquDayChk")->text(), QString::fromUtf8(step.caption));
      QCOMPARE(f.Edit("AequinEdit")->isEnabled(), step.equinoxField);
      QCOMPARE(f.Chk("NutatChk")->isEnabled(), step.corrections);
      QCOMPARE(f.Chk("AberrChk")->isEnabled(), step.corrections);
    }
  }

  // Aberration without light time is said at each click that leaves that
  // state; the boxes keep what the user chose and are stored so.
  void AberrationWithoutLightTimeIsSaid() {
    TSettings s;
    s.AequinTag = true;
    s.Aberration = false;
    s.Lichtlaufzeit = false;
    Fixture f(s);
    const struct {
      const char* click;
      int messages;
    } steps[] = {{"AberrChk", 1}, {"LightTimeChk", 1}, {"LightTimeChk", 2}, {"AberrChk", 2}, {"AberrChk", 3}};
    for (const auto& step : steps) {
      f.Chk(step.click)->click();
      QCOMPARE(f.errors.size(), step.messages);
    }
    QCOMPARE(f.errors.last(), QStringLiteral("Koordinaten mit Aberration ohne Lichtlaufzeit sind unbrauchbar!"));
    f.Ok();
    QVERIFY(f.s.Aberration);
    QVERIFY(!f.s.Lichtlaufzeit);
  }

  // The buttons that fill a field, and the field's value after "OK".
  void ButtonsFillFields() {
    const struct {
      const char* button;
      float TSettings::*field;
      float expected;
    } cases[] = {
        {"BuergerlichBtn", &TSettings::DaemmTiefe, 6}, {"NautischBtn", &TSettings::DaemmTiefe, 12},
        {"AstoDaemmBtn", &TSettings::DaemmTiefe, 18},  {"UTCBtn", &TSettings::BasisZeitzone, 0},
        {"MEZBtn", &TSettings::BasisZeitzone, 1},      {"MESZBtn", &TSettings::BasisZeitzone, 2},
    };
    for (const auto& c : cases) {
      TSettings s;
      s.DaemmTiefe = 3;
      s.BasisZeitzone = s.Zeitzone = 5;
      Fixture f(s);
      f.W<QPushButton>(c.button)->click();
      f.Ok();
      QCOMPARE(f.s.*c.field, c.expected);
    }
  }

  // The up/down control steps the zone by one hour, without bounds.
  void ZoneStepsByOneHour() {
    TSettings s;
    s.Zeitzone = 13.5f;
    Fixture f(s);
    for (int i = 0; i < 2; ++i) f.W<QToolButton>("TZSpinUp")->click();
    QCOMPARE(f.Edit("TZEdit")->text(), QStringLiteral("15.5"));
    for (int i = 0; i < 17; ++i) f.W<QToolButton>("TZSpinDown")->click();
    QCOMPARE(f.Edit("TZEdit")->text(), QStringLiteral("-1.5"));
  }

  // How the fields show numbers (five decimals without trailing zeros, the
  // margin with one) and read them back leniently: no number is 0, and so
  // is a number too large for the setting.
  void NumberFields() {
    TSettings s;
    s.Aequinokt = 1950.25f;
    s.DaemmTiefe = 18;
    s.LRand = 15;
    Fixture f(s);
    QCOMPARE(f.Edit("AequinEdit")->text(), QStringLiteral("1950.25"));
    QCOMPARE(f.Edit("DaemmTiefeEdit")->text(), QStringLiteral("18"));
    QCOMPARE(f.Edit("BorderEdit")->text(), QStringLiteral("15.0"));
    const struct {
      const char* text;
      float expected;
    } cases[] = {{"", 0}, {"Grad", 0}, {"12,5", 12.5f}, {" 20.5 mm", 20.5f}, {"1e39", 0}};
    for (const auto& c : cases) {
      Fixture g;
      for (const char* edit : {"AequinEdit", "DaemmTiefeEdit", "BorderEdit"})
        g.Edit(edit)->setText(QString::fromLatin1(c.text));
      g.Ok();
      QCOMPARE(g.s.Aequinokt, c.expected);
      QCOMPARE(g.s.DaemmTiefe, c.expected);
      QCOMPARE(g.s.LRand, c.expected);
    }
  }

  // The angle format: the radio button shown for the two flags, and the
  // flags stored for the radio button chosen.
  void AngleFormat() {
    const struct {
      bool noMinutes, noSeconds;
      const char* radio;
    } cases[] = {{false, false, "DMSChk"}, {false, true, "DMmChk"}, {true, true, "DddChk"}, {true, false, "DddChk"}};
    for (const auto& c : cases) {
      TSettings s;
      s.NoMinutes = c.noMinutes;
      s.NoSeconds = c.noSeconds;
      Fixture f(s);
      QVERIFY2(f.W<QRadioButton>(c.radio)->isChecked(), c.radio);
      Fixture g;
      g.W<QRadioButton>(c.radio)->click();
      g.Ok();
      QCOMPARE(g.s.NoMinutes, c.noMinutes);
      QCOMPARE(g.s.NoSeconds, c.noMinutes || c.noSeconds);
    }
  }

  // The separator keeps its first 44 characters (characters, not bytes).
  void SeparatorIsCutTo44Characters() {
    Fixture f;
    f.Edit("SpaltensepEdit")->setText(QString(50, QChar(0xE4)));  // "ä"
    f.Ok();
    QCOMPARE(QString::fromStdString(f.s.SpaltenSeparator), QString(44, QChar(0xE4)));
  }

  // "Abbruch" and Escape leave every setting and the orientation as they
  // were; a font chosen before stays applied, its button shows it.
  void CancelChangesNothingButFonts() {
    for (const bool escape : {false, true}) {
      TSettings s;
      s.TDT = true;
      s.AequinTag = true;
      s.SpaltenSeparator = ";";
      Fixture f(s);
      const std::string before = Stored(f.s);
      f.form->askFont = [](const QFont&) { return QFont(QStringLiteral("DejaVu Serif"), 14); };
      f.W<QPushButton>("ScreenFontBtn")->click();
      QCOMPARE(f.W<QPushButton>("ScreenFontBtn")->text(), QStringLiteral("DejaVu Serif  14"));
      QCOMPARE(f.W<QPushButton>("PrinterFontBtn")->text(), QStringLiteral("DejaVu Sans Mono  9"));
      for (const char* name : {"TDTChk", "EquDayChk", "WochenTagChk", "SaveEinstellChk", "NautischChk",
                               "PfadGrenzenCheck"})
        f.Chk(name)->click();
      f.Edit("SpaltensepEdit")->setText(QStringLiteral(","));
      f.W<QRadioButton>("HochChk")->click();
      if (escape) QTest::keyClick(f.form.get(), Qt::Key_Escape);
      else f.W<QPushButton>("CancelBtn")->click();
      QVERIFY(f.form->isHidden());
      QCOMPARE(f.form->result(), int(QDialog::Rejected));
      QCOMPARE(Stored(f.s), before);
      QVERIFY(f.landscape);
      QCOMPARE(f.screen.family(), QStringLiteral("DejaVu Serif"));
    }
  }

  // The limits of the path: the check box shows the flag and "OK" stores
  // it; the settings file holds the key only while it is on.
  void PathLimitsFlag() {
    for (const bool on : {false, true}) {
      TSettings s;
      s.PfadGrenzen = on;
      Fixture f(s);
      QCOMPARE(f.Chk("PfadGrenzenCheck")->isChecked(), on);
      QCOMPARE(f.Chk("PfadGrenzenCheck")->text(), QStringLiteral("Grenzen des Pfades (Kern- und Halbschatten)"));
      f.Chk("PfadGrenzenCheck")->click();
      f.Ok();
      QCOMPARE(f.s.PfadGrenzen, !on);
      QCOMPARE(Stored(f.s).find("PfadGrenzen=1") != std::string::npos, !on);
      QCOMPARE(Stored(f.s).find("PfadGrenzen=0"), std::string::npos);
    }
  }

  // Enter in a field or on another button confirms; "Hoch" reaches the
  // main window's orientation.
  void EnterConfirms() {
    Fixture f;
    f.W<QRadioButton>("HochChk")->click();
    f.Edit("TZEdit")->setText(QStringLiteral("3"));
    f.W<QPushButton>("UTCBtn")->setFocus();
    QTest::keyClick(f.W<QPushButton>("UTCBtn"), Qt::Key_Return);
    QCOMPARE(f.form->result(), int(QDialog::Accepted));
    QCOMPARE(f.s.BasisZeitzone, 3.0f);
    QVERIFY(!f.landscape);
  }

  // The place button opens the location dialog and shows the place it
  // chose; a place changed elsewhere shows within a second.
  void PlaceCaptionFollowsTheSettings() {
    Fixture f;
    QCOMPARE(f.W<QPushButton>("OrtBtn")->text(), QStringLiteral("Ortheim"));
    f.W<QPushButton>("OrtBtn")->click();
    QCOMPARE(f.placeChoices, 1);
    QCOMPARE(f.W<QPushButton>("OrtBtn")->text(), QStringLiteral("Bochum"));
    f.s.Ort.Name = "Münster";
    QTRY_COMPARE_WITH_TIMEOUT(f.W<QPushButton>("OrtBtn")->text(), QStringLiteral("Münster"), 1500);
  }
};

QTEST_MAIN(EinstellFormTest)
#include "EinstellFormTest.moc"
