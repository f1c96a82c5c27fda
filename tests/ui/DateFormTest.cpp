// SPDX-License-Identifier: AGPL-3.0-or-later
// The date dialog driven through its widgets on the offscreen platform:
// keys typed into the date, time, Julian-date, zone and step fields, the
// buttons, Enter and Escape, and the questions answered through the
// dialog's replaceable question. Julian dates of the expectations are
// worked out by hand from Meeus, Astronomical Algorithms, ch. 7
// (JD 2451545.0 = 2000 January 1, 12h; JD 2460000.5 = 2023 February 25, 0h).
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "settings/Settings.h"
#include "ui/DateForm.h"

using orb::MsgResult;

namespace {

constexpr long double kDefaultStart = 2455956.0L;  // 2012-01-29 12:00 UT, the settings' default

struct Fixture {
  orb::TSettings s;
  std::unique_ptr<orb::TDateForm> form;
  QList<bool> listModes;       // what the list-mode callback received
  QStringList questions;       // the questions asked
  QList<MsgResult> answers;    // their answers, in turn
  explicit Fixture(const std::function<void(orb::TSettings&)>& adjust = {}) {
    s = orb::DefaultSettings();
    if (adjust) adjust(s);
    orb::NormaliseSettings(s, kDefaultStart);
    form = std::make_unique<orb::TDateForm>(s, [this](bool on) { listModes << on; });
    form->askYesNoCancel = [this](const QString& q) {
      questions << q;
      return answers.isEmpty() ? MsgResult::Cancel : answers.takeFirst();
    };
    form->now = [] { return 2460000.25L + 1547 / 86400.0L; };  // 2023-02-24 18:25:47 UT
    form->show();
  }
  template <typename T = QWidget>
  T* W(const char* name) const {
    T* w = form->findChild<T*>(QLatin1String(name));
    if (!w) qFatal("no %s in the date dialog", name);
    return w;
  }
  // Replaces the text of a field by typing, as a user does.
  void Type(const char* name, const QString& keys) const {
    QWidget* w = W(name);
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w, keys);
  }
  QString Text(const char* name) const { return W<QLineEdit>(name)->text(); }
  QList<int> Fields(bool start = true) const {
    static const char* const kStart[] = {"SY", "SMon", "SD", "SH", "SMin", "SS"};
    static const char* const kEnd[] = {"EY", "EMon", "ED", "EH", "EMin", "ES"};
    QList<int> v;
    for (const char* n : start ? kStart : kEnd) v << W<QSpinBox>(n)->value();
    return v;
  }
};

// Every caption is shown whole: no label or button is narrower than its text needs.
void CheckNothingCut(QWidget& dialog) {
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    if (!w->isVisible() || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))) continue;
    QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName() + ": " + w->property("text").toString()));
  }
  const QSize screen(1366, 768);
  QVERIFY(dialog.frameGeometry().width() <= screen.width() && dialog.frameGeometry().height() <= screen.height() - 40);
}

}  // namespace

class DateFormTest : public QObject {
  Q_OBJECT

 private slots:
  // The offscreen platform cannot fix a window's size and says so at every
  // change of the dialog's fixed size; that note is dropped.
  void initTestCase() {
    static QtMessageHandler testLog = nullptr;
    testLog = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
      if (!text.contains(QLatin1String("propagateSizeHints"))) testLog(type, context, text);
    });
  }

  // Automatic summer time follows the typed start date; the typed local
  // time stays, so the instant moves with the zone.
  void summerTimeFollowsStartDate() {
    Fixture f([](orb::TSettings& s) { s.AutoSommerzeit = true; });
    QCOMPARE(f.Fields(), (QList<int>{2012, 1, 29, 13, 0, 0}));
    const struct {
      const char* month;
      bool dst;
      QString zone, label, jd;
    } steps[] = {
        {"7", true, "2", "MESZ", "2456137.958333"},  // 2012-07-29 13:00 MESZ = 11:00 UT
        {"1", false, "1", "MEZ", "2455956.000000"},  // 2012-01-29 13:00 MEZ = 12:00 UT
    };
    for (const auto& step : steps) {
      f.Type("SMon", step.month);
      QCOMPARE(f.W<QCheckBox>("DSTChk")->isChecked(), step.dst);
      QCOMPARE(f.Text("TZ"), step.zone);
      QCOMPARE(f.W<QLabel>("TZLabel")->text(), step.label);
      QCOMPARE(f.Text("SJD"), step.jd);
    }
  }

  // Julian date to fields: local time to the whole second, in the zone or
  // in TDT; Part of a second before midnight belongs to the next day; the
  // calendar reform (Meeus ch. 7: 1582 October 4 is followed by October 15).
  void julianDateToFields_data() {
    QTest::addColumn<QString>("jd");
    QTest::addColumn<bool>("tdt");
    QTest::addColumn<QList<int>>("fields");
    QTest::newRow("J2000 MEZ") << "2451545.0" << false << QList<int>{2000, 1, 1, 13, 0, 0};
    QTest::newRow("J2000 TDT") << "2451545.0" << true << QList<int>{2000, 1, 1, 12, 0, 0};
    QTest::newRow("0.4 s before midnight") << "2451544.499995" << true << QList<int>{2000, 1, 1, 0, 0, 0};
    QTest::newRow("1 s before midnight") << "2451544.499988" << true << QList<int>{1999, 12, 31, 23, 59, 59};
    QTest::newRow("last Julian day") << "2299159.5" << true << QList<int>{1582, 10, 4, 0, 0, 0};
    QTest::newRow("first Gregorian day") << "2299160.5" << true << QList<int>{1582, 10, 15, 0, 0, 0};
    QTest::newRow("decimal comma, text around") << "JD 2451545,25 UT" << true << QList<int>{2000, 1, 1, 18, 0, 0};
  }
  void julianDateToFields() {
    QFETCH(QString, jd);
    QFETCH(bool, tdt);
    QFETCH(QList<int>, fields);
    Fixture f;
    if (tdt) QTest::mouseClick(f.W("TDTChk"), Qt::LeftButton, {}, QPoint(5, 5));
    f.Type("SJD", jd);
    QCOMPARE(f.Fields(), fields);
  }

  // The picker serves years from 1900; earlier years show the calendar's
  // hint instead. A date chosen in the picker keeps the time of day.
  void calendarPickerAndHints_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<bool>("picker");
    QTest::addColumn<QString>("hint");
    QTest::newRow("1999") << "1999" << true << "";
    QTest::newRow("1800") << "1800" << false << "Gregorian. Kal. nach 15.10.1582";
    QTest::newRow("1000") << "1000" << false << "Julian. Kalender bis 04.10.1582";
    QTest::newRow("-10") << "-10" << false << "Astron. Jahr -10 ist 11 v. Chr.";
  }
  void calendarPickerAndHints() {
    QFETCH(QString, year);
    QFETCH(bool, picker);
    QFETCH(QString, hint);
    Fixture f;
    f.Type("SY", year);
    QCOMPARE(f.W("SCal")->isVisible(), picker);
    QCOMPARE(f.W<QLabel>("DatHintLabel")->text(), hint);
    if (!picker) return;
    QCOMPARE(f.W<QDateEdit>("SCal")->date(), QDate(1999, 1, 29));
    f.W<QDateEdit>("SCal")->setDate(QDate(2001, 3, 4));
    QCOMPARE(f.Fields(), (QList<int>{2001, 3, 4, 13, 0, 0}));
    QCOMPARE(f.Text("SJD"), QString("2451973.000000"));  // 2001-03-04 12:00 UT
  }

  // Step fields and the number of calculations over the default 28 days.
  void stepAndCalculations_data() {
    QTest::addColumn<QStringList>("typed");  // field=text, in turn
    QTest::addColumn<QList<int>>("expected");  // TabD, TabH, TabM, Calculations
    QTest::newRow("step 7 d") << QStringList{"TabD=7"} << QList<int>{7, 0, 0, 4};
    QTest::newRow("step 6 d: 4.67") << QStringList{"TabD=6"} << QList<int>{6, 0, 0, 5};
    // 28 / 6.99931 = 4.0004: a rest below 0.0007 adds no calculation.
    QTest::newRow("6 d 23 h 59 min") << QStringList{"TabD=6", "TabH=23", "TabM=59"} << QList<int>{6, 23, 59, 4};
    QTest::newRow("14 calculations") << QStringList{"Calculations=14"} << QList<int>{2, 0, 0, 14};
    QTest::newRow("0 calculations: ignored") << QStringList{"Calculations=0"} << QList<int>{7, 0, 0, 0};
  }
  void stepAndCalculations() {
    QFETCH(QStringList, typed);
    QFETCH(QList<int>, expected);
    Fixture f([](orb::TSettings& s) { s.Tabelle = true; });
    for (const QString& t : typed) f.Type(qPrintable(t.section('=', 0, 0)), t.section('=', 1));
    QList<int> got;
    for (const char* n : {"TabD", "TabH", "TabM", "Calculations"}) got << f.W<QSpinBox>(n)->value();
    QCOMPARE(got, expected);
    QCOMPARE(f.W<QLabel>("ZeitraumLabel")->text(), QString("Zeitraum: 28 Tage"));
  }

  // The zone buttons wrap at +-12 h; the local time stays, the instant moves.
  void zoneButtonsWrap_data() {
    QTest::addColumn<QString>("zone");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("label");
    QTest::newRow("12 + 1") << "12" << 1 << "-11" << "UTC-11h";
    QTest::newRow("-11 - 1") << "-11" << -1 << "12" << "UTC+12h";
    QTest::newRow("0 + 1") << "0" << 1 << "1" << "MEZ";
  }
  void zoneButtonsWrap() {
    QFETCH(QString, zone);
    QFETCH(int, direction);
    QFETCH(QString, result);
    QFETCH(QString, label);
    Fixture f;
    f.Type("TZ", zone);
    const double before = f.Text("SJD").toDouble();
    auto* spin = f.W<QAbstractSpinBox>("ZZSpin");
    direction > 0 ? spin->stepUp() : spin->stepDown();
    QCOMPARE(f.Text("TZ"), result);
    QCOMPARE(f.W<QLabel>("TZLabel")->text(), label);
    QCOMPARE(f.Fields()[3], 13);
    QVERIFY(qAbs(f.Text("SJD").toDouble() - before - (zone.toDouble() - result.toDouble()) / 24) < 2e-6);
  }

  // "&Tabelle berechnen" acts at once: the setting, the main window's
  // button, the end half; closing unchanged afterwards asks nothing.
  void listModeActsAtOnce() {
    Fixture f;
    QVERIFY(!f.W("EndGroup")->isVisible());
    const int narrow = f.form->width();
    CheckNothingCut(*f.form);
    f.form->grab().save(QDir::temp().filePath("dateform-start.png"));
    QTest::mouseClick(f.W("SelTable"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(f.s.Tabelle);
    QCOMPARE(f.listModes, QList<bool>{true});
    QVERIFY(f.W("EndGroup")->isVisible());
    QVERIFY(f.form->width() > narrow);
    CheckNothingCut(*f.form);
    f.form->grab().save(QDir::temp().filePath("dateform-list.png"));
    QTest::keyClick(f.form.get(), Qt::Key_Escape);
    QVERIFY(f.questions.isEmpty());
    QVERIFY(!f.form->isVisible() && f.s.Tabelle);
  }

  // In list mode an end before the start is questioned: Yes moves the end
  // to the start, No keeps the negative range, Cancel keeps the dialog open.
  void endBeforeStart_data() {
    QTest::addColumn<MsgResult>("answer");
    QTest::addColumn<bool>("open");
    QTest::addColumn<double>("deltaTab");
    QTest::newRow("Ja") << MsgResult::Yes << false << 0.0;
    QTest::newRow("Nein") << MsgResult::No << false << -6.0;
    QTest::newRow("Abbrechen") << MsgResult::Cancel << true << 28.0;
  }
  void endBeforeStart() {
    QFETCH(MsgResult, answer);
    QFETCH(bool, open);
    QFETCH(double, deltaTab);
    Fixture f([](orb::TSettings& s) { s.Tabelle = true; });
    f.answers = {answer};
    f.Type("EJD", "2455950");
    QTest::mouseClick(f.W("OKBtn"), Qt::LeftButton);
    QCOMPARE(f.questions, QStringList{"Startdatum ist später als Enddatum\r\nEnddatum   =   Startdatum setzen?"});
    QCOMPARE(f.form->isVisible(), open);
    QCOMPARE(static_cast<double>(f.s.DeltaTab), deltaTab);
  }

  // Outside list mode a negative range from an earlier confirmation becomes 0.
  void negativeRangeResetOutsideListMode() {
    Fixture f([](orb::TSettings& s) { s.DeltaTab = -6; });
    QTest::mouseClick(f.W("OKBtn"), Qt::LeftButton);
    QCOMPARE(static_cast<double>(f.s.DeltaTab), 0.0);
  }

  // Escape, "&Abbruch" and the close box ask only when something changed
  // beyond the tolerances, and the answer decides.
  void closing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("how");
    QTest::addColumn<MsgResult>("answer");
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("open");
    QTest::addColumn<double>("startdat");
    const double same = static_cast<double>(kDefaultStart);
    QTest::newRow("unchanged") << "" << "" << "Escape" << MsgResult::Yes << 0 << false << same;
    // 0.002 h moves the instant by 0.00008 day: both within their tolerance.
    QTest::newRow("zone within tolerance") << "TZ" << "1.002" << "Escape" << MsgResult::Yes << 0 << false << same;
    QTest::newRow("Abbrechen") << "SJD" << "2455957" << "Abbruch" << MsgResult::Cancel << 1 << true << same;
    QTest::newRow("Nein") << "SJD" << "2455957" << "close box" << MsgResult::No << 1 << false << same;
    QTest::newRow("Ja") << "SJD" << "2455957" << "Escape" << MsgResult::Yes << 1 << false << 2455957.0;
    QTest::newRow("beyond the calendar") << "SJD" << "1e12" << "Escape" << MsgResult::Yes << 1 << false << 1e9;
  }
  void closing() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, how);
    QFETCH(MsgResult, answer);
    QFETCH(int, asked);
    QFETCH(bool, open);
    QFETCH(double, startdat);
    Fixture f;
    f.answers = {answer};
    if (!field.isEmpty()) f.Type(qPrintable(field), text);
    if (how == "Escape") QTest::keyClick(f.form.get(), Qt::Key_Escape);
    if (how == "Abbruch") QTest::mouseClick(f.W("Abbruch"), Qt::LeftButton);
    if (how == "close box") f.form->close();
    QCOMPARE(f.questions.size(), asked);
    if (asked) QCOMPARE(f.questions[0], QString("Änderungen übernehmen?"));
    QCOMPARE(f.form->isVisible(), open);
    QCOMPARE(static_cast<double>(f.s.Startdat), startdat);
  }

  // Enter anywhere confirms: 15:00 MEZ is 14:00 UT.
  void enterConfirms_data() {
    QTest::addColumn<QString>("where");
    for (const char* w : {"SH", "SJD", "TZ", "RSM", "SelTable"}) QTest::newRow(w) << QString(w);
  }
  void enterConfirms() {
    QFETCH(QString, where);
    Fixture f;
    f.Type("SH", "15");
    QTest::keyClick(f.W(qPrintable(where)), Qt::Key_Return);
    QVERIFY(!f.form->isVisible());
    QCOMPARE(f.form->result(), int(QDialog::Accepted));
    QVERIFY(qAbs(static_cast<double>(f.s.Startdat) - 2455956.083333) < 1e-6);
  }

  // A step stored to the second survives confirmation unless the step
  // fields (whole minutes) were edited.
  void stepKeptToTheSecond_data() {
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<double>("step");
    QTest::newRow("untouched") << "" << static_cast<double>(1 / 24.0L + 30 / 86400.0L);
    QTest::newRow("minutes typed") << "5" << static_cast<double>(1 / 24.0L + 5 / 1440.0L);
  }
  void stepKeptToTheSecond() {
    QFETCH(QString, minutes);
    QFETCH(double, step);
    Fixture f([](orb::TSettings& s) { s.TableColumns.Schrittweite = 1 / 24.0L + 30 / 86400.0L; });
    if (!minutes.isEmpty()) f.Type("TabM", minutes);
    QTest::mouseClick(f.W("OKBtn"), Qt::LeftButton);
    QCOMPARE(static_cast<double>(f.s.TableColumns.Schrittweite), step);
  }

  // "&Computerzeit", the "= 0" buttons and "= &Startzeit"; the captions of
  // the date formats show today's date.
  void timeButtons_data() {
    QTest::addColumn<QString>("zero");
    QTest::addColumn<QList<int>>("time");
    QTest::addColumn<QString>("jd");
    QTest::newRow("none") << "" << QList<int>{19, 25, 47} << "2460000.267905";
    QTest::newRow("RSS") << "RSS" << QList<int>{19, 25, 0} << "2460000.267361";
    QTest::newRow("RSM") << "RSM" << QList<int>{19, 0, 0} << "2460000.250000";
    QTest::newRow("RSH") << "RSH" << QList<int>{0, 0, 0} << "2459999.458333";
  }
  void timeButtons() {
    QFETCH(QString, zero);
    QFETCH(QList<int>, time);
    QFETCH(QString, jd);
    Fixture f([](orb::TSettings& s) { s.Tabelle = true; });
    QCOMPARE(f.W<QAbstractButton>("DatumklassischChk")->text(), QString("Datumsformat: 24.02.2023"));
    QCOMPARE(f.W<QAbstractButton>("NewDateChk")->text(), QString("Datumsformat: 2023-02-24"));
    QTest::mouseClick(f.W("SST"), Qt::LeftButton);
    if (!zero.isEmpty()) QTest::mouseClick(f.W(qPrintable(zero)), Qt::LeftButton);
    QCOMPARE(f.Fields().mid(3), time);
    QCOMPARE(f.Text("SJD"), jd);
    QTest::mouseClick(f.W("EStart"), Qt::LeftButton);
    QCOMPARE(f.Fields(false), f.Fields(true));
  }

  // TDT disables the zone controls; the user's base zone survives a
  // confirmation under TDT and is back when TDT goes off.
  void tdtKeepsBaseZone() {
    Fixture f;
    QWidget* const zoneControls[] = {f.W("TZ"), f.W("ZZSpin"), f.W("DSTChk"), f.W("AutoDSTChk"), f.W("UTCLabel")};
    QTest::mouseClick(f.W("TDTChk"), Qt::LeftButton, {}, QPoint(5, 5));
    for (QWidget* w : zoneControls) QVERIFY(!w->isEnabled());
    QCOMPARE(f.W<QLabel>("TZLabel")->text(), QString("TDT"));
    QTest::mouseClick(f.W("OKBtn"), Qt::LeftButton);
    QVERIFY(f.s.TDT);
    QCOMPARE(f.s.Zeitzone, 0.0f);
    QCOMPARE(f.s.BasisZeitzone, 1.0f);
    f.form->show();
    QCOMPARE(f.Text("TZ"), QString("1"));
    QTest::mouseClick(f.W("TDTChk"), Qt::LeftButton, {}, QPoint(5, 5));
    for (QWidget* w : zoneControls) QVERIFY(w->isEnabled());
    QTest::mouseClick(f.W("OKBtn"), Qt::LeftButton);
    QVERIFY(!f.s.TDT);
    QCOMPARE(f.s.Zeitzone, 1.0f);
  }

  // The real question: German buttons, Escape cancels, "\r\n" a line break.
  void realQuestionBox_data() {
    QTest::addColumn<QString>("press");
    QTest::addColumn<MsgResult>("answer");
    QTest::newRow("Ja") << "&Ja" << MsgResult::Yes;
    QTest::newRow("Nein") << "&Nein" << MsgResult::No;
    QTest::newRow("Abbrechen") << "&Abbrechen" << MsgResult::Cancel;
    QTest::newRow("Escape") << "" << MsgResult::Cancel;
  }
  void realQuestionBox() {
    QFETCH(QString, press);
    QFETCH(MsgResult, answer);
    orb::TSettings s = orb::DefaultSettings();
    orb::TDateForm form(s, {});
    QString shown;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll.stop();
      shown = box->text();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == press) b->click();
      if (press.isEmpty()) QTest::keyClick(box, Qt::Key_Escape);
    });
    poll.start();
    QCOMPARE(form.askYesNoCancel("Startdatum ist später als Enddatum\r\nEnddatum   =   Startdatum setzen?"), answer);
    QCOMPARE(shown, QString("Startdatum ist später als Enddatum\nEnddatum   =   Startdatum setzen?"));
  }
};

QTEST_MAIN(DateFormTest)
#include "DateFormTest.moc"
