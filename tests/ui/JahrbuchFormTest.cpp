// SPDX-License-Identifier: AGPL-3.0-or-later
// The yearbook dialog driven through its widgets on the offscreen platform,
// over a settings file in a temporary folder: what a section (or its
// absence) shows, the "alle" / "keine" buttons with their hidden boxes,
// and what "&Ok" writes into the file before it starts the yearbook run.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "settings/SettingsFile.h"
#include "settings/SettingsLoad.h"
#include "support/TempDir.h"
#include "ui/JahrbuchForm.h"

using orb::TJahrbuchForm;
using orb::TTableColumns;

namespace {

constexpr int kSun = 0, kMoon = 1, kMars = 4;
// Row numbers of the grid (0: "Objekt berechnen").
constexpr int kWochentagRow = 1, kElongationRow = 9, kMoonPhaseRow = 10, kHelligkeitRow = 12;

struct Fixture {
  orb::test::TempDir dir;
  orb::TSettings s;
  orb::SettingsFile file;
  QStringList events;  // "closed", "start" in the order they came
  std::unique_ptr<TJahrbuchForm> form;

  explicit Fixture(const std::string& fileText = {}) {
    file = orb::SettingsFile::Open(dir.write("ORBITELLO.INI", fileText));
    form = std::make_unique<TJahrbuchForm>(
        s, file, [this] { events << QStringLiteral("start"); }, [this] { events << QStringLiteral("closed"); });
    form->show();
  }
  QCheckBox* Box(int row, int body) const {
    return form->findChild<QCheckBox*>(QStringLiteral("Chk%1_%2").arg(row).arg(body));
  }
  QPushButton* Button(const QString& name) const { return form->findChild<QPushButton*>(name); }
  QLineEdit* Step(int body) const { return form->findChild<QLineEdit*>(QStringLiteral("StepEdit%1").arg(body)); }
  // A body's section as the settings file on disk holds it.
  TTableColumns OnDisk(const char* body, bool* topocentric = nullptr) const {
    const orb::SettingsFile written = orb::SettingsFile::Open(file.Path());
    TTableColumns c;
    bool topo = false;
    orb::ReadTableColumns(written.Document(), orb::YearbookSectionName(body), c, topo);
    if (topocentric) *topocentric = topo;
    return c;
  }
};

}  // namespace

class JahrbuchFormTest : public QObject {
  Q_OBJECT

 private slots:
  // A body without a section shows a fresh column set (its flags; the step
  // of a section without one, 10 days); a section shows its own keys.
  // Captions: "keine" where all ten boxes of a row are checked.
  void SectionsOrTheirDefaults() {
    Fixture f("[Jahrbucheinstellungen Mars]\nObjDarstell=0\nHelligkeit=1\nWochentag=0\nSchrittweite=0.25\n");
    const TTableColumns fresh;
    const struct {
      int row;
      bool TTableColumns::*field;
      const char* caption;
    } rows[] = {
        {0, &TTableColumns::ObjDarstell, "alle"},
        {kWochentagRow, &TTableColumns::Wochentag, "alle"},
        {2, &TTableColumns::Datum, "keine"},
        {5, &TTableColumns::EklipKoor, "alle"},
        {8, &TTableColumns::AEDaemm, nullptr},
        {kElongationRow, &TTableColumns::Elongation, "keine"},
        {kMoonPhaseRow, &TTableColumns::Mondphase, nullptr},
        {kHelligkeitRow, &TTableColumns::Helligkeit, "alle"},
    };
    for (const auto& r : rows) {
      for (int body = 0; body < TJahrbuchForm::kBodies; ++body) {
        if (body == kMars) continue;
        QCOMPARE(f.Box(r.row, body)->isChecked(), fresh.*r.field);
      }
      if (!r.caption) continue;
      const QString name = r.row == 0 ? QStringLiteral("CalcAllBtn") : QStringLiteral("AllBtn%1").arg(r.row);
      QCOMPARE(f.Button(name)->text(), QString::fromLatin1(r.caption));
    }
    QVERIFY(!f.Box(0, kMars)->isChecked());
    QVERIFY(!f.Box(kWochentagRow, kMars)->isChecked());
    QVERIFY(f.Box(kHelligkeitRow, kMars)->isChecked());
    QCOMPARE(f.Step(kMars)->text(), QStringLiteral("0.25"));
    QCOMPARE(f.Step(kSun)->text(), QStringLiteral("10"));
    // Rows 8 (twilight) and 10 (Moon phase) have no button; hidden boxes.
    QVERIFY(!f.Button(QStringLiteral("AllBtn8")) && !f.Button(QStringLiteral("AllBtn10")));
    QVERIFY(f.Box(8, kSun)->isVisible() && !f.Box(8, kMoon)->isVisible());
    QVERIFY(f.Box(kMoonPhaseRow, kMoon)->isVisible() && !f.Box(kMoonPhaseRow, kMars)->isVisible());
    QVERIFY(!f.Box(kHelligkeitRow, kSun)->isVisible() && f.Box(kHelligkeitRow, kMars)->isVisible());
  }

  // The "Helligkeit" button checks the hidden boxes of Sun and Moon too, so
  // that their sections store Helligkeit; pressed again it clears all ten.
  void RowButtonSetsHiddenBoxes() {
    for (const bool twice : {false, true}) {
      Fixture f;
      QPushButton* b = f.Button(QStringLiteral("AllBtn12"));
      b->click();
      QCOMPARE(b->text(), QStringLiteral("keine"));
      if (twice) {
        b->click();
        QCOMPARE(b->text(), QStringLiteral("alle"));
      }
      f.Button(QStringLiteral("OKBtn"))->click();
      for (const char* body : {"Sonne", "Mond", "Merkur", "Pluto"}) QCOMPARE(f.OnDisk(body).Helligkeit, !twice);
    }
  }

  // "&Ok" stores what no row shows as false, row 10 as both Moon flags, and
  // the section's topocentric flag as it was; then the dialog closes and
  // the yearbook run starts.
  void OkWritesTheSectionsAndStarts() {
    Fixture f("[Jahrbucheinstellungen Mond]\nStdwDe=1\nAzimKoor=1\nMondphase=0\nMondalter=1\nMondTopozentrisch=1\n"
              "[Jahrbucheinstellungen Venus]\nStdwDe=1\nAzimKoor=1\n");
    QVERIFY(!f.Box(kMoonPhaseRow, kMoon)->isChecked());
    f.Box(kMoonPhaseRow, kMoon)->click();
    f.Button(QStringLiteral("CalcAllBtn"))->click();  // all were checked: none now
    f.Button(QStringLiteral("OKBtn"))->click();
    QCOMPARE(f.events, QStringList({QStringLiteral("closed"), QStringLiteral("start")}));
    QVERIFY(f.form->isHidden());
    bool topo = false;
    const TTableColumns moon = f.OnDisk("Mond", &topo);
    QVERIFY(moon.Mondphase && moon.Mondalter && topo);
    for (const char* body : {"Sonne", "Mond", "Venus", "Pluto"}) {
      const TTableColumns c = f.OnDisk(body, &topo);
      QVERIFY2(!c.StdwDe && !c.AzimKoor && !c.ObjDarstell, body);
    }
    QVERIFY(!topo);  // Pluto's section had none
  }

  // The step field read leniently; no number stores 0.
  void StepIsReadLeniently() {
    const struct {
      const char* text;
      long double step;
    } cases[] = {{"", 0}, {"Tage", 0}, {"1,5", 1.5L}, {"0.04166666666666666667", 0.04166666666666666667L}};
    for (const auto& c : cases) {
      Fixture f;
      f.Step(kMars)->setText(QString::fromLatin1(c.text));
      f.Button(QStringLiteral("OKBtn"))->click();
      QCOMPARE(static_cast<double>(f.OnDisk("Mars").Schrittweite), static_cast<double>(c.step));
    }
  }

  // "&Abbruch" and Escape close without writing and without a run.
  void CancelWritesNothing() {
    for (const bool escape : {false, true}) {
      Fixture f("[Jahrbucheinstellungen Sonne]\nHelligkeit=0\n");
      const std::string before = orb::test::TempDir::read(f.file.Path());
      f.Button(QStringLiteral("AllBtn12"))->click();
      if (escape) QTest::keyClick(f.form.get(), Qt::Key_Escape);
      else f.Button(QStringLiteral("CancelBtn"))->click();
      QCOMPARE(f.events, QStringList({QStringLiteral("closed")}));
      QCOMPARE(orb::test::TempDir::read(f.file.Path()), before);
      QVERIFY(!f.file.Document().Get("Jahrbucheinstellungen Mond", "Helligkeit"));
    }
  }
};

QTEST_MAIN(JahrbuchFormTest)
#include "JahrbuchFormTest.moc"
