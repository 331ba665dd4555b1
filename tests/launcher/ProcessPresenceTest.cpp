// SPDX-License-Identifier: MIT
#include <algorithm>

#include <gtest/gtest.h>

#include "launcher/ProcessPresence.h"
#include "tests/fakes/FakeProcessSnapshot.h"

namespace tapelark::testing {
namespace {

constexpr const char* kVgs = "C:\\Program Files\\Connectix\\VGS\\VGS.EXE";

class ProcessPresenceTest : public ::testing::Test {
protected:
    long Count(const std::string& call) { return std::count(processes.calls.begin(), processes.calls.end(), call); }

    FakeProcessSnapshot processes;
    ProcessPresence presence{processes};
};

TEST_F(ProcessPresenceTest, MatchesTheEndOfANameIgnoringAsciiCase) {
    const std::string unterminated = FakeProcessSnapshot::Unterminated();
    const std::string longest = std::string(252, 'p') + "VGS.EXE";  // 259 characters and the NUL
    const struct {
        std::vector<std::string> names;
        std::string target;
        bool running;
    } cases[] = {
        {{"init", kVgs, "bash"}, kVgs, true},
        {{"init", kVgs, "bash"}, "c:\\program files\\connectix\\vgs\\vgs.exe", true},
        {{"init", kVgs, "bash"}, ":\\Program Files\\Connectix\\VGS\\VGS.EXE", true},
        {{"init", kVgs, "bash"}, "\\VGS\\vgs.exe", true},
        {{"init", kVgs, "bash"}, "VGS", false},
        {{"init", kVgs, "bash"}, "vgs.exe ", false},  // blanks are not stripped
        {{"init", kVgs, "bash"}, "D:\\Program Files\\Connectix\\VGS\\VGS.EXE", false},
        {{"vgs.exe", "VGS.EXE"}, "\\vgs.exe", false},  // longer than every name
        {{"init"}, "", true},
        {{""}, "", true},
        {{}, "", false},
        {{longest}, longest, true},
        {{"bash", unterminated, kVgs}, "vgs.exe", false},  // the scan ends at a name without NUL
        {{kVgs, unterminated, "bash"}, "vgs.exe", true},   // with what it found so far
    };
    for (const auto& c : cases) {
        processes.names = c.names;
        processes.calls.clear();
        EXPECT_EQ(presence.IsRunning(c.target), c.running) << c.target;
        EXPECT_EQ(processes.calls.back(), "release 5") << c.target;
    }
}

TEST_F(ProcessPresenceTest, ScansEveryEntryAndReleasesTheSnapshot) {
    processes.names = {kVgs, kVgs, "bash"};
    EXPECT_TRUE(presence.IsRunning("vgs.exe"));
    EXPECT_EQ(processes.calls.front(), "take 2");
    EXPECT_EQ(processes.sizeAsked, 296u);
    EXPECT_EQ(Count("first"), 1);
    EXPECT_EQ(Count("next"), 3);  // the last one reports the end
    EXPECT_EQ(processes.calls.back(), "release 5");
}

TEST_F(ProcessPresenceTest, FailuresEndTheScanWithTheResultSoFar) {
    processes.names = {kVgs};
    processes.snapshotFails = true;
    EXPECT_FALSE(presence.IsRunning(kVgs));
    EXPECT_EQ(Count("release " + std::to_string(~SnapshotHandle{0})), 1);

    processes.snapshotFails = false;
    processes.names = {kVgs, "bash"};
    processes.throwOnNext = true;
    EXPECT_TRUE(presence.IsRunning("vgs.exe"));
    EXPECT_EQ(processes.calls.back(), "release 5");
}

}  // namespace
}  // namespace tapelark::testing
