// SPDX-License-Identifier: MIT
// The launcher over the real services under Wine: the registry reader over
// advapi32, and "Start VGS" through user32, kernel32 and the toolhelp process
// list with a stand-in emulator in a process of its own. In the 32-bit build
// these suites run in a win64 prefix too.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "launcher/EmulatorLaunch.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

// Writes a value under HKLM with Wine's reg.exe, by default into the 32-bit
// view, which the reader reads whatever its own build.
void AddValue(const std::string& key, const std::string& name, const std::string& type,
              const std::string& data, const std::string& view = " /reg:32") {
    const std::string command =
        "reg.exe add \"HKLM\\" + key + "\" /v " + name + " /t " + type + " /d \"" + data + "\" /f" + view;
    ASSERT_EQ(testing::RunAndWait(command), 0) << command;
}

// Through the reader, as the launcher asks: what the registry gives back, its
// counts and its errors all show in the text.
TEST(RegistryTest, ReadsTextsThatFitAndGivesEmptyTextSilentlyForTheRest) {
    const struct {
        const char *name, *type;
        std::string data, read;  // as reg.exe takes it; as the reader gives it back
    } values[] = {
        {"Long254", "REG_SZ", std::string(254, 'x'), std::string(254, 'x')},  // the longest that fits whole
        {"Long255", "REG_SZ", std::string(255, 'y'), ""},
        {"Number", "REG_DWORD", "1094861636", "DCB"},  // 0x41424344 little-endian, its last byte dropped
        {"NoSuchValue", nullptr, "", ""},
    };
    const std::string key = "SOFTWARE\\Tapelark Tests\\Registry " + std::to_string(GetCurrentProcessId());
    Win32Registry registry;
    testing::FakeMessageBoxes messages;
    RegistryStringReader reader{registry, messages};
    for (const auto& value : values) {
        if (value.type) AddValue(key, value.name, value.type, value.data);
        EXPECT_EQ(reader.ReadRegistryString(kHkeyLocalMachine, key, value.name), value.read) << value.name;
    }
    EXPECT_EQ(reader.ReadRegistryString(kHkeyLocalMachine, key + "\\Missing", "Location"), "");
    EXPECT_TRUE(messages.shown.empty());
    testing::RunAndWait("reg.exe delete \"HKLM\\" + key + "\" /f /reg:32");
}

// A window of stand_in_emulator.exe, which counts the Enter keys it receives.
HWND Found(const std::string& title) {
    HWND window = nullptr;
    testing::Pump([&] { return (window = FindWindowA(nullptr, title.c_str())) != nullptr; });
    return window;
}
LRESULT EnterKeys(HWND standIn) { return SendMessageA(standIn, testing::kEnterKeysMessage, 0, 0); }

// "Start VGS" with the stand-in registered as the emulator: the first click
// launches it from the registry's 32-bit view, where its 32-bit installer
// writes on 64-bit Windows (a 32-bit prefix has one view: the later write
// wins); each later click wakes it with one Enter, sent once it is in front.
TEST(StartEmulatorTest, LaunchesTheEmulatorOnceThenWakesItWithOneEnterPerClick) {
    Win32WindowSystem windows;
    Win32Registry registry;
    Win32ProcessSnapshot processes;
    testing::FakeMessageBoxes messages;
    EmulatorLaunch launch{windows, registry, processes, messages};
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const auto standIn =
        "\"" + std::filesystem::path(self).replace_filename("stand_in_emulator.exe").string() + "\" ";
    AddValue(kEmulatorKey, kEmulatorLocationValue, "REG_SZ", standIn + "64-bit view", " /reg:64");
    AddValue(kEmulatorKey, kEmulatorLocationValue, "REG_SZ", standIn + kEmulatorTitle, " /reg:32");
    windows.Launch(standIn + "Another window", kShowNormal);
    HWND other = Found("Another window");

    launch.starter.StartEmulator();
    HWND emulator = Found(kEmulatorTitle);
    ASSERT_TRUE(emulator && other);
    EXPECT_FALSE(FindWindowA(nullptr, "64-bit view"));
    // The process list holds bare names, as Windows gives them: a path never matches.
    ProcessPresence presence{processes};
    EXPECT_TRUE(presence.IsRunning("stand_in_emulator.exe"));
    EXPECT_FALSE(presence.IsRunning("C:\\elsewhere\\stand_in_emulator.exe"));
    for (int click = 1; click <= 5; ++click) {
        // The emulator's title goes on with the game it runs.
        if (click == 5) SetWindowTextA(emulator, "Connectix Virtual Game Station - [game]");
        SetForegroundWindow(other);
        testing::Pump([&] { return GetForegroundWindow() == other; });
        // Wine tells the emulator of this switch later, as an X focus-out; one
        // that came after the click would take the keyboard back from it.
        Sleep(300);
        launch.starter.StartEmulator();
        testing::Pump([&] { return EnterKeys(emulator) >= click; });
        EXPECT_EQ(EnterKeys(emulator), click) << "click " << click;
    }
    EXPECT_EQ(EnterKeys(other), 0) << "an Enter went to the window that was in front";
    for (HWND window : {emulator, other}) PostMessageA(window, WM_CLOSE, 0, 0);
    for (const char* view : {" /reg:32", " /reg:64"})
        testing::RunAndWait(std::string("reg.exe delete \"HKLM\\") + kEmulatorKey + "\" /f" + view);
    EXPECT_FALSE(windows.Launch("C:\\no such folder\\vgs.exe", kShowNormal)) << "a line that cannot start";
}

}  // namespace
}  // namespace tapelark
