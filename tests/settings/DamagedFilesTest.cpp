// SPDX-License-Identifier: AGPL-3.0-or-later
// Damaged input files through the real readers: the settings file, lines
// of the location list and of a comet list, and ".AST" minor-planet files.
// Each damage must give a German message that says what is wrong, leave
// the program with usable values, and never cost the user a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/CurrentElements.h"
#include "settings/LocationList.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLoad.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace orb {
namespace {

constexpr Extended kNow = 2461000.5L;
const std::string kMain = "[Astronomieprogramm Einstellungen]\n";
// 1P/Halley, J2000 elements (MPC): T = 1986 Feb 9.4589, M0, q, e, i, peri, node, equinox, H, slope.
const std::string kHalley = "1P/Halley" + std::string(34, ' ') +
                            " 9.4589  2 1986  0.0    0.587104  0.967143  162.2627  111.3325   58.4201  2000.0   5.5  4.0";

struct SettingsCase {
  const char* what;
  std::string bytes;
  std::string readError;                // part of ReadErrorText; empty: the file is read
  std::vector<std::string> problems;    // the start-up messages, in full
  std::string placeName;                // Ort.Name afterwards: what was kept, or the default
};

// Every damage of the settings file ends in usable settings and a message;
// a file that is no settings text is never written over.
TEST(DamagedFiles, SettingsFile) {
  const std::string png = std::string("\x89PNG\r\n\x1A\n\x01\x02", 10) + "Ort.Name=Bild\n";
  const std::vector<SettingsCase> cases = {
      {"a picture named as settings file", png, "kann nicht gelesen werden: Die Datei enthält Steuerzeichen (Zeile 2)",
       {}, "Ortheim"},
      {"DOS end-of-file mark", kMain + "Ort.Name=Bochum\n\x1A", "", {}, "Bochum"},
      {"cut off inside a key",
       kMain + "Ort.Name=Bochum\nOrt.Lae",
       "",
       {"Die Einstellungsdatei endet mitten in der Zeile \"Ort.Lae\"; sie ist wohl abgeschnitten. Was danach "
        "stand, fehlt; dafür gelten die Vorgabewerte."},
       "Bochum"},
      {"cut off inside a section header", kMain + "Ort.Name=Bochum\n[Kom", "",
       {"Die Einstellungsdatei endet mitten in der Zeile \"[Kom\"; sie ist wohl abgeschnitten. Was danach "
        "stand, fehlt; dafür gelten die Vorgabewerte."},
       "Bochum"},
      // The lenient reader would take 0: Startdat 0 is a day in 4713 BC.
      {"text in number keys",
       kMain + "Ort.Name=Bochum\nStartdat=xyz\nOrt.Laenge=\nObjekt=zwei\n",
       "",
       {"Startdat = xyz ist keine Zahl; es gilt der Wert 2455956.", "Ort.Laenge ist leer; es gilt der Wert 7.19.",
        "Objekt = zwei ist keine ganze Zahl; es gilt der Wert -1."},
       "Bochum"},
      // Cut off after the comet's name and date: no perihelion distance.
      {"element set without an orbit",
       kMain + "PlanetNr=9\nObjekt=9\n[Komet]\nName=1P/Halley\nPerDat=2446470.9589\n",
       "",
       {"Die Bahnelemente von 1P/Halley im Abschnitt [Komet] sind unbrauchbar: die Periheldistanz 0 AE ist "
        "unmöglich. Es ist kein Komet und kein Kleinplanet eingestellt."},
       "Ortheim"},
      {"element set with a number that is none",
       "[Komet]\nName=1P/Halley\nPerDat=2446470.9589\nPerDist=nan\nExz=0.967143\n",
       "",
       {"Die Bahnelemente von 1P/Halley im Abschnitt [Komet] sind unbrauchbar: PerDist = nan ist keine Zahl. "
        "Es ist kein Komet und kein Kleinplanet eingestellt."},
       "Ortheim"},
      {"Latin-1 text", kMain + "Ort.Name=K\xF6ln\n", "", {}, "Köln"},
      {"empty file", "", "", {}, "Ortheim"},
  };
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string path = dir.write("ORBITELLO.INI", c.bytes);
    SettingsFile file = SettingsFile::Open(path);
    TSettings s;
    std::vector<SettingsProblem> problems;
    LoadSettings(file.Document(), s, kNow, &problems);

    if (c.readError.empty()) EXPECT_EQ(file.ReadErrorText(), "");
    else EXPECT_NE(file.ReadErrorText().find(c.readError), std::string::npos) << file.ReadErrorText();
    std::vector<std::string> texts;
    for (const SettingsProblem& p : problems) texts.push_back(p.text);
    EXPECT_EQ(texts, c.problems);
    // Usable: what could be read, defaults for the rest; no body without an orbit.
    EXPECT_EQ(s.Ort.Name, c.placeName);
    const TSettings defaults;
    EXPECT_EQ(s.Startdat, defaults.Startdat);
    EXPECT_TRUE(s.CurrentElements.name.empty());
    EXPECT_NE(s.PlanetNr, kSmallBody);

    s.Ort.Name = "Neu";
    std::string error;
    const bool saved = SaveSettings(file, s, error);
    const std::string after = test::TempDir::read(path);
    if (!c.readError.empty()) {
      EXPECT_FALSE(saved);
      EXPECT_EQ(after, c.bytes);  // left exactly as it was
    } else {
      EXPECT_TRUE(saved) << error;
      EXPECT_NE(after.find("Ort.Name=Neu"), std::string::npos);
      // A dropped element set is not written back: its keys stay for repair.
      if (c.bytes.find("[Komet]") != std::string::npos) {
        EXPECT_NE(after.find("Name=1P/Halley"), std::string::npos);
      }
    }
  }
}

// A location-list line that gives no place is refused with the reason
// (ReadLocationLine alone would read what is missing as 0).
TEST(DamagedFiles, LocationLine) {
  const std::string name = "Ortheim, D" + std::string(23, ' ');
  const struct {
    std::string line;
    std::string problem;
  } cases[] = {
      {name + "51.74 N   7.19 E MEZ", ""},
      {name + "40.71 N  74.01 W EST", ""},  // the zone by its name, no number
      {name + "51.51 N   0.13 W", ""},  // no zone: zone 0 (London)
      {name + "51.74 N", "die Länge fehlt"},
      {"Ortheim, D    ", "die Breite fehlt"},
      {name + "abc N   def E ghi", "die Breite fehlt"},
      {name + "1e300 N   7.19 E 1", "die Breite liegt nicht zwischen -90 und 90 Grad"},
      {name + "51.74 N   7.19 E 1e30", "die Zeitzone liegt nicht zwischen -14 und 14 Stunden"},
      // A line in the DOS code page is converted first, then read.
      {LocationLineText("K\x94ln, D" + std::string(26, ' ') + "50.94 N   6.96 E MEZ"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(LocationLineProblem(c.line), c.problem);
  }
}

// A comet list line that gives no orbit is refused with the reason.
TEST(DamagedFiles, CometLine) {
  const struct {
    std::string line;
    std::string problem;
  } cases[] = {
      {kHalley, ""},
      {kHalley.substr(0, 70), "sie enthält nur 5 der 10 Zahlen vom Periheldatum bis zum Äquinoktium"},
      {kHalley.substr(0, 30), "sie enthält nur 0 der 10 Zahlen vom Periheldatum bis zum Äquinoktium"},
      {std::string(kHalley).replace(51, 2, "13"), "das Periheldatum ist kein Datum"},
      {std::string(kHalley).replace(kHalley.find("0.587104"), 8, "0.000000"),
       "die Periheldistanz 0 AE ist unmöglich"},
      {std::string(kHalley).replace(kHalley.find("0.967143"), 8, "1.0e+300"),
       "die Exzentrizität 1e+300 ist unmöglich"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(CometLineProblem(c.line), c.problem);
  }
}

// ".AST" files: a record of other bytes, a folder in the file's place.
TEST(DamagedFiles, AsteroidFile) {
  // Header: epoch 2455950, one record. The record: M0 10 degrees, a 2.77 AU,
  // e 0.0785, node 80.3, perihelion 73.6, inclination 10.6 degrees.
  const auto u32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF),
                       static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 24 & 0xFF)};
  };
  const std::string header = u32(2455950) + std::string("\x01\x00", 2);
  const auto record = [&](std::uint32_t node) {
    return header + u32(100000000) + u32(277000000) + u32(7850000) + u32(node) + u32(736000000) + u32(106000000);
  };
  CometBahnTyp el;
  el.name = "bisher";
  std::string error;
  EXPECT_TRUE(ParseAsteroidRecord(record(803000000), 1, "   3.34  0.12 Ceres", el, error)) << error;
  el.name = "bisher";
  // A node of 400 degrees comes from no element list.
  EXPECT_FALSE(ParseAsteroidRecord(record(4000000000u), 1, "   3.34  0.12 Ceres", el, error));
  EXPECT_EQ(error, "der Datensatz 1 ist ungültig");
  EXPECT_EQ(el.name, "bisher");

  test::TempDir dir;
  std::filesystem::create_directory(dir.file("2455950.AST"));
  test::ScriptedHost host;
  EXPECT_FALSE(ReadAsteroidRecord(1, dir.file("2455950.AST"), "", el, host));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Datei " + dir.file("2455950.AST") + " kann nicht gelesen werden: Ist ein Verzeichnis.");
  EXPECT_EQ(el.name, "bisher");
}

}  // namespace
}  // namespace orb
