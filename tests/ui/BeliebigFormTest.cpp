// SPDX-License-Identifier: AGPL-3.0-or-later
// The coordinate dialog driven through its widgets on the offscreen
// platform: typing coordinates, choosing the frame and the equinox, "&OK"
// with and without valid input, and the layout at the default font.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <optional>

#include "core/Constants.h"
#include "settings/Settings.h"
#include "ui/BeliebigForm.h"

using orb::ArbitraryCoordinates;
using orb::TBeliebigForm;
using orb::TSettings;

namespace {

// What "&OK" handed to the main window.
struct Accepted {
  ArbitraryCoordinates point;
  std::string title;
};

// The dialog over the default settings (Ortheim, 2012 Jan 29 12h UT, MEZ),
// shown, with its messages recorded instead of shown.
struct Fixture {
  Fixture() {
    orb::NormaliseSettings(settings, 2461000.5L);
    form = std::make_unique<TBeliebigForm>(settings, [this](const ArbitraryCoordinates& p, const std::string& title) {
      accepted = Accepted{p, title};
    });
    form->showMessage = [this](const QString& caption, const QString& text) { messages << caption + ": " + text; };
    form->show();
    (void)QTest::qWaitForWindowExposed(form.get());
  }
  template <typename W>
  W* Find(const char* name) const {
    W* w = form->findChild<W*>(QLatin1String(name));
    if (w == nullptr) qFatal("no widget %s", name);
    return w;
  }
  QString Text(const char* name) const {
    if (auto* b = form->findChild<QAbstractButton*>(QLatin1String(name))) return b->text();
    return Find<QLabel>(name)->text();
  }
  // Replaces the text of a field as a user does: select all, type.
  void Type(const char* field, const QString& text) const {
    QLineEdit* edit = Find<QLineEdit>(field);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  QStringList Captions() const { return {Text("IsRAChk"), Text("IsEklChk"), Text("isAzimutChk")}; }

  TSettings settings;
  std::unique_ptr<TBeliebigForm> form;
  std::optional<Accepted> accepted;
  QStringList messages;
};

// Sirius as the dialog's example types it, equinox 2000.0: lambda
// 104°04'55.52", beta -39°36'18.76" (Meeus, Astronomical Algorithms 13.1,
// 13.2, epsilon 23°26'21.448"), rounded to the second as the tables write.
const QString kSiriusEquatorial = QString::fromUtf8("&Äquatorial:  6h45m09.0s    -16°42'58\"");
const QString kSiriusEcliptic = QString::fromUtf8("&Ekliptikal:   104°04'56\"    -39°36'19\"");

double Deg(long double rad) { return static_cast<double>(rad * orb::kRadToDeg); }

}  // namespace

class BeliebigFormTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensWithTheEquatorialFrameAndThePlace() {
    Fixture f;
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Koordinatentransformation"));
    QVERIFY(!f.form->isModal());
    QCOMPARE(f.Text("RALbl"), QStringLiteral("&Rektasz.:"));
    QCOMPARE(f.Text("DELbl"), QStringLiteral("&Deklin.:"));
    QCOMPARE(f.Text("OutLabel"), QStringLiteral("Datum: 29.01.2012  13h00m\r\nOrt: Ortheim"));
  }

  void TypingTheExampleShowsTheThreeFrames() {
    Fixture f;
    f.Type("RAEdit", QStringLiteral("6 45 09"));
    // One field alone is no point yet.
    QCOMPARE(f.Text("IsRAChk"), QString::fromUtf8("Äquatorial: Rektaszension + Deklination"));
    f.Type("DEEdit", QStringLiteral("-16 42 58"));
    QCOMPARE(f.Text("IsRAChk"), kSiriusEquatorial);
    QCOMPARE(f.Text("IsEklChk"), kSiriusEcliptic);
    QVERIFY(f.Text("isAzimutChk").startsWith(QStringLiteral("&Azimutal: ")));

    // The same alpha, delta referred to the equinox 1950.0 are rotated by
    // its obliquity, 23°26'44.855" (Meeus 22.2): lambda 104°05'00.24",
    // beta -39°36'41.46", at once.
    f.Type("EquinEdit", QStringLiteral("1950"));
    QCOMPARE(f.Text("IsEklChk"), QString::fromUtf8("&Ekliptikal:   104°05'00\"    -39°36'41\""));
    QCOMPARE(f.Text("IsRAChk"), kSiriusEquatorial);
  }

  void AzimuthFrameRelabelsAndReadsTheSameTexts() {
    Fixture f;
    f.Type("RAEdit", QStringLiteral("6 45 09"));
    f.Type("DEEdit", QStringLiteral("-16 42 58"));
    const QStringList equatorial = f.Captions();
    QTest::mouseClick(f.Find<QRadioButton>("isAzimutChk"), Qt::LeftButton);
    QCOMPARE(f.Text("RALbl"), QStringLiteral("&Azimut:"));
    QCOMPARE(f.Text("DELbl"), QStringLiteral("&Elev.:"));
    // 6 45 09 is now an azimuth in degrees, -16 42 58 the elevation.
    QCOMPARE(f.Text("isAzimutChk"), QString::fromUtf8("&Azimutal:     6°45'09\"    -16°42'58\""));
    QVERIFY(f.Text("IsRAChk") != equatorial[0]);
    QVERIFY(f.Text("IsEklChk") != equatorial[1]);

    QTest::mouseClick(f.Find<QRadioButton>("IsEklChk"), Qt::LeftButton);
    QCOMPARE(f.Text("RALbl"), QStringLiteral("&Ekl. Lg.:"));
    QCOMPARE(f.Text("DELbl"), QStringLiteral("&Ekl. Br:"));
    QCOMPARE(f.Text("IsEklChk"), QString::fromUtf8("&Ekliptikal:     6°45'09\"    -16°42'58\""));
  }

  void EquinoxOfTheDateDisablesTheYear() {
    Fixture f;
    f.Type("RAEdit", QStringLiteral("6 45 09"));
    f.Type("DEEdit", QStringLiteral("-16 42 58"));
    QCheckBox* ofDate = f.Find<QCheckBox>("EquinTagChk");
    QTest::mouseClick(ofDate, Qt::LeftButton);
    QVERIFY(!f.Find<QLineEdit>("EquinEdit")->isEnabled());
    QVERIFY(!f.Find<QLabel>("Label2")->isEnabled());
    // The equinox of 2012 Jan 29 12h UT: obliquity 23°26'15.79" (Meeus
    // 22.2), lambda 104°04'54.39", beta -39°36'13.27".
    QCOMPARE(f.Text("IsEklChk"), QString::fromUtf8("&Ekliptikal:   104°04'54\"    -39°36'13\""));
    QTest::mouseClick(ofDate, Qt::LeftButton);
    QVERIFY(f.Find<QLineEdit>("EquinEdit")->isEnabled());
    QVERIFY(f.Find<QLabel>("Label2")->isEnabled());
    QCOMPARE(f.Text("IsEklChk"), kSiriusEcliptic);
  }

  void FieldWithoutANumberKeepsTheResultsAndOKSaysSo() {
    Fixture f;
    f.Type("RAEdit", QStringLiteral("6 45 09"));
    f.Type("DEEdit", QStringLiteral("-16 42 58"));
    const QStringList shown = f.Captions();
    const QString invalid = QStringLiteral("Koordinatentransformation: ") + QString::fromUtf8("Bitte gültige Koordinaten eingeben!");
    const struct {
      const char* field;
      const char* text;
    } cases[] = {{"DEEdit", "Nord"}, {"RAEdit", ""}, {"EquinEdit", "J"}};
    for (const auto& c : cases) {
      f.Type("RAEdit", QStringLiteral("6 45 09"));
      f.Type("DEEdit", QStringLiteral("-16 42 58"));
      f.Type(c.field, QString::fromUtf8(c.text));
      QCOMPARE(f.Captions(), shown);
      f.messages.clear();
      QTest::mouseClick(f.Find<QPushButton>("OKBtn"), Qt::LeftButton);
      QCOMPARE(f.messages, QStringList({invalid}));
      QVERIFY(f.form->isVisible());
      QVERIFY(!f.accepted);
      f.Type("EquinEdit", QStringLiteral("2000.0"));
    }
  }

  void TheMessageIsAnInformationBoxWithOK() {
    TSettings settings;
    TBeliebigForm form(settings, nullptr);
    form.show();
    QString seen;
    QTimer::singleShot(0, [&seen] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      seen = box->windowTitle() + ": " + box->text();
      QCOMPARE(box->icon(), QMessageBox::Information);
      const QList<QAbstractButton*> buttons = box->buttons();
      QCOMPARE(buttons.size(), 1);
      QCOMPARE(buttons[0]->text(), QStringLiteral("OK"));
      buttons[0]->click();
    });
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    QCOMPARE(seen, QStringLiteral("Koordinatentransformation: ") + QString::fromUtf8("Bitte gültige Koordinaten eingeben!"));
  }

  void OKHandsThePointAndTheNameToTheMainWindow() {
    Fixture f;
    f.Type("NameEdit", QStringLiteral(" Sirius "));
    f.Type("RAEdit", QStringLiteral("6 45 09"));
    f.Type("DEEdit", QStringLiteral("-16 42 58"));
    QTest::mouseClick(f.Find<QPushButton>("OKBtn"), Qt::LeftButton);
    QVERIFY(f.messages.isEmpty());
    QVERIFY(!f.form->isVisible());
    QVERIFY(f.accepted);
    QCOMPARE(f.accepted->title, std::string("Sirius"));
    QVERIFY(std::fabs(Deg(f.accepted->point.lon_rad) - (104 + 4 / 60.0 + 55.52 / 3600)) < 0.05 / 3600);
    QVERIFY(std::fabs(Deg(f.accepted->point.lat_rad) + (39 + 36 / 60.0 + 18.76 / 3600)) < 0.05 / 3600);
    QVERIFY(std::fabs(static_cast<double>(f.accepted->point.epochJD) - 2451544.533) < 1e-6);

    // Shown again: the fields stand; an empty name is the default title.
    f.form->show();
    f.Type("NameEdit", QString());
    f.Type("EquinEdit", QStringLiteral("1950"));
    QTest::keyClick(f.Find<QLineEdit>("EquinEdit"), Qt::Key_Return);  // the default button
    QVERIFY(!f.form->isVisible());
    QCOMPARE(f.accepted->title, std::string("unbenannt"));
    QVERIFY(std::fabs(static_cast<double>(f.accepted->point.epochJD) - 2433282.423) < 1e-6);
  }

  void ShowingTakesTheCurrentStartAndPlace() {
    Fixture f;
    f.Type("RAEdit", QStringLiteral("6 45 09"));
    f.Type("DEEdit", QStringLiteral("-16 42 58"));
    const QString azimuth = f.Text("isAzimutChk");
    f.form->hide();
    f.settings.Startdat += 0.25L;  // six hours later
    f.settings.Ort.Name = "Stuttgart";
    f.settings.NoSeconds = true;
    f.form->show();
    QCOMPARE(f.Text("OutLabel"), QStringLiteral("Datum: 29.01.2012  19h00m\r\nOrt: Stuttgart"));
    QCOMPARE(f.Text("IsRAChk"), QString::fromUtf8("&Äquatorial:   6h45.150m    -16°42.97'"));
    QVERIFY(f.Text("isAzimutChk") != azimuth);
  }

  void LayoutShowsEveryTextWhole() {
    // The captions as designed, then the longest results, at the default font.
    Fixture f;
    const auto check = [&f] {
      QApplication::processEvents();
      f.form->adjustSize();
      QApplication::processEvents();
      for (QWidget* w : f.form->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)) {
          QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
          QVERIFY2(w->height() >= w->sizeHint().height(), qPrintable(w->objectName()));
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
          QVERIFY2(edit->width() > edit->fontMetrics().horizontalAdvance(edit->text()), qPrintable(w->objectName()));
        }
      }
      QVERIFY(f.form->width() <= 1366 && f.form->height() <= 768);
    };
    check();
    f.Type("RAEdit", QStringLiteral("-23 59 59.999"));
    f.Type("DEEdit", QStringLiteral("-89 59 59.999"));
    check();
    const QString png = qEnvironmentVariable("BELIEBIG_PNG");
    if (!png.isEmpty()) f.form->grab().save(png);
  }
};

QTEST_MAIN(BeliebigFormTest)
#include "BeliebigFormTest.moc"
