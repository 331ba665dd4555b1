// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/RegistryStringReader.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/fakes/FakeRegistry.h"

namespace tapelark::testing {
namespace {

// What the reader makes of each stored value, and of missing keys and values,
// is tested over real registries (tests/linux, tests/win32); here, the
// failures only a fake can stage.
TEST(RegistryStringReader, AFailedCloseIsShownKeepingTheResultAndAFailedQueryGivesNothing) {
    const std::string key = "SOFTWARE\\Some Vendor\\General";
    FakeRegistry registry;
    FakeMessageBoxes messages;
    RegistryStringReader reader{registry, messages};
    registry.keys[key]["Location"] = "C:\\VGS\\VGS.EXE";
    registry.closeStatus = 6;
    EXPECT_EQ(reader.ReadRegistryString(kHkeyLocalMachine, key, "Location"), "C:\\VGS\\VGS.EXE");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"RegCloseKey Failed: " + key});
    EXPECT_EQ(messages.shown[0].style, kStyleExclamation);

    registry.throwOnQuery = true;
    EXPECT_EQ(reader.ReadRegistryString(kHkeyLocalMachine, key, "Location"), "");  // not the buffer's blanks
    EXPECT_EQ(registry.calls.back(), "close 77");
}

}  // namespace
}  // namespace tapelark::testing
