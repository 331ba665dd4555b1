// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>

#include "launcher/EmulatorStarter.h"
#include "platform/linux/WineRegistry.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {
namespace {

constexpr const char* kValues = "SOFTWARE\\Tapelark Fixture\\Values";

std::string Prefix() {
    const char* prefix = std::getenv("TAPELARK_WINE_REGISTRY_PREFIX");
    return prefix != nullptr ? prefix : "";
}

// The registry reader over a prefix whose values Wine's own reg.exe wrote.
class WineWrittenRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(Prefix().empty()); }
    std::string Read(const std::string& key, const std::string& value) {
        return launcher.ReadRegistryString(kHkeyLocalMachine, key, value);
    }

    WineRegistry registry{Prefix()};
    FakeMessageBoxes messages;
    RegistryStringReader launcher{registry, messages};
};

TEST_F(WineWrittenRegistryTest, InstallLocationComesAsUtf8) {
    EXPECT_EQ(Read(kEmulatorKey, kEmulatorLocationValue),
              "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS \xc3\xa9.EXE");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WineWrittenRegistryTest, StringsAndTheBufferLimit) {
    EXPECT_EQ(Read(kValues, "Length254"), std::string(254, 'L'));
    EXPECT_EQ(Read(kValues, "Length255"), "");
    EXPECT_EQ(Read(kValues, "Empty"), "");
    EXPECT_EQ(Read("software\\tapelark fixture\\values", "expandable"), "%ProgramFiles%\\Connectix");
}

TEST_F(WineWrittenRegistryTest, OtherTypesComeAsTheirBytes) {
    std::string bytes;
    for (int i = 1; i <= 40; ++i) bytes += static_cast<char>(i);
    EXPECT_EQ(Read(kValues, "Binary"), bytes.substr(0, 39));
    EXPECT_EQ(Read(kValues, "Number"), std::string("\x2a\0\0", 3));
}

}  // namespace
}  // namespace tapelark::testing
