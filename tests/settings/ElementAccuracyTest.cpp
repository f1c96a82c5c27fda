// SPDX-License-Identifier: AGPL-3.0-or-later
// The places of a table row computed from the elements that the database
// reader takes from the recorded answers (tests/data/sbdb: Ceres, 67P),
// at each answer's osculation epoch, against two references:
//
// 1. The database's elements themselves. Osculating elements reproduce, at
//    their epoch, the heliocentric position of the integrated orbit they
//    were taken from (that is what osculating means), and the few minutes
//    of light time add far less than 1 mas of perturbation. The test reads
//    the JSON on its own, solves Kepler's equation, propagates with the
//    database's mean motion n, turns the ecliptic of J2000 into the
//    equator with the obliquity of the database's frame (84381.448"), adds
//    the geometric geocentric Sun of Swiss Ephemeris (its files are based
//    on JPL's DE431, the planetary ephemeris these orbits were fitted
//    with) and iterates the light time: the astrometric place (J2000) that
//    the database's orbit gives.
// 2. For Ceres also an ephemeris published independently: Swiss
//    Ephemeris' integrated orbit of Ceres (seas_18.se1), astrometric J2000.
//
// The comet's magnitude in the row follows the database's own law with its
// M1 and K1. The row is astrometric too: light time on, aberration and nutation off,
// coordinates for the equinox 2000.0, times in TT (TDB differs by < 2 ms).
#include <gtest/gtest.h>
#include <swephexp.h>

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/TimeScales.h"
#include "engine/PlanetaryTheory.h"
#include "settings/ElementSources.h"
#include "settings/Settings.h"
#include "support/TempDir.h"
#include "tables/TableDriver.h"

namespace orb {
namespace {

constexpr double kDegToRad = M_PI / 180;
constexpr double kArcsec = kDegToRad / 3600;
constexpr double kLightDay_au = 173.1446326846693;       // c in AU per day (IAU 2009)
constexpr double kObliquityJ2000 = 84381.448 * kArcsec;  // of the database's ecliptic frame

struct Vec {
  double x, y, z;
};

// The database's element values, read here without the program's reader.
struct Raw {
  double e, a, i, om, w, ma, n, epoch;  // degrees, AU, deg/day, JD (TDB)
};

Raw ReadRaw(const std::string& text) {
  const nlohmann::json j = nlohmann::json::parse(text);
  const auto element = [&](const char* name) {
    for (const auto& item : j["orbit"]["elements"])
      if (item["name"] == name) return std::stod(item["value"].get<std::string>());
    ADD_FAILURE() << name;
    return 0.0;
  };
  return {element("e"), element("a"),  element("i"), element("om"),
          element("w"), element("ma"), element("n"), std::stod(j["orbit"]["epoch"].get<std::string>())};
}

// Heliocentric equatorial position (AU, J2000) of the two-body orbit at t.
Vec Heliocentric(const Raw& r, double t) {
  const double m = (r.ma + r.n * (t - r.epoch)) * kDegToRad;
  double E = m;
  for (int k = 0; k < 50; ++k) E -= (E - r.e * std::sin(E) - m) / (1 - r.e * std::cos(E));
  const double xp = r.a * (std::cos(E) - r.e), yp = r.a * std::sqrt(1 - r.e * r.e) * std::sin(E);
  const double O = r.om * kDegToRad, w = r.w * kDegToRad, i = r.i * kDegToRad;
  const double x = (std::cos(O) * std::cos(w) - std::sin(O) * std::sin(w) * std::cos(i)) * xp +
                   (-std::cos(O) * std::sin(w) - std::sin(O) * std::cos(w) * std::cos(i)) * yp;
  const double y = (std::sin(O) * std::cos(w) + std::cos(O) * std::sin(w) * std::cos(i)) * xp +
                   (-std::sin(O) * std::sin(w) + std::cos(O) * std::cos(w) * std::cos(i)) * yp;
  const double z = std::sin(w) * std::sin(i) * xp + std::cos(w) * std::sin(i) * yp;
  const double ce = std::cos(kObliquityJ2000), se = std::sin(kObliquityJ2000);
  return {x, y * ce - z * se, y * se + z * ce};
}

// Astrometric right ascension and declination (radians, J2000) at t (TT).
std::pair<double, double> Astrometric(const Raw& r, double t) {
  double sun[6];
  char serr[AS_MAXCH];
  EXPECT_GE(swe_calc(t, SE_SUN, SEFLG_SWIEPH | SEFLG_J2000 | SEFLG_EQUATORIAL | SEFLG_XYZ | SEFLG_TRUEPOS, sun, serr),
            0)
      << serr;
  double tau = 0;
  Vec g{};
  for (int k = 0; k < 5; ++k) {
    const Vec h = Heliocentric(r, t - tau);
    g = {h.x + sun[0], h.y + sun[1], h.z + sun[2]};
    tau = std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z) / kLightDay_au;
  }
  return {std::atan2(g.y, g.x), std::atan2(g.z, std::hypot(g.x, g.y))};
}

double Separation(double ra1, double dec1, double ra2, double dec2) {
  const double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
  const double s = std::hypot(std::cos(dec2) * std::sin(ra1 - ra2),
                              std::cos(dec1) * std::sin(dec2) - std::sin(dec1) * std::cos(dec2) * std::cos(ra1 - ra2));
  return std::atan2(s, c);
}

TEST(ElementAccuracy, RowsAgreeWithTheDatabaseOrbitsAtTheirEpochs) {
  ASSERT_TRUE(theory::SetEphemerisPath("/usr/share/libswe/ephe"));
  theory::_planetinfo(2451545.0, 1000, 1, 1, 1, 1);  // the adapter hands Swiss Ephemeris its folder
  for (const char* file : {"ceres.json", "67P.json"}) {
    const std::string text = test::TempDir::read(std::string(ORBITELLO_TEST_DATA) + "/sbdb/" + file);
    CometBahnTyp el;
    std::vector<ElementHit> hits;
    std::string status;
    ASSERT_EQ(ReadDatabaseJson(text, {}, el, hits, status), QueryOutcome::kElements) << file;

    TSettings s;
    NormaliseSettings(s, 2461000.5L);
    s.Objekt = s.PlanetNr = kSmallBody;
    s.CurrentElements = el;
    s.Lichtlaufzeit = true, s.Aberration = false, s.Nutation = false;
    s.AequinTag = false, s.Aequinokt = 2000;
    const Raw raw = ReadRaw(text);
    s.Startdat = raw.epoch - DeltaT(raw.epoch, false).days;
    const TableRow row = ComputeRow(s, s.Startdat, DeltaT(s.Startdat, false).days);
    const double ra = static_cast<double>(row.raOut), dec = static_cast<double>(row.decOut);

    const auto [refRa, refDec] = Astrometric(raw, raw.epoch);
    const double fromElements = Separation(ra, dec, refRa, refDec) / kArcsec;
    std::printf("%s at JD %.1f: row against the database's orbit %.3f\"", file, raw.epoch, fromElements);
    EXPECT_LT(fromElements, 1.0) << file;
    if (std::string(file) == "ceres.json") {
      double x[6];
      char serr[AS_MAXCH];
      ASSERT_GE(swe_calc(raw.epoch, SE_CERES,
                         SEFLG_SWIEPH | SEFLG_J2000 | SEFLG_EQUATORIAL | SEFLG_NOABERR | SEFLG_NOGDEFL | SEFLG_RADIANS,
                         x, serr),
                0)
          << serr;
      const double fromSwiss = Separation(ra, dec, x[0], x[1]) / kArcsec;
      std::printf(", against Swiss Ephemeris' Ceres %.3f\"", fromSwiss);
      EXPECT_LT(fromSwiss, 1.0);
    }
    std::printf("\n");
    if (!el.asteroid) {
      // The database's comet law with its M1 11.3 and K1 11 (phys_par):
      // M1 + 5 log10 Delta + K1 log10 r.
      const double delta = static_cast<double>(row.delta), r = static_cast<double>(row.r);
      EXPECT_NEAR(static_cast<double>(row.mag), 11.3 + 5 * std::log10(delta) + 11 * std::log10(r), 1e-4);
    }
  }
}

}  // namespace
}  // namespace orb
