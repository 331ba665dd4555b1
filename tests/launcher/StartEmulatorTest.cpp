// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/EmulatorStarter.h"
#include "tests/fakes/FakeMessageBox.h"
#include "tests/fakes/FakeProcessSnapshot.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeWindowSystem.h"

namespace tapelark::testing {
namespace {

constexpr const char* kLocation = "C:\\Program Files\\Connectix\\VGS\\VGS.EXE";

class StartEmulatorTest : public ::testing::Test {
protected:
    void StoreLocation(const std::string& text) {
        registry.keys[kEmulatorKey][kEmulatorLocationValue] = StringValue(text);
    }

    FakeRegistry registry;
    FakeProcessSnapshot processes;
    FakeWindowSystem windows;
    FakeMessageBox messages;
    RegistryStringReader reader{registry, messages};
    ProcessPresence presence{processes};
    EmulatorStarter launcher{windows, reader, presence};
};

TEST_F(StartEmulatorTest, WindowThatAnswersGetsOneEnterAndNothingElseHappens) {
    windows.windowAnswers = true;
    StoreLocation(kLocation);
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(windows.calls, (std::vector<std::string>{
                                 "activate Connectix Virtual Game Station nowait", "keys ~ nowait"}));
    EXPECT_TRUE(registry.calls.empty());
    EXPECT_TRUE(processes.calls.empty());
}

TEST_F(StartEmulatorTest, WithoutWindowLaunchesTheLocationOnceInANormalWindow) {
    StoreLocation(kLocation);
    processes.names = {"init", "bash"};
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(windows.calls.back(), std::string("launch ") + kLocation + " style 1");
    EXPECT_EQ(windows.calls.size(), 2u);
    EXPECT_EQ(registry.calls.front(),
              "open 2147483650 SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General");
    EXPECT_EQ(registry.calls[1], "query 77 Location");
}

TEST_F(StartEmulatorTest, RunningEmulatorIsNotLaunchedAgain) {
    StoreLocation(kLocation);
    processes.names = {"init", "c:\\program files\\connectix\\vgs\\vgs.exe"};
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(windows.calls.size(), 1u);  // the activation only
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartEmulatorTest, NoInstallLocationLaunchesNothingAndSaysNothing) {
    processes.names = {"init"};
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(windows.calls.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());

    // Location too long for the reader: the same.
    StoreLocation(std::string(300, 'a'));
    windows.calls.clear();
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(windows.calls.size(), 1u);
}

TEST_F(StartEmulatorTest, NoLocationAndNoProcessListTriesTheEmptyLaunch) {
    processes.snapshotFails = true;
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(windows.calls.back(), "launch  style 1");
}

TEST_F(StartEmulatorTest, FailedCloseIsShownAndTheLaunchStillFollows) {
    StoreLocation(kLocation);
    registry.closeStatus = 1;
    EXPECT_TRUE(launcher.StartEmulator());
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{
                                    "RegCloseKey Failed: SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General"}));
    EXPECT_EQ(windows.calls.back(), std::string("launch ") + kLocation + " style 1");
}

TEST_F(StartEmulatorTest, EveryClickRunsTheWholeSequenceAnew) {
    StoreLocation(kLocation);
    launcher.StartEmulator();
    launcher.StartEmulator();
    EXPECT_EQ(std::count(registry.calls.begin(), registry.calls.end(), "query 77 Location"), 2);
    EXPECT_EQ(std::count(processes.calls.begin(), processes.calls.end(), "take 2"), 2);

    windows.windowAnswers = true;
    windows.calls.clear();
    launcher.StartEmulator();
    EXPECT_EQ(windows.calls.back(), "keys ~ nowait");
}

TEST_F(StartEmulatorTest, FailuresOfTheStepsNeverLeaveIt) {
    windows.throwOnActivate = true;
    registry.throwOnQuery = true;
    StoreLocation(kLocation);
    processes.names = {"init"};
    EXPECT_TRUE(launcher.StartEmulator());
    // A failed activation is the ordinary way to a launch; the unreadable value
    // leaves the location empty, and an empty target matches "init".
    EXPECT_EQ(windows.calls.size(), 1u);
}

}  // namespace
}  // namespace tapelark::testing
