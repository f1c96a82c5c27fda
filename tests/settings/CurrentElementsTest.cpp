// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/CurrentElements.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "settings/SettingsFile.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace orb {
namespace {

constexpr Extended kRad = kPi / 180;  // one degree in radians

// An ".AST" file: u32 epoch, u16 count, then six u32 per record, little-endian.
std::string AstBytes(uint32_t epoch, uint16_t count, const std::vector<std::array<uint32_t, 6>>& records) {
  std::string b;
  const auto put = [&b](uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) b += static_cast<char>((v >> (8 * k)) & 0xFF);
  };
  put(epoch, 4);
  put(count, 2);
  for (const auto& r : records)
    for (uint32_t v : r) put(v, 4);
  return b;
}

// Epoch 2455950; record 1 with axis code 2.6e9 (26 AU, beyond 21: (26 - 21) 4 + 21 = 41 AU);
// record 2 an ordinary ellipse; record 3 with axis code 3.78e9 (37.8 AU, stretched
// (37.8 - 21) 4 + 21 = 88.2 > 63, so 63 / (4 - 3.78e9 / 1.05e9) = 63 / 0.4 = 157.5 AU).
// The node of record 2, 0x1A0A0D00, holds the bytes CR, LF and Ctrl-Z.
const std::vector<std::array<uint32_t, 6>> kRecords = {
    {{0, 2600000000u, 10000000, 0, 0, 0}},
    {{900000000, 400000000, 25000000, 0x1A0A0D00, 2000000000, 105000000}},
    {{100000000, 3780000000u, 0, 0, 0, 0}},
};

// A comet-list line: the name in characters 1 to 43, the numbers from 44 on.
std::string CometLine(const std::string& name, const std::string& numbers) {
  return name + std::string(43 - Utf8Length(name), ' ') + numbers;
}

// The fields that every reader sets.
auto Key(const CometBahnTyp& x) { return std::tuple(x.name, x.number, x.asteroid, x.a, x.e, x.T0, x.TM0, x.mag); }

TEST(ParseCometLine, TakesTheNumbersInTheirOrder) {
  // 1P/Halley, J2000 elements: T = 1986 Feb 9.4589, M0 0, q, e, i, peri, node, equinox, H, slope.
  const std::string halley = CometLine("1P/Halley", " 9.4589  2 1986  0.0    0.587104  0.967143  162.2627  "
                                                    "111.3325   58.4201  2000.0   5.5  4.0  MPC 11111");
  CometBahnTyp el;
  el.TM0 = 2455950.5L, el.number = 5, el.diameter = 939, el.asteroid = true, el.de = 1;
  ParseCometLine(halley, el);
  EXPECT_EQ(el.name, "1P/Halley");
  // Meeus ch. 7: Int(365.25 * 1985) + Int(30.6001 * 15) + (4 - 19) + 9.4589 + 1720996.5
  // = 725021 + 459 - 15 + 9.4589 + 1720996.5 = 2446470.9589.
  EXPECT_NEAR(el.T0, 2446470.9589L, 1e-9);
  EXPECT_EQ(el.M0, 0);
  EXPECT_NEAR(el.q, 0.587104L, 1e-15);
  EXPECT_NEAR(el.e, 0.967143L, 1e-15);
  EXPECT_NEAR(el.a, 17.8684603, 1e-6);  // 0.587104 / 0.032857
  EXPECT_NEAR(el.i, 162.2627L * kRad, 1e-15);
  EXPECT_NEAR(el.PerL, 111.3325L * kRad, 1e-15);
  EXPECT_NEAR(el.AscN, 58.4201L * kRad, 1e-15);
  EXPECT_EQ(std::tuple(el.equinox, el.mag, el.dmag), std::tuple(2000.0f, 5.5f, 4.0f));
  // TM0 is the previous body's; number, diameter, flag ("MPC 11111" has no A) and rates are reset.
  EXPECT_EQ(std::tuple(el.TM0, el.number, el.diameter, el.asteroid, el.de),
            std::tuple(2455950.5L, 0, 0.0f, false, 0.0L));

  // C/1995 O1 (Hale-Bopp): T = 1997 Apr 1.1375; its name holds an "A", which does not count.
  ParseCometLine(CometLine("C/1995 O1 (Hale-Bopp)", " 1.1375  4 1997  0.0    0.914142  0.995068   89.4300  "
                                                    "130.5887  282.4707  2000.0  -2.0  4.0  MPC 22222"),
                 el);
  EXPECT_EQ(el.name, "C/1995 O1 (Hale-Bopp)");
  // 729404 + 153 - 15 + 1.1375 + 1720996.5 = 2450539.6375
  EXPECT_NEAR(el.T0, 2450539.6375L, 1e-9);
  EXPECT_NEAR(el.a, 185.3491484, 1e-6);  // 0.914142 / 0.004932
  EXPECT_FALSE(el.asteroid);
}

TEST(ParseCometLine, MinorPlanetMarkParabolaAndShortLines) {
  CometBahnTyp el;
  // A lower-case "a" after the slope marks a minor planet.
  ParseCometLine(CometLine("(3200) Phaethon", "19.2  12 2023  0.0  0.1403  0.8899  22.26  322.2  265.2  2000.0  14.3  "
                                              "0.15  a"),
                 el);
  EXPECT_TRUE(el.asteroid);
  EXPECT_NEAR(el.a, 1.2742961, 1e-7);  // 0.1403 / 0.1101
  // A parabola has no semi-major axis: a = 0, not the previous body's 1.27.
  ParseCometLine(CometLine("C/2099 Z9 (Kurz)", "1.5 6 2099 0.0 1.2 1.000000 45 90 180 2000.0 9 4"), el);
  EXPECT_EQ(el.e, 1);
  EXPECT_EQ(el.a, 0);
  EXPECT_FALSE(el.asteroid);
  // A line of only a name: every number reads as 0, the date as day 0 of month 0 of year 0.
  ParseCometLine("C/2099 Z9 (Kurz)", el);
  EXPECT_EQ(el.name, "C/2099 Z9 (Kurz)");
  EXPECT_EQ(el.T0, CalendarToJD(0, 0, 0));
  EXPECT_EQ(el.q, 0);
  EXPECT_EQ(el.mag, 0);
  // The name field counts characters: 43 characters with umlauts, the number right after it.
  const std::string name = "C/2099 Ä1 (Müller-Ölmann-Übersee-Ärztehaus)";
  ASSERT_EQ(Utf8Length(name), 43u);
  ParseCometLine(name + "7.25 1 2100", el);
  EXPECT_EQ(el.name, name);
  EXPECT_EQ(el.T0, CalendarToJD(2100, 1, 7.25L));
}

TEST(CurrentElementsFile, SaveWritesEveryKeyInOrderAndLoadReadsItBack) {
  CometBahnTyp el;
  el.name = "  1P/Halley ", el.T0 = 2446470.9589L, el.M0 = 12.3456789L * kRad, el.TM0 = 2446400.5L;
  el.q = 0.587104L, el.e = 0.967143L, el.i = 162.2627L * kRad, el.PerL = 111.3325L * kRad;
  el.AscN = 58.4201L * kRad, el.equinox = 2000, el.mag = 5.5f, el.dmag = 4, el.diameter = 12.6f;
  SettingsFile file;
  SaveCurrentElements(file, el);
  // -6, -7 and -9 decimals drop trailing zeros; ElemEpoch keeps its ten; diameter 12.6 rounds to 13.
  EXPECT_EQ(file.Document().Serialize(),
            "[Komet]\nName=1P/Halley\nPerDat=2446470.9589\nM0=12.3456789\nTM0=2446400.5\nPerDist=0.587104\n"
            "Exz=0.967143\nNeig=162.2627\nPerL=111.3325\nAKn=58.4201\nElemEpoch=2000.0000000000\nAbsMag=5.5\n"
            "dMag=4\nAsteroid=0\nNumber=0\ndiameter=13\n");
  CometBahnTyp back;
  back.di = 3;
  LoadCurrentElements(file.Document(), back);
  EXPECT_EQ(back.name, "1P/Halley");
  EXPECT_NEAR(back.T0, el.T0, 1e-9);
  EXPECT_NEAR(back.M0, el.M0, 1e-15);
  EXPECT_NEAR(back.i, el.i, 1e-15);
  EXPECT_NEAR(back.a, 17.8684603, 1e-6);  // 0.587104 / (1 - 0.967143)
  EXPECT_EQ(back.diameter, 13);
  EXPECT_EQ(back.di, 0);
}

TEST(CurrentElementsFile, EmptyNameDefaultsAndTheAxisRule) {
  CometBahnTyp el;
  el.name = " \t";
  SettingsFile file;
  SaveCurrentElements(file, el);
  EXPECT_FALSE(file.Document().HasSection("Komet"));

  // An empty Name reads nothing else.
  el.a = 7.5L;
  LoadCurrentElements(IniDocument::Parse("[Komet]\nName=\nExz=0.5\nPerDist=1\n"), el);
  EXPECT_EQ(std::tuple(el.name, el.a, el.e), std::tuple("", 7.5L, 0.0L));
  // A name alone: PerDat 2444000, the equinox 2000.0 (not the year 0, which
  // would precess the place over two thousand years), everything else 0.
  LoadCurrentElements(IniDocument::Parse("[Komet]\nName=X\n"), el);
  EXPECT_EQ(std::tuple(el.T0, el.a, el.asteroid), std::tuple(2444000.0L, 0.0L, false));  // a = |0 / (1 - 0)|
  EXPECT_EQ(el.equinox, 2000.0f);
  // A stored parabola keeps a; a hyperbola gets |1 / (1 - 1.5)| = 2.
  el.a = 7.5L;
  LoadCurrentElements(IniDocument::Parse("[Komet]\nName=X\nExz=1\nPerDist=1\n"), el);
  EXPECT_EQ(el.a, 7.5L);
  LoadCurrentElements(IniDocument::Parse("[Komet]\nName=X\nExz=1,5\nPerDist=1\n"), el);
  EXPECT_EQ(el.a, 2);
}

class AsteroidFiles : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::ScriptedHost host;
  std::string base() const { return dir.file("ASTEROID/ASTEROID"); }  // no trailing "/"
};

TEST_F(AsteroidFiles, ChoiceByEpochFallbackAndRange) {
  const std::string f2455950 = dir.write("Asteroid/Asteroid/2455/2455950.ast", "");
  SettingsFile file;
  // 50 floor((2455960 + 25.4) / 50) = 50 * 49119 = 2455950, found in other letter cases.
  EXPECT_EQ(ChooseAsteroidFile(file, base(), 2455960), f2455950);
  // 50 floor(2456005.4 / 50) = 2456000 is missing; so is 200 floor(2456080.4 / 200) = 2456000.
  EXPECT_EQ(ChooseAsteroidFile(file, base() + "/", 2455980), base() + "/2456/2456000.AST");
  // 50 floor(2455735.4 / 50) = 2455700 is missing; 200 floor(2455810.4 / 200) = 2455800 exists.
  const std::string f2455800 = dir.write("Asteroid/Asteroid/2455/2455800.AST", "");
  EXPECT_EQ(ChooseAsteroidFile(file, base(), 2455710), f2455800);
  // Before MinJulDat (2451000.4, written back as 2451000): 50 floor(2451025.8 / 50) = 2451000.
  file.Document().Set("AsteroidFiles", "MinJulDat", "2451000.4");
  EXPECT_EQ(ChooseAsteroidFile(file, base(), 2440000), base() + "/2451/2451000.AST");
  EXPECT_EQ(file.Document().Get("AsteroidFiles", "MinJulDat"), "2451000");
  EXPECT_EQ(file.Document().Get("AsteroidFiles", "MaxJulDat"), "2459800");
  // Beyond MaxJulDat 2459800: 50 floor(2459825.4 / 50) = 2459800.
  EXPECT_EQ(ChooseAsteroidFile(file, base(), 2470000), base() + "/2459/2459800.AST");
}

TEST_F(AsteroidFiles, DecodesTheRecordByHand) {
  dir.write("asteroid/asteroid/2455/2455950.ast", AstBytes(2455950, 3, kRecords));
  const std::string path = base() + "/2455/2455950.AST";
  CometBahnTyp el;
  ASSERT_TRUE(ReadAsteroidRecord(2, path, "  3.34  0.12 Ceres                    ", el, host));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(std::tuple(el.name, el.number, el.mag, el.dmag, el.equinox, el.TM0, el.asteroid),
            std::tuple("Ceres", 2, 3.34f, 0.12f, 2000.0f, 2455950.5L, true));
  EXPECT_NEAR(el.M0, kPi / 2, 1e-15);              // 900000000e-7 = 90 degrees
  EXPECT_NEAR(el.a, 4, 1e-15);                     // 400000000 / 1e8
  EXPECT_NEAR(el.e, 0.25, 1e-15);                  // 25000000 / 1e8
  EXPECT_NEAR(el.q, 3, 1e-15);                     // (1 - 0.25) 4
  EXPECT_NEAR(el.AscN, 43.6866304L * kRad, 1e-15);  // 0x1A0A0D00 = 26 2^24 + 10 2^16 + 13 2^8 = 436866304
  EXPECT_NEAR(el.PerL, 200 * kRad, 1e-15);
  EXPECT_NEAR(el.i, 10.5L * kRad, 1e-15);
  // TM0 - sqrt(4^3) (pi/2) / k = 2455950.5 - 4 pi / 0.01720209895 = 2455950.5 - 730.5137966526
  EXPECT_NEAR(el.T0, 2455219.9862033473L, 1e-8);

  ASSERT_TRUE(ReadAsteroidRecord(1, path, "", el, host));
  EXPECT_NEAR(el.a, 41, 1e-12);
  EXPECT_EQ(el.T0, 2455950.5L);  // M0 = 0: perihelion at TM0
  ASSERT_TRUE(ReadAsteroidRecord(3, path, "", el, host));
  EXPECT_NEAR(el.a, 157.5, 1e-9);
  // sqrt(157.5^3) = 1976.60931; times 10 degrees (0.174532925 rad) / k = 20054.72741 days
  EXPECT_NEAR(el.T0, 2435895.7725901L, 1e-6);
}

TEST(AsteroidNameList, NameAndMagnitudesFromWhatTheLineHolds) {
  struct Case {
    const char* text;
    const char* name;
    float mag, dmag;
  };
  const Case cases[] = {
      {"  5.33      Vesta", "Vesta", 5.33f, 0.15f},  // no second number: slope 0.15
      {" 9.5", "(2)", 9.5f, 0.15f},                // shorter than 12 characters: no name
      {"", "(2)", 0, 0.15f},
      // A 25-character name with umlauts; character 38 is not part of it.
      {"  7.0  0.2  Ölgaard-Überkinger-Ärztin9", "Ölgaard-Überkinger-Ärztin", 7.0f, 0.2f},
  };
  const std::string bytes = AstBytes(2455950, 3, kRecords);
  for (const Case& c : cases) {
    CometBahnTyp el;
    el.name = "1P/Halley", el.mag = 5.5f, el.dmag = 4;
    std::string error;
    ASSERT_TRUE(ParseAsteroidRecord(bytes, 2, c.text, el, error));
    EXPECT_EQ(std::tuple(el.name, el.mag, el.dmag), std::tuple(c.name, c.mag, c.dmag));
  }
}

TEST_F(AsteroidFiles, DamagedFilesAndMissingRecordsLeaveTheElementsAlone) {
  const std::string full = AstBytes(2455950, 3, kRecords);
  const auto one = [](uint32_t axis, uint32_t e) { return AstBytes(2455950, 1, {{{0, axis, e, 0, 0, 0}}}); };
  struct Case {
    std::string bytes;
    int32_t n;
    std::string tail;  // the message after "Datei <path>"
  };
  const std::string invalid = " ist beschädigt: der Datensatz 1 ist ungültig.";
  const Case cases[] = {
      {"\x8e\x79\x25", 1, " ist beschädigt: der Dateikopf fehlt."},  // 3 of the 6 header bytes
      {full.substr(0, full.size() - 1), 3, " ist beschädigt: der Datensatz 3 fehlt."},
      {AstBytes(2455950, 0, {}), 1, " enthält keinen Datensatz 1."},
      {full, 4, " enthält keinen Datensatz 4."},
      {full, 0, " enthält keinen Datensatz 0."},
      // 63 / (4 - v / 1.05e9) is infinite for v = 4.2e9 and negative beyond, e = 1.
      {one(4200000000u, 0), 1, invalid},
      {one(4294967295u, 0), 1, invalid},
      {one(100000000, 100000000), 1, invalid},
  };
  CometBahnTyp before;
  before.name = "1P/Halley", before.a = 17.8L, before.e = 0.967L, before.T0 = 2446470.9589L;
  for (const Case& c : cases) {
    const std::string path = dir.write("t.AST", c.bytes);
    host.boxes.clear();
    CometBahnTyp el = before;
    EXPECT_FALSE(ReadAsteroidRecord(c.n, path, "  3.34  0.12 Ceres", el, host));
    EXPECT_EQ(Key(el), Key(before));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(std::tuple(host.boxes[0].kind, host.boxes[0].caption, host.boxes[0].text),
              std::tuple(MsgKind::Error, "Fehler!", "Datei " + path + c.tail));
  }
  host.boxes.clear();
  CometBahnTyp el = before;
  EXPECT_FALSE(ReadAsteroidRecord(1, dir.file("fehlt/2455950.AST"), "", el, host));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Datei " + dir.file("fehlt/2455950.AST") + " nicht gefunden.");
  EXPECT_EQ(Key(el), Key(before));
}

}  // namespace
}  // namespace orb
