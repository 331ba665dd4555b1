// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "launcher/EmulatorLaunch.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "platform/linux/WineRegistry.h"
#include "platform/linux/X11WindowSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/linux/FocusedWindow.h"
#include "tests/linux/LaunchTestSupport.h"
#include "tests/linux/SpawnedProcess.h"

namespace tapelark::testing {
namespace {

const std::string kHelper = TAPELARK_WINDOW_HELPER;

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

// The real registry of a prefix, counting the keys it is asked to open.
class CountingRegistry final : public Registry {
public:
    explicit CountingRegistry(const std::string& prefix) : real(prefix) {}
    long OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) override {
        ++opens;
        return real.OpenKey(root, subKey, result);
    }
    long QueryValue(RegistryKey key, const char* valueName, std::uint32_t* reserved, std::uint32_t* type,
                    unsigned char* data, std::uint32_t* count) override {
        return real.QueryValue(key, valueName, reserved, type, data, count);
    }
    long CloseKey(RegistryKey key) override { return real.CloseKey(key); }
    WineRegistry real;
    int opens = 0;
};

// The stand-in emulator window, its output read through a pipe.
class EmulatorWindow {
public:
    explicit EmulatorWindow(const std::string& title, bool netNameOnly = false) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::vector<std::string> argv{kHelper, title};
        if (netNameOnly) argv.push_back("--net-wm-name-only");
        process_ = std::make_unique<SpawnedProcess>(kHelper, argv, &actions);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fds[0];
        const auto ready = ReadLine(out_, pending_);
        if (ready && ready->starts_with("ready ")) window_ = std::stoul(ready->substr(6));
    }
    ~EmulatorWindow() {
        if (out_ >= 0) close(out_);
    }
    unsigned long window() const { return window_; }
    // Everything it reports until it ends (after Escape), or until the
    // deadline when it gets no Escape; it is ended either way.
    std::vector<std::string> Rest() {
        std::vector<std::string> lines;
        while (auto line = ReadLine(out_, pending_)) lines.push_back(*line);
        process_->Stop();
        return lines;
    }

private:
    std::unique_ptr<SpawnedProcess> process_;
    int out_ = -1;
    std::string pending_;
    unsigned long window_ = 0;
};

// "Start VGS" end to end on the tests' X server, with a Wine prefix whose
// registry names a stand-in emulator script as the install location.
class X11LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getenv("DISPLAY"), nullptr);
        WriteText(folder.path() + "/system.reg",
                  "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
                  "[Software\\\\Connectix\\\\Connectix Virtual Game Station\\\\General] 1733500000\n"
                  "#time=1db47e1a2b3c4d5\n\"Location\"=\"" + emulator.script() + "\"\n");
    }

    TempFolder folder{"tapelark-launch"};
    StandInEmulator emulator{folder.path()};
    CountingWindowSystem windows;
    CountingRegistry registry{folder.path()};
    ProcProcessSnapshot processes;
    FakeMessageBoxes messages;
    EmulatorLaunch launch{windows, registry, processes, messages};
    EmulatorStarter& launcher = launch.starter;
};

TEST_F(X11LauncherTest, EmulatorWindowGetsExactlyOneEnterAndNothingIsLaunched) {
    EmulatorWindow window(kEmulatorTitle);
    ASSERT_NE(window.window(), 0u);

    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(FocusedWindow(), window.window());
    ASSERT_TRUE(windows.SendKeystrokes("{ESC}", false));  // ends the window's report

    EXPECT_EQ(window.Rest(), (std::vector<std::string>{"press Return", "release Return", "press Escape",
                                                       "release Escape"}));
    EXPECT_EQ(registry.opens, 0);
    EXPECT_EQ(windows.launches, 0);
    EXPECT_TRUE(emulator.Log().empty());
}

TEST_F(X11LauncherTest, TitleThatBeginsWithTheEmulatorsAnswers) {
    EmulatorWindow window(std::string(kEmulatorTitle) + " - Ridge Racer", true);
    ASSERT_NE(window.window(), 0u);
    X11WindowSystem x;
    EXPECT_TRUE(x.ActivateByTitle(kEmulatorTitle, false));
    EXPECT_EQ(FocusedWindow(), window.window());
    ASSERT_TRUE(x.SendKeystrokes("~A^x{ESC}", false));
    // A capital letter goes with Shift; a modifier is held around its key.
    EXPECT_EQ(window.Rest(), (std::vector<std::string>{"press Return", "release Return", "press Shift_L",
                                                       "press a", "release a", "release Shift_L",
                                                       "press Control_L", "press x", "release x",
                                                       "release Control_L", "press Escape", "release Escape"}));
}

TEST_F(X11LauncherTest, OtherTitlesAndNoDisplayDoNotAnswer) {
    EmulatorWindow window("Connectix Virtual Game");
    ASSERT_NE(window.window(), 0u);
    X11WindowSystem x;
    EXPECT_FALSE(x.ActivateByTitle(kEmulatorTitle, false));
    EXPECT_FALSE(X11WindowSystem(":no-such-display").ActivateByTitle("Connectix Virtual Game", false));
    EXPECT_FALSE(X11WindowSystem(":no-such-display").SendKeystrokes("~", false));
    X11WindowSystem().ActivateByTitle("Connectix Virtual Game", false);
    ASSERT_TRUE(x.SendKeystrokes("{ESC}", false));
    EXPECT_EQ(window.Rest(), (std::vector<std::string>{"press Escape", "release Escape"}));
}

TEST_F(X11LauncherTest, WithoutTheWindowTheInstallLocationRunsOnce) {
    EXPECT_TRUE(launcher.StartEmulator());
    ASSERT_TRUE(emulator.AwaitStart());
    EXPECT_EQ(emulator.Log().size(), 1u);
    EXPECT_EQ(windows.launches, 1);
    EXPECT_EQ(registry.opens, 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(X11LauncherTest, LocationThatAlreadyRunsIsNotStartedAgain) {
    SpawnedProcess running("/bin/sleep", {emulator.script(), "1000"});
    ASSERT_GT(running.pid(), 0);
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(registry.opens, 1);
    EXPECT_EQ(windows.launches, 0);
}

TEST_F(X11LauncherTest, UnderAWindowManagerTheEmulatorIsActivatedThroughIt) {
    SpawnedProcess manager(TAPELARK_WINDOW_MANAGER, {"evilwm", "-fn", "fixed"});
    ASSERT_TRUE(AwaitWindowManager());
    EmulatorWindow emulatorWindow(kEmulatorTitle);
    EmulatorWindow other("Some Other Program");
    ASSERT_NE(emulatorWindow.window(), 0u);
    ASSERT_NE(other.window(), 0u);
    ASSERT_TRUE(windows.ActivateByTitle("Some Other Program", false));
    ASSERT_EQ(ActiveWindow(), other.window());

    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(ActiveWindow(), emulatorWindow.window());
    ASSERT_TRUE(windows.SendKeystrokes("{ESC}", false));
    EXPECT_EQ(emulatorWindow.Rest(), (std::vector<std::string>{"press Return", "release Return",
                                                               "press Escape", "release Escape"}));
    // The Enter went nowhere else.
    ASSERT_TRUE(windows.ActivateByTitle("Some Other Program", false));
    ASSERT_TRUE(windows.SendKeystrokes("{ESC}", false));
    EXPECT_EQ(other.Rest(), (std::vector<std::string>{"press Escape", "release Escape"}));
    EXPECT_EQ(registry.opens, 0);
    EXPECT_EQ(windows.launches, 0);

    manager.Stop(SIGTERM);  // lets it tidy the root window's properties
}

}  // namespace
}  // namespace tapelark::testing
