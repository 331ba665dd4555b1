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
    EXPECT_EQ(TwipsToPixels(FormWindowLayout().clientWidth, 96), 289);
    EXPECT_EQ(TwipsToPixels(FormWindowLayout().clientHeight, 96), 158);
    EXPECT_EQ(TwipsToPixels(4335, 192), 578);
}

TEST(FormLayout, OnlyRecordAndStartVgsAcceptClicksAtStartAndTheCreditsToolTipIsTheirAddress) {
    std::set<Control> enabledButtons;
    for (const auto& c : FormControls())
        if (c.kind == ControlKind::GraphicalButton && c.enabledAtStart) enabledButtons.insert(c.name);
    EXPECT_EQ(enabledButtons, (std::set<Control>{Control::btnWaveRec, Control::Command1}));
    EXPECT_STREQ(LayoutOf(Control::lblCredits).toolTip, HomePageAddress());
}

}  // namespace
}  // namespace tapelark
