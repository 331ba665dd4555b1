// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/RegistryStringReader.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/fakes/FakeRegistry.h"

namespace tapelark::testing {
namespace {

constexpr const char* kKey = "SOFTWARE\\Some Vendor\\General";

// What the reader makes of each stored value, and of missing keys and values,
// is tested over real registries (tests/linux, tests/win32); here, the
// failures only a fake can stage.
class RegistryStringReaderTest : public ::testing::Test {
protected:
    RegistryStringReaderTest() { registry.keys[kKey]["Location"] = "C:\\VGS\\VGS.EXE"; }
    std::string Read() { return reader.ReadRegistryString(kHkeyLocalMachine, kKey, "Location"); }

    FakeRegistry registry;
    FakeMessageBoxes messages;
    RegistryStringReader reader{registry, messages};
};

TEST_F(RegistryStringReaderTest, AQueryThatThrowsGivesEmptyTextAndTheKeyIsStillClosed) {
    registry.throwOnQuery = true;
    EXPECT_EQ(Read(), "");  // not the buffer's blanks
    EXPECT_EQ(registry.calls.back(), "close 77");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryStringReaderTest, AFailedCloseIsShownWithTheSubKeyAsPassedAndKeepsTheResult) {
    registry.closeStatus = 6;
    EXPECT_EQ(Read(), "C:\\VGS\\VGS.EXE");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"RegCloseKey Failed: SOFTWARE\\Some Vendor\\General"});
    EXPECT_EQ(messages.shown[0].style, kStyleExclamation);
    EXPECT_EQ(messages.shown[0].caption, "Tapelark");
}

}  // namespace
}  // namespace tapelark::testing
