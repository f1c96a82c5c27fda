// SPDX-License-Identifier: AGPL-3.0-or-later
// The lenient number reader; expected values follow from its documented rules.
#include "settings/NumberReader.h"

#include <gtest/gtest.h>

namespace orb {
namespace {

TEST(NumberReader, DecimalCommaAndPoint) {
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("7.19")), 7.19);
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("7,19")), 7.19);
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("2455956,5")), 2455956.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber(",5")), 0.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("-,5")), -0.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("-12.5")), -12.5);
}

TEST(NumberReader, SkipsWhatCannotStartANumber) {
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("  Länge: 13.4 Grad")), 13.4);
  // A point followed by a non-digit is no decimal point.
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber(".x5")), 5.0);
  // A minus sign without digits after it is skipped.
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("- 3")), 3.0);
  EXPECT_EQ(ParseNumber("keine Zahl"), 0);
  EXPECT_EQ(ParseNumber(""), 0);
}

TEST(NumberReader, Exponents) {
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("1E5")), 1e5);
  EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("1.5e-3")), 1.5e-3);
  // An E not followed by a sign or digit ends the number before it.
  std::string text = "2Ex";
  EXPECT_DOUBLE_EQ(static_cast<double>(ReadNumber(text)), 2.0);
  EXPECT_EQ(text, "Ex");
}

TEST(NumberReader, SuccessiveNumbersOfOneLine) {
  std::string line = "12  34,5 -6 q=0.98";
  EXPECT_DOUBLE_EQ(static_cast<double>(ReadNumber(line)), 12.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(ReadNumber(line)), 34.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(ReadNumber(line)), -6.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(ReadNumber(line)), 0.98);
  EXPECT_EQ(ReadNumber(line), 0);
  EXPECT_TRUE(line.empty());
}

TEST(NumberReader, UpperCaseLatin1) {
  EXPECT_EQ(UpperCaseLatin1("true"), "TRUE");
  EXPECT_EQ(UpperCaseLatin1("größe"), "GRÖßE");  // ß has no upper-case letter in Latin-1
  EXPECT_EQ(UpperCaseLatin1("äöü÷"), "ÄÖÜ÷");
}

}  // namespace
}  // namespace orb
