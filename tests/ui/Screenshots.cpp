// SPDX-License-Identifier: AGPL-3.0-or-later
// The pictures of the program for its guides: the main window after a Moon
// table, its dialogs (date, place, settings, yearbook, comet selection,
// coordinates), the lunar eclipse picture window, the world map window and
// the print dialog with its preview, each grabbed from the X server the
// program runs on (scripts/screenshots.sh starts it under xvfb-run). The settings
// are fixed here, so that the pictures show the same dates on every run.
//
//   ui_screenshots FOLDER
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <functional>

#include "settings/SettingsFile.h"
#include "ui/BeliebigForm.h"
#include "ui/DateForm.h"
#include "ui/GrafikFormU.h"
#include "ui/MainForm.h"
#include "ui/PrintControlU.h"

namespace {

QString folder;
int failures = 0;

// Waits (the window goes on working) until `ready` holds, at most 60 s.
bool WaitUntil(const std::function<bool()>& ready) {
  for (int i = 0; i < 6000 && !ready(); ++i) QTest::qWait(10);
  return ready();
}

// Grabs `window` from the screen after it had time to paint, into FOLDER/name.
void Shot(QWidget* window, const QString& name) {
  window->raise();
  window->activateWindow();
  QTest::qWait(700);
  const QPixmap pixmap = window->screen()->grabWindow(window->winId());
  const QString path = folder + u'/' + name;
  if (pixmap.isNull() || !pixmap.save(path, "PNG")) {
    std::fprintf(stderr, "ui_screenshots: %s konnte nicht geschrieben werden.\n", qPrintable(path));
    ++failures;
    return;
  }
  std::printf("%s (%d x %d)\n", qPrintable(path), pixmap.width(), pixmap.height());
}

void Missing(const char* window) {
  std::fprintf(stderr, "ui_screenshots: das Fenster %s erschien nicht.\n", window);
  ++failures;
}

// Opens a modal dialog with `open`; once it is up, `prepare` fills it, it
// is grabbed into FOLDER/name and closed without changes.
void ShotModal(const std::function<void()>& open, const QString& name, const std::function<void(QWidget*)>& prepare) {
  QTimer::singleShot(0, [name, prepare] {
    QWidget* dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; })) {
      Missing(qPrintable(name));
      return;
    }
    dialog->move(60, 40);
    if (prepare) prepare(dialog);
    Shot(dialog, name);
    static_cast<QDialog*>(dialog)->reject();
  });
  open();
}

void SetText(QWidget* dialog, const char* name, const QString& text) {
  if (auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name))) edit->setText(text);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "Aufruf: ui_screenshots ORDNER\n");
    return 2;
  }
  folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  QApplication::setApplicationDisplayName(QStringLiteral("Orbitello 32"));
  QTranslator qtGerman;
  if (qtGerman.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtGerman);
  }

  // The default place; a Moon list of eleven days from 1 January 2027.
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("ORBITELLO.INI"));
  {
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    QTextStream(&file) << "[Astronomieprogramm Einstellungen]\nStartdat=2461406.5\nTabelle=1\n"
                          "DeltaTab=10\nSchrittweite=1\nSpeichern=0\nDatSpeichern=0\n"
                          "[Komet]\nGuideDir="
                       << QDir::tempPath() << "/orbitello32/\nSuchen_CometG=0\n[AsteroidFiles]\nSuchen_In=0\n";
  }
  // A small comet list for the comet dialog, in a folder of a fixed name
  // (the dialog shows it): 1P/Halley and 2P/Encke (Meeus, example 33.b),
  // C/1995 O1 (J2000 elements).
  const QString guide = QDir::tempPath() + QStringLiteral("/orbitello32/");
  QDir(guide).removeRecursively();
  QDir().mkpath(guide);
  {
    QFile comets(guide + QStringLiteral("Comets.dat"));
    if (!comets.open(QIODevice::WriteOnly)) return 1;
    auto line = [](const char* name, const char* rest) {
      return QString::fromUtf8(name).leftJustified(43, u' ') + QString::fromUtf8(rest) + u'\n';
    };
    QTextStream(&comets)
        << line("1P/Halley", "  9.46   2   1986 0.0 0.587104 0.967277 162.23932 111.84644 58.14397 2000 5.5 8.0")
        << line("2P/Encke", " 28.54  10   1990 0.0 0.330763 0.850073 11.94524 186.23352 334.75006 2000 9.8 6.0")
        << line("C/1995 O1 (Hale-Bopp)",
                "  1.14   4   1997 0.0 0.914142 0.995068 89.4300 130.5887 282.4707 2000 -2.0 4.0");
  }
  orb::TForm1 form(orb::SettingsFile::Open(ini.toStdString()));
  form.setGeometry(20, 20, 960, 420);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;

  form.Settings().Startdat = 2461406.5;  // the start date is "now" unless the file keeps it
  form.MoonBtnClick();
  form.WaitForRun();
  QTest::mouseMove(form.Memo()->viewport(), QPoint(400, 300));  // the status bar follows the mouse
  Shot(&form, QStringLiteral("hauptfenster-mondtabelle.png"));

  // The dialogs: the date in list mode, the place with a search, the
  // settings, the yearbook and the coordinate transformation with Sirius.
  ShotModal([&] { form.findChild<QAction*>(QStringLiteral("DateBtn"))->trigger(); },
            QStringLiteral("dialog-datum.png"), [](QWidget* d) {
              // The date format captions show "today": the first day of the table.
              if (auto* date = qobject_cast<orb::TDateForm*>(d)) {
                date->now = [] { return orb::Extended(2461406.5L); };
                date->Load();
              }
            });
  ShotModal([&] { form.findChild<QAction*>(QStringLiteral("OrtBtn"))->trigger(); }, QStringLiteral("dialog-ort.png"),
            [](QWidget* d) {
              SetText(d, "SuchEdit", QStringLiteral("Münch"));
              if (auto* list = d->findChild<QListWidget*>(QStringLiteral("ListBox1")); list && list->count() > 0) {
                const auto found = list->findItems(QStringLiteral("München"), Qt::MatchStartsWith);
                list->setCurrentItem(found.isEmpty() ? list->item(0) : found.front());
              }
            });
  ShotModal([&] { form.findChild<QAction*>(QStringLiteral("SettingsBtn"))->trigger(); },
            QStringLiteral("dialog-einstellungen.png"), {});
  ShotModal([&] { form.findChild<QAction*>(QStringLiteral("YearBookBtn"))->trigger(); },
            QStringLiteral("dialog-jahrbuch.png"), {});
  ShotModal([&] { form.findChild<QAction*>(QStringLiteral("NeuerKomet1"))->trigger(); },
            QStringLiteral("dialog-komet.png"), [](QWidget* d) { SetText(d, "SuchEdit", QStringLiteral("P/")); });
  form.findChild<QAction*>(QStringLiteral("Koordinatentransformation1"))->trigger();
  if (QWidget* coordinates = form.CoordinateDialog()) {
    coordinates->move(60, 40);
    SetText(coordinates, "NameEdit", QStringLiteral("Sirius"));
    SetText(coordinates, "RAEdit", QStringLiteral("6 45 09"));
    SetText(coordinates, "DEEdit", QStringLiteral("-16 42 58"));
    Shot(coordinates, QStringLiteral("dialog-koordinaten.png"));
    coordinates->hide();
  } else {
    Missing("Koordinatentransformation");
  }

  // The total lunar eclipse of 14 March 2025, one eclipse at a time.
  form.findChild<QAction*>(QStringLiteral("ListBtn"))->trigger();
  form.Settings().Startdat = 2460676.5;
  form.LunarEclipseClick(31);
  form.WaitForRun();
  if (WaitUntil([&] { return form.LunarPicture() && form.LunarPicture()->isVisible(); })) {
    form.LunarPicture()->move(60, 40);
    Shot(form.LunarPicture(), QStringLiteral("fenster-mondfinsternis.png"));
    form.LunarPicture()->hide();
  } else {
    Missing("Mondfinsternis");
  }

  // The total solar eclipse of 12 August 2026 on the world map.
  form.Settings().Startdat = 2461100.5;  // 1 March 2026
  form.SolarEclipseClick(23);
  form.WaitForRun();
  if (WaitUntil([&] { return form.PathPicture() && form.PathPicture()->isVisible(); })) {
    orb::TGraphForm* map = form.PathPicture();
    map->move(60, 40);
    Shot(map, QStringLiteral("fenster-weltkarte.png"));

    // Its print dialog, landscape, scaled to the page in proportion, with
    // the preview.
    map->SetFitToWindow(true);
    map->SetProportional(true);
    QTimer::singleShot(0, map, [map] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!WaitUntil([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; })) return;
      dialog->move(80, 60);
      if (auto* landscape = dialog->findChild<QAbstractButton*>(QStringLiteral("QuerChk"))) landscape->click();
      Shot(dialog, QStringLiteral("druckdialog-vorschau.png"));
      static_cast<QDialog*>(dialog)->reject();
    });
    map->Print();
  } else {
    Missing("Weltkarte");
  }
  return failures == 0 ? 0 : 1;
}
