// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "window/OfferUnsavedTakes.h"

namespace tapelark {
namespace {

TEST(UnsavedTakeText, SaysHowLongAndWhenAsTheUsersClockDoes) {
    const LocalTime now{2026, 12, 1, 9, 5};
    const struct {
        double seconds;
        LocalTime started;
        const char* text;
    } cases[] = {
        {14.9, {2026, 12, 1, 9, 3}, "14 s from today 09:03"},
        {134, {2026, 12, 1, 21, 3}, "2 min 14 s from today 21:03"},
        {3725, {2026, 11, 30, 23, 59}, "1 h 2 min 5 s from yesterday 23:59"},  // over a month's end
        {60, {2025, 12, 1, 9, 5}, "1 min 0 s from 2025-12-01 09:05"},
    };
    for (const auto& c : cases) EXPECT_EQ(TakeLengthAndStart(c.seconds, c.started, now), c.text);
}

}  // namespace
}  // namespace tapelark
