// SPDX-License-Identifier: MIT
// Activation by title, the Enter keystroke and launching, through user32 and
// kernel32 under Wine, with a window of this test standing in for the emulator.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/fakes/FakeMessageBoxes.h"
#include "launcher/EmulatorLaunch.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowSystem.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

constexpr const char* kTitle = kEmulatorTitle;  // this test's window plays the emulator

struct Received {
    int enterDown = 0;
};
Received received;

LRESULT CALLBACK EmulatorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) ++received.enterDown;
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        received = {};
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = EmulatorProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TapelarkTestEmulator";
        RegisterClassA(&windowClass);
        emulator = CreateWindowExA(0, windowClass.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, 10, 10,
                                   200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(emulator, nullptr);
        other = CreateWindowExA(0, windowClass.lpszClassName, "Another window", WS_OVERLAPPEDWINDOW,
                                300, 10, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(emulator, SW_SHOWNORMAL);
        ShowWindow(other, SW_SHOWNORMAL);
        SetForegroundWindow(other);
        Pump();
    }
    void TearDown() override {
        DestroyWindow(emulator);
        DestroyWindow(other);
    }
    // Hands queued input to the windows until `done` holds, or gives up
    // after a generous number of empty rounds.
    template <typename Done>
    static void PumpUntil(Done done) {
        for (int round = 0; round < 100 && !done(); ++round) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
    }
    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    Win32WindowSystem windows;
    HWND emulator = nullptr;
    HWND other = nullptr;
};

TEST_F(WindowSystemTest, ActivatesTheWindowWithTheTitleAndSendsItEnter) {
    ASSERT_NE(GetForegroundWindow(), emulator);
    ASSERT_TRUE(windows.ActivateByTitle(kTitle, false));
    EXPECT_EQ(GetForegroundWindow(), emulator);

    EXPECT_TRUE(windows.SendKeystrokes("~", false));
    PumpUntil([] { return received.enterDown > 0; });
    EXPECT_EQ(received.enterDown, 1);
}

TEST_F(WindowSystemTest, NoWindowAnswersToAnotherTitle) {
    EXPECT_FALSE(windows.ActivateByTitle("Connectix Virtual Game Station (not running)", false));
    EXPECT_NE(GetForegroundWindow(), emulator);
}

TEST_F(WindowSystemTest, LaunchesByCommandLineAndTellsWhatCannotStart) {
    testing::ScratchFolder folder{"tapelark launch"};
    const std::string marker = folder / "launched.txt";
    // cmd.exe runs the line and leaves a file behind as proof.
    EXPECT_TRUE(windows.Launch("cmd.exe /c echo launched > \"" + marker + "\"", kShowNormal));
    PumpUntil([&] {
        return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES &&
               testing::ReadFile(marker).find("launched") != std::string::npos;
    });
    EXPECT_NE(testing::ReadFile(marker).find("launched"), std::string::npos);

    EXPECT_FALSE(windows.Launch("", kShowNormal));
    EXPECT_FALSE(windows.Launch("C:\\no such folder\\vgs.exe", kShowNormal));
}

// "Start VGS" end to end over the real services: wake the window when there
// is one, else launch what the registry names.
class StartEmulatorTest : public WindowSystemTest {
protected:
    void TearDown() override {
        for (const char* view : {"", " /reg:32", " /reg:64"})
            testing::RunAndWait(std::string("reg.exe delete \"HKLM\\") + kEmulatorKey + "\" /f" + view);
        WindowSystemTest::TearDown();
    }
    // `view` " /reg:32" or " /reg:64" writes to that view of the registry
    // alone; without it reg.exe writes where a program of its own kind reads.
    void SetLocation(const std::string& location, const std::string& view = "") {
        ASSERT_EQ(testing::RunAndWait(std::string("reg.exe add \"HKLM\\") + kEmulatorKey + "\" /v " +
                                      kEmulatorLocationValue + " /d \"" + location + "\" /f" + view),
                  0);
    }
    std::string LaunchLine(const std::string& marker) {
        return "cmd.exe /c echo launched > \\\"" + marker + "\\\"";
    }

    Win32Registry registry;
    Win32ProcessSnapshot processes;
    testing::FakeMessageBoxes messages;
    EmulatorLaunch launch{windows, registry, processes, messages};
    EmulatorStarter& launcher = launch.starter;
    testing::ScratchFolder folder{"tapelark start"};
};

TEST_F(StartEmulatorTest, WakesARunningEmulatorWithEnterAndLaunchesNothing) {
    const std::string marker = folder / "launched.txt";
    SetLocation(LaunchLine(marker));
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(GetForegroundWindow(), emulator);
    PumpUntil([] { return received.enterDown > 0; });
    EXPECT_EQ(received.enterDown, 1);
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartEmulatorTest, WakesAnEmulatorWhoseTitleGoesOnWithItsGame) {
    SetWindowTextA(emulator, "Connectix Virtual Game Station - [game]");
    const std::string marker = folder / "launched.txt";
    SetLocation(LaunchLine(marker));
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(GetForegroundWindow(), emulator);
    PumpUntil([] { return received.enterDown > 0; });
    EXPECT_EQ(received.enterDown, 1);
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
}

// On 64-bit Windows the emulator's installer, a 32-bit program, writes its
// location to the registry's 32-bit view (WOW6432Node). Under a win64 prefix
// a location in the 64-bit view alone must not be the one launched; under a
// 32-bit Windows both writes land in its one view, the later one winning.
TEST_F(StartEmulatorTest, LaunchesTheLocationInThe32BitViewOfTheRegistry) {
    SetWindowTextA(emulator, "Something else");
    const std::string wrong = folder / "64-bit view.txt";
    const std::string right = folder / "32-bit view.txt";
    SetLocation(LaunchLine(wrong), " /reg:64");
    SetLocation(LaunchLine(right), " /reg:32");
    EXPECT_TRUE(launcher.StartEmulator());
    PumpUntil([&] { return testing::ReadFile(right).find("launched") != std::string::npos; });
    EXPECT_NE(testing::ReadFile(right).find("launched"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA(wrong.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(StartEmulatorTest, WithoutItsWindowLaunchesTheRegisteredLocation) {
    SetWindowTextA(emulator, "Something else");
    const std::string marker = folder / "launched.txt";
    SetLocation(LaunchLine(marker));
    EXPECT_TRUE(launcher.StartEmulator());
    PumpUntil([&] { return testing::ReadFile(marker).find("launched") != std::string::npos; });
    EXPECT_NE(testing::ReadFile(marker).find("launched"), std::string::npos);
    EXPECT_EQ(received.enterDown, 0);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace tapelark
