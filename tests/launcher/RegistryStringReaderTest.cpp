// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/RegistryStringReader.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/fakes/FakeRegistry.h"

namespace tapelark::testing {
namespace {

constexpr const char* kKey = "SOFTWARE\\Some Vendor\\General";

class RegistryStringReaderTest : public ::testing::Test {
protected:
    std::string Read(const std::string& value = "Location") {
        return reader.ReadRegistryString(kHkeyLocalMachine, kKey, value);
    }
    void Store(const FakeValue& value) { registry.keys[kKey]["Location"] = value; }

    FakeRegistry registry;
    FakeMessageBoxes messages;
    RegistryStringReader reader{registry, messages};
};

TEST_F(RegistryStringReaderTest, GivesTheStoredBytesButTheLastUpTo254) {
    const struct {
        FakeValue stored;
        std::string read;
    } cases[] = {
        {StringValue("C:\\VGS\\VGS.EXE"), "C:\\VGS\\VGS.EXE"},
        {StringValue(std::string(254, 'a')), std::string(254, 'a')},
        {StringValue(std::string(255, 'a')), ""},  // too long for the buffer
        {StringValue(std::string(1000, 'a')), ""},
        {StringValue(""), ""},
        {{3, ""}, ""},
        {{3, std::string("AB\x01Z", 4)}, std::string("AB\x01", 3)},  // any type alike
        {{4, std::string("\x2a\0\0\0", 4)}, std::string("\x2a\0\0", 3)},
    };
    for (const auto& c : cases) {
        Store(c.stored);
        EXPECT_EQ(Read(), c.read) << c.stored.bytes.size() << " bytes";
        EXPECT_EQ(registry.calls.back(), "close 77");
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryStringReaderTest, AsksWithA255ByteBufferTypeExpandStringAndNoReserved) {
    Store(StringValue("x"));
    Read();
    EXPECT_EQ(registry.countAsked, 255u);
    EXPECT_EQ(registry.typeAsked, 2u);
    EXPECT_TRUE(registry.reservedWasNull);
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"open 2147483650 SOFTWARE\\Some Vendor\\General",
                                                        "query 77 Location", "close 77"}));
}

TEST_F(RegistryStringReaderTest, WhatCannotBeReadIsEmptyAndAnOpenedKeyClosed) {
    EXPECT_EQ(Read(), "");  // no key: nothing to query or close
    EXPECT_EQ(registry.calls.size(), 1u);

    Store(StringValue("x"));
    EXPECT_EQ(Read("Other"), "");
    EXPECT_EQ(registry.calls.back(), "close 77");

    registry.throwOnQuery = true;
    EXPECT_EQ(Read(), "");  // not the buffer's blanks
    EXPECT_EQ(registry.calls.back(), "close 77");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryStringReaderTest, FailedCloseIsShownWithTheSubKeyAsPassedAndKeepsTheResult) {
    registry.closeStatus = 6;
    Store(StringValue("C:\\VGS\\VGS.EXE"));
    EXPECT_EQ(Read(), "C:\\VGS\\VGS.EXE");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "RegCloseKey Failed: SOFTWARE\\Some Vendor\\General");
    EXPECT_EQ(messages.shown[0].style, kStyleExclamation);
    EXPECT_EQ(messages.shown[0].caption, "Tapelark");
}

}  // namespace
}  // namespace tapelark::testing
