// SPDX-License-Identifier: AGPL-3.0-or-later
// Tests of the numerical kernel. Expected values are hand derivations from
// the documented rules. Tolerances: 1e-17 for radian results in long double
// (epsilon 1.1e-19), 1e-12 for degree results (the degree constant
// 0.0174532925199433 differs from pi/180 by 2.4e-16 relative).
#include "core/NumKernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "core/KernelReport.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace orb {
namespace {

constexpr Extended kRadTol = 1e-17L;
constexpr Extended kDegTol = 1e-12L;

class NumKernelTest : public ::testing::Test {
 protected:
  // Expects exactly one error box since the last check, with `text`.
  void ExpectReport(const std::string& text) {
    ASSERT_EQ(host_.boxes.size(), 1u) << "expected: " << text;
    EXPECT_EQ(host_.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(host_.boxes[0].caption, "Fehler");
    EXPECT_EQ(host_.boxes[0].text, text);
    host_.boxes.clear();
  }
  void ExpectNoReport() { EXPECT_TRUE(host_.boxes.empty()) << host_.boxes.front().text; }

  test::ScriptedHost host_;
  KernelHostScope scope_{host_};
};

TEST_F(NumKernelTest, DegreeArcFunctions) {
  EXPECT_NEAR(RadToDeg(-3 * kPi), -180, kDegTol);  // 360 * Frac(-1.5)
  EXPECT_NEAR(ArcSinD(0.5L), 30, kDegTol);         // sin 30 deg = 1/2
  EXPECT_EQ(ArcCosD(-1), 180);                     // 90 - 90 * (-1)
  EXPECT_EQ(ArcTan2D(0, 0), 0);
  EXPECT_EQ(ArcTan2D(-1, 0), 180);  // negative x axis: +180, not -180
  EXPECT_NEAR(ArcTan2D(-1, -1), -135, kDegTol);
  ExpectNoReport();
  EXPECT_EQ(ArcCosD(1.5L), 0);  // reported, then clamped to 1
  ExpectReport(" Fehler: ArcCos ACS(1.500) nicht definiert");
}

TEST_F(NumKernelTest, GuardedArcFunctions) {
  // 1.0000000005 is within the tolerance 1.000000001: exactly pi/2, never beyond.
  EXPECT_EQ(ArcSinG(1.0000000005L), kPi / 2);
  EXPECT_NEAR(ArcSinG(0.5L), kPi / 6, kRadTol);
  EXPECT_EQ(ArcCosG(-1), kPi);
  EXPECT_EQ(ArcCosG(1), 0);
  ExpectNoReport();
  EXPECT_EQ(ArcSinG(1.00000001L), 0);
  ExpectReport("FehlerArcSin (1.00000001)  ist nicht definiert");
  EXPECT_EQ(ArcCosG(-2), kPi / 2);
  ExpectReport("FehlerArcCos (-2)  ist nicht definiert");
}

TEST_F(NumKernelTest, ModuloAndPower) {
  EXPECT_NEAR(Modulo(kTwoPi, -1), -1, kRadTol);  // 2pi * Frac(-1/2pi): sign of x
  EXPECT_EQ(HOCH(3, -2), -8);                    // odd exponent: -(2^3)
  EXPECT_EQ(HOCH(2, -3), 9);                     // even exponent: 3^2
  EXPECT_EQ(HOCH(0, 0), 1);
  EXPECT_EQ(HOCH(2, 0), 0);
  EXPECT_NEAR(CubeRoot(-8), -2, kRadTol);  // the real cube root
  ExpectNoReport();
  // Numbers as Str(x, 20, 10): "5.0000000000" is 12 characters, 8 blanks.
  EXPECT_EQ(Modulo(0, 5), 5);
  ExpectReport("Fehler:         5.0000000000 hpNumTypmodulo 0 ist nicht definiert");
  EXPECT_EQ(HOCH(0.5L, -2), 0);
  ExpectReport("Fehler:        -2.0000000000 HOCH         0.5000000000 ist nicht definiert");
  EXPECT_EQ(HOCH(-1, 0), 0);  // 1/0
  ExpectReport("Fehler:         0.0000000000 HOCH        -1.0000000000 ist nicht definiert");
}

TEST_F(NumKernelTest, QuadraticEquation) {
  // x^2 - 3x + 2 = (x - 2)(x - 1): p = -1.5, d = 0.25, x1 = 2, x2 = 1.
  Extended x1 = 0, x2 = 0;
  ASSERT_TRUE(QuadratGleich(2, -3, 1, x1, x2));
  EXPECT_NEAR(x1, 2, kRadTol);
  EXPECT_NEAR(x2, 1, kRadTol);
  // x^2 + 1e10 x + 1: sqrt(d) - p cancels completely for the small root;
  // by substitution the residual must vanish relative to |b x| (1 and 1e20).
  ASSERT_TRUE(QuadratGleich(1, 1e10L, 1, x1, x2));
  EXPECT_NEAR(x1 * x1 + 1e10L * x1 + 1, 0, 1e-15L);
  EXPECT_NEAR((x2 * x2 + 1e10L * x2 + 1) / 1e20L, 0, 1e-15L);
  ExpectNoReport();
  x1 = 7;
  x2 = 8;
  EXPECT_FALSE(QuadratGleich(1, 2, 0, x1, x2));
  ExpectReport("Division durch 0in QuadratGleich");
  EXPECT_FALSE(QuadratGleich(2, 0, 1, x1, x2));  // x^2 + 2: p = 0, d = -2
  ExpectReport("Fehler in QuadratGleich : -2");
  EXPECT_EQ(x1, 7);  // roots untouched
  EXPECT_EQ(x2, 8);
}

TEST_F(NumKernelTest, ThreePointInterpolation) {
  // y = 2x^2 - 1 through (1, -1, 1): xe = 0, ye = -1, roots +-sqrt(1/2).
  Interpolation3 r = Interpolate3(1, -1, 1);
  EXPECT_EQ(r.xe, 0);
  EXPECT_EQ(r.ye, -1);
  EXPECT_NEAR(r.z1, -std::sqrt(0.5L), kRadTol);
  EXPECT_NEAR(r.z2, std::sqrt(0.5L), kRadTol);
  EXPECT_EQ(r.count, 2);
  // y = (x + 3)(x - 0.5) = x^2 + 2.5x - 1.5 through (-3, -1.5, 2): only the
  // second root is inside and z1 takes it; xe = -1.25, ye = -3.0625.
  r = Interpolate3(-3, -1.5L, 2);
  EXPECT_EQ(r.count, 1);
  EXPECT_NEAR(r.z1, 0.5L, kRadTol);
  EXPECT_NEAR(r.ye, -3.0625L, kRadTol);
  EXPECT_EQ(Interpolate3(3, 2, 3).count, 0);  // x^2 + 2: d = -8
  // y = 2x - 1 through (-3, -1, 1) is a line (a = 0): its root 0.5 must not
  // be lost, and there is no extremum inside.
  r = Interpolate3(-3, -1, 1);
  EXPECT_EQ(r.count, 1);
  EXPECT_NEAR(r.z1, 0.5L, kRadTol);
  EXPECT_FALSE(std::fabs(r.xe) <= 1.05L);
}

TEST_F(NumKernelTest, PolarConversions) {
  Extended r = -1, lon = -1, lat = -1;
  RectToPolar(0, 0, -1, r, lon, lat);  // the point x = -1, y = 0, z = 0
  EXPECT_EQ(lon, kPi);
  RectToPolar(0, 0, 0, r, lon, lat);
  EXPECT_TRUE(r == 0 && lon == 0 && lat == 0);
  RectToPolar(1, -1, 1, r, lon, lat);  // (1, -1, 1): lon -45 deg, lat atan(1/sqrt 2)
  EXPECT_NEAR(lon, -kPi / 4, kRadTol);
  EXPECT_NEAR(lat, std::atan(1 / std::sqrt(2.0L)), kRadTol);
  RectToPolarD(0, -1, 0, r, lon, lat);  // negative y axis: -90 + 360
  EXPECT_EQ(lon, 270);
  RectToPolarD(0, -1e-30L, 1, r, lon, lat);  // a tiny negative angle stays below 360
  EXPECT_LT(lon, 360);
  PlanePolar(0, -1, r, lon);  // along -b: half a turn
  EXPECT_EQ(lon, kPi);
  Extended u = 1, v = 1;  // (1, 1) a quarter turn counter-clockwise is (-1, 1)
  PlaneRotation(u, v, kPi / 2);
  EXPECT_NEAR(u, -1, kRadTol);
  EXPECT_NEAR(v, 1, kRadTol);
}

void ExpectSplit(Extended x, int32_t d, int32_t m, Extended s) {
  const Sexagesimal got = SexagesimalSplit(x);
  EXPECT_EQ(got.degrees, d) << x;
  EXPECT_EQ(got.minutes, m) << x;
  EXPECT_NEAR(got.seconds, s, 1e-12L) << x;
}

TEST(NumKernelSexagesimal, SignOnFirstNonZero) {
  ExpectSplit(-12.5125L, -12, 30, 45);  // 0.5125 * 60 = 30.75', 0.75 * 60 = 45"
  ExpectSplit(-0.5L, 0, -30, 0);
  ExpectSplit(-5.0L / 3600, 0, 0, -5);
  EXPECT_EQ(SexagesimalSplit(1e12L).degrees, std::numeric_limits<int32_t>::max());
}

TEST_F(NumKernelTest, ChebyshevEvaluation) {
  // c = {2, 3, 1} on [0, 2]: c0/2 + 3 T1 + T2, T1 = x, T2 = 2x^2 - 1.
  TChebSeries s{2, 0, 2, {2, 3, 1}};
  EXPECT_NEAR(T_EVAL(s, 1.5L), 2, kRadTol);  // x = 0.5: 1 + 1.5 - 0.5
  ExpectNoReport();
  EXPECT_NEAR(T_EVAL(s, 3), 14, 1e-16L);  // x = 2: 1 + 6 + 7, still evaluated
  ExpectReport(" T_EVAL : x nicht in [a,b]:    3.00000         0.00000    2.00000");
  // Only 14 coefficients exist; degree 20 must not read past them.
  // c13 = 1 alone at t = B (x = 1): T13(1) = 1.
  s = TChebSeries{20, 0, 2, {}};
  s.c[13] = 1;
  EXPECT_NEAR(T_EVAL(s, 2), 1, 1e-16L);
}

TEST(NumKernelFiles, OpenTextFileAndOddCase) {
  test::TempDir dir;
  dir.write("Data/ORTE.DAT", "Berlin\n");
  dir.write("Data/orte.dat", "kleingeschrieben\n");
  EXPECT_EQ(ResolvePathCaseInsensitive(dir.file("data/Orte.dat")), dir.file("Data/ORTE.DAT"));
  EXPECT_EQ(ResolvePathCaseInsensitive(dir.file("Data/orte.dat")), dir.file("Data/orte.dat"));
  std::ifstream f;
  ASSERT_TRUE(OpenTextFile(f, dir.file("DATA/Orte.Dat")));  // first in name order
  std::string line;
  std::getline(f, line);
  EXPECT_EQ(line, "Berlin");
  EXPECT_FALSE(OpenTextFile(f, dir.file("data/fehlt.dat")));
  EXPECT_FALSE(OpenTextFile(f, dir.file("Data")));  // a folder
}

TEST(NumKernelFiles, BackupNameForms) {
  test::TempDir dir;
  const std::string list = dir.write("Comets.dat", "neu");
  dir.write("Comets.bak", "alt");
  EXPECT_TRUE(RenameToBackup(list, "*.bak"));  // the old backup is replaced
  EXPECT_EQ(test::TempDir::read(dir.file("Comets.bak")), "neu");
  EXPECT_FALSE(std::filesystem::exists(list));
  dir.write("LISTE.DAT", "l");  // found in odd case; new name as written
  EXPECT_TRUE(RenameToBackup(dir.file("Liste.dat"), "bak"));
  EXPECT_EQ(test::TempDir::read(dir.file("Liste.bak")), "l");
  // No "." in the file name (the one in the folder does not count): appended.
  EXPECT_TRUE(RenameToBackup(dir.write("v1.2/liste", "v"), ".alt"));
  EXPECT_EQ(test::TempDir::read(dir.file("v1.2/liste.alt")), "v");
  // "." after the first character: a whole new name, beside the file.
  EXPECT_TRUE(RenameToBackup(dir.write("sub/x.dat", "x"), "alt.txt"));
  EXPECT_EQ(test::TempDir::read(dir.file("sub/alt.txt")), "x");
}

TEST(NumKernelFiles, BackupNeverLosesTheFile) {
  test::TempDir dir;
  const std::string backup = dir.write("Comets.bak", "alt");
  EXPECT_FALSE(RenameToBackup(dir.file("Comets.dat"), "bak"));  // no source
  EXPECT_EQ(test::TempDir::read(backup), "alt");
  // A target that cannot be replaced (a non-empty folder): false, and the
  // file keeps its content under its own name.
  const std::string list = dir.write("Liste.dat", "inhalt");
  dir.write("Liste.bak/x", "");
  EXPECT_FALSE(RenameToBackup(list, "bak"));
  EXPECT_EQ(test::TempDir::read(list), "inhalt");
}

}  // namespace
}  // namespace orb
