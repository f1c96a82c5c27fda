// SPDX-License-Identifier: AGPL-3.0-or-later
// The arbitrary point of the coordinate dialog: reading d m s texts, the
// three frames against published places, the agreement of its horizontal
// place with the table of kind -2. (The texts are checked through the
// dialog and the batch program.)
#include "tables/ArbitraryPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/Constants.h"
#include "settings/Settings.h"

namespace orb {
namespace {

constexpr double kArcsec = 1.0 / 3600;  // degrees

double Deg(Extended rad) { return static_cast<double>(rad * kRadToDeg); }

// Degrees of d m s.
constexpr double Dms(double d, double m, double s) { return d < 0 ? d - m / 60 - s / 3600 : d + m / 60 + s / 3600; }

TSettings Defaults() {
  TSettings s;
  NormaliseSettings(s, 2461000.5L);
  return s;
}

TEST(ArbitraryPoint, ReadsDegreesMinutesSeconds) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"6 45 09", Dms(6, 45, 9)},
      {"-16 42 58", Dms(-16, 42, 58)},
      {"15 32.78", 15 + 32.78 / 60},   // the field's own hint
      {"12,5", 12.5},                  // decimal comma
      {"6h45m09s", Dms(6, 45, 9)},     // letters separate the numbers
      {"  7  ", 7.0},
      {"1 2 3 4", Dms(1, 2, 3)},       // a fourth number is ignored
      {"-0 30", -0.5},                 // the minus sign on zero degrees counts
      {"-0 0 36", -0.01},
      {"0 30", 0.5},
      {"- 5", 5.0},                    // a minus sign apart from its digits is no sign
      {"", std::nullopt},
      {"Sirius", std::nullopt},
      {"-", std::nullopt},
      {"1e99999", std::nullopt},       // no finite value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<Extended> v = ReadCoordinate(c.text);
    ASSERT_EQ(v.has_value(), c.value.has_value());
    if (v) {
      EXPECT_NEAR(static_cast<double>(*v), *c.value, 1e-12);
    }
  }
}

TEST(ArbitraryPoint, EquatorialToEclipticSirius) {
  // Sirius at J2000 by Swiss Ephemeris 2.10 (swetest -b1.1.2000 -ut12 -pf
  // -xfSirius -fPLBAD -j2000 -nonut -noaberr -nodefl): alpha 6h45m08.9184s,
  // delta -16°42'58.2585", lambda 104°04'54.0363", beta -39°36'19.0925".
  // The equinox 2000.0 lies half a day before J2000 (0.06" of precession);
  // Swiss Ephemeris' obliquity is 0.04" below Laskar's.
  const TSettings s = Defaults();
  const ArbitraryInput in{InputFrame::Equatorial, "6 45 8.9184", "-16 42 58.2585", "2000.0", false};
  const std::optional<ArbitraryPoint> p = ConvertArbitraryPoint(in, s.Ort, s.Startdat);
  ASSERT_TRUE(p);
  EXPECT_NEAR(Deg(p->lon_rad), Dms(104, 4, 54.0363), 0.2 * kArcsec);
  EXPECT_NEAR(Deg(p->lat_rad), Dms(-39, 36, 19.0925), 0.2 * kArcsec);
  EXPECT_NEAR(static_cast<double>(p->equinoxJD), 2451544.533, 1e-6);
}

TEST(ArbitraryPoint, EclipticNinetyDegreesLiesAtTheObliquity) {
  // lambda 90°, beta 0 is alpha 6h, delta = the obliquity of the equinox:
  // 23°26'21.448" at J2000 and 23°26'44.855" at 1950.0 (T = -0.5), by
  // the IAU expression of Meeus, Astronomical Algorithms, 22.2; Laskar's
  // differs from it by 0.003" there.
  const TSettings s = Defaults();
  const struct {
    const char* year;
    double obliquity_deg;
  } cases[] = {{"2000.0", Dms(23, 26, 21.448)}, {"1950", Dms(23, 26, 44.855)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.year);
    const ArbitraryInput in{InputFrame::Ecliptic, "90", "0", c.year, false};
    const std::optional<ArbitraryPoint> p = ConvertArbitraryPoint(in, s.Ort, s.Startdat);
    ASSERT_TRUE(p);
    EXPECT_NEAR(Deg(p->ra_rad), 90, 1e-9);
    EXPECT_NEAR(Deg(p->dec_rad), c.obliquity_deg, 0.01 * kArcsec);
  }
  const ArbitraryInput in{InputFrame::Ecliptic, "90", "0", "2000.0", false};
  const ArbitraryPoint p = *ConvertArbitraryPoint(in, s.Ort, s.Startdat);
  EXPECT_EQ(ResultCaptions(p, AngleStyle{}).equatorial, "&Äquatorial:  6h00m00.0s    +23°26'21\"");
  EXPECT_EQ(ResultCaptions(p, AngleStyle{false, true}).equatorial, "&Äquatorial:   6h00.000m    +23°26.36'");
}

TEST(ArbitraryPoint, HorizontalPlaceOfVenusAtWashington) {
  // Meeus, Astronomical Algorithms, example 13.b: Venus at alpha
  // 23h09m16.641s, delta -6°43'11.61" (equinox of the date) seen from
  // 77°03'56" W, 38°55'17" N on 1987 April 10, 19h21m UT: azimuth 68.0337°
  // from the south (248.0337° from the north), elevation 15.1249°. Meeus
  // uses the apparent sidereal time; the tables' sidereal time is the mean
  // one and runs 0.9 s ahead, so A and h may differ by 20".
  TOrt washington{"Washington", -Dms(77, 3, 56), Dms(38, 55, 17)};
  const Extended jd = 2446896.30625L;
  const ArbitraryInput in{InputFrame::Equatorial, "23 09 16.641", "-6 43 11.61", "", true};
  const std::optional<ArbitraryPoint> p = ConvertArbitraryPoint(in, washington, jd);
  ASSERT_TRUE(p);
  EXPECT_NEAR(Deg(p->az_rad), 248.0337, 20 * kArcsec);
  EXPECT_NEAR(Deg(p->alt_rad), 15.1249, 20 * kArcsec);
  EXPECT_EQ(p->equinoxJD, jd);
}

TEST(ArbitraryPoint, HorizontalInputIsWhereTheTableShowsThePoint) {
  // Azimuth and elevation typed at the start instant, handed to the table
  // of kind -2 as ecliptic coordinates of the equinox: the table's row at
  // that instant shows the typed azimuth and elevation again, and the
  // point typed back in the other frames gives the same horizontal place.
  struct Case {
    const char* azimuth;
    const char* elevation;
    const char* equinox;
    bool ofDate;
    double latitude_deg;
  };
  const Case cases[] = {
      {"123 15", "30", "2000.0", false, 51.74},
      {"350", "-5 30", "1950", false, 51.74},
      {"10", "80", "", true, -33.9},
      {"270 0 1", "-0 30", "2100", false, -33.9},
  };
  TSettings s = Defaults();
  s.Objekt = kArbitrary;
  s.TableColumns.AzimKoor = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.azimuth);
    s.Ort.Breite = c.latitude_deg;
    const ArbitraryInput in{InputFrame::Horizontal, c.azimuth, c.elevation, c.equinox, c.ofDate};
    const std::optional<ArbitraryPoint> p = ConvertArbitraryPoint(in, s.Ort, s.Startdat);
    ASSERT_TRUE(p);
    const double az = static_cast<double>(*ReadCoordinate(c.azimuth));
    const double alt = static_cast<double>(*ReadCoordinate(c.elevation));
    EXPECT_NEAR(Deg(p->az_rad), az, 1e-9);
    EXPECT_NEAR(Deg(p->alt_rad), alt, 1e-9);

    const TableRow row = ComputeRow(s, s.Startdat, 0, TableCoordinates(*p));
    EXPECT_NEAR(Deg(row.az), az, 0.01 * kArcsec);
    EXPECT_NEAR(Deg(row.alt), alt, 0.01 * kArcsec);

    const auto text = [](Extended rad, Extended scale) {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.10f", static_cast<double>(rad * kRadToDeg / scale));
      return std::string(buffer);
    };
    const ArbitraryInput equ{InputFrame::Equatorial, text(p->ra_rad, 15), text(p->dec_rad, 1), c.equinox, c.ofDate};
    const ArbitraryInput ecl{InputFrame::Ecliptic, text(p->lon_rad, 1), text(p->lat_rad, 1), c.equinox, c.ofDate};
    for (const ArbitraryInput& back : {equ, ecl}) {
      const ArbitraryPoint q = *ConvertArbitraryPoint(back, s.Ort, s.Startdat);
      EXPECT_NEAR(Deg(q.az_rad), az, 0.1 * kArcsec);
      EXPECT_NEAR(Deg(q.alt_rad), alt, 0.1 * kArcsec);
    }
  }
}

}  // namespace
}  // namespace orb
