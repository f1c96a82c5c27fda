// SPDX-License-Identifier: AGPL-3.0-or-later
// Number-to-text helpers and the character-based string operations.
#include "core/NumText.h"

#include <gtest/gtest.h>

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
