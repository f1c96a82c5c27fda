// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/TimeScales.h"

#include <chrono>
#include <cstdint>
#include <cmath>
#include <initializer_list>
#include <iterator>

namespace orb {

namespace {

// Truncation toward zero, the Int of the calendar algorithms.
Extended Int(Extended x) { return std::trunc(x); }

// The Int of the JD-to-calendar split, taken as the floor. Both agree for
// every JD >= -0.5, the range of the published algorithm; the floor keeps
// the split right before -4712 January 1.5 as well (the 4-year cycle of the
// Julian calendar then continues backwards), where truncation gives day 0,
// negative months and dates a year off.
Extended Floor(Extended x) { return std::floor(x); }

// First day of the Gregorian calendar, 1582 October 15, as
// year * 10000 + month * 100 + day. Scaling the reform test
// year + month/100 + day/10000 >= 1582.1015 by 10000 keeps it exact in
// binary floating point: 1582.1015 is not representable, and in extended
// precision the unscaled sum for October 15.0 falls just below it, which
// would put that day into the Julian calendar.
constexpr Extended kGregorianStart = 15821015.0L;

// Last day of the Julian calendar for the MJD pair, as
// year * 10000 + month * 100 + day (Montenbruck & Pfleger, MJD).
constexpr Extended kJulianEnd = 15821004.1L;

// First JD day number (JD + 0.5, truncated) of the Gregorian calendar.
constexpr Extended kGregorianFirstDayNumber = 2299161.0L;

// Unix epoch 1970 January 1, 0h UTC, as a JD.
constexpr Extended kUnixEpochJD = 2440587.5L;

// Whole days, month and year of the JD day number z (the day that begins at
// JD z - 0.5), Meeus chapter 7; `fraction` is added to the day.
CalendarDate SplitDayNumber(Extended z, Extended fraction) {
  Extended a = z + 1524;
  if (z >= kGregorianFirstDayNumber) {
    const Extended alpha = Int((z - 1867216.25L) / 36524.25L);
    a = z + alpha - Int(alpha / 4) + 1525;
  }
  const Extended c = Floor((a - 122.1L) / 365.25L);
  const Extended d = Floor(365.25L * c);
  const Extended e = Int((a - d) / 30.6001L);

  CalendarDate date;
  date.day = a - d - Int(30.6001L * e) + fraction;
  date.month = static_cast<int32_t>(e - 1 - 12 * Int(e / 14));
  date.year = static_cast<int32_t>(c - 4715 - Int((date.month + 7) / 10.0L));
  return date;
}

// Horner evaluation of c[0] + c[1] t + c[2] t^2 + ...
double Polynomial(double t, std::initializer_list<double> coefficients) {
  double sum = 0;
  for (auto c = std::rbegin(coefficients); c != std::rend(coefficients); ++c) sum = sum * t + *c;
  return sum;
}

// The long-term parabola of Morrison & Stephenson (2004), seconds.
double LongTermParabola(double year) {
  const double u = (year - 1820) / 100;
  return -20 + 32 * u * u;
}

// Decimal year of a JD as the ΔT expressions take it, single precision.
float DecimalYear(Extended jd) { return static_cast<float>(jd / 365.2425L - 4712.0991L); }

// Fractional part in [0, 1).
Extended FracPositive(Extended x) { return x - std::floor(x); }

// Weekday 0 (Monday) .. 6 (Sunday) of the day that begins at JD n - 0.5;
// JD day number 0 (-4712 January 1) is a Monday.
int WeekdayOfDayNumber(long long n) {
  const long long weekday = n % 7;
  return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

}  // namespace

Extended CalendarToJD(int32_t year, int32_t month, Extended day) {
  Extended y = year;
  Extended m = month;
  if (month <= 2) {
    y -= 1;
    m += 12;
  }
  Extended b = -2;  // Julian calendar
  if (y * 10000 + m * 100 + day >= kGregorianStart) b = Int(y / 400) - Int(y / 100);
  const Extended yearDays = y > 0 ? Int(365.25L * y) : Int(365.25L * y - 0.75L);
  return yearDays + Int(30.6001L * (m + 1)) + b + day + 1720996.5L;
}

Extended DayNumber(Extended jd, float zone_h) {
  return Floor(jd + static_cast<Extended>(zone_h) / 24 + 0.5L + kMidnightTolerance_days);
}

Extended ZoneMidnight(Extended jd, float zone_h) {
  return DayNumber(jd, zone_h) - 0.5L - static_cast<Extended>(zone_h) / 24;
}

Extended ClockDays(Extended jd, float zone_h) { return jd + zone_h / 24.000001L + 0.500001L; }

Extended MinuteDays(Extended jd, float zone_h) { return jd + zone_h / 24.0001L + 0.50002L; }

CalendarDate JDToCalendar(Extended jd) {
  // No calendar date: the first day of a saturated year (year 0 for a value
  // that is not a number).
  if (!(std::fabs(jd) <= kCalendarLimit_jd)) {
    CalendarDate none;
    if (jd > 0) none.year = INT32_MAX;
    if (jd < 0) none.year = INT32_MIN;
    return none;
  }
  const Extended z = DayNumber(jd);
  const Extended shifted = ClockDays(jd, 0);
  // An instant just before midnight that was moved to the next day starts
  // that day at 0h.
  const Extended fraction = Floor(shifted) == z ? shifted - z : 0;
  return SplitDayNumber(z, fraction);
}

Extended JulianCenturies(Extended jd) { return (jd - kJ2000) / 36525; }

Extended JDFromCenturies(Extended t) { return 36525 * t + kJ2000; }

Extended CalendarToMJD(int32_t year, int32_t month, int32_t day, Extended hour) {
  Extended y = year;
  Extended m = month;
  if (month <= 2) {
    y -= 1;
    m += 12;
  }
  Extended b = 0;
  if (y * 10000 + m * 100 + day <= kJulianEnd) {
    b = Floor((y + 4716) / 4) - 1181;
  } else {
    b = Int(y / 400) - Int(y / 100) + Int(y / 4);
  }
  return 365 * y - 679004 + b + Int(30.6001L * (m + 1)) + day + hour / 24;
}

MJDCalendar MJDToCalendar(Extended mjd) {
  const Extended x = mjd + 2400000.5L + 0.5L;
  const Extended z = Floor(x);
  const CalendarDate date = SplitDayNumber(z, 0);
  MJDCalendar result;
  result.year = date.year;
  result.month = date.month;
  result.day = static_cast<int32_t>(date.day);
  result.hour = (x - z) * 24;
  return result;
}

int DayOfWeek(Extended jd, float zone_h) {
  // Rounding to the nearest whole JD gives the day number; a JD before the
  // epoch still names a weekday 0..6.
  const Extended day = std::round(jd + static_cast<Extended>(zone_h) / 24 + 0.000001L);
  if (!(std::fabs(day) <= kCalendarLimit_jd)) return 0;
  return WeekdayOfDayNumber(static_cast<long long>(day));
}

double DeltaTSeconds(float year) {
  const double y = year;
  if (y < -500) return LongTermParabola(y);
  if (y < 500) {
    return Polynomial(y / 100, {10583.6, -1014.41, 33.78311, -5.952053, -0.1798452, 0.022174192,
                                0.0090316521});
  }
  if (y < 1600) {
    return Polynomial((y - 1000) / 100, {1574.2, -556.01, 71.23472, 0.319781, -0.8503463,
                                         -0.005050998, 0.0083572073});
  }
  if (y < 1700) return Polynomial(y - 1600, {120, -0.9808, -0.01532, 1.0 / 7129});
  if (y < 1800) {
    return Polynomial(y - 1700, {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000});
  }
  if (y < 1860) {
    return Polynomial(y - 1800, {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436, 0.0000121272,
                                 -0.0000001699, 0.000000000875});
  }
  if (y < 1900) {
    return Polynomial(y - 1860,
                      {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1.0 / 233174});
  }
  if (y < 1920) {
    return Polynomial(y - 1900, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
  }
  if (y < 1941) return Polynomial(y - 1920, {21.20, 0.84493, -0.076100, 0.0020936});
  if (y < 1961) return Polynomial(y - 1950, {29.07, 0.407, -1.0 / 233, 1.0 / 2547});
  if (y < 1986) return Polynomial(y - 1975, {45.45, 1.067, -1.0 / 260, -1.0 / 718});
  if (y < 2005) {
    return Polynomial(y - 2000,
                      {63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599});
  }
  if (y < 2050) return Polynomial(y - 2000, {62.92, 0.32217, 0.005589});
  if (y < 2150) return LongTermParabola(y) - 0.5628 * (2150 - y);
  return LongTermParabola(y);
}

DeltaTValue DeltaT(Extended jd, bool tdt) {
  DeltaTValue result;
  if (tdt) {
    result.days = 0;
    result.valid = true;
    return result;
  }
  const float year = DecimalYear(jd);
  result.days = static_cast<float>(DeltaTSeconds(year) / 86400);
  result.valid = year > -500 && year < 2050;
  return result;
}

bool SummerTime(float& zone_h, float baseZone_h, Extended jd) {
  const Extended local = jd + static_cast<Extended>(baseZone_h) / 24;
  // An instant without a calendar date has no summer time.
  if (!(std::fabs(local) <= kCalendarLimit_jd)) {
    const float oldZone_h = zone_h;
    zone_h = baseZone_h;
    return std::fabs(oldZone_h - zone_h) > 0.1f;
  }
  const CalendarDate date = JDToCalendar(local);
  // The weekday of the same day that JDToCalendar names (an instant less
  // than 0.864 s before midnight already counts to the next day there).
  const int weekday = WeekdayOfDayNumber(static_cast<long long>(DayNumber(local)));

  // Days from now to the next Sunday 02:00 zone time (0 = Monday).
  Extended untilSunday = 6.0833333333L - (Frac(date.day) + weekday);
  if (untilSunday < 0) untilSunday += 7;

  // The next Sunday 02:00 as 100 * month + day counted on from the current
  // month (April 1 is "332"); its day number is always whole + 02:00, so
  // half-day marks separate the months cleanly. Summer time holds from the
  // last Sunday of March 02:00 (the next Sunday then lies in April) to the
  // last Sunday of October, up to 1995 of September, 02:00 (the next Sunday
  // then still lies in that month).
  const Extended nextSunday = 100 * date.month + date.day + untilSunday;
  const Extended endMark = date.year > 1995 ? 1031.5L : 930.5L;
  const bool summer = nextSunday > 331.5L && nextSunday < endMark;

  const float oldZone_h = zone_h;
  zone_h = summer ? baseZone_h + 1 : baseZone_h;
  return std::fabs(oldZone_h - zone_h) > 0.1f;
}

Extended CurrentJD() {
  using namespace std::chrono;
  const auto now_ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return kUnixEpochJD + static_cast<Extended>(now_ms) / 86400000;
}

Extended ClockToJD(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                   int32_t second, int32_t millisecond, float zone_h) {
  const Extended dayWithTime = day + (hour - static_cast<Extended>(zone_h)) / 24 +
                               static_cast<Extended>(minute) / 1440 +
                               (second + static_cast<Extended>(millisecond) / 1000) / 86400;
  return CalendarToJD(year, month, dayWithTime);
}

float LocalSiderealTime(Extended lonEast_deg, Extended jd) {
  // The hours of the day with the day's lead (0.86 s of time ahead).
  const Extended hours = Frac(jd + 0.5L + kMidnightTolerance_days) * 24 + (jd - 2443873.5L) * 0.06570982237L +
                         6.604441111L + lonEast_deg / 15;
  return static_cast<float>(Modulo(24, hours));
}

Extended HourAngle(Extended lonEast_deg, Extended jd, Extended ra_rad) {
  const Extended lst_h = LocalSiderealTime(lonEast_deg, jd);
  return Modulo(kTwoPi, lst_h * kPi / 12 - ra_rad);
}

Extended LocalMeanSiderealTime(Extended lonWest_deg, Extended mjd) {
  const Extended mjd0 = Int(mjd);
  const Extended t0 = (mjd0 - 51544.5L) / 36525;
  const Extended gmst_h = 6.697374558L + 1.0027379093L * 24 * (mjd - mjd0) +
                          (8640184.812866L + (0.093104L - 0.0000062L * t0) * t0) * t0 / 3600;
  return 24 * FracPositive((gmst_h - lonWest_deg / 15) / 24);
}

std::string CalendarHint(Extended jd) {
  if (jd < 2299160.9L) return "Julian. Kalender bis 04.10.1582";
  return "Gregorian. Kal. nach 15.10.1582";
}

std::string AstronomicalYearHint(int32_t year) {
  if (year > 0) return "";
  return "Astron. Jahr " + std::to_string(year) + " ist " +
         std::to_string(1 - static_cast<int64_t>(year)) + " v. Chr.";
}

}  // namespace orb
