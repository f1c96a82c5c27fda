// SPDX-License-Identifier: AGPL-3.0-or-later
// Saros designations against the series numbers of Espenak's eclipse
// catalogues (NASA), and the era rules worked by hand from the lunation
// number; the companion program's file test and command line.
#include "eclipses/Saros.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "support/TempDir.h"

namespace orb {
namespace {

// Solar eclipses of the present era (new moons, UT, USNO phases; series
// from Espenak's catalogue): 2024 April 8 18:21, 2017 August 21 18:30 and
// 1999 August 11 11:08 (lunation numbers 300, 218 and -5).
TEST(SolarSarosDesignation, PresentEraIsMWithTheUsualNumber) {
  const SarosDesignation a = SolarSarosDesignation(2460409.265);
  EXPECT_EQ(a.number, 139);
  EXPECT_EQ(a.residue, 139);
  EXPECT_EQ(a.letter, 'M');
  EXPECT_EQ(a.text, "139. Saros, Ära M");
  EXPECT_EQ(SolarSarosDesignation(2457987.27).number, 145);
  EXPECT_EQ(SolarSarosDesignation(2451401.96).number, 145);
}

// The eras by hand. Lunation N of jd = 2451550.09811 + N * 29.530588861
// (the secular term moves N by less than 0.1 up to N = 122950):
// - N = 300 + 166 * 223 = 37318, AD 5017: c = 139 as for N = 300; low and
//   Y > 3989 gives "N", number 223 + 139 = 362;
// - N = 300 + 550 * 223 = 122950, AD 11940: lower and 10289 < Y < 16290
//   gives "O", number 2 * 223 + 139 = 585;
// - N = 61 (2004 December 11): 61 + 179 + 88 * 200 = 17840 = 80 * 223, so
//   c = 200; high needs Y > 2757 for "M", so "L" (Y > -4417), number
//   -223 + 200 = -23;
// - JD -10 000 000 (year -32091): N = round(-421650.509) = -421651,
//   -421651 + 179 + 88 * 147 = -408536 = -1832 * 223, so c = 147; no era
//   before -29415: "?", number 147 - 3122 = -2975.
TEST(SolarSarosDesignation, EraRules) {
  const SarosDesignation future = SolarSarosDesignation(2451550.09811L + 37318 * 29.530588861L);
  EXPECT_EQ(future.text, "139. Saros, Ära N");
  EXPECT_EQ(future.number, 362);
  const SarosDesignation farFuture = SolarSarosDesignation(2451550.09811L + 122950 * 29.530588861L);
  EXPECT_EQ(farFuture.text, "139. Saros, Ära O");
  EXPECT_EQ(farFuture.number, 585);
  const SarosDesignation high = SolarSarosDesignation(2451550.09811L + 61 * 29.530588861L);
  EXPECT_EQ(high.text, "200. Saros, Ära L");
  EXPECT_EQ(high.number, -23);
  const SarosDesignation none = SolarSarosDesignation(-10000000);
  EXPECT_EQ(none.text, "147. Saros, Ära ?");
  EXPECT_EQ(none.number, -2975);
}

// Total lunar eclipses of 2022 November 8 (full moon 11:02 UT, Saros 136)
// and 2019 January 21 (05:16 UT, Saros 134), Espenak's lunar catalogue.
TEST(LunarSarosDesignation, KnownLunarEclipses) {
  const SarosDesignation a = LunarSarosDesignation(2459891.96);
  EXPECT_EQ(a.number, 136);
  EXPECT_EQ(a.text, "136. Saros, Ära m");
  EXPECT_EQ(LunarSarosDesignation(2458504.72).number, 134);
}

// The full moon of 2017 November 4 05:23 UT (USNO): N = 221, 221 + 1352 +
// 88 * 10 = 2453 = 11 * 223, so c = 10 < 47; in 2017 neither "m" (Y < 277
// for few) nor "n" (Y > 4280) applies: "?", number (63 - 109) * 223 + 10.
TEST(LunarSarosDesignation, FewAfterYear277HasNoEra) {
  const SarosDesignation d = LunarSarosDesignation(2458061.724);
  EXPECT_EQ(d.residue, 10);
  EXPECT_EQ(d.letter, '?');
  EXPECT_EQ(d.text, " 10. Saros, Ära ?");
  EXPECT_EQ(d.number, -10248);
}

// Any number is safe: not a number gives the empty designation; far
// beyond the calendar's years a residue and an era still come out.
TEST(SarosDesignation, AnyInput) {
  for (const Extended jd :
       {std::numeric_limits<Extended>::quiet_NaN(), std::numeric_limits<Extended>::infinity()}) {
    const SarosDesignation d = SolarSarosDesignation(jd);
    EXPECT_EQ(d.number, 0);
    EXPECT_EQ(d.text, "");
    EXPECT_EQ(LunarSarosDesignation(jd).text, "");
  }
  for (const Extended jd : {1e12L, -1e12L, 1e300L, -1e300L}) {
    for (const SarosDesignation& d : {SolarSarosDesignation(jd), LunarSarosDesignation(jd)}) {
      EXPECT_GE(d.residue, 1);
      EXPECT_LE(d.residue, 223);
    }
  }
}

TEST(Companion, FileTestAndCommandLine) {
  test::TempDir dir;
  EXPECT_FALSE(CompanionProgramAvailable(dir.path().string()));
  std::filesystem::create_directory(dir.path() / "Zyklusbild.exe");  // a folder is no program
  EXPECT_FALSE(CompanionProgramAvailable(dir.path().string()));
  std::filesystem::remove(dir.path() / "Zyklusbild.exe");
  dir.write("ZYKLUSBILD.EXE", "");  // copied from Windows in another case
  EXPECT_TRUE(CompanionProgramAvailable(dir.path().string()));

  EXPECT_EQ(CompanionCommandLine(2460409.26284L), "Zyklusbild.exe 2460409.26284");
  EXPECT_EQ(CompanionCommandLine(2460409.5L), "Zyklusbild.exe 2460409.50000");
}

}  // namespace
}  // namespace orb
