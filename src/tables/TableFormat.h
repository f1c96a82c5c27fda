// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The formatting routines of the tables and listings: weekdays, dates,
// clock times, short times, zone names and angles, with the exact field
// widths of the program's tables. Notation in the comments: Str(x, w, d)
// fixed point with d decimals right-aligned in w characters, StrT the same
// without trailing zeros, Int(n, w) an integer in w characters
// (core/NumText.h); deg(x) = 360 * Frac(x / 2pi), the degrees of an angle.
//
// No routine can fail. Angles are brought into range by whole turns,
// negative times by whole days. A value that is not a number (or a Julian
// date without a calendar date, |JD| > 1e9) gives the placeholder "---",
// right-aligned in the width of the field, so a row keeps its columns.
// Minutes or seconds that round to 60 are carried into the next unit
// (12h05m00.0s, never 12h04m60.0s); a value that rounds up to a full turn
// is shown as the full turn (24h00m00.0s, 360°00'00"), in every style alike.

#include <string>

#include "core/NumKernel.h"

namespace orb {

struct TSettings;

// How angles are written: decimal degrees (noMinutes), degrees and decimal
// minutes (noSeconds), or degrees, minutes and seconds. noMinutes wins when
// both are set.
struct AngleStyle {
  bool noMinutes = false;
  bool noSeconds = false;
};
// The style of the settings' NoMinutes and NoSeconds.
AngleStyle AngleStyleOf(const TSettings& s);

// How dates are written: day.month.year, or year-month-day with `separator`.
struct DateStyle {
  bool newFormat = false;
  std::string separator = "-";
};
// The style of the settings' NewDateFormat and NewDateSep.
DateStyle DateStyleOf(const TSettings& s);

// An instant in a zone as one row of a listing shows it, rounded once: the
// local calendar day (the Julian date of its noon, an integer) and the whole
// second of that day. The second is the rounding of the clock time, the
// nearest integer to (24 * Frac(jd + zone/24.000001 + 0.500001) + 0.0001) *
// 3600; a second that rounds up to 86400 moves the day on. Weekday, date and
// clock time taken from one ZoneInstant always agree: 23:59:59.7 is
// 00:00:00 of the next day, never 24:00:00 beside the old date.
// `valid` is false for a value that is not a number or lies farther than
// about 2.7 million years from JD 0 (the texts are then placeholders).
struct ZoneInstant {
  Extended dayJD = 0;     // Julian date of the local day's noon
  long long second = 0;   // 0 .. 86399
  bool valid = false;
};
ZoneInstant ZoneInstantOf(Extended jd, float zone_h);

// Two-letter weekday "Mo" "Di" "Mi" "Do" "Fr" "Sa" "So" of the local day
// (0 = Monday for the day number mod 7). 2 characters ("--" for an invalid
// instant).
std::string WeekdayText(const ZoneInstant& t);
std::string WeekdayText(Extended jd, float zone_h);

// Calendar date of the local day (Julian calendar before the reform):
// "29.01.2012" or, with the new format, "2012-01-29"; day and month two
// digits, year Int(year, 4) ("12.07.-1000"). 10 characters for years
// 0..9999.
std::string DateText(const ZoneInstant& t, const DateStyle& style);
std::string DateText(Extended jd, float zone_h, const DateStyle& style);

// Clock time of the local second: Int(h, 2) ":" mm ":" ss, " 9:05:03".
// 8 characters.
std::string ClockTimeText(const ZoneInstant& t);

// Date, a blank and clock time of one rounded instant: "29.01.2012 13:00:00".
std::string DateClockText(Extended jd, float zone_h, const DateStyle& style);

// Clock time of `hours` (a duration or an hour of the day times 24): the
// whole seconds s = nearest integer to (hours + 0.0001) * 3600 (below
// -10000000 counts as 0), brought into the day by whole days while
// negative; Int(h, 2) ":" mm ":" ss, " 9:05:03". 8 characters; values of
// 24 h and more keep their hours.
std::string ClockTimeText(Extended hours);

// Short time of `hours`: minutes = nearest integer to 60 * hours (negative
// times raised by whole days), Int(h, 2) "h" mm "m", " 7h05m". 6 characters;
// 23h59m40s reads "24h00m".
std::string ShortTimeText(Extended hours);

// Date, two blanks, then the short time of the instant rounded once to the
// minute (the minute of 24 * Frac(jd + zone/24.0001 + 0.50002)); a minute
// that rounds up to midnight belongs to the next day: "29.01.2012  13h00m",
// "30.01.2012   0h00m".
std::string DateTimeText(Extended jd, float zone_h, const DateStyle& style);

// The short time of the same rounded minute ("13h00m"), for a header that
// shows the time without the date.
std::string ZoneShortTimeText(Extended jd, float zone_h);

// Zone name: "TDT" with `tdt`; else "UTC" (|z| < 0.001), "MEZ" (|z - 1| <
// 0.001), "MESZ" (|z - 2| < 0.001), otherwise "UTC+" StrT(z, 1, 3) "h" east
// and "UTC" StrT(z, 1, 3) "h" west ("UTC+5.5h", "UTC-4h"); blanks appended
// up to `width` characters (a longer name is kept whole).
std::string ZoneName(float zone_h, int width, bool tdt);

// Hours angle of x (radians), 11 characters: a = deg(x)/15 in 0..24,
// rounded to 1/400000 h. noMinutes "  12.50000h", noSeconds " 12h30.000m",
// otherwise "12h30m00.0s" (hours blank-padded, minutes and seconds with
// leading zeros).
std::string HoursAngleText(Extended x_rad, const AngleStyle& style);

// Degrees angle of x (radians), 12 characters, with the sign character
// before the three-digit degree field: noMinutes "  +" Str(|d|, 8, 4) "°";
// noSeconds " + 12°05.12'"; otherwise " + 12°05'07"" (1e-7 degree added to
// |d| before the split, whole minutes truncated after adding 1e-6 minute,
// seconds rounded). -0°30' keeps its minus sign: " -  0°30'00"".
std::string DegreesAngleText(Extended x_rad, const AngleStyle& style);

// Longitude: x brought into 0..2pi, then the degrees angle with the "+"
// written as a blank: "  187°30'00"". 12 characters.
std::string LongitudeText(Extended x_rad, const AngleStyle& style);

// Latitude: x brought into -pi..pi, then the degrees angle narrowed to a
// two-digit degree field and a blank put in front: "  +51°44'00"",
// "  - 0°30'00"", "    0°00'00"". 12 characters for |latitude| < 100°; a
// larger value keeps all its digits.
std::string LatitudeText(Extended x_rad, const AngleStyle& style);

// Place angle: x brought into 0..2pi; noMinutes Str(d, 7, 2) "°", otherwise
// " " Int(whole degrees of d + 0.00001, 3) "°" rounded minutes "'": "  51°44'".
// 8 characters. NoSeconds does not apply.
std::string PlaceAngleText(Extended x_rad, const AngleStyle& style);

// Azimuth (brought into 0..360°) and elevation (into -180..180°), both in
// radians: " 123° 15'  - 5° 30'" or, noMinutes, "  123.25°   - 5.50°".
// The elevation part is always the last 10 characters; the azimuth part
// takes 9.
std::string AzimuthElevationText(Extended elevation_rad, Extended azimuth_rad, const AngleStyle& style);

// The degrees of an angle: the fractional part of x/2pi times 360 (negative
// angles give negative degrees, in (-360, 360)).
Extended DegreesOf(Extended x_rad);

// The sign character of a value: "+" for v > 0, "-" for v < 0, " " for 0.
std::string SignChar(Extended v);

}  // namespace orb
