// SPDX-License-Identifier: AGPL-3.0-or-later
// Command line of the batch program and the settings it loads.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/CliApp.h"
#include "cli/CliArgs.h"
#include "cli/CliHost.h"
#include "settings/SettingsLoad.h"
#include "support/TempDir.h"

namespace orb::cli {
namespace {

TEST(CliArgs, ParsesOptionsAndCommand) {
  const CliParse p = ParseCommandLine({"--no-ini", "--set", "Objekt=0", "--set", "Tabelle=1",
                                       "--answer", "no", "--min-coverage", "12,5", "table"});
  ASSERT_EQ(p.error, "");
  EXPECT_TRUE(p.options.noIni);
  ASSERT_EQ(p.options.sets.size(), 2u);
  EXPECT_EQ(p.options.sets[0], std::make_pair(std::string("Objekt"), std::string("0")));
  EXPECT_EQ(p.options.sets[1].second, "1");
  EXPECT_EQ(p.options.answerYes, false);
  EXPECT_DOUBLE_EQ(*p.options.minCoverage_percent, 12.5);
  EXPECT_EQ(p.options.command, "table");
}

TEST(CliArgs, ValueMayContainEqualSigns) {
  const CliParse p = ParseCommandLine({"--set", "SpaltenSeparator==", "table"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.sets[0].first, "SpaltenSeparator");
  EXPECT_EQ(p.options.sets[0].second, "=");
}

TEST(CliArgs, UsageErrors) {
  EXPECT_NE(ParseCommandLine({}).error, "");                                   // no command
  EXPECT_NE(ParseCommandLine({"tabelle"}).error, "");                          // unknown command
  EXPECT_NE(ParseCommandLine({"table", "phases"}).error, "");                  // two commands
  EXPECT_NE(ParseCommandLine({"--set", "Objekt", "table"}).error, "");         // no "="
  EXPECT_NE(ParseCommandLine({"--set"}).error, "");                            // missing value
  EXPECT_NE(ParseCommandLine({"--answer", "vielleicht", "table"}).error, "");  // bad answer
  EXPECT_NE(ParseCommandLine({"--ini", "a.ini", "--no-ini", "table"}).error, "");
  EXPECT_NE(ParseCommandLine({"convert", "--frame", "equ"}).error, "");        // missing coordinates
  EXPECT_NE(ParseCommandLine({"table", "--frame", "equ"}).error, "");          // convert option elsewhere
  EXPECT_NE(ParseCommandLine({"convert", "--frame", "gal", "--first", "1", "--second", "2"}).error, "");
  EXPECT_NE(ParseCommandLine({"convert", "--frame", "equ", "--first", "1", "--second", "2", "--equinox", "J"}).error,
            "");  // an equinox without a year
  EXPECT_EQ(ParseCommandLine({"convert", "--frame", "equ", "--first", "", "--second", "2"}).error, "");
  EXPECT_NE(ParseCommandLine({"table", "--picture", "a.png"}).error, "");      // no picture for tables
  EXPECT_NE(ParseCommandLine({"eclipse-path", "--picture", ""}).error, "");    // empty file name
  EXPECT_EQ(ParseCommandLine({"eclipse-path", "--picture", "a.png"}).error, "");
  EXPECT_NE(ParseCommandLine({"solar-eclipses", "--export", "a.kml"}).error, "");  // only for the path
  EXPECT_NE(ParseCommandLine({"eclipse-path", "--export", "a.json"}).error, "");   // neither format
  EXPECT_NE(ParseCommandLine({"eclipse-path", "--export", "kml"}).error, "");
  EXPECT_EQ(ParseCommandLine({"eclipse-path", "--export", "a.KML"}).error, "");
  EXPECT_EQ(*ParseCommandLine({"eclipse-path", "--export", "d/a.GeoJson"}).options.exportPath, "d/a.GeoJson");
  EXPECT_TRUE(ParseCommandLine({"--help"}).help);
}

TEST(CliApp, UsageErrorExitsWithTwoAndTheGermanUsage) {
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--unbekannt", "table"}, out, err), kExitUsage);
  EXPECT_NE(err.str().find("Unbekannte Option --unbekannt"), std::string::npos);
  EXPECT_NE(err.str().find("Aufruf: orbitello32-cli"), std::string::npos);
  EXPECT_TRUE(out.str().empty());
}

TEST(CliApp, SetOverridesTheSettingsFile) {
  test::TempDir dir;
  const std::string ini = dir.write("eigene.ini",
                                    "[Astronomieprogramm Einstellungen]\nOrt.Name=Bonn\nObjekt=0\nTabelle=0\n");
  CliOptions o;
  o.iniPath = ini;
  o.sets = {{"Tabelle", "1"}, {"Ort.Laenge", "7,1"}};
  IniDocument doc;
  std::ostringstream err;
  ASSERT_TRUE(LoadSettingsDocument(o, doc, err));
  TSettings s;
  LoadSettings(doc, s, 2461000.0L);
  EXPECT_EQ(s.Ort.Name, "Bonn");
  EXPECT_EQ(s.Objekt, 0);
  EXPECT_TRUE(s.Tabelle);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.Ort.Laenge), 7.1);
}

TEST(CliApp, MissingIniFileIsReported) {
  test::TempDir dir;
  CliOptions o;
  o.iniPath = dir.file("fehlt.ini");
  IniDocument doc;
  std::ostringstream err;
  EXPECT_FALSE(LoadSettingsDocument(o, doc, err));
  EXPECT_EQ(err.str(), "Fehler!: Datei " + dir.file("fehlt.ini") + " nicht gefunden\n");
}

TEST(CliHost, MessagesGoToStandardErrorAndQuestionsAreAnswered) {
  std::ostringstream out, err;
  CliHost goOn(out, err, std::nullopt);
  goOn.AddLine("Sonne");
  EXPECT_EQ(goOn.MessageBox(MsgKind::Confirmation, "Abbruch", "Berechnung abbrechen?", MsgResult::No),
            MsgResult::No);
  EXPECT_EQ(goOn.MessageBox(MsgKind::Error, "Fehler", "Division durch 0in QuadratGleich"), MsgResult::Ok);
  EXPECT_EQ(out.str(), "Sonne\n");
  EXPECT_EQ(err.str(), "Abbruch: Berechnung abbrechen?\nFehler: Division durch 0in QuadratGleich\n");

  CliHost yes(out, err, true);
  EXPECT_EQ(yes.MessageBox(MsgKind::Confirmation, "Abbruch", "Berechnung abbrechen?", MsgResult::No),
            MsgResult::Yes);
  std::string value = "10";
  EXPECT_TRUE(yes.InputBox("Schrittweite", "Bitte Schrittweite in Minuten eingeben:", value));
  EXPECT_EQ(value, "10");
}

}  // namespace
}  // namespace orb::cli

namespace orb::cli {
namespace {

TEST(CliApp, ElementsCommandPrintsTheCurrentSet) {
  // A minor planet in the section "Komet" (values of the settings file:
  // degrees, AU, Julian dates): the element text block, one line each.
  test::TempDir dir;
  const std::string ini = dir.write(
      "o.ini",
      "[Komet]\nName=Vesta\nPerDat=2459996.1\nM0=0\nTM0=0\nPerDist=2.15\nExz=0.089\nNeig=7.14\nPerL=151.1\n"
      "AKn=103.8\nElemEpoch=2000\nAbsMag=3.2\ndMag=0.32\nAsteroid=1\nNumber=4\ndiameter=525\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--ini", ini, "elements"}, out, err), kExitOk) << err.str();
  const std::string text = out.str();
  EXPECT_EQ(text.substr(0, text.find('\n')), "Asteroid");
  EXPECT_NE(text.find("(4) Vesta"), std::string::npos);
  EXPECT_NE(text.find("q     :   2.15000 AE"), std::string::npos);
  EXPECT_NE(text.find("Ø     :     525 km"), std::string::npos);
  // Without an element set: a message and exit status 1.
  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"--no-ini", "elements"}, out2, err2), kExitFailure);
  EXPECT_TRUE(out2.str().empty());
  EXPECT_NE(err2.str().find("kein Komet"), std::string::npos);
}

}  // namespace
}  // namespace orb::cli

// The unreadable settings file cases of the batch program.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace orb::cli {
namespace {

using test::WorkingDirectory;

TEST(CliApp, UnreadableSettingsFileEndsTheRun) {
  // A settings file that is there but is no readable text file ends the run
  // with exit status 1 and the reason, whether --ini names it or the
  // program finds it in the working directory; it is never read as empty.
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> make;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"folder", [](const std::string& path) { std::filesystem::create_directory(path); }, "Ist ein Verzeichnis"},
      {"FIFO", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
       "Keine gewöhnliche Datei"},
      {"UTF-16",
       [](const std::string& path) { std::ofstream(path, std::ios::binary) << std::string("\xFF\xFE[\0", 4); },
       "Die Datei ist in UTF-16 gespeichert; bitte als UTF-8 speichern"},
  };
  for (const Case& c : cases) {
    for (const bool named : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (named ? " with --ini" : " found in the working directory"));
      test::TempDir dir;
      const std::string path = dir.file(named ? "eigene.ini" : "ORBITELLO.INI");
      c.make(path);
      std::ostringstream out, err;
      int rc = 0;
      if (named) {
        rc = RunCli({"--ini", path, "table"}, out, err);
      } else {
        const WorkingDirectory wd(dir.path());
        rc = RunCli({"table"}, out, err);
      }
      EXPECT_EQ(rc, kExitFailure);
      EXPECT_EQ(err.str(), "Fehler!: Einstellungsdatei " + path + " kann nicht gelesen werden: " + c.reason +
                               ". Sie bleibt, wie sie ist, und wird nicht überschrieben.\n");
      EXPECT_EQ(out.str(), "");
    }
  }
}

}  // namespace
}  // namespace orb::cli

namespace orb::cli {
namespace {

struct Outcome {
  int status = 0;
  std::string out, err;
};
Outcome RunWith(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome r;
  r.status = RunCli(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// The exit status says whether anything valid was computed: dates beyond
// the ephemeris files (they end in the year 5400; JD 4000000 is the year
// 6239), a range that ends before it begins, elements of no orbit, a
// yearbook without objects, a missing location list; each with one message
// naming the reason.
TEST(CliApp, NothingValidComputedExitsWithOne) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;  // part of standard error
  } cases[] = {
      {{"--no-ini", "--set", "Startdat=4000000", "--set", "Tabelle=1", "table"}, kExitFailure, "reicht vom"},
      {{"--no-ini", "--set", "Startdat=4000000", "phases"}, kExitFailure, "liefert die Ephemeride keine Position"},
      {{"--no-ini", "--set", "Startdat=4000000", "solar-eclipses"}, kExitFailure, "reicht vom"},
      {{"--no-ini", "--set", "Startdat=4000000", "eclipse-path"}, kExitFailure, "reicht vom"},
      {{"--no-ini", "--set", "Startdat=4000000", "eclipse-places"}, kExitFailure, "reicht vom"},
      {{"--no-ini", "--set", "OrtsDatName=/nonexistent-folder/ORTE.DAT", "eclipse-places"}, kExitFailure,
       "Datei /nonexistent-folder/ORTE.DAT nicht gefunden"},
      // A partial eclipse (2025-03-29) lists no place; that is a valid answer.
      {{"--no-ini", "--set", "Startdat=2460750", "eclipse-places"}, kExitOk, ""},
      {{"--no-ini", "--set", "Tabelle=1", "--set", "DeltaTab=-5", "phases"}, kExitFailure, "endet vor seinem Beginn"},
      {{"--no-ini", "--set", "Objekt=9", "table"}, kExitFailure, "Abschnitt [Komet]"},
      {{"--no-ini", "table"}, kExitOk, ""},
  };
  for (const auto& c : cases) {
    const Outcome r = RunWith(c.args);
    std::string call;
    for (const std::string& a : c.args) call += a + " ";
    EXPECT_EQ(r.status, c.status) << call << "\n" << r.err;
    if (!c.message.empty()) {
      EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    // No cell prints a number that could not be computed.
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
  }
  // A yearbook whose sections all say no.
  test::TempDir dir;
  std::string ini;
  for (const char* name : {"Sonne", "Mond", "Merkur", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptun"}) {
    ini += std::string("[Jahrbucheinstellungen ") + name + "]\nObjDarstell=0\n";
  }
  const Outcome r = RunWith({"--ini", dir.write("jahrbuch.ini", ini), "yearbook"});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.err.find("kein Objekt ausgewählt"), std::string::npos) << r.err;
}

// --export in list mode: one numbered file per eclipse (2024-04-08 and
// 2024-10-02 in the 200 days from 2024-03-31); a range without an eclipse
// writes nothing and says so.
TEST(CliApp, ExportWritesOneFilePerEclipseInListMode) {
  test::TempDir dir;
  const std::string file = dir.file("pfad.kml");
  const Outcome r = RunWith({"--no-ini", "--set", "Startdat=2460400", "--set", "Tabelle=1", "--set", "DeltaTab=200",
                             "--export", file, "eclipse-path"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_NE(test::TempDir::read(dir.file("pfad-1.kml")).find("Totale Sonnenfinsternis am 08.04.2024"),
            std::string::npos);
  EXPECT_NE(test::TempDir::read(dir.file("pfad-2.kml")).find("Ringförmige Sonnenfinsternis am 02.10.2024"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(std::filesystem::exists(dir.file("pfad-3.kml")));

  const Outcome none = RunWith({"--no-ini", "--set", "Startdat=2460420", "--set", "Tabelle=1", "--set",
                                "DeltaTab=20", "--export", dir.file("leer.kml"), "eclipse-path"});
  EXPECT_EQ(none.status, kExitFailure);
  EXPECT_NE(none.err.find("Keine Sonnenfinsternis berechnet, daher wurde keine Datei gespeichert."),
            std::string::npos) << none.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("leer.kml")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("leer-1.kml")));
}

// A table past the ephemeris: every row keeps its columns with "---", the
// reason is said once, not once per row.
TEST(CliApp, RowsWithoutPlaceShowPlaceholdersAndOneMessage) {
  const Outcome r = RunWith({"--no-ini", "--set", "Startdat=4000000", "--set", "Tabelle=1", "--set", "Objekt=4",
                         "--set", "DeltaTab=70", "--set", "Helligkeit=1", "table"});
  EXPECT_EQ(r.status, kExitFailure);
  std::istringstream lines(r.out);
  std::string line;
  int rows = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("Fr ", 0) == 0 || line.rfind("Sa ", 0) == 0 || line.rfind("So ", 0) == 0 ||
        line.rfind("Mo ", 0) == 0 || line.rfind("Di ", 0) == 0 || line.rfind("Mi ", 0) == 0 ||
        line.rfind("Do ", 0) == 0) {
      ++rows;
      EXPECT_NE(line.find("---"), std::string::npos) << line;
    }
  }
  EXPECT_EQ(rows, 11);  // 70 days in steps of 7: 0, 7, ..., 70
  std::size_t messages = 0;
  for (std::size_t at = r.err.find("Ephemeride:"); at != std::string::npos; at = r.err.find("Ephemeride:", at + 1))
    ++messages;
  EXPECT_EQ(messages, 1u) << r.err;
}

// --set is our own contract, stricter than the lenient file reader: an
// unknown key, a value that is no number for a numeric key, a value the
// program cannot mean and a text that is no date for Startdat are usage
// errors; blanks around the key are trimmed as in the file.
TEST(CliApp, SetValuesAreChecked) {
  const struct {
    std::string set;
    int status;
    std::string message;
  } cases[] = {
      {"Ortsbreite=51", kExitUsage, "Unbekannter Schlüssel \"Ortsbreite\""},
      {"Ort.Breite=95", kExitUsage, "Ort.Breite = 95 liegt nicht zwischen -90 und 90"},
      {"BasisZeitzone=15", kExitUsage, "BasisZeitzone"},
      {"DaemmTiefe=-89", kExitUsage, "DaemmTiefe"},
      {"DeltaTab=1e5000", kExitUsage, "keine endliche Zahl"},
      {"Schrittweite=sieben", kExitUsage, "erwartet eine Zahl"},
      {"Objekt=Mond", kExitUsage, "erwartet eine ganze Zahl"},
      {"Tabelle=ja", kExitUsage, "erwartet 1 oder 0"},
      {"Startdat=2024-02-30", kExitUsage, "Startdat erwartet"},
      {"Startdat=gestern", kExitUsage, "Startdat erwartet"},
      {" Ort.Breite =48.78", kExitOk, ""},
      {"Ort.Laenge=9,18", kExitOk, ""},
      {"Fenster_X=10", kExitOk, ""},
  };
  for (const auto& c : cases) {
    const Outcome r = RunWith({"--no-ini", "--set", c.set, "table"});
    EXPECT_EQ(r.status, c.status) << c.set << "\n" << r.err;
    if (!c.message.empty()) {
      EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
  }
}

// Startdat as a calendar date and time in the zone the settings give, as
// the date dialog reads it: 2024-04-08 13:00 is MESZ with automatic summer
// time (the last Sunday of March was March 31), MEZ without, UTC with TDT's
// zone 0; the row shows the time as typed.
TEST(CliApp, StartDateAsCalendarDate) {
  const struct {
    std::vector<std::string> sets;
    std::string row;
  } cases[] = {
      {{"Startdat=2024-04-08T13:00", "AutoSommerzeit=1"}, "Mo 08.04.2024 13:00:00 "},
      {{"Startdat=2024-04-08 13:00:00"}, "Mo 08.04.2024 13:00:00 "},
      {{"Startdat=2024-04-08", "TDT=1"}, "Mo 08.04.2024  0:00:00 "},
      {{"Startdat=-0584-05-28T12:00", "BasisZeitzone=0"}, "28.05.-584 12:00:00 "},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--no-ini"};
    for (const std::string& s : c.sets) args.insert(args.end(), {"--set", s});
    args.push_back("table");
    const Outcome r = RunWith(args);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find(c.row), std::string::npos) << r.out;
  }
  // 13:00 MESZ is 11:00 UT: the row's Julian date 2460409.958333.
  const Outcome jd = RunWith({"--no-ini", "--set", "Startdat=2024-04-08T13:00", "--set", "AutoSommerzeit=1", "--set",
                          "ShowJulDat=1", "table"});
  EXPECT_NE(jd.out.find("2460408.95833"), std::string::npos) << jd.out;
}

// Objekt given alone also names the planet: Objekt=4 is Jupiter (the
// start-up rule would otherwise lower it to PlanetNr, Mercury); with
// PlanetNr given too, the file's rule holds.
TEST(CliApp, ObjektAloneSetsThePlanet) {
  EXPECT_NE(RunWith({"--no-ini", "--set", "Objekt=4", "table"}).out.find("\nJupiter\n"), std::string::npos);
  EXPECT_NE(RunWith({"--no-ini", "--set", "Objekt=4", "--set", "PlanetNr=2", "table"}).out.find("\nVenus\n"),
            std::string::npos);
}

// A stream that fails every write, as standard output on a full disk.
struct FullDisk : std::streambuf {
  int overflow(int) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(CliApp, FailedOutputIsReportedWithOne) {
  FullDisk full;
  std::ostream out(&full);
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--no-ini", "--set", "Tabelle=1", "--set", "DeltaTab=3650", "--set", "Schrittweite=1", "table"},
                   out, err),
            kExitFailure);
  EXPECT_NE(err.str().find("Die Ausgabe konnte nicht vollständig geschrieben werden"), std::string::npos);
}

TEST(CliApp, ConvertPrintsTheThreeFrames) {
  // Sirius as the coordinate dialog's example types it, for the default
  // place and start (Ortheim, 2012 Jan 29 12h UT), with the equinox 2000.0
  // when none is given. Ecliptic reference:
  // lambda 104°04'55.52", beta -39°36'18.76" (Meeus, Astronomical
  // Algorithms 13.1, 13.2 with epsilon 2000 = 23°26'21.448"; Swiss
  // Ephemeris' J2000 place of Sirius, 6h45m08.92s -16°42'58.3", gives
  // 104°04'54.0" -39°36'19.1").
  const std::vector<std::string> sirius = {"--no-ini", "convert", "--frame", "equ", "--first", "6 45 09",
                                           "--second", "-16 42 58"};
  struct Case {
    std::vector<std::string> extra;
    std::string equatorial, ecliptic;
  };
  const Case cases[] = {
      {{}, "Äquatorial:  6h45m09.0s    -16°42'58\"", "Ekliptikal:   104°04'56\"    -39°36'19\""},
      {{"--set", "NoSeconds=1"}, "Äquatorial:   6h45.150m    -16°42.97'", "Ekliptikal:   104°04.93'    -39°36.31'"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = sirius;
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), kExitOk);
    EXPECT_EQ(err.str(), "");
    std::istringstream lines(out.str());
    std::string equatorial, ecliptic, horizontal, more;
    std::getline(lines, equatorial);
    std::getline(lines, ecliptic);
    std::getline(lines, horizontal);
    EXPECT_EQ(equatorial, c.equatorial);
    EXPECT_EQ(ecliptic, c.ecliptic);
    EXPECT_EQ(horizontal.rfind("Azimutal: ", 0), 0u) << horizontal;
    EXPECT_FALSE(std::getline(lines, more));
  }
}

TEST(CliApp, ConvertWithoutANumberExitsWithOne) {
  const std::vector<std::string> fields[] = {
      {"--first", "Sirius", "--second", "-16 42 58"},
      {"--first", "6 45 09", "--second", ""},
      {"--first", "6 45 09", "--second", "1e99999"},
  };
  for (const auto& f : fields) {
    std::vector<std::string> args = {"--no-ini", "convert", "--frame", "ecl"};
    args.insert(args.end(), f.begin(), f.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), kExitFailure);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "Koordinatentransformation: Bitte gültige Koordinaten eingeben!\n");
  }
}

}  // namespace
}  // namespace orb::cli
