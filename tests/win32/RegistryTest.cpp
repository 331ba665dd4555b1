// SPDX-License-Identifier: MIT
// The registry reader over advapi32, against values written by Wine's reg.exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/RegistryStringReader.h"
#include "platform/win32/Win32Registry.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

struct Value {
    const char* name;
    const char* type;
    std::string data;  // as reg.exe takes it
    std::string read;
};

const std::vector<Value> kValues = {
    {"Long254", "REG_SZ", std::string(254, 'x'), std::string(254, 'x')},  // the longest that fits whole
    {"Long255", "REG_SZ", std::string(255, 'y'), ""},
    {"Empty", "REG_SZ", "", ""},
    {"Location", "REG_SZ", "C:\\Program Files\\VGS\\vgs.exe", "C:\\Program Files\\VGS\\vgs.exe"},
    {"Number", "REG_DWORD", "1094861636", "DCB"},  // 0x41424344 little-endian, its last byte dropped
};

class RegistryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const Value& value : kValues)
            ASSERT_EQ(testing::RunAndWait("reg.exe add \"HKLM\\" + SubKey() + "\" /v " + value.name + " /t " +
                                          value.type + " /d \"" + value.data + "\" /f"),
                      0)
                << value.name;
    }
    static void TearDownTestSuite() { testing::RunAndWait("reg.exe delete \"HKLM\\" + SubKey() + "\" /f"); }

    static std::string SubKey() {
        return "SOFTWARE\\Tapelark Tests\\Registry " + std::to_string(GetCurrentProcessId());
    }

    Win32Registry registry;
    testing::FakeMessageBoxes messages;
    RegistryStringReader launcher{registry, messages};
};

TEST_F(RegistryTest, ReadsTextsThatFitAndGivesEmptyTextSilentlyForTheRest) {
    for (const Value& value : kValues)
        EXPECT_EQ(launcher.ReadRegistryString(kHkeyLocalMachine, SubKey(), value.name), value.read) << value.name;
    EXPECT_EQ(launcher.ReadRegistryString(kHkeyLocalMachine, SubKey(), "NoSuchValue"), "");
    EXPECT_EQ(launcher.ReadRegistryString(kHkeyLocalMachine, SubKey() + "\\Missing", "Location"), "");
    EXPECT_TRUE(messages.shown.empty());
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
