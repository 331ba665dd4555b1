// SPDX-License-Identifier: MIT
// Launching the emulator on Linux: its command line, starting it detached,
// and "Start VGS" end to end on a real X server (Xvfb alone, under a window
// manager, and weston's XWayland).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "launcher/EmulatorLaunch.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "platform/linux/ProgramLauncher.h"
#include "platform/linux/WineRegistry.h"
#include "platform/linux/X11WindowSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

namespace tapelark::testing {
namespace {

using Lines = std::vector<std::string>;

// Reads a file's lines until there are `atLeast`, or a generous deadline
// passes, so a fault fails the test instead of hanging it.
Lines LinesOf(const std::string& path, std::size_t atLeast = 0) {
    for (int tries = 0;; ++tries) {
        std::ifstream file(path);
        Lines lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        if (lines.size() >= atLeast || tries == 3000) return lines;
        usleep(10000);
    }
}

TEST(LaunchArguments, WindowsProgramsGoToWineAndTheTextIsNeverSplitForAShell) {
    const std::string vgs = "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE";
    const std::pair<std::string, Lines> cases[] = {
        {vgs, {"wine", vgs}},
        {"  \"C:\\Program Files\\VGS\\VGS.EXE\" -full \"two words\"  ",
         {"wine", "C:\\Program Files\\VGS\\VGS.EXE", "-full", "two words"}},
        {"C:\\Games\\VGS.exe /cd d:", {"wine", "C:\\Games\\VGS.exe", "/cd", "d:"}},
        {"D:/Games/vgs.exe", {"wine", "D:/Games/vgs.exe"}},
        {"vgs.exe", {"wine", "vgs.exe"}},
        {"C:\\Odd.exes\\VGS.EXE", {"wine", "C:\\Odd.exes\\VGS.EXE"}},
        {"/opt/vgs/stand in.sh", {"/opt/vgs/stand in.sh"}},
        {std::string("/bin/true\0 extra", 16), {"/bin/true"}},
        {"   ", {}},
        {"\"\" x", {}},
    };
    for (const auto& [text, args] : cases) EXPECT_EQ(LaunchArguments(text), args) << text;
}

TEST(LaunchDetached, StartsInItsOwnSessionFindsProgramsOnThePathAndNeverRunsAShell) {
    TempFolder folder{"tapelark-launch"};
    // A stand-in for the emulator: each start appends "PID PARENT SESSION ARGUMENTS" to launched.log.
    const std::string standIn = folder / "standin-vgs";
    std::ofstream(standIn) << "#!/bin/sh\necho \"$$ $PPID $(ps -o sid= -p $$) $*\" >> '"
                           << folder / "launched.log"
                           << "'\n";
    chmod(standIn.c_str(), 0755);
    ASSERT_TRUE(LaunchDetached({standIn, "one", "two words"}));
    std::istringstream fields(LinesOf(folder / "launched.log", 1).at(0));
    pid_t pid = 0, parent = 0, session = 0;
    std::string rest;
    fields >> pid >> parent >> session;
    std::getline(fields, rest);
    EXPECT_TRUE(parent != getpid() && session != getsid(0));  // handed over, not our child
    EXPECT_EQ(rest, " one two words");

    X11WindowSystem windows(":no-such-display");  // which launching does not need
    EXPECT_FALSE(windows.ActivateByTitle("VGS", false) || windows.SendKeystrokes("~", false));
    setenv("PATH", (folder.path() + ":" + std::getenv("PATH")).c_str(), 1);
    EXPECT_TRUE(windows.Launch("standin-vgs", kShowNormal));
    EXPECT_EQ(LinesOf(folder / "launched.log", 2).size(), 2u);
    // A missing or blank program, a folder or a file that may not run fails, and no shell reads the line.
    const std::string marker = folder / "marker";
    std::ofstream(marker + ".txt") << "not executable";
    EXPECT_FALSE(windows.Launch(folder / "absent; touch " + marker, kShowNormal));
    EXPECT_FALSE(LaunchDetached({}) || LaunchDetached({folder.path()}) || LaunchDetached({marker + ".txt"}));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

// Whether a shell check comes to hold within ten seconds: a busy machine is slow to start a manager.
bool Eventually(const std::string& check) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::system(check.c_str()) != 0) {
        if (std::chrono::steady_clock::now() > until) return false;
        usleep(10000);
    }
    return true;
}

// The stand-in emulator window (EmulatorWindowHelper.cpp), and what it reported.
struct EmulatorWindow {
    EmulatorWindow(const TempFolder& folder, const std::string& title, const char* option = "")
        : title(title), report(folder / title),
          helper(TAPELARK_WINDOW_HELPER, {"window-helper", title, report, option}) {
        const Lines ready = LinesOf(report, 1);
        if (!ready.empty()) window = std::stoul(ready[0]);
    }
    // Sends it Escape, which ends it; the keys it got.
    Lines End() {
        X11WindowSystem x;
        EXPECT_TRUE(x.ActivateByTitle(title, false) && x.SendKeystrokes("{ESC}", false));
        helper.Wait();
        const Lines lines = LinesOf(report);
        return lines.empty() ? lines : Lines(lines.begin() + 1, lines.end());
    }
    std::string title, report;
    ChildProcess helper;
    unsigned long window = 0;
};

// "Start VGS" over the real window system and process list; no install location is registered.
class X11LauncherTest : public ::testing::Test {
protected:
    TempFolder folder{"tapelark-launch"};
    X11WindowSystem windows;
    WineRegistry registry{folder.path()};
    ProcProcessSnapshot processes;
    FakeMessageBoxes messages;
    EmulatorLaunch launch{windows, registry, processes, messages};
};

// Also under weston, whose window manager keeps no client list and ignores activation requests.
TEST_F(X11LauncherTest, OnlyTheEmulatorsWindowAnswersAndItGetsExactlyOneEnter) {
    // Only a title that begins with the emulator's answers.
    const std::string shorter = "Connectix Virtual Game";
    EmulatorWindow other(folder, shorter);
    EXPECT_FALSE(windows.ActivateByTitle(kEmulatorTitle, false));

    EmulatorWindow window(folder, std::string(kEmulatorTitle) + " - Ridge Racer", "--net-wm-name-only");
    ASSERT_NE(window.window, 0u);
    EXPECT_TRUE(launch.starter.StartEmulator());
    // A capital letter goes with Shift; a modifier is held around its key.
    ASSERT_TRUE(windows.SendKeystrokes("A^x", false));
    EXPECT_EQ(window.End(), (Lines{"press Return", "release Return", "press Shift_L", "press a", "release a",
                                   "release Shift_L", "press Control_L", "press x", "release x",
                                   "release Control_L", "press Escape", "release Escape"}));
    EXPECT_EQ(other.End(), (Lines{"press Escape", "release Escape"}));
}

TEST_F(X11LauncherTest, UnderAWindowManagerTheEmulatorIsActivatedThroughIt) {
    ChildProcess manager(TAPELARK_WINDOW_MANAGER, {"evilwm", "-fn", "fixed"});
    // It runs once its check window names itself, and can find a window once it lists it.
    ASSERT_TRUE(
        Eventually("w=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>&1) && w=${w##* } && "
                   "xprop -id \"$w\" _NET_SUPPORTING_WM_CHECK 2>&1 | grep -q \"# $w\\$\""));
    const auto managed = [](auto w) {
        return Eventually("xprop -root _NET_CLIENT_LIST | grep -qw $(printf 0x%x " + std::to_string(w) + ")");
    };
    const auto active = [](auto w) {
        return Eventually("xdotool getactivewindow | grep -qx " + std::to_string(w));
    };
    EmulatorWindow window(folder, kEmulatorTitle), other(folder, "Some Other Program");
    ASSERT_TRUE(managed(window.window) && managed(other.window));
    ASSERT_TRUE(windows.ActivateByTitle("Some Other Program", false) && active(other.window));
    EXPECT_TRUE(launch.starter.StartEmulator());
    EXPECT_TRUE(active(window.window));
    EXPECT_EQ(window.End(), (Lines{"press Return", "release Return", "press Escape", "release Escape"}));
    EXPECT_EQ(other.End(), (Lines{"press Escape", "release Escape"}));
    manager.Stop(SIGTERM);  // lets it tidy the root window's properties
}

}  // namespace
}  // namespace tapelark::testing
