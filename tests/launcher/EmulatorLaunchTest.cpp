// SPDX-License-Identifier: MIT
// "Start VGS" on fakes, and what only fakes can stage for its two parts (they
// meet real registries and process lists in tests/linux and tests/win32).
#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

#include "common/AsciiText.h"
#include "launcher/EmulatorLaunch.h"
#include "tests/fakes/FakeLauncherServices.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {
namespace {

constexpr const char* kLocation = "C:\\Program Files\\Connectix\\VGS\\VGS.EXE";
const std::string kActivate = "activate Connectix Virtual Game Station nowait";
const std::string kLaunch = std::string("launch ") + kLocation + " style 1";

TEST(EmulatorStarter, WakesTheWindowOrElseLaunchesTheLocationUnlessItRunsAndEveryClickLooksAnew) {
    const struct {
        const char* what;
        bool windowAnswers;
        std::optional<std::string> location;
        std::vector<std::string> processes;
        bool stepsThrow;
        std::vector<std::string> windowCalls;
    } cases[] = {
        {"window answers", true, kLocation, {}, false, {kActivate, "keys ~ nowait"}},
        {"no window", false, kLocation, {"init", "bash"}, false, {kActivate, kLaunch}},
        {"runs already", false, kLocation, {"init", AsciiLowerCase(kLocation)}, false, {kActivate}},
        // An empty location matches any process, so nothing is launched ...
        {"no location", false, std::nullopt, {"init"}, false, {kActivate}},
        // ... unless the list is empty (none could be read): then the empty launch is tried.
        {"no location nor list", false, std::nullopt, {}, false, {kActivate, "launch  style 1"}},
        // A failed activation is the ordinary way to a launch; the unreadable value leaves the
        // location empty (and its key closed).
        {"activation and registry throw", false, kLocation, {"init"}, true, {kActivate}},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        FakeProcessSnapshot processes;
        FakeWindowSystem windows;
        FakeMessageBoxes messages;
        EmulatorLaunch launch{windows, registry, processes, messages};
        if (c.location) registry.keys[kEmulatorKey][kEmulatorLocationValue] = *c.location;
        windows.windowAnswers = c.windowAnswers;
        processes.names = c.processes;
        windows.throwOnActivate = registry.throwOnQuery = c.stepsThrow;
        EXPECT_TRUE(launch.starter.StartEmulator()) << c.what;
        EXPECT_EQ(windows.calls, c.windowCalls) << c.what;
        EXPECT_TRUE(messages.shown.empty()) << c.what;
        if (c.stepsThrow) EXPECT_EQ(registry.calls.back(), "close 77") << "the key is closed all the same";
        if (c.windowAnswers || !c.location) continue;
        // A second click reads the location and the process list once more.
        launch.starter.StartEmulator();
        EXPECT_EQ(std::count(registry.calls.begin(), registry.calls.end(), "query 77 Location"), 2) << c.what;
        EXPECT_EQ(std::count(processes.calls.begin(), processes.calls.end(), "take 2"), 2) << c.what;
    }
}

TEST(RegistryStringReader, AFailedCloseIsShownWithTheSubKeyAsPassedAndTheResultKept) {
    const std::string key = "SOFTWARE\\Some Vendor\\General";
    FakeRegistry registry;
    FakeMessageBoxes messages;
    registry.keys[key]["Location"] = "C:\\VGS\\VGS.EXE";
    registry.closeStatus = 6;
    EXPECT_EQ(RegistryStringReader(registry, messages).ReadRegistryString(kHkeyLocalMachine, key, "Location"),
              "C:\\VGS\\VGS.EXE");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"RegCloseKey Failed: " + key});
    EXPECT_EQ(messages.shown[0].style, kStyleExclamation);
}

TEST(ProcessPresence, ANameWithoutNulOrAFailureEndsTheScanWithWhatItFoundAndTheSnapshotIsReleased) {
    const std::string unterminated(260, 'x');
    const struct {
        std::vector<std::string> names;
        bool snapshotFails, throwOnNext, running;
    } cases[] = {
        {{"bash", unterminated, kLocation}, false, false, false},
        {{kLocation, unterminated, "bash"}, false, false, true},
        {{kLocation}, true, false, false},
        {{kLocation, "bash"}, false, true, true},
    };
    for (const auto& c : cases) {
        FakeProcessSnapshot processes;
        processes.names = c.names;
        processes.snapshotFails = c.snapshotFails;
        processes.throwOnNext = c.throwOnNext;
        EXPECT_EQ(ProcessPresence(processes).IsRunning("vgs.exe"), c.running) << &c - cases;
        EXPECT_TRUE(processes.calls.size() == 2 && processes.calls[1].starts_with("release "));
    }
}

}  // namespace
}  // namespace tapelark::testing
