// SPDX-License-Identifier: AGPL-3.0-or-later
// The cell formats of the tables: angles, clock and short times, dates,
// weekdays and zone names. Every expected text is put together by hand from
// the layout rule quoted in the comment beside it.
#include "tables/TableFormat.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/NumText.h"

namespace orb {
namespace {

constexpr AngleStyle kSeconds{};
constexpr AngleStyle kNoSeconds{false, true};
constexpr AngleStyle kNoMinutes{true, false};

Extended Deg(Extended d) { return DegToRad(d); }
Extended HMS(Extended h, Extended m, Extended s) { return DegToRad(15 * (h + m / 60 + s / 3600)); }

// 12h30m = 187.5°, exactly on the 1/400000 h grid.
TEST(HoursAngle, ThreeStyles) {
  // "  " Str(12.5, 8, 5) "h"
  EXPECT_EQ(HoursAngleText(HMS(12, 30, 0), kNoMinutes), "  12.50000h");
  // " " Int(12, 2) "h" Str(30, 6, 3) "m"
  EXPECT_EQ(HoursAngleText(HMS(12, 30, 0), kNoSeconds), " 12h30.000m");
  // Int(12, 2) "h" "30" "m" Str(0, 4, 1) = " 0.0" with its blank as "0"
  EXPECT_EQ(HoursAngleText(HMS(12, 30, 0), kSeconds), "12h30m00.0s");
  // 9h05m07.4s on the grid is 9.08539 h: minutes 5.1234 -> " 5.123" -> "05.123",
  // seconds 7.404 -> " 7.4" -> "07.4"; hours Int(9, 2) = " 9".
  EXPECT_EQ(HoursAngleText(HMS(9, 5, 7.4L), kNoSeconds), "  9h05.123m");
  EXPECT_EQ(HoursAngleText(HMS(9, 5, 7.4L), kSeconds), " 9h05m07.4s");
  // -15° is -1 h, brought into 0..24 by adding 24.
  EXPECT_EQ(HoursAngleText(Deg(-15), kSeconds), "23h00m00.0s");
}

// Minutes and seconds that round to 60 are carried into the next unit.
TEST(HoursAngle, RoundingCarriesInsteadOfSixty) {
  // 12h05m00s lies between grid points: 12.0833325 h = 12h04m59.997s, whose
  // seconds Str(59.997, 4, 1) read "60.0"; carried: 12h05m00.0s.
  EXPECT_EQ(HoursAngleText(HMS(12, 5, 0), kSeconds), "12h05m00.0s");
  // 12h59m59.99s -> grid 12.9999975 h: minutes 59.99985 read "60.000",
  // seconds 59.991 read "60.0": both carry into the hours.
  EXPECT_EQ(HoursAngleText(HMS(12, 59, 59.99L), kNoSeconds), " 13h00.000m");
  EXPECT_EQ(HoursAngleText(HMS(12, 59, 59.99L), kSeconds), "13h00m00.0s");
}

TEST(DegreesAngle, SignBeforeTheDegreeField) {
  // " " sign Int(0, 3) "°" "30" "'" "00" the double quote: -0°30' keeps its "-".
  EXPECT_EQ(DegreesAngleText(Deg(-0.5L), kSeconds), " -  0°30'00\"");
  // "  " sign Str(0.5, 8, 4) "°"
  EXPECT_EQ(DegreesAngleText(Deg(-0.5L), kNoMinutes), "  -  0.5000°");
  // 12°05'59.6": the seconds round to 60 and carry into the minutes.
  EXPECT_EQ(DegreesAngleText(Deg(12 + 5 / 60.0L + 59.6L / 3600), kSeconds), " + 12°06'00\"");
}

TEST(Latitude, NarrowsTheDegreeFieldToTwoDigits) {
  struct Case {
    Extended deg;
    AngleStyle style;
    const char* text;
  };
  // Degrees angle -> the blank after a sign at position 2 (or, for zero, the
  // third character) deleted -> a blank after a sign at position 3 deleted ->
  // a blank put in front.
  const Case cases[] = {
      {-0.5L, kSeconds, "  - 0°30'00\""},   // " -  0°30'00"" -> " - 0°30'00""
      {5, kSeconds, "  + 5°00'00\""},       // " +  5°00'00"" -> " + 5°00'00""
      {-45, kSeconds, "  -45°00'00\""},     // " - 45°00'00"" -> " -45°00'00""
      {0, kSeconds, "    0°00'00\""},       // "    0°00'00"" -> "   0°00'00""
      {5, kNoSeconds, "  + 5°00.00'"},      // " +  5°00.00'" -> " + 5°00.00'"
      {0, kNoSeconds, "    0°00.00'"},      // "    0°00.00'" -> "   0°00.00'"
      {5, kNoMinutes, "   + 5.0000°"},      // "  +  5.0000°" -> "  + 5.0000°"
      {-45, kNoMinutes, "   -45.0000°"},    // "  - 45.0000°" -> "  -45.0000°"
      {0, kNoMinutes, "     0.0000°"},      // "     0.0000°" -> "    0.0000°"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = LatitudeText(Deg(c.deg), c.style);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(Utf8Length(text), 12u);
  }
  // Only blanks are deleted: 135° keeps its three digits (" +135°00'00"").
  EXPECT_EQ(LatitudeText(Deg(135), kSeconds), "  +135°00'00\"");
}

TEST(Longitude, ZeroTo360WithoutSign) {
  // 187.5° (12h30m in degrees): " +187°30'00"" with the "+" as a blank.
  EXPECT_EQ(LongitudeText(Deg(187.5L), kSeconds), "  187°30'00\"");
  // -90° is brought into 0..360: 270°; "  " "+"->" " Str(270, 8, 4) "°".
  EXPECT_EQ(LongitudeText(Deg(-90), kSeconds), "  270°00'00\"");
  EXPECT_EQ(LongitudeText(Deg(-90), kNoMinutes), "   270.0000°");
}

TEST(PlaceAngle, WholeDegreesAndRoundedMinutes) {
  // " " Int(51, 3) "°" round(0.74 * 60 = 44.4) "'"
  EXPECT_EQ(PlaceAngleText(Deg(51.74L), kSeconds), "  51°44'");
  EXPECT_EQ(PlaceAngleText(Deg(7.19L), kSeconds), "   7°11'");  // 11.4' -> 11
  // 51.9999°: round(59.994) = 60 carries into the degrees.
  EXPECT_EQ(PlaceAngleText(Deg(51.9999L), kSeconds), "  52°00'");
}

TEST(AzimuthElevation, ElevationIsTheLastTenCharacters) {
  // " " Int(123, 3) "° " "15" "'", then "  " "-" Int(5, 2) "° " "30" "'"
  const std::string text = AzimuthElevationText(Deg(-5.5L), Deg(123.25L), kSeconds);
  EXPECT_EQ(text, " 123° 15'  - 5° 30'");
  EXPECT_EQ(Utf8Mid(text, Utf8Length(text) - 9, 10), "  - 5° 30'");
  // Str(123.25, 8, 2) "°   " "-" Str(5.5, 5, 2) "°"
  const std::string decimal = AzimuthElevationText(Deg(-5.5L), Deg(123.25L), kNoMinutes);
  EXPECT_EQ(decimal, "  123.25°   - 5.50°");
  EXPECT_EQ(Utf8Mid(decimal, Utf8Length(decimal) - 9, 10), "   - 5.50°");
  // Azimuth -10° raised to 350°, elevation 350° lowered to -10°.
  EXPECT_EQ(AzimuthElevationText(Deg(350), Deg(-10), kSeconds), " 350° 00'  -10° 00'");
}

TEST(CalendarTexts, WeekdayDateAndDateTime) {
  // JD 2451545.0 = 2000-01-01 12h UT; 2451545 mod 7 = 5 -> "Sa".
  EXPECT_EQ(WeekdayText(2451545.0L, 0), "Sa");
  // 2451545.4 in zone +3: nearest integer to 2451545.525 is 2451546 -> 6 "So".
  EXPECT_EQ(WeekdayText(2451545.4L, 3), "So");
  // JD 2455956.0 = 2012-01-29 12h UT.
  EXPECT_EQ(DateText(2455956.0L, 1, DateStyle{}), "29.01.2012");
  EXPECT_EQ(DateText(2455956.0L, 1, DateStyle{true, "/"}), "2012/01/29");
  // Meeus, Astronomical Algorithms, ch. 7: -1000 July 12.5 = JD 1356001.0;
  // Int(-1000, 4) = "-1000".
  EXPECT_EQ(DateText(1356001.0L, 0, DateStyle{}), "12.07.-1000");
  // Time: 24 * Frac(2455956.0 + 1/24.0001 + 0.50002) = 13.0004 h -> 780 min.
  EXPECT_EQ(DateTimeText(2455956.0L, 1, DateStyle{}), "29.01.2012  13h00m");
}

// Weekday, date and clock of one instant come from one rounded second, so
// that they agree across midnight: 2012-01-29 is a Sunday (JD 2455956.0
// noon UT); zone 1 h. The clock reads 0.45 s ahead (0.0864 s of the day
// lead, 0.36 s of the hour lead), so 23:59:59.04 is 23:59:59 and 23:59:59.1
// is midnight -- of the next day, never "So 29.01.2012 24:00:00".
TEST(CalendarTexts, OneRoundedInstantForWeekdayDateAndClock) {
  const Extended midnight = 2455956.5L - 1.0L / 24;  // 2012-01-30 0h MEZ
  const struct {
    Extended secondsToMidnight;
    std::string text;
  } cases[] = {
      {1.0L, "So 29.01.2012 23:59:59"}, {0.96L, "So 29.01.2012 23:59:59"}, {0.9L, "Mo 30.01.2012  0:00:00"},
      {0.1L, "Mo 30.01.2012  0:00:00"}, {0.0L, "Mo 30.01.2012  0:00:00"}, {-1.0L, "Mo 30.01.2012  0:00:01"},
  };
  for (const auto& c : cases) {
    const ZoneInstant t = ZoneInstantOf(midnight - c.secondsToMidnight / 86400, 1);
    EXPECT_EQ(WeekdayText(t) + " " + DateText(t, DateStyle{}) + " " + ClockTimeText(t), c.text)
        << static_cast<double>(c.secondsToMidnight);
  }
  // The short time rounds to the minute and carries the date with it.
  EXPECT_EQ(DateTimeText(midnight - 20.0L / 86400, 1, DateStyle{}), "30.01.2012   0h00m");
  EXPECT_EQ(DateTimeText(midnight - 40.0L / 86400, 1, DateStyle{}), "29.01.2012  23h59m");
}

TEST(ClockTexts, ClockAndShortTime) {
  // (9.0841667 + 0.0001) * 3600 = 32703.36 -> 32703 s; Int(9, 2) = " 9".
  EXPECT_EQ(ClockTimeText(9 + 5 / 60.0L + 3 / 3600.0L), " 9:05:03");
  // 23:59:59.6: 86399.6 + 0.36 rounds to 86400 s = 24 h.
  EXPECT_EQ(ClockTimeText(23 + 59 / 60.0L + 59.6L / 3600), "24:00:00");
  // -1 s: -1 + 0.36 rounds to -1 s, raised by a day to 86399 s.
  EXPECT_EQ(ClockTimeText(-1 / 3600.0L), "23:59:59");
  // -3000 h is below -10000000 s and counts as 0.
  EXPECT_EQ(ClockTimeText(-3000), " 0:00:00");
  // 7h05m = 425 min: Int(7, 2) "h" "05" "m"; -0.5 h = -30 min + 1440 min.
  EXPECT_EQ(ShortTimeText(7 + 5 / 60.0L), " 7h05m");
  EXPECT_EQ(ShortTimeText(-0.5L), "23h30m");
}

TEST(ZoneNames, NamedOffsetsAndTDT) {
  EXPECT_EQ(ZoneName(5.5f, 0, false), "UTC+5.5h");  // "UTC+" StrT(5.5, 1, 3) "h"
  EXPECT_EQ(ZoneName(-4.0f, 0, false), "UTC-4h");   // "UTC" StrT(-4, 1, 3) "h"
  EXPECT_EQ(ZoneName(1.0f, 6, false), "MEZ   ");    // blanks up to 6 characters
  EXPECT_EQ(ZoneName(2.0f, 0, false), "MESZ");
  EXPECT_EQ(ZoneName(0.0f, 0, false), "UTC");
  EXPECT_EQ(ZoneName(5.5f, 6, true), "TDT   ");
  EXPECT_EQ(ZoneName(5.5f, 6, false), "UTC+5.5h");  // a longer name is kept whole
}

// A value that is not a number gives "---" in the width of its field.
TEST(NotANumber, PlaceholderKeepsTheColumns) {
  const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
  EXPECT_EQ(HoursAngleText(nan, kSeconds), "        ---");
  EXPECT_EQ(LatitudeText(nan, kSeconds), "         ---");
  EXPECT_EQ(AzimuthElevationText(nan, Deg(123.25L), kSeconds), " 123° 15'       ---");
  EXPECT_EQ(ClockTimeText(nan), "     ---");
  EXPECT_EQ(WeekdayText(nan, 1), "--");
}

}  // namespace
}  // namespace orb
