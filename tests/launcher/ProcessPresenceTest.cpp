// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "launcher/ProcessPresence.h"
#include "tests/fakes/FakeProcessSnapshot.h"

namespace tapelark::testing {
namespace {

constexpr const char* kVgs = "C:\\Program Files\\Connectix\\VGS\\VGS.EXE";

class ProcessPresenceTest : public ::testing::Test {
protected:
    bool Running(const std::string& target) { return launcher.IsRunning(target); }
    long Count(const std::string& call) {
        return std::count(processes.calls.begin(), processes.calls.end(), call);
    }

    FakeProcessSnapshot processes;
    ProcessPresence launcher{processes};
};

TEST_F(ProcessPresenceTest, MatchesTheEndOfTheNameIgnoringCase) {
    processes.names = {"init", kVgs, "bash"};
    EXPECT_TRUE(Running(kVgs));
    EXPECT_TRUE(Running("c:\\program files\\connectix\\vgs\\vgs.exe"));
    EXPECT_TRUE(Running(":\\Program Files\\Connectix\\VGS\\VGS.EXE"));  // without its first letter
    EXPECT_TRUE(Running("vgs.exe"));
    EXPECT_TRUE(Running("\\VGS\\vgs.exe"));
    EXPECT_FALSE(Running("VGS"));
    EXPECT_FALSE(Running("vgs.exe "));  // blanks are not stripped
    EXPECT_FALSE(Running("D:\\Program Files\\Connectix\\VGS\\VGS.EXE"));
}

TEST_F(ProcessPresenceTest, TargetLongerThanEveryNameNeverMatches) {
    processes.names = {"vgs.exe", "VGS.EXE"};
    EXPECT_FALSE(Running("\\vgs.exe"));
    EXPECT_FALSE(Running(kVgs));
}

TEST_F(ProcessPresenceTest, EmptyTargetMatchesAnyEntryButNoList) {
    processes.names = {"init"};
    EXPECT_TRUE(Running(""));
    processes.names = {""};
    EXPECT_TRUE(Running(""));
    processes.names = {};
    EXPECT_FALSE(Running(""));
}

TEST_F(ProcessPresenceTest, ScansEveryEntryAndReleasesTheSnapshot) {
    processes.names = {kVgs, kVgs, "bash"};
    EXPECT_TRUE(Running("vgs.exe"));
    EXPECT_EQ(processes.calls.front(), "take 2");
    EXPECT_EQ(processes.sizeAsked, 296u);
    EXPECT_EQ(Count("first"), 1);
    EXPECT_EQ(Count("next"), 3);  // the last one reports the end
    EXPECT_EQ(processes.calls.back(), "release 5");
}

TEST_F(ProcessPresenceTest, FailedSnapshotIsNotRunningAndIsStillReleased) {
    processes.names = {kVgs};
    processes.snapshotFails = true;
    EXPECT_FALSE(Running(kVgs));
    EXPECT_EQ(Count("release " + std::to_string(~SnapshotHandle{0})), 1);
}

TEST_F(ProcessPresenceTest, NameWithoutNulEndsTheScanWithWhatWasFound) {
    processes.names = {"bash", FakeProcessSnapshot::Unterminated(), kVgs};
    EXPECT_FALSE(Running("vgs.exe"));
    EXPECT_EQ(Count("next"), 1);
    EXPECT_EQ(processes.calls.back(), "release 5");

    processes.calls.clear();
    processes.names = {kVgs, FakeProcessSnapshot::Unterminated(), "bash"};
    EXPECT_TRUE(Running("vgs.exe"));
    EXPECT_EQ(processes.calls.back(), "release 5");
}

TEST_F(ProcessPresenceTest, NameFilling259CharactersIsWhole) {
    const std::string longest = std::string(252, 'p') + "VGS.EXE";
    processes.names = {longest};
    EXPECT_TRUE(Running(longest));
}

TEST_F(ProcessPresenceTest, FailureDuringTheScanKeepsTheResultSoFar) {
    processes.names = {kVgs, "bash"};
    processes.throwOnNext = true;
    EXPECT_TRUE(Running("vgs.exe"));
    EXPECT_EQ(processes.calls.back(), "release 5");
}

}  // namespace
}  // namespace tapelark::testing
