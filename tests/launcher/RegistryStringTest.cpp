// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/RegistryStringReader.h"
#include "tests/fakes/FakeMessageBox.h"
#include "tests/fakes/FakeRegistry.h"

namespace tapelark::testing {
namespace {

constexpr const char* kKey = "SOFTWARE\\Some Vendor\\General";

class RegistryStringTest : public ::testing::Test {
protected:
    std::string Read(const std::string& value = "Location") {
        return launcher.ReadRegistryString(kHkeyLocalMachine, kKey, value);
    }
    void Store(const FakeValue& value) { registry.keys[kKey]["Location"] = value; }

    FakeRegistry registry;
    FakeMessageBox messages;
    RegistryStringReader launcher{registry, messages};
};

TEST_F(RegistryStringTest, ReturnsTheTextWithoutItsNulUpTo254Characters) {
    Store(StringValue("C:\\VGS\\VGS.EXE"));
    EXPECT_EQ(Read(), "C:\\VGS\\VGS.EXE");

    const std::string longest(254, 'a');
    Store(StringValue(longest));
    EXPECT_EQ(Read(), longest);
}

TEST_F(RegistryStringTest, TextTooLongForTheBufferIsEmptyAndTheKeyStillClosed) {
    Store(StringValue(std::string(255, 'a')));
    EXPECT_EQ(Read(), "");
    Store(StringValue(std::string(1000, 'a')));
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(registry.calls.back(), "close 77");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryStringTest, EmptyStringAndNoBytesAreEmpty) {
    Store(StringValue(""));
    EXPECT_EQ(Read(), "");
    Store({3, ""});
    EXPECT_EQ(Read(), "");
}

TEST_F(RegistryStringTest, ValueOfAnotherTypeGivesItsBytesButTheLast) {
    Store({3, std::string("AB\x01Z", 4)});
    EXPECT_EQ(Read(), std::string("AB\x01", 3));
    Store({4, std::string("\x2a\0\0\0", 4)});
    EXPECT_EQ(Read(), std::string("\x2a\0\0", 3));
}

TEST_F(RegistryStringTest, AsksWithA255ByteBufferTypeExpandStringAndNoReserved) {
    Store(StringValue("x"));
    Read();
    EXPECT_EQ(registry.countAsked, 255u);
    EXPECT_EQ(registry.typeAsked, 2u);
    EXPECT_TRUE(registry.reservedWasNull);
    EXPECT_EQ(registry.calls, (std::vector<std::string>{
                                  "open 2147483650 SOFTWARE\\Some Vendor\\General",
                                  "query 77 Location", "close 77"}));
}

TEST_F(RegistryStringTest, MissingKeyIsEmptyWithoutQueryCloseOrMessage) {
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(registry.calls.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryStringTest, MissingValueIsEmptyAndTheKeyClosed) {
    Store(StringValue("x"));
    EXPECT_EQ(Read("Other"), "");
    EXPECT_EQ(registry.calls.back(), "close 77");
}

TEST_F(RegistryStringTest, FailedCloseIsShownWithTheSubKeyAsPassedAndKeepsTheResult) {
    registry.closeStatus = 6;
    Store(StringValue("C:\\VGS\\VGS.EXE"));
    EXPECT_EQ(Read(), "C:\\VGS\\VGS.EXE");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "RegCloseKey Failed: SOFTWARE\\Some Vendor\\General");
    EXPECT_EQ(messages.shown[0].style, kStyleExclamation);
    EXPECT_EQ(messages.shown[0].caption, "Tapelark");
}

TEST_F(RegistryStringTest, QueryThatThrowsCountsAsFailedAndIsNotRaised) {
    Store(StringValue("x"));
    registry.throwOnQuery = true;
    EXPECT_EQ(Read(), "");  // not the buffer's blanks
    EXPECT_EQ(registry.calls.back(), "close 77");
}

}  // namespace
}  // namespace tapelark::testing
