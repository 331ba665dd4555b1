// SPDX-License-Identifier: MIT
// The launcher over the real services under Wine: the registry reader over
// advapi32, the process check over the toolhelp snapshot, and "Start VGS"
// through user32 and kernel32 with a window of this test standing in for the
// emulator. The registry, process and start suites run in a win64 prefix too.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/AsciiText.h"
#include "launcher/EmulatorLaunch.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using testing::ReadFile;

// Writes a value under HKLM with Wine's reg.exe: into one view of the registry
// (`view` " /reg:32" or " /reg:64"), else where a program of its kind reads.
void AddValue(const std::string& key, const std::string& name, const std::string& type,
              const std::string& data, const std::string& view = "") {
    const std::string command =
        "reg.exe add \"HKLM\\" + key + "\" /v " + name + " /t " + type + " /d \"" + data + "\" /f" + view;
    ASSERT_EQ(testing::RunAndWait(command), 0) << command;
}

struct Value {
    const char *name, *type;
    std::string data, read;  // as reg.exe takes it; as the reader gives it back
};

const std::vector<Value> kValues = {
    {"Long254", "REG_SZ", std::string(254, 'x'), std::string(254, 'x')},  // the longest that fits whole
    {"Long255", "REG_SZ", std::string(255, 'y'), ""},
    {"Empty", "REG_SZ", "", ""},
    {"Number", "REG_DWORD", "1094861636", "DCB"},  // 0x41424344 little-endian, its last byte dropped
};

// Through the reader, as the launcher asks: what the registry gives back, its
// counts and its errors all show in the text.
TEST(RegistryTest, ReadsTextsThatFitAndGivesEmptyTextSilentlyForTheRest) {
    const std::string key = "SOFTWARE\\Tapelark Tests\\Registry " + std::to_string(GetCurrentProcessId());
    for (const Value& value : kValues) AddValue(key, value.name, value.type, value.data);
    Win32Registry registry;
    testing::FakeMessageBoxes messages;
    RegistryStringReader reader{registry, messages};

    for (const Value& value : kValues)
        EXPECT_EQ(reader.ReadRegistryString(kHkeyLocalMachine, key, value.name), value.read) << value.name;
    EXPECT_EQ(reader.ReadRegistryString(kHkeyLocalMachine, key, "NoSuchValue"), "");
    EXPECT_EQ(reader.ReadRegistryString(kHkeyLocalMachine, key + "\\Missing", "Location"), "");
    EXPECT_TRUE(messages.shown.empty());
    testing::RunAndWait("reg.exe delete \"HKLM\\" + key + "\" /f");
}

TEST(ProcessTest, FindsItsOwnExecutableByTheTailOfItsNameWhateverTheCase) {
    Win32ProcessSnapshot processes;
    ProcessPresence presence{processes};
    char path[MAX_PATH];
    const std::string full(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    const std::string name = full.substr(full.find_last_of('\\') + 1);
    ASSERT_GT(name.size(), 4u);
    const struct {
        std::string name;
        bool running;
    } cases[] = {
        {name, true},
        {AsciiUpperCase(name.substr(1)), true},
        {"no such program " + std::to_string(GetCurrentProcessId()) + ".exe", false},
        {"C:\\elsewhere\\" + name, false},
    };
    for (const auto& check : cases) EXPECT_EQ(presence.IsRunning(check.name), check.running) << check.name;
}

int enterDown = 0;  // Enter keystrokes the emulator's window received

LRESULT CALLBACK EmulatorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) ++enterDown;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Launched(const std::string& marker) { return ReadFile(marker).find("launched") != std::string::npos; }

// "Start VGS" end to end: wake the window when there is one, else launch what
// the registry names.
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
        return CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, left,
                               10, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    // The location is a command line that leaves `marker` behind as proof that it ran.
    void SetLocation(const std::string& marker, const std::string& view = "") {
        const std::string line = "cmd.exe /c echo launched > \\\"" + marker + "\\\"";
        AddValue(kEmulatorKey, kEmulatorLocationValue, "REG_SZ", line, view);
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
    EXPECT_FALSE(windows.ActivateByTitle("Connectix Virtual Game Station (not running)", false));
    EXPECT_NE(GetForegroundWindow(), emulator) << "a longer title than the window's is another window's";
    // The emulator's title goes on with the game it runs.
    for (const char* title : {kEmulatorTitle, "Connectix Virtual Game Station - [game]"}) {
        SCOPED_TRACE(title);
        SetWindowTextA(emulator, title);
        SetForegroundWindow(other);
        enterDown = 0;
        EXPECT_TRUE(launch.starter.StartEmulator());
        EXPECT_EQ(GetForegroundWindow(), emulator);
        testing::PumpUntil([] { return enterDown > 0; });
        EXPECT_EQ(enterDown, 1);
    }
    EXPECT_EQ(ReadFile(marker), "");
    EXPECT_TRUE(messages.shown.empty());
}

// Without its window the emulator is launched from its registered location,
// read in the registry's 32-bit view (WOW6432Node), where its 32-bit installer
// writes on 64-bit Windows. Under a 32-bit prefix both writes land in its one
// view, the later one winning.
TEST_F(StartEmulatorTest, WithoutItsWindowLaunchesTheLocationInThe32BitView) {
    SetWindowTextA(emulator, "Something else");
    const std::string wrong = folder / "64-bit view.txt";
    const std::string right = folder / "32-bit view.txt";
    SetLocation(wrong, " /reg:64");
    SetLocation(right, " /reg:32");
    EXPECT_TRUE(launch.starter.StartEmulator());
    testing::PumpUntil([&] { return Launched(right); });
    EXPECT_TRUE(Launched(right));
    EXPECT_EQ(ReadFile(wrong), "");
    EXPECT_EQ(enterDown, 0);
    EXPECT_TRUE(messages.shown.empty());

    // A line that cannot start is told.
    EXPECT_FALSE(windows.Launch("", kShowNormal));
    EXPECT_FALSE(windows.Launch("C:\\no such folder\\vgs.exe", kShowNormal));
}

}  // namespace
}  // namespace tapelark
