// SPDX-License-Identifier: AGPL-3.0-or-later
// Every column of every body against an independent computation: Swiss
// Ephemeris' positions, phenomena, sidereal time and rise/transit function.
// Positions are compared as the row computes them; the other columns as
// the text shows them (";"-separated), within what their method and their
// text resolution allow.
#include <gtest/gtest.h>
#include <swephexp.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "engine/Frames.h"
#include "engine/PlanetaryTheory.h"
#include "support/ScriptedHost.h"
#include "tables/TableDriver.h"

namespace orb {
namespace {

using test::ScriptedHost;

constexpr double kDeg = M_PI / 180;
constexpr double kArcsec = kDeg / 3600;
constexpr int kSwissBody[] = {SE_SUN,     SE_MOON,   SE_MERCURY, SE_VENUS,   SE_MARS,
                              SE_JUPITER, SE_SATURN, SE_URANUS,  SE_NEPTUNE, SE_PLUTO};  // kinds -1 .. 8

int32 SwissFlags(const TSettings& s) {
  int32 f = SEFLG_SWIEPH;
  if (!s.Lichtlaufzeit) f |= SEFLG_TRUEPOS;
  if (!s.Aberration) f |= SEFLG_NOABERR | SEFLG_NOGDEFL;
  if (!s.Nutation) f |= SEFLG_NONUT;
  return f;
}

struct Place3 {
  double lon, lat, dist;
};
Place3 Swiss(double jd_tt, int ipl, int32 flags) {
  theory::_planetinfo(2451545.0, 1000, 1, 1, 1, 1);  // the adapter sets the ephemeris folder
  double x[6];
  char serr[AS_MAXCH];
  swe_calc(jd_tt, ipl, flags | SEFLG_RADIANS, x, serr);
  return {x[0], x[1], x[2]};
}

double AngleDiff(double a, double b) { return std::remainder(a - b, 2 * M_PI); }

TSettings At(int32_t kind, Extended jd) {
  TSettings s;
  NormaliseSettings(s, 2461000.5L);
  s.Objekt = kind;
  if (kind >= 1) s.PlanetNr = kind;
  s.Startdat = jd;
  return s;
}

// The row of the settings' start instant.
TableRow RowAtStart(const TSettings& s) { return ComputeRow(s, s.Startdat, DeltaT(s.Startdat, false).days); }

TEST(TableColumns, PlacesOfDateMatchSwissWithTheSameSwitches) {
  // With the equinox of the date the right ascension and declination are
  // the theory's places with the three switches: 0.01 s and 0.1" (they agree
  // to 1e-9 rad); with the equinox 2000 they are those places carried to JD
  // 2451544.533 by the frames module's precession.
  double worstRa_s = 0, worstDec_arcsec = 0;
  for (int32_t kind = kSun; kind <= kPluto; ++kind) {
    for (Extended jd : {2415020.5L, 2455956.0L, 2488070.5L}) {
      for (int sw = 0; sw < 8; ++sw) {
        TSettings s = At(kind, jd);
        s.Lichtlaufzeit = sw & 1, s.Aberration = sw & 2, s.Nutation = sw & 4;
        s.AequinTag = true;
        const TableRow row = RowAtStart(s);
        const double tt = static_cast<double>(jd + DeltaT(jd, false).days);
        const Place3 ref = Swiss(tt, kSwissBody[kind + 1], SwissFlags(s) | SEFLG_EQUATORIAL);
        const double raErr_s = std::fabs(AngleDiff(row.raOut, ref.lon)) / (15 * kArcsec);
        const double decErr = std::fabs(static_cast<double>(row.decOut) - ref.lat) / kArcsec;
        if (!(s.Aberration && !s.Lichtlaufzeit)) {  // that combination has no single Swiss flag set
          worstRa_s = std::max(worstRa_s, raErr_s);
          worstDec_arcsec = std::max(worstDec_arcsec, decErr);
        }
        s.AequinTag = false;
        const TableRow row2000 = RowAtStart(s);
        Extended ra = row.raOut, dec = row.decOut;
        PrecessEquatorial(ra, dec, 2451544.533L, jd);
        EXPECT_NEAR(AngleDiff(row2000.raOut, ra), 0, 1e-12);
        EXPECT_NEAR(static_cast<double>(row2000.decOut - dec), 0, 1e-12);
      }
    }
  }
  std::printf("places of date: largest deviation %.2g s, %.2g\"\n", worstRa_s, worstDec_arcsec);
  EXPECT_LT(worstRa_s, 0.01);
  EXPECT_LT(worstDec_arcsec, 0.1);
}

// The cells of a row split at the separator ";".
std::vector<std::string> Cells(const std::string& row) {
  std::vector<std::string> cells;
  std::stringstream in(row);
  std::string cell;
  while (std::getline(in, cell, ';')) cells.push_back(cell);
  return cells;
}

// Angle texts of the default style: "12h05m07.4s", " +12°05'07"", "  5°30'".
double HoursText(const std::string& t) {
  int h = 0, m = 0;
  double sec = 0;
  std::sscanf(t.c_str(), " %dh%dm%lfs", &h, &m, &sec);
  return h + m / 60.0 + sec / 3600;
}
double DegreesText(const std::string& t) {
  const std::size_t minus = t.find('-');
  int d = 0, m = 0, sec = 0;
  std::string rest = t;
  for (char& c : rest)
    if (c == '+' || c == '-') c = ' ';
  std::sscanf(rest.c_str(), " %d°%d'%d", &d, &m, &sec);
  return (minus != std::string::npos ? -1 : 1) * (d + m / 60.0 + sec / 3600.0);
}
// A short time "hh'h'mm'm'" in hours; -1 for a placeholder.
double ShortText(const std::string& t) {
  int h = 0, m = 0;
  if (std::sscanf(t.c_str(), " %dh%dm", &h, &m) != 2) return -1;
  return h + m / 60.0;
}

// Zone time (hours since local midnight, zone 1) of a Swiss event searched
// from local midnight; -1 when it falls on another day.
double SwissEventHours(int ipl, int32 rsmi, double midnight_ut, double horizon) {
  double geopos[3] = {7.19, 51.74, 0}, t = 0;
  char serr[AS_MAXCH];
  if (swe_rise_trans_true_hor(midnight_ut, ipl, nullptr, SEFLG_SWIEPH, rsmi, geopos, 1013.25, 10, horizon, &t,
                              serr) != 0) {
    return -1;
  }
  const double h = (t - midnight_ut) * 24;
  return h < 24 ? h : -1;
}

// The largest deviation of each checked column of one body.
struct Worst {
  double culmination_min = 0, riseSet_min = 0, phaseAngle_deg = 0;
  void Add(double& worst, double v) { worst = std::max(worst, std::fabs(v)); }
};

// Tolerances of the event columns of body kind -1 .. 8, minutes. Sun and
// Moon come from the search (the Sun's culmination to seconds, rise and set
// to a minute; the Moon's +8' horizon and mini Moon give 3 minutes). The
// planets' events come from the one position of the row, up to 18 hours
// before or after them: the body's motion over that time (Mercury up to
// 2.2 deg a day in right ascension and 0.8 deg in declination) moves them.
constexpr double kCulminationTolerance_min[] = {1.5, 2, 12, 8, 5, 2, 2, 2, 2, 2};
constexpr double kRiseSetTolerance_min[] = {2, 3, 15, 10, 6, 3, 3, 3, 3, 3};

TEST(TableColumns, EveryColumnOfEveryBodyOverAMonth) {
  // Ortheim, zone 1 h, list mode over 28 days in steps of 3.5 days (noon and
  // midnight rows), every column and the Julian date on, ";" after each cell.
  for (int32_t kind = kSun; kind <= kPluto; ++kind) {
    TSettings s = At(kind, 2455956.0L);
    s.Tabelle = true;
    s.AequinTag = true;
    s.ShowJulDat = true;
    s.SpaltenSeparator = ";";
    s.DeltaTab = 28;
    s.TableColumns = TTableColumns{};
    TTableColumns& c = s.TableColumns;
    c.StdwDe = c.EklipKoor = c.AzimKoor = c.AufUntAz = c.Entfernung = c.Helligkeit = c.Durchmesser = c.PhysEph = true;
    c.Schrittweite = 3.5f;
    ScriptedHost host;
    TRunContext run(s);
    ComputeTable(s, run, host);
    ASSERT_TRUE(host.boxes.empty()) << host.boxes[0].text;
    ASSERT_EQ(host.lines.size(), 4u + 9u) << kind;
    const std::size_t columnCount = Cells(host.lines[3]).size();
    Worst worst;
    for (int i = 0; i < 9; ++i) {
      const std::string& text = host.lines[4 + i];
      const std::vector<std::string> cell = Cells(text);
      ASSERT_EQ(cell.size(), columnCount) << text;  // every header has its cell
      const double jd = std::stod(cell[3]);
      const double tt = jd + static_cast<double>(DeltaT(jd, false).days);
      const int ipl = kSwissBody[kind + 1];
      const int32 flags = SwissFlags(s);
      const Place3 equ = Swiss(tt, ipl, flags | SEFLG_EQUATORIAL), ecl = Swiss(tt, ipl, flags);
      const double lst_h = swe_sidtime(jd) + 7.19 / 15;
      // Right ascension, hour angle (the table's sidereal time runs 0.9 s
      // ahead of the apparent one), declination, ecliptic coordinates; the
      // texts round to 0.05 s and 0.5".
      EXPECT_NEAR(std::remainder(HoursText(cell[4]) - equ.lon / kDeg / 15, 24.0) * 3600, 0, 0.06) << text;
      EXPECT_NEAR(std::remainder(HoursText(cell[5]) - (lst_h - equ.lon / kDeg / 15), 24.0) * 3600, 0, 1.5) << text;
      EXPECT_NEAR((DegreesText(cell[6]) - equ.lat / kDeg) * 3600, 0, 0.6) << text;
      EXPECT_NEAR(std::remainder(DegreesText(cell[7]) - ecl.lon / kDeg, 360.0) * 3600, 0, 0.6) << text;
      EXPECT_NEAR((DegreesText(cell[8]) - ecl.lat / kDeg) * 3600, 0, 0.6) << text;
      // Azimuth and elevation from Swiss Ephemeris' horizontal coordinates
      // (geocentric, no refraction; azimuth from the south there); the text
      // shows whole minutes.
      double xin[3] = {equ.lon / kDeg, equ.lat / kDeg, equ.dist}, xaz[3], geopos[3] = {7.19, 51.74, 0};
      swe_azalt(jd, SE_EQU2HOR, geopos, 0, 10, xin, xaz);
      int azd = 0, azm = 0, eld = 0, elm = 0;
      std::sscanf(cell[9].c_str(), " %d° %d'", &azd, &azm);
      std::string e = cell[10];
      const bool below = e.find('-') != std::string::npos;
      for (char& ch : e)
        if (ch == '+' || ch == '-') ch = ' ';
      std::sscanf(e.c_str(), " %d° %d'", &eld, &elm);
      EXPECT_NEAR(std::remainder(azd + azm / 60.0 - (xaz[0] + 180), 360.0), 0, 0.02) << text;
      EXPECT_NEAR((below ? -1 : 1) * (eld + elm / 60.0) - xaz[1], 0, 0.02) << text;
      // Rise, culmination and set against Swiss Ephemeris: the Sun's centre
      // at -50' and the planets' at 0 without refraction, the Moon's upper
      // limb with refraction.
      const double midnight = std::floor(jd + 1.0 / 24 + 0.5) - 0.5 - 1.0 / 24;
      const double culmination = ShortText(cell[12]);
      const double swissTransit = SwissEventHours(ipl, SE_CALC_MTRANSIT, midnight, 0);
      if (culmination >= 0 && swissTransit >= 0) worst.Add(worst.culmination_min, (culmination - swissTransit) * 60);
      const int32 riseFlags = kind == kMoon ? 0 : SE_BIT_DISC_CENTER | SE_BIT_NO_REFRACTION;
      const double horizon = kind == kSun ? -50.0 / 60 : 0;
      const double rise = ShortText(cell[11]), set = ShortText(cell[13]);
      if (kind == kSun || kind == kMoon) {
        // The search's events of the calendar day.
        const double swissRise = SwissEventHours(ipl, SE_CALC_RISE | riseFlags, midnight, horizon);
        const double swissSet = SwissEventHours(ipl, SE_CALC_SET | riseFlags, midnight, horizon);
        if (rise >= 0 && swissRise >= 0) worst.Add(worst.riseSet_min, (rise - swissRise) * 60);
        if (set >= 0 && swissSet >= 0) worst.Add(worst.riseSet_min, (set - swissSet) * 60);
      } else if (rise >= 0 && culmination >= 0) {
        // The estimate's rise and set belong to the day's culmination: the
        // set may fall on the next day and show as an early hour.
        const double transit = midnight + culmination / 24;
        const double swissRise = SwissEventHours(ipl, SE_CALC_RISE | riseFlags, transit - 0.5, horizon);
        const double swissSet = SwissEventHours(ipl, SE_CALC_SET | riseFlags, transit, horizon);
        worst.Add(worst.riseSet_min, std::remainder(rise - (transit - 0.5 - midnight) * 24 - swissRise, 24.0) * 60);
        worst.Add(worst.riseSet_min, std::remainder(set - (transit - midnight) * 24 - swissSet, 24.0) * 60);
      }
      // Rising azimuth in whole degrees (hand: 90 - asin(sin dec / cos lat)).
      const double azimuthRise = std::stod(cell[14].substr(0, cell[14].find("°")));
      EXPECT_NEAR(azimuthRise, 90 - std::asin(std::sin(equ.lat) / std::cos(51.74 * kDeg)) / kDeg, 0.51) << text;
      std::size_t next = 16;
      if (kind == kSun) {
        // Astronomical twilight (depth 18) against Swiss Ephemeris.
        EXPECT_NEAR(ShortText(cell[16]), SwissEventHours(SE_SUN, SE_CALC_RISE | SE_BIT_ASTRO_TWILIGHT, midnight, 0),
                    1.5 / 60);
        EXPECT_NEAR(ShortText(cell[17]), SwissEventHours(SE_SUN, SE_CALC_SET | SE_BIT_ASTRO_TWILIGHT, midnight, 0),
                    1.5 / 60);
        next = 18;
      }
      double attr[20];
      char serr[AS_MAXCH];
      swe_pheno(tt, ipl, SEFLG_SWIEPH | (kind == kMoon ? SEFLG_TRUEPOS : 0), attr, serr);
      if (kind == kMoon) {
        // Phase value and age from the elongation in longitude: P is it in
        // units of 180 deg, waxing positive (to the short Sun series' 1';
        // the texts round to 0.005 and 0.05 days).
        const Place3 sun = Swiss(tt, SE_SUN, flags);
        const double p = AngleDiff(ecl.lon, sun.lon) / M_PI;
        EXPECT_NEAR(std::stod(cell[next]), p, 0.006) << text;
        EXPECT_NEAR(std::stod(cell[next + 1]), p * 14.8, 0.06) << text;
        next += 2;
      }
      if (kind >= kMercury) {
        // Elongation: the text's 0.05 plus the aberration, which Swiss
        // Ephemeris' phenomena include, moving the Sun and the planet by up
        // to 20" each.
        EXPECT_NEAR(std::fabs(std::stod(cell[next])), attr[2], 0.062) << text;
        ++next;
      }
      // Distance: the Moon's the geocentric one at t - tau, in km.
      const double delta = std::stod(cell[next]);
      if (kind == kMoon) {
        const double tau = Swiss(tt, SE_MOON, SEFLG_TRUEPOS).dist / 173.1446327;
        EXPECT_NEAR(delta, Swiss(tt - tau, SE_MOON, SEFLG_TRUEPOS).dist * 149597870.691, 0.6) << text;
      } else {
        EXPECT_NEAR(delta, equ.dist, 6e-6) << text;
      }
      EXPECT_NEAR(std::stod(cell[next + 1]), attr[4], 0.051) << text;         // magnitude
      EXPECT_NEAR(std::stod(cell[next + 2]), attr[3] * 3600, 0.051) << text;  // diameter
      next += 3;
      if (kind == kSaturn) ++next;  // the ring, 2.31 diameters
      if (kind >= kMoon) {
        worst.Add(worst.phaseAngle_deg, std::fabs(std::stod(cell[next])) - attr[0]);
        ++next;
      }
      // Orientation and librations: in range (their values are checked
      // against Meeus' worked examples in the engine's tests).
      const std::size_t orientationCells = kind == kMoon ? 4 : kind == kJupiter ? 4 : 3;
      for (std::size_t k = 0; k < orientationCells; ++k) {
        const double v = std::stod(cell[next + k]);
        EXPECT_TRUE(std::isfinite(v) && v > -360.5 && v < 360.5) << text;
      }
      EXPECT_EQ(next + orientationCells, cell.size()) << text;  // the line ends with the last cell's ";"
    }
    std::printf("kind %2d: culmination %.1f min, rise/set %.1f min, phase angle %.2f deg\n", kind,
                worst.culmination_min, worst.riseSet_min, worst.phaseAngle_deg);
    EXPECT_LT(worst.culmination_min, kCulminationTolerance_min[kind + 1]);
    EXPECT_LT(worst.riseSet_min, kRiseSetTolerance_min[kind + 1]);
    // The Moon's phase angle is 180 deg less the elongation in longitude
    // (its latitude and the Sun's parallax left out: up to 1.5 deg); the
    // planets' comes from three distances (the text's 0.05 and light time).
    EXPECT_LT(worst.phaseAngle_deg, kind == kMoon ? 1.5 : 0.06);
  }
}

}  // namespace
}  // namespace orb
