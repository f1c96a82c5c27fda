// SPDX-License-Identifier: AGPL-3.0-or-later
// The location list: line conversion, the fields of a line, the search and
// the place written into the settings. Expected values follow from the
// list's column rules (LocationList.h); the places are examples.
#include "settings/LocationList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "core/DataFiles.h"
#include "core/NumText.h"
#include "core/TimeScales.h"
#include "support/TempDir.h"

namespace orb {
namespace {

// "Name, Land" padded to 33 characters (not bytes), then the coordinates.
std::string Line(const std::string& head, const std::string& coordinates) {
  return head + std::string(kLocationNameColumns - Utf8Length(head), ' ') + coordinates;
}

struct LineCase {
  const char* what;
  std::string line;
  std::string name;
  double breite, laenge;
  float zone;
};

TEST(LocationList, FieldsOfALine) {
  const LineCase cases[] = {
      {"abbreviation", Line("Ortheim, D", "51.74 N   7.19 E MEZ"), "Ortheim", 51.74, 7.19, 1},
      {"W EST without a number", Line("New York, USA", "40.71 N  74.01 W EST"), "New York", 40.71, -74.01, -5},
      {"every abbreviation", Line("Honolulu, USA", "21.31 N 157.86 W HST"), "Honolulu", 21.31, -157.86, -10},
      {"fractional zone", Line("Testort, X", "10.00 S  20.00 E -3.5"), "Testort", -10, 20, -3.5f},
      {"zone number", Line("Kalkutta, IND", "22.57 N  88.36 E 5.5"), "Kalkutta", 22.57, 88.36, 5.5f},
      {"decimal comma", Line("Ortheim, D", "51,74 N   7,19 E 1"), "Ortheim", 51.74, 7.19, 1},
      // No comma in columns 1-33: the name is those columns; the decimal
      // comma of the latitude does not end a name.
      {"no comma in the name", Line("Ortheim", "51,74 N   7,19 E 1"), "Ortheim", 51.74, 7.19, 1},
      {"no comma at all", Line("Ortheim", "51.74 N   7.19 E 1"), "Ortheim", 51.74, 7.19, 1},
      {"name cut to 25", Line("Großröhrsdorf-Übelfeldhausen, D", "51.14 N  14.02 E MEZ"),
       "Großröhrsdorf-Übelfeldhau", 51.14, 14.02, 1},
      // 33 characters but 35 bytes: the digits in columns 32-33 belong to
      // the name columns, the latitude starts in column 34.
      {"umlauts before column 34", "Mönchengladbach-Süd, Messpunkt 1751.19 N   6.44 E MEZ", "Mönchengladbach-Süd",
       51.19, 6.44, 1},
      {"shorter than 34 characters", "Nirgendwo, X", "Nirgendwo", 0, 0, 0},
      {"no zone", Line("Ortheim, D", "51.74 N   7.19 E"), "Ortheim", 51.74, 7.19, 0},
      {"unknown abbreviation", Line("Ortheim, D", "51.74 N   7.19 E MESZ"), "Ortheim", 51.74, 7.19, 0},
      {"overflowing numbers", Line("Ortheim, D", "1e5000 N 7.19 E 1e400"), "Ortheim", 0, 7.19, 0},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.what);
    const LocationPlace p = ReadLocationLine(c.line);
    EXPECT_EQ(p.Name, c.name);
    EXPECT_NEAR(static_cast<double>(p.Breite), c.breite, 1e-12);
    EXPECT_NEAR(static_cast<double>(p.Laenge), c.laenge, 1e-12);
    EXPECT_EQ(p.Zeitzone, c.zone);
  }
}

TEST(LocationList, LineConversion) {
  const struct {
    std::string raw, text;
  } cases[] = {
      // DOS code page: ü, ß, ä, ö, Ä, Ö, Ü and the underscore.
      {"M\x81nchen Stra\xE1" "e \x84\x94\x8E\x99\x9A \xB4", "München Straße äöÄÖÜ _"},
      // Other bytes of an invalid line read as Latin-1.
      {"Caf\xE9 \x84", "Café ä"},
      // Valid UTF-8 stays as it is (0xC3 0xBC is no DOS letter pair).
      {"München", "München"},
      {"Ortheim\r", "Ortheim"},
  };
  for (const auto& c : cases) EXPECT_EQ(LocationLineText(c.raw), c.text) << c.raw;
}

TEST(LocationList, SearchIgnoresCaseAndSortsAlphabetically) {
  test::TempDir dir;
  std::string dosLine = Line("?rzen, D", "52.05 N   9.26 E MEZ");
  dosLine[0] = '\x8E';  // Ä in the DOS code page
  const std::string file =
      dir.write("orte.dat", "\xEF\xBB\xBF" + Line("Zwickau, D", "50.72 N  12.50 E MEZ") + "\r\n" +
                                dosLine + "\r\n" +
                                Line("New York, USA", "40.71 N  74.01 W EST") + "\r\n" +
                                Line("Mezzano, I", "46.15 N  11.91 E 1") + "\r\n" +
                                Line("berlin, D", "52.52 N  13.40 E mez") + "\r\n" +
                                Line("Aachen, D", "50.78 N   6.08 E 1") + "\n");
  const struct {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      // The whole line is searched: name, country and zone.
      {"mez",
       {Line("Ärzen, D", "52.05 N   9.26 E MEZ"), Line("berlin, D", "52.52 N  13.40 E mez"),
        Line("Mezzano, I", "46.15 N  11.91 E 1"), Line("Zwickau, D", "50.72 N  12.50 E MEZ")}},
      {"ärz", {Line("Ärzen, D", "52.05 N   9.26 E MEZ")}},
      {"74.01 w", {Line("New York, USA", "40.71 N  74.01 W EST")}},
      {"Ortheim", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SearchLocationList(file, c.text), c.lines) << c.text;

  EXPECT_TRUE(SearchLocationList(dir.file("fehlt.dat"), "mez").empty());
  EXPECT_TRUE(SearchLocationList(dir.path().string(), "mez").empty());  // a folder
}

TEST(LocationList, TextForTheEditor) {
  test::TempDir dir;
  std::string text = "x";
  FileResult r = ReadLocationListText(dir.write("orte.dat", "\xEF\xBB\xBFM\x81nster\r\nKöln\n"), text);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(text, "Münster\nKöln\n");

  r = ReadLocationListText(dir.file("fehlt.dat"), text);
  EXPECT_TRUE(IsMissingFile(r.error));
  EXPECT_EQ(text, "");

  // Saving a UTF-16 file as text would destroy it: it is refused.
  r = ReadLocationListText(dir.write("utf16.dat", std::string("O\0r\0t\0", 6)), text);
  EXPECT_FALSE(r.ok());
  EXPECT_FALSE(IsMissingFile(r.error));
  EXPECT_EQ(text, "");
}

// The shipped list lives in the data directory and may be read-only; an
// edited list goes to the name as given (the working directory).
TEST(LocationList, SaveTargetIsTheNameAsGiven) {
  test::TempDir dir;
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  ASSERT_FALSE(FindDataFile("geo.dat").empty());  // found in the data directory only
  EXPECT_EQ(LocationListSaveTarget("geo.dat"), "geo.dat");
  dir.write("GEO.DAT", "");
  EXPECT_EQ(std::filesystem::path(LocationListSaveTarget("geo.dat")).filename(), "GEO.DAT");
  std::filesystem::current_path(old);
}

TEST(LocationList, ApplyWritesPlaceAndZones) {
  const LocationPlace place{"New York", 40.71L, -74.01L, -5};
  const Extended winter = CalendarToJD(2012, 1, 29.5L), summer = CalendarToJD(2012, 7, 1.5L);
  const struct {
    bool tdt, autoSummer;
    Extended startdat;
    float zeitzone;
  } cases[] = {
      {false, false, summer, -5},
      {true, false, summer, 0},  // TDT: the effective zone is 0
      {true, true, summer, 0},
      // Automatic summer time (European rule): July is summer time, January not.
      {false, true, summer, -4},
      {false, true, winter, -5},
  };
  for (const auto& c : cases) {
    TSettings s;
    s.TDT = c.tdt;
    s.AutoSommerzeit = c.autoSummer;
    s.Startdat = c.startdat;
    ApplyLocation(s, place);
    EXPECT_EQ(s.Ort.Name, "New York");
    EXPECT_EQ(s.Ort.Breite, 40.71L);
    EXPECT_EQ(s.Ort.Laenge, -74.01L);
    EXPECT_EQ(s.BasisZeitzone, -5.0f);
    EXPECT_EQ(s.Zeitzone, c.zeitzone) << c.tdt << c.autoSummer;
  }
}

// The shipped list, read line by line as the place dialog reads it: every
// line is kept as it stands (UTF-8), names the place in its first 33
// characters, gives a place on the globe and a zone of this world
// (UTC-12 ... UTC+14), and no country holds one name twice.
TEST(LocationList, ShippedListReadsWhole) {
  std::string text;
  ASSERT_TRUE(ReadLocationListText(FindDataFile("ORTE.DAT"), text).ok());
  std::set<std::pair<std::string, std::string>> names;
  std::size_t lines = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lines;
    SCOPED_TRACE(line);
    ASSERT_EQ(LocationLineText(line), line);
    const LocationPlace p = ReadLocationLine(line);
    const std::string head = Utf8Left(line, kLocationNameColumns);
    const std::string country = TrimBlanks(head.substr(head.find(',') + 1));
    EXPECT_FALSE(p.Name.empty());
    EXPECT_FALSE(country.empty());
    EXPECT_TRUE(std::fabs(p.Breite) <= 90 && std::fabs(p.Laenge) <= 180);
    EXPECT_TRUE(p.Zeitzone >= -12 && p.Zeitzone <= 14);
    EXPECT_TRUE(names.emplace(p.Name, country).second) << "twice in " << country;
  }
  EXPECT_GE(lines, 5000u);
  // The default place stays in the list.
  EXPECT_EQ(names.count({"Ortheim", "Deutschland"}), 1u);
}

}  // namespace
}  // namespace orb
