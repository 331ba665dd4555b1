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

// A value as "Start VGS" reads it from the prefix's registry.
std::string Read(const std::string& prefix, const std::string& key, const std::string& value) {
    WineRegistry registry(prefix);
    FakeMessageBoxes messages;
    const std::string text = RegistryStringReader(registry, messages).ReadRegistryString(kHkeyLocalMachine, key, value);
    EXPECT_TRUE(messages.shown.empty());
    return text;
}

TEST(WineRegistry, TheReaderGetsEveryValueButItsLastByteUpTo254) {
    const std::string win32 = kData + "/prefix-win32", win64 = kData + "/prefix-win64";
    // Values that Wine's own reg.exe wrote (see wine-registry-prefix).
    const char* written = std::getenv("TAPELARK_WINE_REGISTRY_PREFIX");
    ASSERT_NE(written, nullptr);
    const std::string location = "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE";
    const std::string alphabet = std::string("ABC\0", 4) + "DEFGHIJKLMNOPQRSTUVWXYZ";
    std::string bytes;
    for (char i = 1; i <= 39; ++i) bytes += i;
    const struct {
        std::string prefix, key, value, read;
    } cases[] = {
        {win32, kEmulatorKey, kEmulatorLocationValue, location},
        {win32, "software\\connectix\\CONNECTIX virtual game station\\general", "LOCATION", location},
        {win32, kValues, "Length254", std::string(254, 'L')},
        {win32, kValues, "Length255", ""},
        {win32, kValues, "Empty", ""},
        {win32, kValues, "", "the default"},
        {win32, kValues, "Binary", alphabet.substr(0, alphabet.size() - 1)},  // over a continued line
        {win32, kValues, "NoBytes", ""},
        {win32, kValues, "Number", std::string("\x2a\0\0", 3)},
        {win32, kValues, "HexExpandable", "%WIN%"},  // UTF-16 bytes come as UTF-8
        {win32, kValues, "Multi", std::string("one\0two\0", 8)},
        {win32, kValues, "Escapes", "quote \" backslash \\ tab\t e-acute \xc3\xa9 and \xe2\x82\xac"},
        {win32, kValues, "mixedcasename", "any case"},
        {win32, "SOFTWARE\\Tapelark Fixture\\Nothing", "Location", ""},
        {kData + "/no-such-prefix", kEmulatorKey, kEmulatorLocationValue, ""},
        // A 64-bit prefix shows what a 32-bit program sees, and what only a 64-bit tool wrote.
        {win64, kEmulatorKey, kEmulatorLocationValue, "C:\\Program Files (x86)\\Connectix\\Virtual Game Station\\VGS.EXE"},
        {win64, "SOFTWARE\\Only64\\General", "Location", "C:\\Only in the 64-bit view\\VGS.EXE"},
        {written, kEmulatorKey, kEmulatorLocationValue, "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS \xc3\xa9.EXE"},
        {written, kValues, "Length254", std::string(254, 'L')},
        {written, "software\\tapelark fixture\\values", "expandable", "%ProgramFiles%\\Connectix"},
        {written, kValues, "Binary", bytes},
        {written, kValues, "Number", std::string("\x2a\0\0", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.prefix, c.key, c.value), c.read) << c.prefix << " " << c.value;
}

TEST(WineRegistry, SizesStatusCodesAndSubKeysAreAsOnWindows) {
    WineRegistry registry(kData + "/prefix-win32");
    RegistryKey key = 0;
    RegistryKey child = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Tapelark Fixture\\Val", &child), 2);
    EXPECT_EQ(WineRegistry(kData + "/no-such-prefix").OpenKey(kHkeyLocalMachine, kValues, &child), 2);
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, kValues, &key), kRegistrySuccess);
    unsigned char data[255];
    std::uint32_t count = sizeof data;
    std::uint32_t type = 2;
    EXPECT_EQ(registry.QueryValue(key, "Length255", nullptr, &type, data, &count), 234);  // more data
    EXPECT_EQ(count, 256u);
    EXPECT_EQ(type, 1u);
    count = 0;
    EXPECT_EQ(registry.QueryValue(key, "Length254", nullptr, nullptr, nullptr, &count), kRegistrySuccess);
    EXPECT_EQ(count, 255u);  // the size alone, when no buffer is given
    EXPECT_EQ(registry.QueryValue(key, "Missing", nullptr, &type, data, &count), 2);

    ASSERT_EQ(registry.OpenKey(key, "Deeper [Bracketed]", &child), kRegistrySuccess);
    count = sizeof data;
    EXPECT_EQ(registry.QueryValue(child, "Child", nullptr, &type, data, &count), kRegistrySuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), "under an opened key");
    EXPECT_EQ(registry.OpenKey(key, "Other", &child), 2);  // "Values Other" is a sibling
    EXPECT_EQ(registry.OpenKey(12345, "Deeper", &child), 6);
    EXPECT_EQ(registry.CloseKey(key), kRegistrySuccess);
    EXPECT_EQ(registry.CloseKey(key), 6);  // closed already
    EXPECT_EQ(registry.QueryValue(key, "Length254", nullptr, &type, data, &count), 6);
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
