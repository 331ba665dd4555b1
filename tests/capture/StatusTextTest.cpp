// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "capture/NumberText.h"
#include "tests/capture/Harness.h"

namespace tapelark::testing {
namespace {

// The mode, and the order of the requests, show in the window's status line (tests/window).
TEST(Status, LengthTextShowsWhatEachAnswerHolds) {
    const struct {
        std::vector<FakeMciChannel::Answer> answers;  // milliseconds, then bytes
        std::string text;
    } cases[] = {
        {{{0, "12345"}, {0, "2177280"}}, "Length recording  12.345 s ( 2177280 bytes)"},
        {{{0, " 500 "}, {0, "88200"}}, "Length recording  0.5 s ( 88200 bytes)"},
        {{{0, "25000000"}, {0, "4410000000"}}, "Length recording  25000 s ( 4410000000 bytes)"},
        // A reply that is no number leaves its part out.
        {{{0, "twelve"}, {0, "2177280"}}, " ( 2177280 bytes)"},
        {{{0, "12345"}, {0, "lots"}}, "Length recording  12.345 s"},
        {{{0, "3000000000"}, {0, "1"}}, " ( 1 bytes)"},  // past 32 bits of milliseconds
        // A failed request neither: the seconds are not shown as bytes.
        {{{0, "12345"}, {263, ""}}, "Length recording  12.345 s"},
        {{{263, ""}}, ""},
    };
    for (const auto& c : cases) {
        CaptureHarness h;
        h.mci.Script("status capture length", c.answers);
        EXPECT_EQ(h.capture.CaptureLengthText(), c.text);
        EXPECT_TRUE(h.messages.shown.empty());
    }
}

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
}  // namespace tapelark::testing
