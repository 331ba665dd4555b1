// SPDX-License-Identifier: MIT
#include "capture/NumberText.h"

#include <gtest/gtest.h>

namespace tapelark {
namespace {

TEST(NumberText, BlankForTheSignPlainDecimalAtMostFifteenDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {12.345, " 12.345"}, {60, " 60"}, {0.5, " 0.5"}, {0, " 0"}, {2177280, " 2177280"}, {-1.25, "-1.25"},
        {0.001, " 0.001"}, {1.0 / 3.0, " 0.333333333333333"}, {123456789012345678.0, " 123456789012346000"},
        {1e-7, " 0.0000001"}, {0.1 + 0.2, " 0.3"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(NumberText, ParsingAllowsBlanksAroundAndNothingElse) {
    EXPECT_EQ(ParseWhole32(" 42 "), 42);
    EXPECT_EQ(ParseWhole32("-7"), -7);
    for (const char* text : {"", "4 2", "42ms", "2147483648"}) EXPECT_FALSE(ParseWhole32(text)) << text;
    EXPECT_EQ(ParseNumber("12.345"), 12.345);
    for (const char* text : {"1e5", "   "}) EXPECT_FALSE(ParseNumber(text)) << text;
}

}  // namespace
}  // namespace tapelark
