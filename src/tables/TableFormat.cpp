// SPDX-License-Identifier: AGPL-3.0-or-later
#include "tables/TableFormat.h"

#include <cmath>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "settings/Settings.h"

namespace orb {
namespace {

// Clock times beyond this many seconds, short times beyond this many
// minutes (tens of thousands of years) are not written.
constexpr Extended kMaxTimeCount = 1e12L;
// Clock times below this many seconds count as 0.
constexpr Extended kMinClockSeconds = -10000000.0L;

// Field widths of the formats (characters), for the placeholders.
constexpr int kWeekdayWidth = 2;
constexpr int kDateWidth = 10;
constexpr int kClockWidth = 8;
constexpr int kShortTimeWidth = 6;
constexpr int kHoursAngleWidth = 11;
constexpr int kDegreesAngleWidth = 12;
constexpr int kPlaceAngleWidth = 8;
constexpr int kAzimuthWidth = 9;
constexpr int kElevationWidth = 10;

// The placeholder of a value that is not a number: "---" right-aligned in
// the field, or dashes only when the field is narrower.
std::string Placeholder(int width) {
  if (width <= 3) return std::string(static_cast<std::size_t>(width), '-');
  return std::string(static_cast<std::size_t>(width - 3), ' ') + "---";
}

// Whole part (truncated) of a finite value in the range of the formats.
long long Whole(Extended v) { return static_cast<long long>(std::trunc(v)); }

bool InCalendarRange(Extended jd) { return std::isfinite(jd) && std::fabs(jd) <= kCalendarLimit_jd; }

// Leading blanks of a minutes or seconds field written as "0".
std::string ZeroFilled(std::string s) {
  for (char& c : s) {
    if (c != ' ') break;
    c = '0';
  }
  return s;
}

// Str(v, width, decimals) of minutes or seconds in [0, 60) with leading
// zeros. A value that rounds to 60 is written as 0 and carried into `next`.
std::string SixtiethsField(Extended v, int width, int decimals, long long& next) {
  std::string text = Str(v, width, decimals);
  if (text == Str(60, width, decimals)) {
    text = Str(0, width, decimals);
    ++next;
  }
  return ZeroFilled(text);
}

// Whole minutes or seconds of 60 carried into the next unit.
void Carry(long long& part, long long& next) {
  if (part >= 60) {
    part -= 60;
    ++next;
  }
}

// Whole degrees of v + 0.00001 and the rounded minutes of the rest (place
// angles, azimuth and elevation); v >= 0.
struct DegreesMinutes {
  long long degrees = 0;
  long long minutes = 0;
};
DegreesMinutes RoundedMinutes(Extended v) {
  DegreesMinutes p;
  p.degrees = Whole(v + 0.00001L);
  p.minutes = std::llround((v - p.degrees) * 60);
  Carry(p.minutes, p.degrees);
  return p;
}

// x brought into 0..2pi (-0 becomes 0).
Extended IntoFullTurn(Extended x) {
  x = Modulo(kTwoPi, x);
  if (x < 0) x += kTwoPi;
  return x + 0.0L;
}

// x brought into -pi..pi.
Extended IntoHalfTurns(Extended x) {
  x = Modulo(kTwoPi, x);
  if (x > kPi) x -= kTwoPi;
  if (x < -kPi) x += kTwoPi;
  return x;
}

bool IsSign(const std::string& c) { return c == "+" || c == "-"; }

// Deletes the character at the 1-based position when it is a blank.
std::string DeleteBlankAt(const std::string& s, std::size_t pos) {
  return Utf8At(s, pos) == " " ? Utf8Delete(s, pos, 1) : s;
}

// " " Int(h, 2) "h" Str(minutes, 6, 3) "m" of a in hours.
std::string HoursMinutesText(Extended a) {
  long long hours = Whole(a);
  const std::string minutes = SixtiethsField((a - hours) * 60, 6, 3, hours);
  return " " + IntStr(hours, 2) + "h" + minutes + "m";
}

// Int(h, 2) "h" mm "m" Str(seconds, 4, 1) "s" of a in hours.
std::string HoursMinutesSecondsText(Extended a) {
  long long hours = Whole(a);
  const Extended minutes = (a - hours) * 60;
  long long wholeMinutes = Whole(minutes);
  const std::string seconds = SixtiethsField((minutes - wholeMinutes) * 60, 4, 1, wholeMinutes);
  Carry(wholeMinutes, hours);
  return IntStr(hours, 2) + "h" + TwoDigits(wholeMinutes) + "m" + seconds + "s";
}

// " " sign Int(d, 3) "°" Str(minutes, 5, 2) "'" of v >= 0 in degrees.
std::string DegreesMinutesText(const std::string& sign, Extended v) {
  long long degrees = Whole(v);
  const std::string minutes = SixtiethsField((v - degrees) * 60, 5, 2, degrees);
  return " " + sign + IntStr(degrees, 3) + "°" + minutes + "'";
}

// " " sign Int(d, 3) "°" mm "'" ss the double quote, of v >= 0 in degrees:
// whole minutes truncated after adding 1e-6 minute, seconds rounded.
std::string DegreesMinutesSecondsText(const std::string& sign, Extended v) {
  long long degrees = Whole(v);
  const Extended minutes = (v - degrees) * 60;
  long long wholeMinutes = Whole(minutes + 1e-6L);
  long long seconds = std::llround((minutes - wholeMinutes) * 60);
  Carry(seconds, wholeMinutes);
  Carry(wholeMinutes, degrees);
  return " " + sign + IntStr(degrees, 3) + "°" + TwoDigits(wholeMinutes) + "'" + TwoDigits(seconds) + "\"";
}

// The azimuth part of the azimuth and elevation text, 9 characters.
std::string AzimuthText(Extended a_deg, const AngleStyle& style) {
  if (!std::isfinite(a_deg)) return Placeholder(kAzimuthWidth);
  if (style.noMinutes) return Str(a_deg, 8, 2) + "°";
  const DegreesMinutes p = RoundedMinutes(a_deg);
  return " " + IntStr(p.degrees, 3) + "° " + TwoDigits(p.minutes) + "'";
}

// The elevation part, 10 characters.
std::string ElevationText(Extended e_deg, const AngleStyle& style) {
  if (!std::isfinite(e_deg)) return Placeholder(kElevationWidth);
  const std::string sign = SignChar(e_deg);
  if (style.noMinutes) return "   " + sign + Str(std::fabs(e_deg), 5, 2) + "°";
  const DegreesMinutes p = RoundedMinutes(std::fabs(e_deg));
  return "  " + sign + IntStr(p.degrees, 2) + "° " + TwoDigits(p.minutes) + "'";
}

}  // namespace

AngleStyle AngleStyleOf(const TSettings& s) { return AngleStyle{s.NoMinutes, s.NoSeconds}; }

DateStyle DateStyleOf(const TSettings& s) { return DateStyle{s.NewDateFormat, s.NewDateSep}; }

ZoneInstant ZoneInstantOf(Extended jd, float zone_h) {
  ZoneInstant t;
  const Extended local = ClockDays(jd, zone_h);
  if (!InCalendarRange(local)) return t;
  t.dayJD = std::floor(local);
  t.second = std::llround((24 * (local - t.dayJD) + 0.0001L) * 3600);
  if (t.second >= kWholeSecondsPerDay) {
    t.second -= kWholeSecondsPerDay;
    t.dayJD += 1;
  }
  t.valid = true;
  return t;
}

std::string WeekdayText(const ZoneInstant& t) {
  static const char* const kNames[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
  if (!t.valid) return Placeholder(kWeekdayWidth);
  const long long day = static_cast<long long>(t.dayJD);
  return kNames[((day % 7) + 7) % 7];
}

std::string WeekdayText(Extended jd, float zone_h) { return WeekdayText(ZoneInstantOf(jd, zone_h)); }

std::string DateText(const ZoneInstant& t, const DateStyle& style) {
  if (!t.valid) return Placeholder(kDateWidth);
  const CalendarDate date = JDToCalendar(t.dayJD);
  const std::string day = TwoDigits(Whole(date.day));
  const std::string month = TwoDigits(date.month);
  const std::string year = IntStr(date.year, 4);
  if (style.newFormat) return year + style.separator + month + style.separator + day;
  return day + "." + month + "." + year;
}

std::string DateText(Extended jd, float zone_h, const DateStyle& style) {
  return DateText(ZoneInstantOf(jd, zone_h), style);
}

std::string ClockTimeText(const ZoneInstant& t) {
  if (!t.valid) return Placeholder(kClockWidth);
  return IntStr(t.second / 3600, 2) + ":" + TwoDigits(t.second / 60 % 60) + ":" + TwoDigits(t.second % 60);
}

std::string DateClockText(Extended jd, float zone_h, const DateStyle& style) {
  const ZoneInstant t = ZoneInstantOf(jd, zone_h);
  return DateText(t, style) + " " + ClockTimeText(t);
}

std::string ClockTimeText(Extended hours) {
  const Extended x = (hours + 0.0001L) * 3600;
  if (std::isnan(x) || x > kMaxTimeCount) return Placeholder(kClockWidth);
  long long s = x < kMinClockSeconds ? 0 : std::llround(x);
  if (s < 0) s = (s % kWholeSecondsPerDay + kWholeSecondsPerDay) % kWholeSecondsPerDay;
  return IntStr(s / 3600, 2) + ":" + TwoDigits(s / 60 % 60) + ":" + TwoDigits(s % 60);
}

std::string ShortTimeText(Extended hours) {
  const Extended x = 60 * hours;
  if (!std::isfinite(x) || std::fabs(x) > kMaxTimeCount) return Placeholder(kShortTimeWidth);
  long long m = std::llround(x);
  if (m < 0) m = (m % kWholeMinutesPerDay + kWholeMinutesPerDay) % kWholeMinutesPerDay;
  return IntStr(m / 60, 2) + "h" + TwoDigits(m % 60) + "m";
}

namespace {

// The local day and the minute of it, rounded once (short times).
struct ZoneMinute {
  ZoneInstant day;  // dayJD and validity; second unused
  long long minute = 0;
};
ZoneMinute ZoneMinuteOf(Extended jd, float zone_h) {
  ZoneMinute m;
  const Extended local = MinuteDays(jd, zone_h);
  if (!InCalendarRange(local)) return m;
  m.day.dayJD = std::floor(local);
  m.minute = std::llround(24 * 60 * (local - m.day.dayJD));
  if (m.minute >= kWholeMinutesPerDay) {
    m.minute -= kWholeMinutesPerDay;
    m.day.dayJD += 1;
  }
  m.day.valid = true;
  return m;
}

std::string ShortTimeOf(const ZoneMinute& m) {
  return m.day.valid ? ShortTimeText(m.minute / 60.0L) : Placeholder(kShortTimeWidth);
}

}  // namespace

std::string DateTimeText(Extended jd, float zone_h, const DateStyle& style) {
  const ZoneMinute m = ZoneMinuteOf(jd, zone_h);
  return DateText(m.day, style) + "  " + ShortTimeOf(m);
}

std::string ZoneShortTimeText(Extended jd, float zone_h) { return ShortTimeOf(ZoneMinuteOf(jd, zone_h)); }

std::string ZoneName(float zone_h, int width, bool tdt) {
  std::string name;
  if (tdt) {
    name = "TDT";
  } else if (std::fabs(zone_h) < 0.001f) {
    name = "UTC";
  } else if (std::fabs(zone_h - 1) < 0.001f) {
    name = "MEZ";
  } else if (std::fabs(zone_h - 2) < 0.001f) {
    name = "MESZ";
  } else {
    name = std::string(zone_h > 0 ? "UTC+" : "UTC") + StrT(zone_h, 1, 3) + "h";
  }
  if (width > 0 && name.size() < static_cast<std::size_t>(width)) name.append(width - name.size(), ' ');
  return name;
}

std::string HoursAngleText(Extended x_rad, const AngleStyle& style) {
  Extended a = DegreesOf(x_rad) / 15;
  if (!std::isfinite(a)) return Placeholder(kHoursAngleWidth);
  if (a < 0) a += 24;
  a = std::round(a * 400000) / 400000 + 0.0L;
  if (style.noMinutes) return "  " + Str(a, 8, 5) + "h";
  if (style.noSeconds) return HoursMinutesText(a);
  return HoursMinutesSecondsText(a);
}

std::string DegreesAngleText(Extended x_rad, const AngleStyle& style) {
  const Extended d = DegreesOf(x_rad);
  if (!std::isfinite(d)) return Placeholder(kDegreesAngleWidth);
  const std::string sign = SignChar(d);
  if (style.noMinutes) return "  " + sign + Str(std::fabs(d), 8, 4) + "°";
  const Extended v = std::fabs(d) + 1e-7L;
  if (style.noSeconds) return DegreesMinutesText(sign, v);
  return DegreesMinutesSecondsText(sign, v);
}

std::string LongitudeText(Extended x_rad, const AngleStyle& style) {
  std::string text = DegreesAngleText(IntoFullTurn(x_rad), style);
  const std::size_t plus = text.find('+');
  if (plus != std::string::npos) text[plus] = ' ';
  return text;
}

std::string LatitudeText(Extended x_rad, const AngleStyle& style) {
  const Extended x = IntoHalfTurns(x_rad);
  if (!std::isfinite(x)) return Placeholder(kDegreesAngleWidth);
  std::string text = DegreesAngleText(x, style);
  // Narrow the three-digit degree field to two digits: drop the blank after
  // the sign (or the first blank of a zero), then one before the digits.
  if (IsSign(Utf8At(text, 2)) || DegreesOf(x) == 0) text = DeleteBlankAt(text, 3);
  if (IsSign(Utf8At(text, 3))) text = DeleteBlankAt(text, 4);
  return " " + text;
}

std::string PlaceAngleText(Extended x_rad, const AngleStyle& style) {
  const Extended d = DegreesOf(IntoFullTurn(x_rad));
  if (!std::isfinite(d)) return Placeholder(kPlaceAngleWidth);
  if (style.noMinutes) return Str(d, 7, 2) + "°";
  const DegreesMinutes p = RoundedMinutes(std::fabs(d));
  return " " + IntStr(p.degrees, 3) + "°" + TwoDigits(p.minutes) + "'";
}

std::string AzimuthElevationText(Extended elevation_rad, Extended azimuth_rad, const AngleStyle& style) {
  Extended a = DegreesOf(azimuth_rad);
  while (a < 0) a += 360;
  Extended e = DegreesOf(elevation_rad);
  while (e > 180) e -= 360;
  return AzimuthText(a + 0.0L, style) + ElevationText(e, style);
}

Extended DegreesOf(Extended x_rad) { return RadToDeg(x_rad); }

std::string SignChar(Extended v) {
  if (v > 0) return "+";
  if (v < 0) return "-";
  return " ";
}

}  // namespace orb
