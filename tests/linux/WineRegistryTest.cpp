// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "launcher/EmulatorStarter.h"
#include "platform/linux/WineRegistry.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {
namespace {

const std::string kData = TAPELARK_LINUX_TEST_DATA;
constexpr const char* kValues = "SOFTWARE\\Tapelark Fixture\\Values";

// The registry reader over a fixture prefix, as "Start VGS" uses it.
class WineRegistryTest : public ::testing::Test {
protected:
    std::string Read(const std::string& key, const std::string& value) {
        return launcher.ReadRegistryString(kHkeyLocalMachine, key, value);
    }
    // The raw query, to see type and bytes.
    std::optional<std::pair<std::uint32_t, std::string>> Query(const std::string& key,
                                                                const std::string& value) {
        RegistryKey opened = 0;
        if (registry.OpenKey(kHkeyLocalMachine, key.c_str(), &opened) != kRegistrySuccess) return std::nullopt;
        unsigned char data[512];
        std::uint32_t count = sizeof data;
        std::uint32_t type = 0;
        const long status = registry.QueryValue(opened, value.c_str(), nullptr, &type, data, &count);
        EXPECT_EQ(registry.CloseKey(opened), kRegistrySuccess);
        if (status != kRegistrySuccess) return std::nullopt;
        return std::make_pair(type, std::string(reinterpret_cast<char*>(data), count));
    }

    WineRegistry registry{kData + "/prefix-win32"};
    FakeMessageBoxes messages;
    RegistryStringReader launcher{registry, messages};
};

TEST_F(WineRegistryTest, TheReaderGetsEveryValueButItsLastByteUpTo254) {
    const std::string location = "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE";
    const std::string alphabet = std::string("ABC\0", 4) + "DEFGHIJKLMNOPQRSTUVWXYZ";
    const struct {
        std::string key, value, read;
    } cases[] = {
        {kEmulatorKey, kEmulatorLocationValue, location},
        {"software\\connectix\\CONNECTIX virtual game station\\general", "LOCATION", location},
        {kValues, "Length254", std::string(254, 'L')},
        {kValues, "Length255", ""},
        {kValues, "Empty", ""},
        {kValues, "", "the default"},
        {kValues, "Binary", alphabet.substr(0, alphabet.size() - 1)},  // over a continued line
        {kValues, "NoBytes", ""},
        {kValues, "Escapes", "quote \" backslash \\ tab\t e-acute \xc3\xa9 and \xe2\x82\xac"},
        {kValues, "mixedcasename", "any case"},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.key, c.value), c.read) << c.value;
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WineRegistryTest, TooSmallABufferIsMoreDataWithTheNeededCount) {
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, kValues, &key), kRegistrySuccess);
    unsigned char data[255];
    std::uint32_t count = sizeof data;
    std::uint32_t type = 2;
    EXPECT_EQ(registry.QueryValue(key, "Length255", nullptr, &type, data, &count), 234);
    EXPECT_EQ(count, 256u);
    EXPECT_EQ(type, 1u);
    count = 0;
    EXPECT_EQ(registry.QueryValue(key, "Length254", nullptr, nullptr, nullptr, &count), kRegistrySuccess);
    EXPECT_EQ(count, 255u);  // the size alone, when no buffer is given
    EXPECT_EQ(registry.QueryValue(key, "Missing", nullptr, &type, data, &count), 2);
    EXPECT_EQ(registry.CloseKey(key), kRegistrySuccess);
    EXPECT_EQ(registry.CloseKey(key), 6);  // closed already
    EXPECT_EQ(registry.QueryValue(key, "Length254", nullptr, &type, data, &count), 6);
}

TEST_F(WineRegistryTest, EachTypeComesAsItsBytesStringsAsUtf8WithTheirNul) {
    const std::string nul(1, '\0');
    const struct {
        std::string value;
        std::uint32_t type;
        std::string bytes;
    } cases[] = {
        {"Binary", 3, std::string("ABC\0", 4) + "DEFGHIJKLMNOPQRSTUVWXYZ"},
        {"Number", 4, std::string("\x2a\0\0\0", 4)},
        {"NoBytes", 3, ""},
        {"Expandable", 2, "%ProgramFiles%\\Connectix" + nul},
        {"HexExpandable", 2, "%WIN%" + nul},
        {"Multi", 7, "one" + nul + "two" + nul + nul},
    };
    for (const auto& c : cases) EXPECT_EQ(Query(kValues, c.value), std::make_pair(c.type, c.bytes)) << c.value;
}

TEST_F(WineRegistryTest, SubKeysOpenUnderAnOpenedKey) {
    RegistryKey parent = 0;
    RegistryKey child = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, kValues, &parent), kRegistrySuccess);
    ASSERT_EQ(registry.OpenKey(parent, "Deeper [Bracketed]", &child), kRegistrySuccess);
    unsigned char data[64];
    std::uint32_t count = sizeof data;
    ASSERT_EQ(registry.QueryValue(child, "Child", nullptr, nullptr, data, &count), kRegistrySuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), "under an opened key");
    EXPECT_EQ(registry.OpenKey(parent, "Other", &child), 2);  // "Values Other" is a sibling
    EXPECT_EQ(registry.OpenKey(12345, "Deeper", &child), 6);
    registry.CloseKey(child);
    registry.CloseKey(parent);
}

TEST_F(WineRegistryTest, MissingKeyFileOrPrefixIsAMissingKeyWithoutMessage) {
    RegistryKey key = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Tapelark Fixture\\Nothing", &key), 2);
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Tapelark Fixture\\Val", &key), 2);
    EXPECT_EQ(Read("SOFTWARE\\Tapelark Fixture\\Nothing", "Location"), "");

    WineRegistry nowhere(kData + "/no-such-prefix");
    RegistryStringReader elsewhere{nowhere, messages};
    EXPECT_EQ(elsewhere.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue), "");
    EXPECT_EQ(nowhere.OpenKey(kHkeyLocalMachine, kEmulatorKey, &key), 2);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WineRegistryTest, SixtyFourBitPrefixShowsWhatA32BitProgramSees) {
    WineRegistry wide(kData + "/prefix-win64");
    RegistryStringReader launcher64{wide, messages};
    EXPECT_EQ(launcher64.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue),
              "C:\\Program Files (x86)\\Connectix\\Virtual Game Station\\VGS.EXE");
    // Written by a 64-bit tool only: still found.
    EXPECT_EQ(launcher64.ReadRegistryString(kHkeyLocalMachine, "SOFTWARE\\Only64\\General", "Location"),
              "C:\\Only in the 64-bit view\\VGS.EXE");
}

TEST(WineRegistryPrefix, ComesFromWinePrefixElseTheHomeFolder) {
    const char* savedPrefix = std::getenv("WINEPREFIX");
    const std::string kept = savedPrefix != nullptr ? savedPrefix : "";
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome != nullptr ? savedHome : "";

    setenv("WINEPREFIX", (kData + "/prefix-win32").c_str(), 1);
    WineRegistry fromEnvironment;
    EXPECT_EQ(fromEnvironment.Prefix(), kData + "/prefix-win32");
    RegistryKey key = 0;
    EXPECT_EQ(fromEnvironment.OpenKey(kHkeyLocalMachine, kEmulatorKey, &key), kRegistrySuccess);

    unsetenv("WINEPREFIX");
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(WineRegistry().Prefix(), "/home/player/.wine");

    setenv("HOME", home.c_str(), 1);
    if (savedPrefix != nullptr) setenv("WINEPREFIX", kept.c_str(), 1);
}

}  // namespace
}  // namespace tapelark::testing
