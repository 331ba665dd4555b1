// SPDX-License-Identifier: MIT
// Launching the emulator on Linux: its command line, starting it detached,
// and "Start VGS" end to end on a real X server (Xvfb alone, under a window
// manager, and weston's XWayland).
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "launcher/EmulatorLaunch.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "platform/linux/ProgramLauncher.h"
#include "platform/linux/WineRegistry.h"
#include "platform/linux/X11WindowSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempFolder.h"

// Last: its macros (None, Bool, Status) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tapelark::testing {
namespace {

using Lines = std::vector<std::string>;

// Whether a shell check comes to hold within `seconds`: a busy machine is slow to start a program or manager.
bool Eventually(const std::string& check, int seconds = 10) {
    return testing::Eventually([&] { return std::system(check.c_str()) == 0; }, seconds);
}

TEST(LaunchArguments, WindowsProgramsGoToWineAndTheTextIsNeverSplitForAShell) {
    const std::string vgs = "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE";
    const std::pair<std::string, Lines> cases[] = {
        {vgs, {"wine", vgs}},
        {"  \"C:\\Program Files\\VGS\\VGS.EXE\" -full \"two words\"  ",
         {"wine", "C:\\Program Files\\VGS\\VGS.EXE", "-full", "two words"}},
        {"C:\\Games\\VGS.exe /cd d:", {"wine", "C:\\Games\\VGS.exe", "/cd", "d:"}},
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
    // A stand-in for the emulator: each start appends "PARENT SESSION ARGUMENTS" to the log.
    const std::string standIn = folder / "standin-vgs", log = folder / "launched.log";
    std::ofstream(standIn) << "#!/bin/sh\necho \"$PPID $(ps -o sid= -p $$) $*\" >> '" << log << "'\n";
    chmod(standIn.c_str(), 0755);
    ASSERT_TRUE(LaunchDetached({standIn, "one", "two words"}));
    ASSERT_TRUE(Eventually("test -s '" + log + "'", 30));
    std::ifstream fields(log);
    pid_t parent = 0, session = 0;
    std::string rest;
    fields >> parent >> session;
    std::getline(fields, rest);
    EXPECT_TRUE(parent != getpid() && session != getsid(0));  // handed over, not our child
    EXPECT_EQ(rest, " one two words");

    X11WindowSystem windows(":no-such-display");  // which launching does not need
    EXPECT_FALSE(windows.ActivateByTitle("VGS", false) || windows.SendKeystrokes("~", false));
    setenv("PATH", (folder.path() + ":" + std::getenv("PATH")).c_str(), 1);
    EXPECT_TRUE(windows.Launch("standin-vgs", kShowNormal));
    EXPECT_TRUE(Eventually("test $(wc -l <'" + log + "') = 2", 30));
    // A missing or blank program, a folder or a file that may not run fails, and no shell reads the line.
    const std::string marker = folder / "marker";
    std::ofstream(marker + ".txt") << "not executable";
    EXPECT_FALSE(windows.Launch(folder / "absent; touch " + marker, kShowNormal));
    EXPECT_FALSE(LaunchDetached({}) || LaunchDetached({folder.path()}) || LaunchDetached({marker + ".txt"}));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

// A stand-in for the emulator's window: a top-level window on a connection of its own, titled through
// _NET_WM_NAME alone when asked, as some toolkits do.
class EmulatorWindow {
public:
    explicit EmulatorWindow(const std::string& title, bool netWmNameOnly = false) : title_(title) {
        Display* d = d_.get();
        if (d == nullptr) return;
        const int screen = DefaultScreen(d);
        const Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 10, 10, 320, 200, 0,
                                             BlackPixel(d, screen), WhitePixel(d, screen));
        if (!netWmNameOnly) XStoreName(d, w, title.c_str());
        XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                        int(title.size()));
        XSelectInput(d, w, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
        XMapWindow(d, w);
        for (XEvent event; window == 0 && NextEvent(event);)
            if (event.type == MapNotify) window = w;
    }
    // Sends it Escape and closes it; the keys it got ("press Return"), up to the release of Escape.
    Lines End() {
        Lines keys;
        if (d_ == nullptr) return keys;
        X11WindowSystem x;
        EXPECT_TRUE(x.ActivateByTitle(title_, false) && x.SendKeystrokes("{ESC}", false));
        for (XEvent event; NextEvent(event);) {
            if (event.type != KeyPress && event.type != KeyRelease) continue;
            const KeySym keysym = XLookupKeysym(&event.xkey, 0);
            const char* name = XKeysymToString(keysym);
            keys.push_back((event.type == KeyPress ? "press " : "release ") + std::string(name ? name : "?"));
            if (event.type == KeyRelease && keysym == XK_Escape) break;
        }
        d_.reset();
        return keys;
    }
    unsigned long window = 0;

private:
    // The next event, waited for up to 30 s, so a fault fails the test instead of hanging it.
    bool NextEvent(XEvent& event) {
        pollfd connection{ConnectionNumber(d_.get()), POLLIN, 0};
        if (!XPending(d_.get()) && poll(&connection, 1, 30000) <= 0) return false;
        XNextEvent(d_.get(), &event);
        return true;
    }
    std::string title_;
    std::unique_ptr<Display, int (*)(Display*)> d_{XOpenDisplay(nullptr), XCloseDisplay};
};

// "Start VGS" over the real window system and process list; no install location is registered.
class X11LauncherTest : public ::testing::Test {
protected:
    X11WindowSystem windows;
    WineRegistry registry{"/nonexistent-wine-prefix"};
    ProcProcessSnapshot processes;
    FakeMessageBoxes messages;
    EmulatorLaunch launch{windows, registry, processes, messages};
};

// Also under weston, whose window manager keeps no client list and ignores activation requests.
TEST_F(X11LauncherTest, OnlyTheEmulatorsWindowAnswersAndItGetsExactlyOneEnter) {
    // Only a title that begins with the emulator's answers.
    const std::string shorter = "Connectix Virtual Game";
    EmulatorWindow other(shorter);
    EXPECT_FALSE(windows.ActivateByTitle(kEmulatorTitle, false));

    EmulatorWindow window(std::string(kEmulatorTitle) + " - Ridge Racer", true);
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
    EmulatorWindow window(kEmulatorTitle), other("Some Other Program");
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
