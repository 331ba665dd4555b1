// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "launcher/EmulatorStarter.h"
#include "platform/linux/WineRegistry.h"
#include "tests/fakes/FakeMessageBox.h"

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
    FakeMessageBox messages;
    RegistryStringReader launcher{registry, messages};
};

TEST_F(WineRegistryTest, ReadsTheInstallLocationWhateverTheCaseOfTheKeyPath) {
    const std::string location = "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE";
    EXPECT_EQ(Read(kEmulatorKey, kEmulatorLocationValue), location);
    EXPECT_EQ(Read("software\\connectix\\CONNECTIX virtual game station\\general", "LOCATION"), location);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WineRegistryTest, TextsUpTo254CharactersFitTheReadersBuffer) {
    EXPECT_EQ(Read(kValues, "Length254"), std::string(254, 'L'));
    EXPECT_EQ(Read(kValues, "Length255"), "");
    EXPECT_EQ(Read(kValues, "Empty"), "");
    EXPECT_EQ(Read(kValues, ""), "the default");
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

TEST_F(WineRegistryTest, HexValuesComeAsTheirBytes) {
    const std::string alphabet = std::string("ABC\0", 4) + "DEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_EQ(Query(kValues, "Binary"), std::make_pair(3u, alphabet));  // over a continued line
    EXPECT_EQ(Query(kValues, "Number"), std::make_pair(4u, std::string("\x2a\0\0\0", 4)));
    EXPECT_EQ(Query(kValues, "NoBytes"), std::make_pair(3u, std::string()));
    // The reader gives every byte but the last, whatever the type.
    EXPECT_EQ(Read(kValues, "Binary"), alphabet.substr(0, alphabet.size() - 1));
    EXPECT_EQ(Read(kValues, "NoBytes"), "");
}

TEST_F(WineRegistryTest, StringsOfEveryFormComeAsUtf8WithTheirNul) {
    const std::string nul(1, '\0');
    EXPECT_EQ(Query(kValues, "Expandable"), std::make_pair(2u, "%ProgramFiles%\\Connectix" + nul));
    EXPECT_EQ(Query(kValues, "HexExpandable"), std::make_pair(2u, "%WIN%" + nul));
    EXPECT_EQ(Query(kValues, "Multi"), std::make_pair(7u, "one" + nul + "two" + nul + nul));
    EXPECT_EQ(Read(kValues, "Escapes"), "quote \" backslash \\ tab\t e-acute \xc3\xa9 and \xe2\x82\xac");
    EXPECT_EQ(Read(kValues, "mixedcasename"), "any case");
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
