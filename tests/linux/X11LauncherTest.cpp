// SPDX-License-Identifier: MIT
// "Start VGS" end to end on the tests' own X server. Focus is the display's
// one shared thing, so these run alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "launcher/EmulatorLaunch.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "platform/linux/WineRegistry.h"
#include "platform/linux/X11WindowSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/linux/SpawnedProcess.h"
#include "tests/linux/StandInEmulator.h"

namespace tapelark::testing {
namespace {

using Lines = std::vector<std::string>;

// The window that an xdotool query names; 0 when none.
unsigned long WindowFrom(const char* query) {
    FILE* out = popen((std::string("xdotool ") + query + " 2>/dev/null").c_str(), "re");
    unsigned long window = 0;
    if (out != nullptr && fscanf(out, "%lu", &window) != 1) window = 0;
    if (out != nullptr) pclose(out);
    return window;
}

unsigned long FocusedWindow() { return WindowFrom("getwindowfocus -f"); }
unsigned long ActiveWindow() { return WindowFrom("getactivewindow"); }

// Blocks until a window manager runs: its check window names itself.
bool AwaitWindowManager() {
    const char* check = "w=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>&1) && w=${w##* } && "
                        "xprop -id \"$w\" _NET_SUPPORTING_WM_CHECK 2>&1 | grep -q \"# $w\\$\"";
    for (int tries = 0; tries < 300; ++tries) {
        if (std::system(check) == 0) return true;
        usleep(10000);
    }
    return false;
}

// The stand-in emulator window: its id, then the keys it got, one line each.
// It ends after the release of Escape, or else after a deadline.
class EmulatorWindow {
public:
    explicit EmulatorWindow(const std::string& title, const char* option = "")
        : out_(popen(("timeout 30 '" TAPELARK_WINDOW_HELPER "' '" + title + "' " + option).c_str(), "re")) {
        if (const std::string ready = Line(); ready.starts_with("ready ")) window_ = std::stoul(ready.substr(6));
    }
    ~EmulatorWindow() {
        if (out_ != nullptr) pclose(out_);
    }
    unsigned long window() const { return window_; }
    Lines Rest() {
        Lines lines;
        for (std::string line = Line(); !line.empty(); line = Line()) lines.push_back(line);
        return lines;
    }

private:
    std::string Line() {
        char line[256];
        if (out_ == nullptr || fgets(line, sizeof line, out_) == nullptr) return "";
        return std::string(line, strcspn(line, "\n"));
    }

    FILE* out_;
    unsigned long window_ = 0;
};

// The real window system, counting what it is asked to launch.
class CountingWindowSystem final : public WindowSystem {
public:
    bool ActivateByTitle(const std::string& title, bool wait) override {
        return real.ActivateByTitle(title, wait);
    }
    bool SendKeystrokes(const std::string& keys, bool wait) override { return real.SendKeystrokes(keys, wait); }
    bool Launch(const std::string& commandLine, int windowStyle) override {
        ++launches;
        return real.Launch(commandLine, windowStyle);
    }
    X11WindowSystem real;
    int launches = 0;
};

// A Wine prefix whose registry names a stand-in emulator script as the
// install location.
class X11LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getenv("DISPLAY"), nullptr);
        std::ofstream(folder / "system.reg")
            << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
               "[Software\\\\Connectix\\\\Connectix Virtual Game Station\\\\General] 1733500000\n"
               "#time=1db47e1a2b3c4d5\n\"Location\"=\"" << emulator.script() << "\"\n";
    }
    // Ends a window's report by sending it Escape.
    Lines EndOf(EmulatorWindow& window, const std::string& title) {
        EXPECT_TRUE(windows.ActivateByTitle(title, false));
        EXPECT_TRUE(windows.SendKeystrokes("{ESC}", false));
        return window.Rest();
    }

    TempFolder folder{"tapelark-launch"};
    StandInEmulator emulator{folder};
    CountingWindowSystem windows;
    WineRegistry registry{folder.path()};
    ProcProcessSnapshot processes;
    FakeMessageBoxes messages;
    EmulatorLaunch launch{windows, registry, processes, messages};
    EmulatorStarter& launcher = launch.starter;
};

TEST_F(X11LauncherTest, TheEmulatorsWindowGetsExactlyOneEnterAndNothingIsLaunched) {
    // Only a title that begins with the emulator's answers.
    const std::string shorter = "Connectix Virtual Game";
    EmulatorWindow other(shorter);
    ASSERT_NE(other.window(), 0u);
    EXPECT_FALSE(windows.ActivateByTitle(kEmulatorTitle, false));
    EXPECT_FALSE(X11WindowSystem(":no-such-display").ActivateByTitle(shorter, false));
    EXPECT_FALSE(X11WindowSystem(":no-such-display").SendKeystrokes("~", false));

    const std::string title = std::string(kEmulatorTitle) + " - Ridge Racer";
    EmulatorWindow window(title, "--net-wm-name-only");
    ASSERT_NE(window.window(), 0u);
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(FocusedWindow(), window.window());
    // A capital letter goes with Shift; a modifier is held around its key.
    ASSERT_TRUE(windows.SendKeystrokes("A^x", false));
    EXPECT_EQ(EndOf(window, title), (Lines{"press Return", "release Return", "press Shift_L", "press a",
                                           "release a", "release Shift_L", "press Control_L", "press x",
                                           "release x", "release Control_L", "press Escape", "release Escape"}));
    EXPECT_EQ(EndOf(other, shorter), (Lines{"press Escape", "release Escape"}));
    EXPECT_EQ(windows.launches, 0);
    EXPECT_TRUE(emulator.Log().empty());
}

TEST_F(X11LauncherTest, WithoutTheWindowTheInstallLocationRunsOnceUnlessItRuns) {
    {
        SpawnedProcess running("/bin/sleep", {emulator.script(), "1000"});
        ASSERT_GT(running.pid(), 0);
        EXPECT_TRUE(launcher.StartEmulator());
        EXPECT_EQ(windows.launches, 0);
    }
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(windows.launches, 1);
    ASSERT_TRUE(emulator.AwaitStarts(1));
    EXPECT_EQ(emulator.Log().size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(X11LauncherTest, UnderAWindowManagerTheEmulatorIsActivatedThroughIt) {
    SpawnedProcess manager(TAPELARK_WINDOW_MANAGER, {"evilwm", "-fn", "fixed"});
    ASSERT_TRUE(AwaitWindowManager());
    EmulatorWindow window(kEmulatorTitle);
    EmulatorWindow other("Some Other Program");
    ASSERT_NE(window.window(), 0u);
    ASSERT_NE(other.window(), 0u);
    ASSERT_TRUE(windows.ActivateByTitle("Some Other Program", false));
    ASSERT_EQ(ActiveWindow(), other.window());

    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(ActiveWindow(), window.window());
    // The Enter went to the emulator and nowhere else.
    EXPECT_EQ(EndOf(window, kEmulatorTitle),
              (Lines{"press Return", "release Return", "press Escape", "release Escape"}));
    EXPECT_EQ(EndOf(other, "Some Other Program"), (Lines{"press Escape", "release Escape"}));
    EXPECT_EQ(windows.launches, 0);

    manager.Stop(SIGTERM);  // lets it tidy the root window's properties
}

}  // namespace
}  // namespace tapelark::testing
