// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "capture/NumberText.h"

using tapelark::NumberText;
using tapelark::ParseNumber;
using tapelark::ParseWhole32;

TEST(NumberText, BlankForTheSignPlainDecimalNoTrailingZeros) {
    EXPECT_EQ(NumberText(12.345), " 12.345");
    EXPECT_EQ(NumberText(60), " 60");
    EXPECT_EQ(NumberText(0.5), " 0.5");
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(2177280), " 2177280");
    EXPECT_EQ(NumberText(-1.25), "-1.25");
    EXPECT_EQ(NumberText(0.001), " 0.001");
}

TEST(NumberText, AtMostFifteenSignificantDigitsWithoutExponent) {
    EXPECT_EQ(NumberText(1.0 / 3.0), " 0.333333333333333");
    EXPECT_EQ(NumberText(2147483.647), " 2147483.647");
    EXPECT_EQ(NumberText(123456789012345678.0), " 123456789012346000");
    EXPECT_EQ(NumberText(1e-7), " 0.0000001");
    EXPECT_EQ(NumberText(0.1 + 0.2), " 0.3");
}

TEST(NumberText, ParsingAllowsBlanksAroundAndNothingElse) {
    EXPECT_EQ(ParseWhole32(" 42 "), 42);
    EXPECT_EQ(ParseWhole32("-7"), -7);
    EXPECT_FALSE(ParseWhole32(""));
    EXPECT_FALSE(ParseWhole32("4 2"));
    EXPECT_FALSE(ParseWhole32("42ms"));
    EXPECT_FALSE(ParseWhole32("2147483648"));
    EXPECT_EQ(ParseNumber("12.345"), 12.345);
    EXPECT_FALSE(ParseNumber("1e5"));
    EXPECT_FALSE(ParseNumber("   "));
}
