// SPDX-License-Identifier: MIT
// Message boxes through user32, read and closed as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/MessageBoxes.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "tests/win32/DialogDriver.h"

namespace tapelark {
namespace {

bool Shows(const testing::SeenDialog& box, const std::string& text) {
    return std::find(box.texts.begin(), box.texts.end(), text) != box.texts.end();
}

TEST(MessageBoxTest, ShowsTextAndCaptionWithTheIconTheStyleAsksFor) {
    testing::Driver state;
    testing::DialogDriver hook{state};
    ASSERT_TRUE(hook.Installed());
    state.presses = {IDOK, IDOK};
    Win32MessageBoxes messages;

    messages.Show("Saving file failed, file name was: C:\\take.wav", kStyleOk, "Tapelark");
    messages.Show("RegCloseKey Failed: SOFTWARE\\Connectix", kStyleExclamation, "Tapelark");

    ASSERT_EQ(state.seen.size(), 2u) << "each box waits for its OK";
    EXPECT_EQ(state.seen[0].title, "Tapelark");
    EXPECT_TRUE(Shows(state.seen[0], "Saving file failed, file name was: C:\\take.wav"));
    EXPECT_FALSE(state.seen[0].icon);
    EXPECT_EQ(state.seen[1].title, "Tapelark");
    EXPECT_TRUE(Shows(state.seen[1], "RegCloseKey Failed: SOFTWARE\\Connectix"));
    EXPECT_TRUE(state.seen[1].icon) << "the exclamation icon";
}

}  // namespace
}  // namespace tapelark
