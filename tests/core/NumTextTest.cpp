// SPDX-License-Identifier: AGPL-3.0-or-later
// Number-to-text helpers and the character-based string operations.
#include "core/NumText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace orb {
namespace {

TEST(NumText, StrPadsAndRounds) {
  EXPECT_EQ(Str(3.14159L, 8, 3), "   3.142");
  EXPECT_EQ(Str(-0.5L, 5, 1), " -0.5");
  EXPECT_EQ(Str(123456.0L, 3, 1), "123456.0");  // longer than the field when needed
  EXPECT_EQ(Str(7.0L, 1, 0), "7");
  // Very large values keep every digit (201 digits and 2 decimals).
  EXPECT_EQ(Str(1e200L, 1, 2).size(), 204u);
}

// Str writes every value as C's printf "%.*Lf" does, which rounds the
// exact binary value (ties to even): random values of every magnitude,
// decimal fractions a little either side of a half in the last place, exact
// binary halves, and negative values that round to zero ("-0.0").
TEST(NumText, StrAgreesWithPrintf) {
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<long double> unit(-1, 1);
  std::uniform_int_distribution<int> exponent(-12, 12), digits(0, 12);
  const auto printfText = [](long double x, int decimals) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, x);
    return std::string(buffer);
  };
  std::vector<long double> values = {0.0L, -0.0L, 0.5L, 1.5L, 2.5L, -2.5L, 0.125L, 0.375L, 1.0625L, -0.01L,
                                     -0.04999L, 999999999.5L, 1e9L - 0.25L, 1e9L, 1e18L, 59.95L, 59.949999L};
  for (int i = 0; i < 100000; ++i) {
    const long double x = unit(random) * std::pow(10.0L, exponent(random));
    const long double half = std::pow(10.0L, -digits(random)) / 2;
    values.push_back(x);
    values.push_back(std::round(x / half) * half);                    // on a half of the last place
    values.push_back(std::nextafter(std::round(x / half) * half, 0.0L));  // just inside it
  }
  for (const long double x : values) {
    for (const int decimals : {0, 1, 2, 3, 5, 9, 12}) {
      ASSERT_EQ(Str(x, 1, decimals), printfText(x, decimals)) << static_cast<double>(x) << " " << decimals;
    }
  }
}

TEST(NumText, StrTRemovesTrailingZeros) {
  EXPECT_EQ(StrT(28.0L, 1, 7), "28");
  EXPECT_EQ(StrT(7.19L, 1, 3), "7.19");
  EXPECT_EQ(StrT(5.5L, 1, 3), "5.5");
  EXPECT_EQ(StrT(-4.0L, 5, 3), "   -4");
  EXPECT_EQ(StrT(100.0L, 1, 0), "100");  // no decimal point: the zeros of the number stay
}

TEST(NumText, Integers) {
  EXPECT_EQ(IntStr(7, 3), "  7");
  EXPECT_EQ(IntStr(-12, 2), "-12");
  EXPECT_EQ(TwoDigits(5), "05");
  EXPECT_EQ(TwoDigits(59), "59");
}

TEST(NumText, GeneralNumber) {
  EXPECT_EQ(GeneralNumber(1.5L), "1.5");
  EXPECT_EQ(GeneralNumber(-0.25L), "-0.25");
  EXPECT_EQ(GeneralNumber(1.00000001L), "1.00000001");
  EXPECT_EQ(GeneralNumber(1e-20L), "1E-20");
  EXPECT_EQ(GeneralNumber(2.5e20L), "2.5E20");
}

TEST(NumText, Utf8CountsCharacters) {
  const std::string s = "Äquin:ß";
  EXPECT_EQ(Utf8Length(s), 7u);
  EXPECT_EQ(Utf8Left(s, 2), "Äq");
  EXPECT_EQ(Utf8Mid(s, 6, 5), ":ß");
  EXPECT_EQ(Utf8Delete(s, 1, 1), "quin:ß");
  EXPECT_EQ(Utf8Insert(s, 7, "-"), "Äquin:-ß");
  EXPECT_EQ(Utf8At(s, 7), "ß");
  EXPECT_EQ(Utf8At(s, 8), "");
}

TEST(NumText, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("Grüße"));
  EXPECT_FALSE(IsValidUtf8("Gr\xfc\xdf"
                           "e"));       // Latin-1
  EXPECT_FALSE(IsValidUtf8("\xc3"));     // truncated sequence
  EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));  // overlong
  EXPECT_EQ(Latin1ToUtf8("Gr\xfc\xdf"
                         "e"),
            "Grüße");
}

}  // namespace
}  // namespace orb
