// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The physical and astronomical constants and unit conversions of the
// program, in one place. Values are those of the published methods the
// program follows; where a method prints a constant rounded or truncated,
// the rounded value is kept on purpose (so that results agree with the
// method's worked examples) and its name and comment say so.

#include <cstdint>

namespace orb {

// Extended precision: long double (a 64-bit mantissa on x86-64).
using Extended = long double;

// ---- time ----

inline constexpr Extended kJ2000 = 2451545.0L;      // JD of J2000.0
inline constexpr Extended kMJDOffset = 2400000.5L;  // JD - MJD
inline constexpr int32_t kWholeMinutesPerDay = 1440;
inline constexpr int32_t kWholeSecondsPerDay = 86400;
inline constexpr Extended kHoursPerDay = 24;
inline constexpr Extended kMinutesPerDay = kWholeMinutesPerDay;
inline constexpr Extended kSecondsPerDay = kWholeSecondsPerDay;
inline constexpr Extended kDaysPerCentury = 36525;  // Julian century
inline constexpr Extended kSecondsPerCentury = kSecondsPerDay * kDaysPerCentury;  // 3.15576e9
inline constexpr Extended kMinutesPerCentury = kMinutesPerDay * kDaysPerCentury;

// An instant computed a hair before midnight (or before a whole second or
// minute) belongs to the next day, second or minute: 0.00001 day (0.864 s)
// added before the day number of an instant is taken.
inline constexpr Extended kMidnightTolerance_days = 0.00001L;

// ---- angles ----

inline constexpr Extended kPi = 3.141592653589793238462643383279502884L;
inline constexpr Extended kTwoPi = 2 * kPi;
// One degree in radians as the kernel's degree routines (SinD, CosD, ...)
// use it: the 16-digit value of their published source; the kernel's
// results agree with its examples to the last digit.
inline constexpr Extended kDegree = 0.0174532925199433L;
inline constexpr Extended kRadToDeg = 180 / kPi;
inline constexpr Extended kDegToRad = kPi / 180;
inline constexpr Extended kArcsecToRad = kPi / 648000;

// pi and one degree as the local eclipse circumstances write them (Meeus'
// obscuration formula with 3.14159265359 and 0.017453292519944444444): the
// obscuration agrees to the last printed digit with the method's examples.
inline constexpr Extended kObscurationPi = 3.14159265359L;
inline constexpr Extended kObscurationDegree = 0.017453292519944444444L;
// pi of the Chebyshev node formula as Montenbruck & Pfleger print it
// (3.1415926535898): the fitted coefficients are theirs to the last digit.
inline constexpr Extended kChebyshevPi = 3.1415926535898L;

// Arcseconds per radian as the published series write it (206264.8062;
// the exact value is 206264.80625).
inline constexpr Extended kArcsecPerRadSeries = 206264.8062L;

// ---- the Sun, the Moon and the planets ----

// The Gaussian gravitational constant (radians per day).
inline constexpr Extended kGaussK = 0.01720209895L;
// The mean synodic month (days).
inline constexpr Extended kSynodicMonth_days = 29.530588861L;

// ---- distances ----

// Millimetres per inch (pictures and printing).
inline constexpr double kMmPerInch = 25.4;
// Julian dates farther from 0 than this (some 2.7 million years) have no
// calendar date with a 32-bit year; no input takes them.
inline constexpr Extended kCalendarLimit_jd = 1e9L;

// The astronomical unit (km), IAU 1976, as the eclipse and table methods use it.
inline constexpr Extended kAu_km = 149597870.691L;
// The Earth's mean radius (km): the mean of the equatorial radius 6378.14 km
// and the polar radius 6356.75 km, for horizontal parallaxes and the
// Earth's shadow.
inline constexpr Extended kEarthRadius_km = 6367.44465L;
// The Earth's equatorial radius (km), IERS 2003 / WGS84: the Moon's distance
// in Earth radii of the fits.
inline constexpr Extended kEarthEquatorialRadius_km = 6378.137L;
// Equatorial Earth radii (6378.14 km) per astronomical unit, for the
// Besselian elements.
inline constexpr Extended kEarthRadiiPerAu = 23454.77992L;
// The same rounded to 23454.78, as the published central-line method
// prints it (the difference, 3e-10, moves the line by micrometres).
inline constexpr Extended kEarthRadiiPerAuCentralLine = 23454.78L;
// Light time for one astronomical unit (days): 499.004784 s, IAU 1976.
inline constexpr Extended kLightTimePerAu_days = 0.00577551831L;
// The same rounded to 0.005776 as the physical ephemeris method writes it
// (Meeus, Astronomical Algorithms, chapter 43): 0.2 s per AU, far below its
// arcsecond accuracy.
inline constexpr Extended kLightTimePerAuRounded_days = 0.005776L;

}  // namespace orb
