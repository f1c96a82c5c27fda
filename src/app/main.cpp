// SPDX-License-Identifier: AGPL-3.0-or-later
// orbitello32: the desktop program. It opens the main window with the
// settings file found by the program's rule (ORBITELLO.INI in the working
// directory, or where its section "Ini" points).

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "settings/SettingsFile.h"
#include "ui/MainForm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orbitello 32"));
  QApplication::setApplicationDisplayName(QStringLiteral("Orbitello 32"));
  QApplication::setDesktopFileName(QStringLiteral("de.orbitello32.Orbitello32"));  // its menu entry
  // Qt's own dialogs (files, fonts, printers) in German, as every text of
  // the program.
  QTranslator qtGerman;
  if (qtGerman.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtGerman);
  }
  orb::TForm1 form(orb::OpenSettingsFile());
  form.show();
  return QApplication::exec();
}
