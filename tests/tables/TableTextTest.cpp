// SPDX-License-Identifier: AGPL-3.0-or-later
// The header line and the column header line. Expected lines are put
// together from the documented pieces, in the documented order.
#include "tables/TableText.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "settings/RunContext.h"
#include "settings/Settings.h"

namespace orb {
namespace {

// A Sun table at the default start, JD 2455956.0 = 2012-01-29 12h UT, in
// MEZ, with deltaT = 66.6 s; the place is Ortheim, 51.74° N, 7.19° E.
TSettings SunTable() {
  TSettings s = DefaultSettings();
  s.Zeitzone = 1;
  return s;
}

// The header line of a table of `s` at its start, with deltaT (days).
std::string Header(const TSettings& s, Extended deltaT_days = 66.6L / 86400) {
  TRunContext run(s);
  run.DeltaT = deltaT_days;
  return HeaderLine(s, run);
}

// The column header line in the settings' zone.
std::string Columns(const TSettings& s) { return ColumnHeaderLine(s, s.Zeitzone); }

// "Ort" ": " name ",  ", a blank and the place angle of 51.74° (" " Int(51, 3)
// "°" round(44.4) "'"), " N ", the place angle of 7.19° (11.4' -> 11), " O   ".
const std::string kPlace = "Ort: Ortheim,  " + std::string(" ") + "  51°44'" + " N " + "   7°11'" + " O   ";
// "Äquin:" Str(2000.0, 9, 1)
const std::string kEquinox = "Äquin:" + std::string("   2000.0");
// ",  " "DeltaT" " = " Str(66.6, 1, 1) " s"
const std::string kDeltaT = ",  DeltaT = 66.6 s";

TEST(HeaderLine, DefaultSunTable) {
  EXPECT_EQ(Header(SunTable()), kPlace + kEquinox + ", geozentrisch" + kDeltaT);
}

TEST(HeaderLine, DateAndTimeInFrontWhenTheirColumnsAreOff) {
  TSettings s = SunTable();
  s.TableColumns.Datum = s.TableColumns.Uhrzeit = false;
  // Date of 2455956.0 in MEZ, two blanks; short time of
  // 24 * Frac(2455956.0 + 1/24.0001 + 0.50002) = 13.0004 h, a blank, "MEZ"
  // padded to 6, a blank.
  EXPECT_EQ(Header(s), "29.01.2012" + std::string("  ") + "13h00m" + " " + "MEZ   " + " " + kPlace + kEquinox +
                               ", geozentrisch" + kDeltaT);
}

TEST(HeaderLine, EquinoxAndCorrections) {
  struct Case {
    std::function<void(TSettings&)> change;
    std::string frame;
  };
  const Case cases[] = {
      {[](TSettings& s) { s.AequinTag = true; }, " wahres Äquinoktium des Tages, geozentrisch"},
      {[](TSettings& s) { s.AequinTag = true, s.Nutation = false; },
       " mittleres Äquinoktium des Tages, geozentrisch"},
      {[](TSettings& s) { s.Lichtlaufzeit = false; }, kEquinox + " ohne Lichtlaufzeit, geozentrisch"},
      {[](TSettings& s) { s.Aberration = true; }, kEquinox + ", mit Aberration, geozentrisch"},
      {[](TSettings& s) { s.MondTopozentrisch = true; }, kEquinox + " topozentrisch"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frame);
    TSettings s = SunTable();
    c.change(s);
    EXPECT_EQ(Header(s), kPlace + c.frame + kDeltaT);
  }
}

TEST(HeaderLine, SouthWestPlaceInDecimalDegreesAndDynamicalTime) {
  TSettings s = SunTable();
  s.NoMinutes = s.TDT = true;
  s.Ort.Breite = -22.9L;
  s.Ort.Laenge = -43.2L;
  s.Zeitzone = 0;
  // "  " StrT(22.9, 1, 3) "°" " S " StrT(43.2, 1, 3) "°" " W   "; then " (TDT)".
  EXPECT_EQ(Header(s, 0), "Ort: Ortheim,  " + std::string("  22.9°") + " S " + "43.2°" + " W   " + kEquinox +
                               ", geozentrisch" + ",  DeltaT = 0.0 s" + " (TDT)");
}

TEST(HeaderLine, PlaceOnlyForLocalColumnsEquinoxOnlyForCoordinates) {
  TSettings s = SunTable();
  s.TableColumns.AufKulmUnt = false;  // twilight still names the place, for the Sun
  EXPECT_EQ(Header(s), kPlace + kEquinox + ", geozentrisch" + kDeltaT);
  s.Objekt = kMoon;  // ... but not for the Moon
  EXPECT_EQ(Header(s), kEquinox + ", geozentrisch" + kDeltaT);
  s.TableColumns.RaDe = false;
  EXPECT_EQ(Header(s), kDeltaT);
  s.TableColumns.StdwDe = true;
  EXPECT_EQ(Header(s), kPlace + kDeltaT);
}

// Each header text followed by the separator.
std::string Joined(const std::vector<std::string>& pieces, const std::string& sep) {
  std::string line;
  for (const std::string& p : pieces) line += p + sep;
  return line;
}

TSettings AllColumns(int32_t kind) {
  TSettings s = SunTable();
  TTableColumns& c = s.TableColumns;
  c.StdwDe = c.EklipKoor = c.AzimKoor = c.AufUntAz = c.Entfernung = c.Helligkeit = c.Durchmesser = c.PhysEph = true;
  s.ShowJulDat = true;
  s.Objekt = kind;
  s.SpaltenSeparator = ";";
  return s;
}

// Header texts of the columns that every object has, from the column table;
// the zone "MEZ   " is padded on the left to 9 characters.
const std::vector<std::string> kEveryObject = {
    "   ",            "   Datum  ",     "   MEZ   ",    "  Julian. Datum", "      Rektasz.", "    Stundenw. ",
    "     Deklin.",   "      Ekl. Lg.", "     Ekl. Br", "   Azimut ",      "    Elev. ",     "   Aufg.",
    "  Kulm.",        " Unterg",        "  Az Auf",     " Unt."};

TEST(ColumnHeaderLine, AllColumnsPerObject) {
  struct Case {
    int32_t kind;
    std::vector<std::string> tail;  // the object's own columns, in table order
  };
  const Case cases[] = {
      {kSun, {"  ADämm", "  EDämm", "   Entf. ", "  Hell.", "   Ø [\"]", " Pos.W.", " BrErde", "    ZM "}},
      {kMoon, {"  Phase", "  Alter", "   Entf. ", "  Hell.", "   Ø [\"]", " Phas.W.", " Lib Lg.", "  Br.",
               " Colong.", "  Br."}},
      {kMars, {"  Elong", "   Entf. ", "  Hell.", "   Ø [\"]", " Phas.W.", " Pos.W.", " BrErde", "    ZM "}},
      {kJupiter, {"  Elong", "   Entf. ", "  Hell.", "   Ø [\"]", " Phas.W.", " Pos.W.", " BrErde", "  ZM I",
                  "  ZM II"}},
      {kSaturn, {"  Elong", "   Entf. ", "  Hell.", "   Ø [\"]", " Ø Ring", " Phas.W.", " Pos.W.", " BrErde",
                 "    ZM "}},
      {kSmallBody, {"  Elong", "   Entf. ", "  Hell."}},  // no diameter, no physical ephemeris
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(Columns(AllColumns(c.kind)), Joined(kEveryObject, ";") + Joined(c.tail, ";"));
  }
  // Nautical: wider hour-angle header, parallax and semi-diameter.
  TSettings s = AllColumns(kSaturn);
  s.Nautisch = true;
  std::vector<std::string> every = kEveryObject;
  every[5] = "     Stundenw. ";
  EXPECT_EQ(Columns(s), Joined(every, ";") + Joined({"  Elong", "  HP ['] ", "  Hell.", "   r [']", " Ø Ring",
                                                              " Phas.W.", " Pos.W.", " BrErde", "    ZM "},
                                                             ";"));
}

TEST(ColumnHeaderLine, SeparatorZoneAndHourAngle) {
  TSettings s = SunTable();
  // The default Sun columns with no separator: fixed blanks only.
  EXPECT_EQ(Columns(s), "   " + std::string("   Datum  ") + "   MEZ   " + "      Rektasz." + "     Deklin." +
                                     "   Aufg." + "  Kulm." + " Unterg" + "  ADämm" + "  EDämm");
  // Time and hour angle only: the hour angle brings the declination with it.
  s.TableColumns.Wochentag = s.TableColumns.Datum = s.TableColumns.RaDe = false;
  s.TableColumns.AufKulmUnt = s.TableColumns.AEDaemm = false;
  s.TableColumns.StdwDe = true;
  s.SpaltenSeparator = ",";
  s.Zeitzone = 5.5f;  // "UTC+5.5h" (8 characters) padded on the left to 9
  EXPECT_EQ(Columns(s), " UTC+5.5h," + std::string("    Stundenw. ,") + "     Deklin.,");
}

}  // namespace
}  // namespace orb
