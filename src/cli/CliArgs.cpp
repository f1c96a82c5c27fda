// SPDX-License-Identifier: AGPL-3.0-or-later
#include "cli/CliArgs.h"

#include <algorithm>

#include "eclipses/PathExport.h"
#include "settings/NumberReader.h"

namespace orb::cli {

const std::vector<std::string>& KnownCommands() {
  static const std::vector<std::string> commands = {"table",          "yearbook",       "phases",
                                                    "lunar-eclipses", "solar-eclipses", "eclipse-path",
                                                    "eclipse-places", "elements",       "convert"};
  return commands;
}

std::string UsageText() {
  return "Aufruf: orbitello32-cli [--ini DATEI | --no-ini] [--set SCHLÜSSEL=WERT]...\n"
         "                        [--min-coverage PROZENT] [--picture DATEI.bmp|DATEI.png]\n"
         "                        [--export DATEI.geojson|DATEI.kml] [--answer yes|no] BEFEHL\n"
         "\n"
         "Befehle:\n"
         "  table            Ephemeridentabelle des eingestellten Objekts\n"
         "  yearbook         Jahrbuch\n"
         "  phases           Mondphasen\n"
         "  lunar-eclipses   Mondfinsternisse\n"
         "  solar-eclipses   Sonnenfinsternisse am Beobachtungsort\n"
         "  eclipse-path     Zentrallinie einer Sonnenfinsternis\n"
         "  eclipse-places   Orte der Ortsliste im Totalitätsbereich einer Sonnenfinsternis\n"
         "                   (oder im Bereich der Ringförmigkeit), längste Dauer zuerst\n"
         "  elements         Bahnelemente des aktuellen Kometen oder Kleinplaneten\n"
         "  convert --frame equ|ecl|hor --first TEXT --second TEXT\n"
         "          [--equinox JAHR | --equinox-of-date]\n"
         "                   Koordinaten umrechnen für Ort und Startzeit der Einstellungen\n"
         "                   (equ: Rektaszension in Stunden und Deklination, ecl: Länge und\n"
         "                   Breite, hor: Azimut und Elevation, jeweils \"Grad Min Sek\";\n"
         "                   ohne Angabe gilt das Äquinoktium 2000.0)\n"
         "\n"
         "Optionen:\n"
         "  --ini DATEI      diese Einstellungsdatei lesen (statt ORBITELLO.INI)\n"
         "  --no-ini         keine Einstellungsdatei lesen (Voreinstellungen)\n"
         "  --set S=W        Schlüssel S des Abschnitts \"Astronomieprogramm Einstellungen\"\n"
         "                   auf den Wert W setzen (mehrfach möglich)\n"
         "  --min-coverage P Mindestbedeckung in Prozent (Sonnenfinsternisse)\n"
         "  --picture DATEI  Bild der zuletzt berechneten Finsternis speichern (300 dpi)\n"
         "  --export DATEI   eclipse-path: den Pfad der Finsternis als GeoJSON (.geojson)\n"
         "                   oder KML (.kml) speichern: Zentrallinie, Grenzen des Kern- und\n"
         "                   des Halbschattens, Zentralzone; mit Tabelle=1 je Finsternis eine\n"
         "                   Datei, nummeriert (DATEI-1.kml, DATEI-2.kml, ...)\n"
         "  --answer yes|no  Antwort auf Rückfragen (sonst: weiterrechnen)\n"
         "  --help, -h       diesen Text zeigen\n"
         "  --version        die Version zeigen\n"
         "\n"
         "Die Einstellungsdatei wird nie geschrieben.\n"
         "\n"
         "Rückgabewert: 0 Erfolg; 1 die Rechnung war nicht möglich oder ergab nichts\n"
         "Gültiges (mit einer Meldung, warum); 2 Aufruffehler. eclipse-places gibt 0 auch\n"
         "dann, wenn kein Ort im Bereich liegt, und 1, wenn sich die Ortsliste nicht lesen\n"
         "lässt.\n";
}

namespace {

// Takes the value of an option at args[i + 1].
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value, std::string& error) {
  if (i + 1 >= args.size()) {
    error = "Option " + args[i] + " erwartet einen Wert.";
    return false;
  }
  value = args[++i];
  return true;
}

bool IsKnownCommand(const std::string& c) {
  const auto& known = KnownCommands();
  return std::find(known.begin(), known.end(), c) != known.end();
}

}  // namespace

CliParse ParseCommandLine(const std::vector<std::string>& args) {
  CliParse result;
  CliOptions& o = result.options;
  std::string& error = result.error;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& a = args[i];
    std::string v;
    if (a == "--help" || a == "-h") {
      result.help = true;
    } else if (a == "--version") {
      result.version = true;
    } else if (a == "--ini") {
      if (TakeValue(args, i, v, error)) o.iniPath = v;
    } else if (a == "--no-ini") {
      o.noIni = true;
    } else if (a == "--set") {
      if (!TakeValue(args, i, v, error)) break;
      const std::size_t eq = v.find('=');
      if (eq == std::string::npos || eq == 0) {
        error = "--set erwartet SCHLÜSSEL=WERT, nicht \"" + v + "\".";
      } else {
        o.sets.emplace_back(v.substr(0, eq), v.substr(eq + 1));
      }
    } else if (a == "--min-coverage") {
      if (!TakeValue(args, i, v, error)) break;
      if (v.find_first_of("0123456789") == std::string::npos) {
        error = "--min-coverage erwartet eine Zahl (Prozent), nicht \"" + v + "\".";
      } else {
        o.minCoverage_percent = static_cast<double>(ParseNumber(v));
      }
    } else if (a == "--picture") {
      if (TakeValue(args, i, v, error)) o.picture = v;
    } else if (a == "--export") {
      if (TakeValue(args, i, v, error)) o.exportPath = v;
    } else if (a == "--answer") {
      if (!TakeValue(args, i, v, error)) break;
      if (v == "yes") {
        o.answerYes = true;
      } else if (v == "no") {
        o.answerYes = false;
      } else {
        error = "--answer erwartet yes oder no, nicht \"" + v + "\".";
      }
    } else if (a == "--frame") {
      if (TakeValue(args, i, v, error)) {
        if (v != "equ" && v != "ecl" && v != "hor") error = "--frame erwartet equ, ecl oder hor.";
        o.frame = v;
      }
    } else if (a == "--first") {
      if (TakeValue(args, i, v, error)) o.first = v;
    } else if (a == "--second") {
      if (TakeValue(args, i, v, error)) o.second = v;
    } else if (a == "--equinox") {
      if (!TakeValue(args, i, v, error)) break;
      if (v.find_first_of("0123456789") == std::string::npos) {
        error = "--equinox erwartet eine Jahreszahl, nicht \"" + v + "\".";
      } else {
        o.equinox = v;
      }
    } else if (a == "--equinox-of-date") {
      o.equinoxOfDate = true;
    } else if (!a.empty() && a[0] == '-') {
      error = "Unbekannte Option " + a + ".";
    } else if (!o.command.empty()) {
      error = "Nur ein Befehl ist erlaubt (\"" + o.command + "\" und \"" + a + "\").";
    } else if (!IsKnownCommand(a)) {
      error = "Unbekannter Befehl \"" + a + "\".";
    } else {
      o.command = a;
    }
  }
  if (!error.empty() || result.help) return result;
  if (o.command.empty()) {
    error = "Kein Befehl angegeben.";
  } else if (o.noIni && o.iniPath) {
    error = "--ini und --no-ini schließen einander aus.";
  } else if (o.equinox && o.equinoxOfDate) {
    error = "--equinox und --equinox-of-date schließen einander aus.";
  } else if (o.command == "convert" && (o.frame.empty() || !o.first || !o.second)) {
    error = "convert erwartet --frame, --first und --second.";
  } else if (o.command != "convert" && (!o.frame.empty() || o.first || o.second || o.equinox || o.equinoxOfDate)) {
    error = "--frame, --first, --second und --equinox gehören nur zu convert.";
  } else if (o.picture && o.command != "lunar-eclipses" && o.command != "solar-eclipses" &&
             o.command != "eclipse-path") {
    error = "--picture gehört nur zu lunar-eclipses, solar-eclipses und eclipse-path.";
  } else if (o.picture && o.picture->empty()) {
    error = "--picture erwartet einen Dateinamen.";
  } else if (o.exportPath && o.command != "eclipse-path") {
    error = "--export gehört nur zu eclipse-path.";
  } else if (o.exportPath && PathExportFormatOf(*o.exportPath) == PathExportFormat::Unknown) {
    error = "--export erwartet einen Dateinamen mit der Endung .geojson oder .kml, nicht \"" + *o.exportPath + "\".";
  }
  return result;
}

}  // namespace orb::cli
