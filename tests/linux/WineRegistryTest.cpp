// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>

#include "launcher/EmulatorStarter.h"
#include "platform/linux/WineRegistry.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {
namespace {

const std::string kData = TAPELARK_LINUX_TEST_DATA;
constexpr const char* kValues = "SOFTWARE\\Tapelark Fixture\\Values";

TEST(WineRegistry, TheReaderGetsEveryValueButItsLastByteUpTo254) {
    // Values that Wine's own reg.exe wrote (see wine-registry-prefix).
    const char* wine = std::getenv("TAPELARK_WINE_REGISTRY_PREFIX");
    ASSERT_NE(wine, nullptr);
    std::string bytes;
    for (char i = 1; i <= 39; ++i) bytes += i;
    const struct {
        std::string prefix, key, value, read;
    } cases[] = {
        // What reg.exe never writes: a string type's UTF-16 bytes in hex, which come as UTF-8.
        {kData + "/prefix-win32", kValues, "HexExpandable", "%WIN%"},
        {kData + "/no-such-prefix", kEmulatorKey, "Location", ""},
        // A 64-bit prefix shows what a 32-bit program sees; the values below are only in its 64-bit view.
        {wine, kEmulatorKey, "Location",
         "C:\\Program Files (x86)\\Connectix\\Virtual Game Station\\VGS \xc3\xa9.EXE"},
        {wine, kValues, "Length254", std::string(254, 'L')},
        {wine, kValues, "Length255", ""},
        {wine, kValues, "Empty", ""},
        {wine, "software\\tapelark fixture\\values", "expandable", "%ProgramFiles%\\Connectix"},
        {wine, kValues, "Binary", bytes},  // over a continued line
        {wine, kValues, "NoBytes", ""},
        {wine, kValues, "Multi", std::string("one\0two\0", 8)},
        {wine, kValues, "Escapes", "quote \" backslash \\ tab\t e-acute \xc3\xa9 and \xe2\x82\xac"},
        {wine, kValues, "", "the default"},
        {wine, kValues, "Child", ""},  // in "Values Other", a sibling
        {wine, kValues, "Number", std::string("\x2a\0\0", 3)},
    };
    for (const auto& c : cases) {
        WineRegistry registry(c.prefix);
        FakeMessageBoxes boxes;
        EXPECT_EQ(RegistryStringReader(registry, boxes).ReadRegistryString(kHkeyLocalMachine, c.key, c.value),
                  c.read)
            << c.prefix << ":" << c.value;
        EXPECT_TRUE(boxes.shown.empty());
    }
}

// Last: it leaves the environment changed.
TEST(WineRegistryPrefix, ComesFromWinePrefixElseTheHomeFolder) {
    setenv("WINEPREFIX", "/games/prefix", 1);
    EXPECT_EQ(WineRegistry().Prefix(), "/games/prefix");
    unsetenv("WINEPREFIX");
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(WineRegistry().Prefix(), "/home/player/.wine");
}

}  // namespace
}  // namespace tapelark::testing
