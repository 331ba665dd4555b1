// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/ProcessPresence.h"
#include "tests/fakes/FakeProcessSnapshot.h"

namespace tapelark::testing {
namespace {

constexpr const char* kVgs = "C:\\Program Files\\Connectix\\VGS\\VGS.EXE";

// Matching by the end of a name is tested over real process lists
// (tests/linux, tests/win32); here, the lists only a fake can hold.
TEST(ProcessPresence, ANameWithoutNulOrAFailureEndsTheScanWithWhatItFoundAndTheSnapshotIsReleased) {
    const std::string unterminated(260, 'x');
    const struct {
        std::vector<std::string> names;
        bool snapshotFails, throwOnNext, running;
    } cases[] = {
        {{"init", kVgs, "bash"}, false, false, true},
        {{"bash", unterminated, kVgs}, false, false, false},
        {{kVgs, unterminated, "bash"}, false, false, true},
        {{kVgs}, true, false, false},
        {{kVgs, "bash"}, false, true, true},
    };
    for (const auto& c : cases) {
        FakeProcessSnapshot processes;
        processes.names = c.names;
        processes.snapshotFails = c.snapshotFails;
        processes.throwOnNext = c.throwOnNext;
        EXPECT_EQ(ProcessPresence(processes).IsRunning("vgs.exe"), c.running) << &c - cases;
        EXPECT_EQ(processes.calls.size(), 2u);
        EXPECT_TRUE(processes.calls.back().starts_with("release ")) << &c - cases;
    }
}

}  // namespace
}  // namespace tapelark::testing
