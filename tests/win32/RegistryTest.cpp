// SPDX-License-Identifier: MIT
// The registry reader over advapi32, against values written by Wine's reg.exe.
#include <gtest/gtest.h>

#include <string>

#include "tests/fakes/FakeMessageBoxes.h"
#include "launcher/RegistryStringReader.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowSystem.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using testing::RunAndWait;

class RegistryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string key = "HKLM\\" + SubKey();
        auto add = [&](const std::string& value, const std::string& data) {
            ASSERT_EQ(RunAndWait("reg.exe add \"" + key + "\" /v " + value + " /t REG_SZ /d \"" +
                                 data + "\" /f"),
                      0)
                << value;
        };
        add("Long254", std::string(254, 'x'));
        add("Long255", std::string(255, 'y'));
        add("Empty", "");
        add("Location", "C:\\Program Files\\VGS\\vgs.exe");
        ASSERT_EQ(RunAndWait("reg.exe add \"" + key + "\" /v Number /t REG_DWORD /d 1094861636 /f"), 0);
    }
    static void TearDownTestSuite() { RunAndWait("reg.exe delete \"HKLM\\" + SubKey() + "\" /f"); }

    static std::string SubKey() {
        return "SOFTWARE\\Tapelark Tests\\Registry " + std::to_string(GetCurrentProcessId());
    }
    std::string Read(const std::string& value) {
        return launcher.ReadRegistryString(kHkeyLocalMachine, SubKey(), value);
    }

    Win32Registry registry;
    testing::FakeMessageBoxes messages;
    RegistryStringReader launcher{registry, messages};
};

TEST_F(RegistryTest, ReadsTheLongestTextThatFitsWholeAndNothingLonger) {
    EXPECT_EQ(Read("Long254"), std::string(254, 'x'));
    EXPECT_EQ(Read("Long255"), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryTest, EmptyMissingValueAndMissingKeyGiveEmptyTextSilently) {
    EXPECT_EQ(Read("Empty"), "");
    EXPECT_EQ(Read("NoSuchValue"), "");
    EXPECT_EQ(launcher.ReadRegistryString(kHkeyLocalMachine, SubKey() + "\\Missing", "Location"), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryTest, AStringWithBlanksAndANonStringValueAreReadAsTheirBytes) {
    EXPECT_EQ(Read("Location"), "C:\\Program Files\\VGS\\vgs.exe");
    EXPECT_EQ(Read("Number"), "DCB");  // 0x41424344 little-endian, its last byte dropped
}

TEST_F(RegistryTest, ThePredefinedRootOpensAndTheCallsKeepTheirContracts) {
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, SubKey().c_str(), &key), kRegistrySuccess);
    ASSERT_NE(key, 0u);

    unsigned char data[255];
    std::uint32_t type = 2;
    std::uint32_t count = sizeof(data);
    EXPECT_EQ(registry.QueryValue(key, "Long254", nullptr, &type, data, &count), kRegistrySuccess);
    EXPECT_EQ(count, 255u);
    EXPECT_EQ(type, 1u);  // REG_SZ written back
    EXPECT_EQ(data[254], '\0');

    count = sizeof(data);
    EXPECT_EQ(registry.QueryValue(key, "Long255", nullptr, &type, data, &count), 234);  // ERROR_MORE_DATA
    EXPECT_EQ(count, 256u);

    EXPECT_EQ(registry.CloseKey(key), kRegistrySuccess);

    RegistryKey missing = 0;
    EXPECT_NE(registry.OpenKey(kHkeyLocalMachine, (SubKey() + "\\Missing").c_str(), &missing),
              kRegistrySuccess);
}

}  // namespace
}  // namespace tapelark
