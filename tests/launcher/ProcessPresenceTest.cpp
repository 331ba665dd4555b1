// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/ProcessPresence.h"
#include "tests/fakes/FakeProcessSnapshot.h"

namespace tapelark::testing {
namespace {

constexpr const char* kVgs = "C:\\Program Files\\Connectix\\VGS\\VGS.EXE";

// Matching by the end of a name is tested over real process lists
// (tests/linux, tests/win32); here, the lists only a fake can hold.
class ProcessPresenceTest : public ::testing::Test {
protected:
    FakeProcessSnapshot processes;
    ProcessPresence presence{processes};
};

TEST_F(ProcessPresenceTest, ANameWithoutNulEndsTheScanWithWhatItFoundAndTheSnapshotIsReleased) {
    const std::string unterminated(260, 'x');
    const struct {
        std::vector<std::string> names;
        bool running;
    } cases[] = {
        {{"init", kVgs, "bash"}, true},
        {{"bash", unterminated, kVgs}, false},
        {{kVgs, unterminated, "bash"}, true},
    };
    for (const auto& c : cases) {
        processes.names = c.names;
        processes.calls.clear();
        EXPECT_EQ(presence.IsRunning("vgs.exe"), c.running) << c.names[1];
        EXPECT_EQ(processes.calls, (std::vector<std::string>{"take 2", "release 5"}));
    }
}

TEST_F(ProcessPresenceTest, FailuresEndTheScanWithTheResultSoFar) {
    processes.names = {kVgs};
    processes.snapshotFails = true;
    EXPECT_FALSE(presence.IsRunning(kVgs));

    processes.snapshotFails = false;
    processes.names = {kVgs, "bash"};
    processes.throwOnNext = true;
    EXPECT_TRUE(presence.IsRunning("vgs.exe"));
    EXPECT_EQ(processes.calls.back(), "release 5");
}

}  // namespace
}  // namespace tapelark::testing
