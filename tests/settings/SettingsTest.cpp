// SPDX-License-Identifier: AGPL-3.0-or-later
// The settings record: defaults, the reading of the main section's keys and
// the start-up normalisation.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/TimeScales.h"
#include "settings/IniDocument.h"
#include "settings/RunContext.h"
#include "settings/SettingsLoad.h"

namespace orb {
namespace {

// A fixed "now" for the normalisation: 2026-12-08 12:00 UT.
const Extended kNow = CalendarToJD(2026, 12, 8.5L);

TSettings Load(const std::string& mainSectionLines) {
  TSettings s;
  LoadSettings(IniDocument::Parse("[Astronomieprogramm Einstellungen]\n" + mainSectionLines), s, kNow);
  return s;
}

// A settings file without any keys gives the default table: the Sun at
// Ortheim (7.19 E, 51.74 N), 28 days from JD 2455956.0 in steps of 7 days,
// zone 1 h, list mode off; the main section's step is its own 7, not the
// 10 of a yearbook section without one.
TEST(Settings, NoKeysGiveTheDefaultTable) {
  const TSettings s = Load("");
  EXPECT_EQ(std::tuple(s.Objekt, s.Ort.Name, s.Startdat, s.DeltaTab, s.TableColumns.Schrittweite, s.Zeitzone, s.Tabelle),
            std::tuple(kSun, std::string("Ortheim"), 2455956.0L, 28.0L, 7.0L, 1.0f, false));
  EXPECT_EQ(std::tuple(s.Ort.Laenge, s.Ort.Breite), std::tuple(7.19L, 51.74L));
}

// Numbers the program cannot mean (a latitude beyond the pole, a zone no
// country keeps, a range too long to count, a value that is no finite
// number) keep their default, each with one message naming the key.
TEST(Settings, ValuesThatCannotBeMeantKeepTheDefault) {
  std::vector<SettingsProblem> problems;
  TSettings s;
  LoadSettings(IniDocument::Parse("[Astronomieprogramm Einstellungen]\nOrt.Breite=95\nBasisZeitzone=20\n"
                                  "DeltaTab=1e5000\nSchrittweite=1e5000\nStartdat=1e300\nDaemmTiefe=-90\n"
                                  "Ort.Laenge=-122.4\n"),
               s, kNow, &problems);
  const TSettings d = Load("");
  EXPECT_EQ(std::tuple(s.Ort.Breite, s.BasisZeitzone, s.DeltaTab, s.TableColumns.Schrittweite, s.Startdat,
                       s.DaemmTiefe),
            std::tuple(d.Ort.Breite, d.BasisZeitzone, d.DeltaTab, d.TableColumns.Schrittweite, d.Startdat,
                       d.DaemmTiefe));
  EXPECT_EQ(s.Ort.Laenge, -122.4L);  // within range: taken
  std::vector<std::string> keys;
  for (const SettingsProblem& p : problems) keys.push_back(p.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"Startdat", "DeltaTab", "Ort.Breite", "BasisZeitzone", "Schrittweite",
                                            "DaemmTiefe"}));
  EXPECT_NE(problems[0].text.find("Startdat = 1e300 liegt nicht zwischen"), std::string::npos) << problems[0].text;
}

TEST(Settings, ValueForms) {
  const TSettings s = Load(
      "DeltaTab=28\nOrt.Laenge=7,19\nOrt.Breite= 51.74 \nNutation=true\nAberration=yes\n"
      "Lichtlaufzeit=FALSE\nTabelle=1\nSchrittweite=0.5\nObjekt=abc\nOrt.Name=Bad Münstereifel-Iversheim-Nord\n"
      "SpaltenSeparator=\";\"\n");
  EXPECT_EQ(s.DeltaTab, 28);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.Ort.Laenge), 7.19);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.Ort.Breite), 51.74);
  EXPECT_TRUE(s.Nutation);
  EXPECT_FALSE(s.Aberration);  // "yes" is no flag value: the default stays
  EXPECT_FALSE(s.Lichtlaufzeit);
  EXPECT_TRUE(s.Tabelle);
  EXPECT_EQ(s.TableColumns.Schrittweite, 0.5f);
  EXPECT_EQ(s.Objekt, kSun);  // malformed integer: the default
  EXPECT_EQ(s.Ort.Name, "Bad Münstereifel-Ivershei");  // first 25 characters, not bytes
  EXPECT_EQ(s.SpaltenSeparator, ";");
}

TEST(Settings, PlanetNumberAndObjectNormalisation) {
  // PlanetNr 9 without a stored comet name starts with Mercury; Objekt 9 follows.
  TSettings s = Load("PlanetNr=9\nObjekt=9\n");
  EXPECT_EQ(s.PlanetNr, 1);
  EXPECT_EQ(s.Objekt, 1);
  // Objekt 5 with PlanetNr 3 starts with Objekt 3.
  s = Load("PlanetNr=3\nObjekt=5\n");
  EXPECT_EQ(s.Objekt, 3);
  // PlanetNr below 1 becomes 1; values no program writes are brought into range.
  s = Load("PlanetNr=0\nObjekt=-2\n");
  EXPECT_EQ(s.PlanetNr, 1);
  EXPECT_EQ(s.Objekt, kArbitrary);
  s = Load("PlanetNr=42\nObjekt=-7\n");
  EXPECT_EQ(s.PlanetNr, 1);
  EXPECT_EQ(s.Objekt, kSun);
}

TEST(Settings, SmallBodyNameGoesToPlanetNames) {
  TSettings s;
  s.PlanetNr = 9;
  s.Objekt = 9;
  s.CurrentElements.name = "C/1995 O1 (Hale-Bopp)";
  NormaliseSettings(s, kNow);
  EXPECT_EQ(s.PlanetNr, 9);
  EXPECT_EQ(s.Objekt, 9);
  EXPECT_EQ(s.PlanetName(kSmallBody), "C/1995 O1 ");
  EXPECT_EQ(s.PlanetName(kSun), "Sonne");
  EXPECT_EQ(s.PlanetName(kNeptune), "Neptun");
  EXPECT_EQ(s.PlanetName(kArbitrary), "unbenannt");
}

TEST(Settings, TdtZoneIsZeroAndNoSummerTime) {
  // 2012-07-01 is summer time in Central Europe, but TDT wins.
  const TSettings s = Load("TDT=1\nBasisZeitzone=5.5\nAutoSommerzeit=1\nStartdat=2456109.5\n");
  EXPECT_EQ(s.BasisZeitzone, 5.5f);
  EXPECT_EQ(s.Zeitzone, 0.0f);
}

TEST(Settings, StartDateNotKept) {
  const TSettings s = Load("DatSpeichern=0\nStartdat=2455956\n");
  EXPECT_EQ(s.Startdat, kNow);
  const TRunContext run(s);
  EXPECT_EQ(run.StartJulDat, kNow);
  EXPECT_EQ(run.EndJulDat, kNow + 28);
}

TEST(Settings, SummerTimeBoundariesAtStartUp) {
  // 2012-03-25 is the last Sunday of March: 01:59 MEZ = 00:59 UT is winter
  // time, 02:01 MEZ = 01:01 UT summer time.
  const Extended day = CalendarToJD(2012, 3, 25.0L);
  TSettings s = Load("AutoSommerzeit=1\nStartdat=" + std::to_string(static_cast<double>(day + 59.0L / 1440)) + "\n");
  EXPECT_EQ(s.Zeitzone, 1.0f);
  s = Load("AutoSommerzeit=1\nStartdat=" + std::to_string(static_cast<double>(day + 61.0L / 1440)) + "\n");
  EXPECT_EQ(s.Zeitzone, 2.0f);
  // Without the automatic rule the base zone stays.
  s = Load("Startdat=" + std::to_string(static_cast<double>(day + 61.0L / 1440)) + "\n");
  EXPECT_EQ(s.Zeitzone, 1.0f);
}

TEST(Settings, ApplyAutoSummerTimeReportsAChange) {
  TSettings s = Load("AutoSommerzeit=1\n");  // 2012-01-29: winter
  EXPECT_EQ(s.Zeitzone, 1.0f);
  s.Startdat = CalendarToJD(2012, 7, 1.5L);
  EXPECT_TRUE(ApplyAutoSummerTime(s));
  EXPECT_EQ(s.Zeitzone, 2.0f);
  EXPECT_FALSE(ApplyAutoSummerTime(s));
}

TEST(Settings, TableColumnsOfAYearbookSection) {
  const IniDocument ini = IniDocument::Parse(
      "[Jahrbucheinstellungen Mond]\nObjDarstell=0\nRaDe=0\nPhysEph=1\nMondTopozentrisch=1\n");
  TTableColumns c;
  bool topo = false;
  ReadTableColumns(ini, "Jahrbucheinstellungen Mond", c, topo);
  EXPECT_FALSE(c.ObjDarstell);
  EXPECT_FALSE(c.RaDe);
  EXPECT_TRUE(c.PhysEph);
  EXPECT_TRUE(c.Datum);
  EXPECT_EQ(c.Schrittweite, 10.0f);  // the columns' own default step
  EXPECT_TRUE(topo);
}

}  // namespace
}  // namespace orb

namespace orb {
namespace {

TEST(Settings, HandWrittenFileKeepsWhatItCanRead) {
  // Comments, blank lines, odd spacing, a line without "=", unknown keys,
  // malformed numbers and flags, and no other section than the main one.
  const std::string text =
      "; von Hand geschrieben\r\n"
      "\r\n"
      "  [ Astronomieprogramm Einstellungen ]  \r\n"
      "Ort.Name   =   Sternwarte Bochum   \r\n"
      "\tOrt.Laenge=\t7,2235\r\n"
      "Ort.Breite = N 51.4797\r\n"
      "DeltaTab = sieben\r\n"
      "Schrittweite=1,5 Tage\r\n"
      "Objekt = 0x2\r\n"
      "Nutation = vielleicht\r\n"
      "Aberration=TRUE\r\n"
      "Unbekannt=42\r\n"
      "diese Zeile hat kein Gleichheitszeichen\r\n"
      "BasisZeitzone=\r\n";
  TSettings s;
  LoadSettings(IniDocument::Parse(text), s, 2461000.5L);
  EXPECT_EQ(s.Ort.Name, "Sternwarte Bochum");
  EXPECT_DOUBLE_EQ(static_cast<double>(s.Ort.Laenge), 7.2235);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.Ort.Breite), 51.4797);  // leading text skipped
  EXPECT_EQ(s.DeltaTab, 28);  // no digits: no number, the default stays (and is reported)
  EXPECT_EQ(s.TableColumns.Schrittweite, 1.5f);
  EXPECT_EQ(s.Objekt, kSun);   // not a decimal integer: the default
  EXPECT_TRUE(s.Nutation);     // not a flag: the default
  EXPECT_TRUE(s.Aberration);
  EXPECT_EQ(s.BasisZeitzone, 1.0f);  // an empty real is no number either: the default
  EXPECT_EQ(s.PlanetNr, 1);
  EXPECT_EQ(s.Startdat, 2455956.0L);  // absent: the default
}

}  // namespace
}  // namespace orb

namespace orb {
namespace {

TEST(Settings, StoredCometKeepsPlanetNumberNine) {
  // The section "Komet" is read with the main section: a stored name keeps
  // PlanetNr 9 and names the small body (first ten characters).
  TSettings s;
  LoadSettings(IniDocument::Parse("[Astronomieprogramm Einstellungen]\nPlanetNr=9\nObjekt=9\n"
                                  "[Komet]\nName=C/1995 O1 (Hale-Bopp)\nPerDist=0.914\nExz=0.995\n"),
               s, 2461000.5L);
  EXPECT_EQ(s.PlanetNr, 9);
  EXPECT_EQ(s.Objekt, 9);
  EXPECT_EQ(s.CurrentElements.name, "C/1995 O1 (Hale-Bopp)");
  EXPECT_EQ(s.PlanetName(kSmallBody), "C/1995 O1 ");
  EXPECT_NEAR(static_cast<double>(s.CurrentElements.a), 0.914 / 0.005, 1e-9);  // |q / (1 - e)|
}

}  // namespace
}  // namespace orb
