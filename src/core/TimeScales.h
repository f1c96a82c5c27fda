// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Time scales, calendar and Julian date. Every instant of the program is a
// Julian date (JD) in extended precision, held in Universal Time; the engine
// is called with Terrestrial Time = UT + deltaT. Calendar dates use the
// Julian calendar up to 1582 October 4 and the Gregorian calendar from 1582
// October 15, with astronomical year numbering (year 0 is 1 BC).

#include <cstdint>
#include <string>

#include "core/NumKernel.h"

namespace orb {

// A calendar date; the fraction of `day` is the time of day.
struct CalendarDate {
  int32_t year = 0;   // astronomical numbering
  int32_t month = 1;  // 1..12
  Extended day = 1;   // 1.0 .. 32.0 (fraction = time of day)
};

// Calendar date (Julian before 1582 October 15, Gregorian from then on) to JD.
// Meeus, Astronomical Algorithms, chapter 7, with the reform tested on
// year + month/100 + day/10000 >= 1582.1015.
Extended CalendarToJD(int32_t year, int32_t month, Extended day);

// JD to calendar date. An instant less than 0.864 s before midnight belongs
// to the next day (Z = Int(JD + 0.50001)) and starts it at 0h; otherwise the
// time of day is Frac(JD + 0.500001), 0.0864 s late, so that a whole second
// never shows as the second before. Valid for every JD, also before -4712
// January 1.5 (day number and fraction are taken with the floor). Beyond
// kCalendarLimit_jd (some 2.7 million years) there is no calendar date: the
// year saturates (January 1 of the largest or smallest 32-bit year; year 0
// for a value that is not a number).
CalendarDate JDToCalendar(Extended jd);

// Instants are read with a small lead, so that an instant computed a hair
// before a whole day, second or minute (the rounding of a sum of steps, of a
// conversion) shows that day, second or minute rather than the one before.

// The civil day number (the Julian date of the day's noon, an integer) of
// `jd` in UT, or in zone time with `zone_h`: an instant less than 0.864 s
// (kMidnightTolerance_days) before midnight counts to the next day.
Extended DayNumber(Extended jd, float zone_h = 0);
// The UT instant (JD) at which the zone day of `jd` begins (its midnight in
// zone time), under the same rule.
Extended ZoneMidnight(Extended jd, float zone_h);
// The local day count of `jd` as the clock columns read it:
// jd + zone/24.000001 + 0.500001. Its integer part is the day number, its
// fraction the time of day, read 0.0864 s ahead.
Extended ClockDays(Extended jd, float zone_h);
// The same for times shown to the minute, read 1.7 s ahead:
// jd + zone/24.0001 + 0.50002.
Extended MinuteDays(Extended jd, float zone_h);

// Centuries since J2000 and back.
Extended JulianCenturies(Extended jd);
Extended JDFromCenturies(Extended t);

// MJD of a calendar date and an hour of the day (the eclipse code's pair).
Extended CalendarToMJD(int32_t year, int32_t month, int32_t day, Extended hour);
// Calendar date of an MJD: whole day, month, year and the hours of the day.
struct MJDCalendar {
  int32_t year = 0, month = 1, day = 1;
  Extended hour = 0;
};
MJDCalendar MJDToCalendar(Extended mjd);

// Day of the week of JD in the zone `zone_h` (hours east): 0 = Monday ... 6 =
// Sunday; 0 for a JD without a calendar date (beyond kCalendarLimit_jd).
int DayOfWeek(Extended jd, float zone_h);

// DeltaT = TT - UT by the polynomial expressions of Espenak and Meeus
// (Five Millennium Canon of Solar Eclipses, NASA/TP-2006-214141).
struct DeltaTValue {
  float days = 0;      // deltaT in days (seconds / 86400), single precision
  bool valid = false;  // true for -500 < y < 2050, the range of the expressions' data
};
DeltaTValue DeltaT(Extended jd, bool tdt);
// The same in seconds, for the decimal year y (used by the tests and the
// eclipse code's question).
double DeltaTSeconds(float year);

// Automatic summer time: sets `zone_h` to baseZone_h + 1 from the last Sunday
// of March 02:00 zone time to the last Sunday of October (September up to
// 1995) 02:00, else to baseZone_h; "zone time" is the base zone. The last
// Sunday is found from the days until the next Sunday 02:00, also when it
// falls on the last day of the month. An instant without a calendar date
// (not a number, beyond kCalendarLimit_jd) has none: the base zone. Returns
// whether the zone changed by more than 0.1 h.
bool SummerTime(float& zone_h, float baseZone_h, Extended jd);

// The current instant as a JD in UT, from the UTC system clock to the
// millisecond (independent of the computer's own time zone).
Extended CurrentJD();
// The JD in UT of a local clock reading (milliseconds precision) in the zone
// `zone_h`.
Extended ClockToJD(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                   int32_t second, int32_t millisecond, float zone_h);

// Local sidereal time for the tables, hours (single precision), for the
// longitude `lonEast_deg` (east positive): a linear expression with the
// epoch 1978 December 31, 0h UT. It runs 0.6 s to 0.9 s of time ahead of the
// IAU 1982 mean sidereal time (Meeus 12.4) from 1950 to 2050; 0.864 s of
// that is the 0.00001-day offset of its day fraction. Uses Modulo, so values
// before 1979 may be negative; the table formatting brings them into range.
float LocalSiderealTime(Extended lonEast_deg, Extended jd);
// Hour angle (radians) of right ascension `ra_rad` at JD for `lonEast_deg`.
Extended HourAngle(Extended lonEast_deg, Extended jd, Extended ra_rad);

// Local mean sidereal time for the rise/set search, hours in [0, 24), for the
// longitude `lonWest_deg` (west positive) and the MJD in UT; the IAU 1982
// expression as Montenbruck & Pfleger give it (Astronomy on the Personal
// Computer, LMST).
Extended LocalMeanSiderealTime(Extended lonWest_deg, Extended mjd);

// Hints of the date dialog for early dates: "Julian. Kalender bis
// 04.10.1582" before JD 2299160.9, "Gregorian. Kal. nach 15.10.1582" from
// then on; and for a year <= 0 "Astron. Jahr y ist (1 - y) v. Chr." (empty
// for later years).
std::string CalendarHint(Extended jd);
std::string AstronomicalYearHint(int32_t year);

}  // namespace orb
