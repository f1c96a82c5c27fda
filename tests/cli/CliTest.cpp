// SPDX-License-Identifier: AGPL-3.0-or-later
// Command line of the batch program and the settings it loads.
#include <gtest/gtest.h>

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
  EXPECT_NE(ParseCommandLine({"table", "--picture", "a.png"}).error, "");      // no picture for tables
  EXPECT_NE(ParseCommandLine({"eclipse-path", "--picture", ""}).error, "");    // empty file name
  EXPECT_EQ(ParseCommandLine({"eclipse-path", "--picture", "a.png"}).error, "");
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

// Makes `dir` the working directory for one scope.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~WorkingDirectory() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

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
      EXPECT_EQ(err.str(), "Fehler!: Einstellungsdatei " + path + " kann nicht gelesen werden: " + c.reason + "\n");
      EXPECT_EQ(out.str(), "");
    }
  }
}

}  // namespace
}  // namespace orb::cli
