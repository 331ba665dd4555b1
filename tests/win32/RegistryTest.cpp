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

// Through the reader, as the launcher asks: what the registry gives back, its
// counts and its errors all show in the text.
TEST_F(RegistryTest, ReadsTextsThatFitAndGivesEmptyTextSilentlyForTheRest) {
    for (const Value& value : kValues)
        EXPECT_EQ(launcher.ReadRegistryString(kHkeyLocalMachine, SubKey(), value.name), value.read) << value.name;
    EXPECT_EQ(launcher.ReadRegistryString(kHkeyLocalMachine, SubKey(), "NoSuchValue"), "");
    EXPECT_EQ(launcher.ReadRegistryString(kHkeyLocalMachine, SubKey() + "\\Missing", "Location"), "");
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace tapelark
