// SPDX-License-Identifier: AGPL-3.0-or-later
// The main window driven like a user drives it: buttons, menu items and
// shortcuts start tables on the worker thread, the stop button asks its
// question, the window's keys and fonts go to the settings file on close.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <memory>

#include "settings/SettingsFile.h"
#include "support/TempDir.h"
#include "WindowInput.h"
#include "ui/BeliebigForm.h"
#include "ui/GrafikFormU.h"
#include "ui/MainForm.h"

using orb::TForm1;
using orb::test::ForgetPendingModalAnswers;
using orb::test::OnNextModal;

namespace {

// A settings file in a folder of its own with the main section's lines.
struct Fixture {
  orb::test::TempDir dir;
  std::unique_ptr<TForm1> form;
  explicit Fixture(const QString& mainLines = {}, const QString& more = {}) {
    const std::string path =
        dir.write("ORBITELLO.INI", ("[Astronomieprogramm Einstellungen]\n" + mainLines + "\n" + more).toStdString());
    form = std::make_unique<TForm1>(orb::SettingsFile::Open(path));
    form->show();
    (void)QTest::qWaitForWindowExposed(form.get());
    // The start-up messages (if any) have been answered by the test.
    QApplication::processEvents();
  }
  QString Text() const { return form->Memo()->toPlainText(); }
  QAction* Act(const char* name) const { return form->findChild<QAction*>(QLatin1String(name)); }
  QWidget* Button(const char* name) const { return form->findChild<QWidget*>(QLatin1String(name)); }
  std::string FileText() const { return orb::test::TempDir::read(dir.file("ORBITELLO.INI")); }
};

// Clicks the button of a message box that has `text` ("&Ja", "&Nein", "OK").
void Click(QWidget* box, const QString& text) {
  for (QAbstractButton* b : box->findChildren<QAbstractButton*>()) {
    if (b->text() == text) {
      b->click();
      return;
    }
  }
  QFAIL(qPrintable("no button " + text));
}

int Count(const QString& text, const QString& what) { return text.count(what); }

// The lines of the text area that are table rows (weekday, blank, date).
int Rows(const QString& text) {
  int rows = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    if (line.size() > 13 && line[2] == QLatin1Char(' ') && line[5] == QLatin1Char('.') && line[8] == QLatin1Char('.'))
      ++rows;
  }
  return rows;
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { ForgetPendingModalAnswers(); }

  // The texts with umlauts and dashes reach the window intact: the status
  // bar at the start (before the mouse was over a button) and a menu item.
  void TextsBeforeTheFirstComputation() {
    Fixture f;
    QCOMPARE(f.form->findChild<QLabel*>(QStringLiteral("StatusBar"))->text(),
             QStringLiteral("Orbitello32  –  Ephemeriden, Mondphasen und Finsternisse  –  Stand 29.01.2012"));
    QVERIFY(f.Act("NeuerKomet1")->isEnabled());
    QCOMPARE(f.Act("NeuerKomet1")->text(), QStringLiteral("Neuen Kometen / Asteroiden wählen"));
  }

  // The dialogs behind their buttons: "&Tabelle berechnen" of the date
  // dialog presses the list button at once; a place chosen from the
  // settings dialog keeps its zone through "OK" (Kathmandu, UTC+5:45, from
  // the shipped list); the yearbook's "&Ok" runs the yearbook and releases
  // its button.
  void DialogsFromTheWindow() {
    Fixture f(QStringLiteral("Tabelle=0\nAutoSommerzeit=0\nZeitzone=1\nBasisZeitzone=1"));
    OnNextModal([](QWidget* date) {
      date->findChild<QAbstractButton*>(QStringLiteral("SelTable"))->click();
      date->findChild<QAbstractButton*>(QStringLiteral("OKBtn"))->click();
    });
    f.Act("DateBtn")->trigger();
    QVERIFY(f.Act("ListBtn")->isChecked() && f.form->Settings().Tabelle);

    OnNextModal([](QWidget* settings) {
      OnNextModal([](QWidget* place) {
        auto* search = place->findChild<QLineEdit*>(QStringLiteral("SuchEdit"));
        QTest::keyClicks(search, QStringLiteral("Kathmandu"));
        QTest::keyClick(search, Qt::Key_Return);
      });
      settings->findChild<QAbstractButton*>(QStringLiteral("OrtBtn"))->click();
      QCOMPARE(settings->findChild<QAbstractButton*>(QStringLiteral("OrtBtn"))->text(), QStringLiteral("Kathmandu"));
      settings->findChild<QAbstractButton*>(QStringLiteral("OK"))->click();
    });
    f.Act("SettingsBtn")->trigger();
    QCOMPARE(QString::fromStdString(f.form->Settings().Ort.Name), QStringLiteral("Kathmandu"));
    QCOMPARE(f.form->Settings().Zeitzone, 5.75f);
    QCOMPARE(f.form->Settings().BasisZeitzone, 5.75f);

    bool pressedWhileOpen = false;
    OnNextModal([&](QWidget* yearbook) {
      pressedWhileOpen = f.Act("YearBookBtn")->isChecked();
      yearbook->findChild<QAbstractButton*>(QStringLiteral("OKBtn"))->click();
    });
    f.Act("YearBookBtn")->trigger();
    f.form->WaitForRun();
    QVERIFY(pressedWhileOpen && !f.Act("YearBookBtn")->isChecked());
    QVERIFY(f.Text().contains(QStringLiteral("Sonne")) && f.Text().contains(QStringLiteral("Neptun")));
    QVERIFY(Rows(f.Text()) >= 9 * 3);
  }

  // Shift+Ctrl+K opens the coordinate dialog (not modal); "&OK" with Sirius
  // (6h45m09s, -16 42 58, J2000) computes the fixed point's table under
  // the dialog's name, and the dialog follows a place chosen meanwhile.
  void CoordinateDialogTable() {
    Fixture f(QStringLiteral("Tabelle=1\nDeltaTab=2\nSchrittweite=1"));
    QTest::keyClick(f.form.get(), Qt::Key_K, Qt::ShiftModifier | Qt::ControlModifier);
    QWidget* dialog = f.form->CoordinateDialog();
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    auto type = [dialog](const char* name, const QString& text) {
      auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
      edit->clear();
      QTest::keyClicks(edit, text);
    };
    type("NameEdit", QStringLiteral("Sirius"));
    type("RAEdit", QStringLiteral("6 45 09"));
    type("DEEdit", QStringLiteral("-16 42 58"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    f.form->WaitForRun();
    QCOMPARE(f.form->Settings().Objekt, -2);
    QVERIFY(f.Text().contains(QStringLiteral("Sirius")));
    QCOMPARE(Rows(f.Text()), 3);
  }

  // Sun, Moon, a planet and the comet through the tool bar, the menu and
  // the shortcuts: each writes its table's title (the default columns);
  // Mars is Shift+Ctrl+4 (tag 3). 2P/Encke with Meeus' elements (example 33.b).
  void TablesThroughButtonsMenuAndShortcuts() {
    Fixture f(QString(), QStringLiteral("[Komet]\nName=2P/Encke\nPerDat=2448192.5\nPerDist=0.330763\nExz=0.850073\n"
                                        "Neig=11.94524\nPerL=186.23352\nAKn=334.75006\nElemEpoch=2000\n"));
    const struct {
      std::function<void()> trigger;
      QString title;
    } cases[] = {
        {[&] { QTest::mouseClick(f.Button("SunBtn"), Qt::LeftButton); }, QStringLiteral("\nSonne\n")},
        {[&] { f.Act("Mond1")->trigger(); }, QStringLiteral("\nMond\n")},
        {[&] { QTest::keyClick(f.form.get(), Qt::Key_4, Qt::ControlModifier | Qt::ShiftModifier); },
         QStringLiteral("\nMars\n")},
        {[&] { QTest::mouseClick(f.Button("PlanetBtn"), Qt::LeftButton); }, QStringLiteral("\nMars\n")},
        {[&] { f.Act("Kometen1")->trigger(); }, QStringLiteral("\nKomet 2P/Encke\n")},
    };
    for (const auto& c : cases) {
      f.form->EraseClick();
      c.trigger();
      f.form->WaitForRun();
      QVERIFY2(f.Text().contains(c.title), qPrintable(f.Text()));
      QCOMPARE(Rows(f.Text()), 1);
    }
  }

  // The list button switches list mode: 28 days in steps of 7 give 5 rows.
  void ListModeToggle() {
    Fixture f;
    QTest::mouseClick(f.Button("ListBtn"), Qt::LeftButton);
    QVERIFY(f.form->Settings().Tabelle);
    f.form->SunBtnClick();
    f.form->WaitForRun();
    QCOMPARE(Rows(f.Text()), 5);
    QTest::mouseClick(f.Button("ListBtn"), Qt::LeftButton);
    QVERIFY(!f.form->Settings().Tabelle);
  }

  // A long table stopped: "Nein" goes on, "Ja" ends it; the stop button is
  // enabled exactly while it runs; a second command meanwhile is refused.
  // Four million rows: no machine ends them between the two questions.
  void StopQuestionAndOneComputationAtATime() {
    Fixture f(QStringLiteral("Tabelle=1\nDeltaTab=200000\nSchrittweite=0.05\nObjekt=0\n"));
    QWidget* stop = f.Button("StopBtn");
    QVERIFY(!stop->isEnabled());
    f.form->MoonBtnClick();
    QVERIFY(f.form->Running());
    QTRY_VERIFY(stop->isEnabled());
    f.form->SunBtnClick();  // refused: the Moon's table goes on alone
    // The question comes at the table's next row; each answer is awaited
    // before the next click.
    int answered = 0;
    OnNextModal([&answered](QWidget* box) {
      Click(box, QStringLiteral("&Nein"));
      ++answered;
    });
    QTest::mouseClick(stop, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answered, 1, 20000);
    QVERIFY(f.form->Running());
    // The answered box must be gone before the next click: while it is
    // still modal, the window takes no input and the click would be lost.
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    OnNextModal([&answered](QWidget* box) {
      Click(box, QStringLiteral("&Ja"));
      ++answered;
    });
    QTest::mouseClick(stop, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answered, 2, 20000);
    f.form->WaitForRun();
    QVERIFY(!f.form->Running());
    QVERIFY(!stop->isEnabled());
    const int rows = Rows(f.Text());
    QVERIFY(rows > 0 && rows < 4000001);
    QCOMPARE(Count(f.Text(), QStringLiteral("\nMond\n")), 1);
    QVERIFY(!f.Text().contains(QStringLiteral("\nSonne\n")));
  }

  // Erasing the text area forgets the last header: the next table writes it
  // again; without erasing, the same header is not repeated.
  void EraseResetsTheHeader() {
    Fixture f;
    f.form->SunBtnClick();
    f.form->WaitForRun();
    f.form->SunBtnClick();
    f.form->WaitForRun();
    QCOMPARE(Count(f.Text(), QStringLiteral("DeltaT =")), 1);
    QTest::mouseClick(f.Button("EraseBtn"), Qt::LeftButton);
    QVERIFY(f.form->LastHeader().empty());
    f.form->SunBtnClick();
    f.form->WaitForRun();
    QCOMPARE(Count(f.Text(), QStringLiteral("DeltaT =")), 1);
    QVERIFY(f.Text().startsWith(QStringLiteral("Ort: ")));
  }

  // The minimum magnitude: |input| / 100, at most 1; the menu item shows it.
  void MinimumMagnitude() {
    Fixture f;
    const struct {
      QString input;
      float fraction;
      QString caption;
    } cases[] = {{QStringLiteral("150"), 1.0f, QStringLiteral("Minimale Bedeckung: 100%")},
                 {QStringLiteral("-40"), 0.4f, QStringLiteral("Minimale Bedeckung: 40%")}};
    QCOMPARE(f.Act("MaxSeclMagMenu")->text(), QStringLiteral("Minimale Bedeckung: 0%"));
    for (const auto& c : cases) {
      OnNextModal([input = c.input](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->labelText(), QStringLiteral("Bitte minimalen Bedeckungsgrad in % eingeben:"));
        dialog->setTextValue(input);
        dialog->accept();
      });
      f.Act("MaxSeclMagMenu")->trigger();
      QCOMPARE(f.form->MinimumMagnitude(), c.fraction);
      QCOMPARE(f.Act("MaxSeclMagMenu")->text(), c.caption);
    }
  }

  // Closing a maximised window stores state 2 and keeps the last normal
  // geometry; with Speichern off neither geometry nor fonts are written,
  // and the start date still is (DatSpeichern).
  void WindowKeysOnClose() {
    {
      Fixture f(QStringLiteral("Fenster_X=40\nFenster_Y=30\nFenster_W=700\nFenster_H=500\n"));
      const QRect normal = f.form->geometry();
      f.form->showMaximized();
      QTest::qWait(50);
      f.form->close();
      const std::string text = f.FileText();
      QVERIFY(text.find("Fenster_State=2") != std::string::npos);
      QVERIFY(text.find("Fenster_W=" + std::to_string(normal.width())) != std::string::npos);
      QVERIFY(text.find("Fenster_H=" + std::to_string(normal.height())) != std::string::npos);
      QVERIFY(text.find("ScreenFont=") != std::string::npos);
    }
    {
      Fixture f(QStringLiteral("Speichern=0\nDatSpeichern=1\nStartdat=2460000.5\n"));
      f.form->close();
      const std::string text = f.FileText();
      QVERIFY(text.find("Startdat=2460000.5") != std::string::npos);
      QVERIFY(text.find("Fenster_") == std::string::npos);
      QVERIFY(text.find("ScreenFont") == std::string::npos);
      QVERIFY(text.find("PrinterFont") == std::string::npos);
    }
  }

  // The lunar eclipse picture's navigation from its own window: "weiter"
  // (right arrow) shows the next eclipse, "zurück" (left arrow) the one
  // before, "Datum übernehmen" makes the shown middle the start date.
  // The eclipses of 2025: 14 March and 7 September (NASA's five millennium
  // canon); the middle of 14 March, 6:58:41 UT, as its phase list states it.
  void EclipseNavigationFromThePictureWindow() {
    Fixture f(QStringLiteral("Startdat=2460676.5\n"));  // 1 January 2025, 0h UT
    f.form->LunarEclipseClick(31);
    f.form->WaitForRun();
    QTRY_VERIFY(f.form->LunarPicture() != nullptr && f.form->LunarPicture()->isVisible());
    orb::TGraphForm* picture = f.form->LunarPicture();
    QVERIFY(QTest::qWaitForWindowActive(picture));
    QTRY_VERIFY2(picture->windowTitle().contains(QStringLiteral("14.03.2025")), qPrintable(picture->windowTitle()));
    const struct {
      Qt::Key key;
      QString date;
    } steps[] = {{Qt::Key_Right, QStringLiteral("07.09.2025")}, {Qt::Key_Left, QStringLiteral("14.03.2025")}};
    for (const auto& step : steps) {
      QTest::keyClick(picture, step.key);
      f.form->WaitForRun();
      QTRY_VERIFY2(picture->windowTitle().contains(step.date), qPrintable(picture->windowTitle()));
    }
    for (QAction* a : picture->findChildren<QAction*>()) {
      if (a->text() == QStringLiteral("  &Datum übernehmen  ")) a->trigger();
    }
    const double middle = 2460748.5 + (6 + (58 + 41 / 60.0) / 60.0) / 24.0;
    QVERIFY2(std::abs(f.form->Settings().Startdat - middle) < 1.0 / 1440,
             qPrintable(QString::number(f.form->Settings().Startdat, 'f', 5)));
  }

  // "Pfad exportieren…" of the world map writes the eclipse shown as GeoJSON
  // (the contents are checked in tests/eclipses/PathExportTest.cpp); a
  // folder that does not exist gives the German error box.
  void ExportFromTheWorldMap() {
    Fixture f(QStringLiteral("Startdat=2460409\nSchrittweite=0.0069444\n"));  // 2024-04-08
    f.Act("SoFi23")->trigger();
    f.form->WaitForRun();
    QTRY_VERIFY(f.form->PathPicture() != nullptr && f.form->PathPicture()->isVisible());
    QAction* exportEntry = nullptr;
    for (QAction* a : f.form->PathPicture()->findChildren<QAction*>()) {
      if (a->text() == QStringLiteral("  Pfad &exportieren…  ")) exportEntry = a;
    }
    QVERIFY(exportEntry != nullptr);
    const std::string file = f.dir.file("pfad.geojson");
    f.form->askExportFileName = [&] { return QString::fromStdString(file); };
    exportEntry->trigger();
    const std::string text = orb::test::TempDir::read(file);
    QVERIFY(text.find("\"FeatureCollection\"") != std::string::npos);
    QVERIFY(text.find("Totale Sonnenfinsternis am 08.04.2024") != std::string::npos);
    f.form->askExportFileName = [&] { return QString::fromStdString(f.dir.file("fehlt/pfad.kml")); };
    QString message;
    OnNextModal([&message](QWidget* box) {
      message = static_cast<QMessageBox*>(box)->text();
      Click(box, QStringLiteral("OK"));
    });
    exportEntry->trigger();
    QVERIFY2(message.startsWith(QStringLiteral("Datei ")) && message.contains(QStringLiteral("nicht geschrieben")),
             qPrintable(message));
  }

  // "Orte im Totalitätsbereich" from the "Berechnen" menu, right after the
  // path entries: the places of the shipped list in the path of the total
  // eclipse of 2026-08-12 (Reykjavík and Oviedo in it, Madrid not; see
  // tests/eclipses/EclipsePlacesTest.cpp), computed on the worker thread.
  void EclipsePlacesFromTheMenu() {
    Fixture f(QStringLiteral("Startdat=2461250\nAutoSommerzeit=1\nBasisZeitzone=1\n"));
    QMenu* compute = f.form->findChild<QMenu*>(QStringLiteral("Berechnen1"));
    QVERIFY(compute != nullptr);
    const QList<QAction*> entries = compute->actions();
    const qsizetype path = entries.indexOf(f.Act("SoFi23"));
    QVERIFY(path >= 0 && path + 1 < entries.size());
    QAction* places = entries[path + 1];
    QCOMPARE(places->text(), QStringLiteral("Orte im Totalitätsbereich"));
    places->trigger();
    QVERIFY(f.form->Running());
    f.form->WaitForRun();
    const QString text = f.Text();
    QVERIFY2(text.contains(QStringLiteral("\nTotale Sonnenfinsternis am 12.08.2026\nSaros 126\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("\nOviedo, Spanien                   43.36 N   5.84 W    1:51  12.08.2026 20:28:")));
    QVERIFY(text.contains(QStringLiteral("\nReykjavík, Island ")));
    QVERIFY(!text.contains(QStringLiteral("Madrid, Spanien")));
    QVERIFY(text.endsWith(QStringLiteral("\n29 Orte im Totalitätsbereich")) ||
            text.endsWith(QStringLiteral("\n29 Orte im Totalitätsbereich\n")));
  }

  // A numbered minor planet: the planet button's hint (and status text) is
  // "(number) name" cut to ten characters, then "-Ephemeride berechnen".
  void PlanetButtonHintOfANumberedMinorPlanet() {
    Fixture f(QStringLiteral("PlanetNr=9\nObjekt=9\n"),
              QStringLiteral("[Komet]\nName=Chiron\nAsteroid=1\nNumber=2060\nPerDat=2450000\nPerDist=8.4\n"
                             "Exz=0.38\nElemEpoch=2000\n"));
    QWidget* planet = f.Button("PlanetBtn");
    QTest::mouseMove(planet);
    QTRY_COMPARE(f.form->findChild<QLabel*>(QStringLiteral("StatusBar"))->text(),
                 QStringLiteral("(2060) Chi-Ephemeride berechnen"));
    QCOMPARE(f.Act("PlanetBtn")->toolTip(), QStringLiteral("(2060) Chi-Ephemeride berechnen"));
  }


  // A malformed font text is said once and the default font stands; the
  // program starts.
  void MalformedFontTextFallsBack() {
    QString seen;
    OnNextModal([&seen](QWidget* box) {
      seen = qobject_cast<QMessageBox*>(box)->text();
      Click(box, QStringLiteral("OK"));
    });
    Fixture f(QStringLiteral("ScreenFont=Courier New;10;0000;clBlack\n"));
    QTRY_COMPARE(seen, QStringLiteral("Invalid string to font conversion"));
    QVERIFY(f.form->Memo()->font().fixedPitch() || f.form->Memo()->font().styleHint() == QFont::Monospace);
    f.form->SunBtnClick();
    f.form->WaitForRun();
    QVERIFY(f.Text().contains(QStringLiteral("\nSonne\n")));
  }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
