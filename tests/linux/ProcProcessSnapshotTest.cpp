// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "common/AsciiText.h"
#include "launcher/ProcessPresence.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "tests/linux/SpawnedProcess.h"

namespace tapelark::testing {
namespace {

// A name no other process has: a Windows path as Wine shows its programs.
std::string EmulatorName() {
    return "C:\\Program Files\\Connectix\\Tapelark Test " + std::to_string(getpid()) + "\\VGS.EXE";
}

std::vector<std::string> Names(ProcProcessSnapshot& processes) {
    std::vector<std::string> names;
    ProcessEntry entry;
    const SnapshotHandle snapshot = processes.Take(kSnapshotProcesses);
    for (bool more = processes.First(snapshot, entry); more; more = processes.Next(snapshot, entry)) {
        names.emplace_back(entry.exeFile);
    }
    processes.Release(snapshot);
    return names;
}

// The process check over the real /proc, with a child that runs under a
// chosen first word of its command line, as `exec -a` gives one.
class ProcProcessSnapshotTest : public ::testing::Test {
protected:
    bool Running(const std::string& target) { return launcher.IsRunning(target); }

    ProcProcessSnapshot processes;
    ProcessPresence launcher{processes};
};

TEST_F(ProcProcessSnapshotTest, FindsAProcessByTheEndOfItsFirstWordIgnoringCaseWhileItRuns) {
    const std::string name = EmulatorName();
    ASSERT_FALSE(Running(name));
    {
        SpawnedProcess emulator("/bin/sleep", {name, "1000"});
        ASSERT_GT(emulator.pid(), 0);
        EXPECT_TRUE(Running(name));
        EXPECT_TRUE(Running(name.substr(1)));                      // without its first letter
        EXPECT_TRUE(Running(name.substr(name.find("Tapelark"))));  // a tail holding a folder
        EXPECT_TRUE(Running(AsciiLowerCase(name)));
        EXPECT_FALSE(Running(name + " 1000"));  // only the first word is the name
        EXPECT_FALSE(Running("D" + name.substr(1)));
    }
    EXPECT_FALSE(Running(name));
}

// Names hold at most 259 characters: the empty target is in every name, one
// longer than any is in none.
TEST_F(ProcProcessSnapshotTest, NamesAreCutTo259Characters) {
    EXPECT_TRUE(Running(""));
    EXPECT_FALSE(Running(std::string(260, 'x')));
    const std::string name = "/" + std::string(300, 'v') + std::to_string(getpid());
    SpawnedProcess longName("/bin/sleep", {name, "1000"});
    const auto names = Names(processes);
    const std::string cut = name.substr(0, 259);
    EXPECT_NE(std::find(names.begin(), names.end(), cut), names.end());
    EXPECT_TRUE(Running(cut));
    EXPECT_FALSE(Running(name));
}

TEST_F(ProcProcessSnapshotTest, SnapshotHoldsOurselvesAndEndsWithItsRelease) {
    const auto names = Names(processes);
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const auto base = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
    // This test's own argv[0] is how ctest started it: the same file.
    EXPECT_TRUE(std::any_of(names.begin(), names.end(),
                            [&](const std::string& n) { return base(n) == base(self); }));

    ProcessEntry entry;
    const SnapshotHandle snapshot = processes.Take(kSnapshotProcesses);
    ASSERT_TRUE(processes.First(snapshot, entry));
    processes.Release(snapshot);
    EXPECT_FALSE(processes.Next(snapshot, entry));
    EXPECT_FALSE(processes.First(snapshot, entry));
}

TEST_F(ProcProcessSnapshotTest, NoProcFileSystemMeansNoEntries) {
    ProcProcessSnapshot nowhere("/nonexistent-proc");
    ProcessEntry entry;
    const SnapshotHandle snapshot = nowhere.Take(kSnapshotProcesses);
    EXPECT_FALSE(nowhere.First(snapshot, entry));
    nowhere.Release(snapshot);

    ProcessPresence blind{nowhere};
    EXPECT_FALSE(blind.IsRunning(""));
}

}  // namespace
}  // namespace tapelark::testing
