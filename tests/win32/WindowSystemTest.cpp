// SPDX-License-Identifier: MIT
// Activation by title, the Enter keystroke and launching, through user32 and
// kernel32 under Wine, with a window of this test standing in for the emulator.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "launcher/EmulatorLaunch.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using testing::PumpUntil;
using testing::ReadFile;

int enterDown = 0;  // Enter keystrokes the emulator's window received

LRESULT CALLBACK EmulatorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) ++enterDown;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Launched(const std::string& marker) { return ReadFile(marker).find("launched") != std::string::npos; }

// "Start VGS" end to end over the real services: wake the window when there
// is one, else launch what the registry names.
class StartEmulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        enterDown = 0;
        emulator = Open(kEmulatorTitle, 10);
        other = Open("Another window", 300);
        ASSERT_TRUE(emulator && other);
        SetForegroundWindow(other);
        testing::Pump();
    }
    void TearDown() override {
        DestroyWindow(emulator);
        DestroyWindow(other);
        for (const char* view : {"", " /reg:32", " /reg:64"})
            testing::RunAndWait(std::string("reg.exe delete \"HKLM\\") + kEmulatorKey + "\" /f" + view);
    }

    static HWND Open(const char* title, int left) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = EmulatorProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TapelarkTestEmulator";
        RegisterClassA(&windowClass);  // once; later calls fail harmlessly
        HWND window = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, left, 10, 200,
                                      100, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        return window;
    }
    // The location is a command line that leaves `marker` behind as proof
    // that it ran. `view` " /reg:32" or " /reg:64" writes to that view of the
    // registry alone; without it reg.exe writes where a program of its own kind reads.
    void SetLocation(const std::string& marker, const std::string& view = "") {
        const std::string line = "cmd.exe /c echo launched > \\\"" + marker + "\\\"";
        ASSERT_EQ(testing::RunAndWait(std::string("reg.exe add \"HKLM\\") + kEmulatorKey + "\" /v " +
                                      kEmulatorLocationValue + " /d \"" + line + "\" /f" + view),
                  0);
    }

    HWND emulator = nullptr;
    HWND other = nullptr;
    testing::TempFolder folder{"tapelark launch"};
    Win32WindowSystem windows;
    Win32Registry registry;
    Win32ProcessSnapshot processes;
    testing::FakeMessageBoxes messages;
    EmulatorLaunch launch{windows, registry, processes, messages};
};

TEST_F(StartEmulatorTest, WakesARunningEmulatorWithEnterAndLaunchesNothing) {
    const std::string marker = folder / "launched.txt";
    SetLocation(marker);
    // The emulator's title goes on with the game it runs.
    for (const char* title : {kEmulatorTitle, "Connectix Virtual Game Station - [game]"}) {
        SCOPED_TRACE(title);
        SetWindowTextA(emulator, title);
        SetForegroundWindow(other);
        enterDown = 0;
        EXPECT_TRUE(launch.starter.StartEmulator());
        EXPECT_EQ(GetForegroundWindow(), emulator);
        PumpUntil([] { return enterDown > 0; });
        EXPECT_EQ(enterDown, 1);
    }
    EXPECT_EQ(ReadFile(marker), "");
    EXPECT_TRUE(messages.shown.empty());
}

// Without its window the emulator is launched from its registered location.
// On 64-bit Windows the emulator's installer, a 32-bit program, writes that
// to the registry's 32-bit view (WOW6432Node). Under a win64 prefix a
// location in the 64-bit view alone must not be the one launched; under a
// 32-bit Windows both writes land in its one view, the later one winning.
TEST_F(StartEmulatorTest, WithoutItsWindowLaunchesTheLocationInThe32BitView) {
    SetWindowTextA(emulator, "Something else");
    const std::string wrong = folder / "64-bit view.txt";
    const std::string right = folder / "32-bit view.txt";
    SetLocation(wrong, " /reg:64");
    SetLocation(right, " /reg:32");
    EXPECT_TRUE(launch.starter.StartEmulator());
    PumpUntil([&] { return Launched(right); });
    EXPECT_TRUE(Launched(right));
    EXPECT_EQ(ReadFile(wrong), "");
    EXPECT_EQ(enterDown, 0);
    EXPECT_TRUE(messages.shown.empty());
}

// What the start above does not meet: a longer title than the window's, and
// command lines that cannot start.
using WindowSystemTest = StartEmulatorTest;

TEST_F(WindowSystemTest, AnotherTitleActivatesNothingAndWhatCannotStartIsTold) {
    EXPECT_FALSE(windows.ActivateByTitle("Connectix Virtual Game Station (not running)", false));
    EXPECT_NE(GetForegroundWindow(), emulator);
    EXPECT_FALSE(windows.Launch("", kShowNormal));
    EXPECT_FALSE(windows.Launch("C:\\no such folder\\vgs.exe", kShowNormal));
}

}  // namespace
}  // namespace tapelark
