// SPDX-License-Identifier: MIT
#include <set>

#include <gtest/gtest.h>

#include "window/FormLayout.h"

namespace tapelark {
namespace {

TEST(FormLayout, EveryControlOnceInTabOrderOnWholePixels) {
    std::set<Control> seen;
    int index = 0;
    for (const auto& c : FormControls()) {
        EXPECT_EQ(c.tabIndex, index++) << c.id;
        EXPECT_TRUE(seen.insert(c.name).second) << c.id;
        EXPECT_EQ(&LayoutOf(c.name), &c) << c.id;
        for (int twips : {c.left, c.top, c.width, c.height}) EXPECT_EQ(twips % 15, 0) << c.id;
    }
    EXPECT_EQ(TwipsToPixels(4335, 96), 289);
    EXPECT_EQ(TwipsToPixels(4335, 144), 434);  // halves round up
}

}  // namespace
}  // namespace tapelark
