// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/AsciiText.h"
#include "launcher/ProcessPresence.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "tests/support/ChildProcess.h"

namespace tapelark::testing {
namespace {

// The process check over the real /proc, with children that run under a
// chosen first word of their command line, as `exec -a` gives one.
bool Running(const std::string& target) {
    ProcProcessSnapshot processes;
    return ProcessPresence{processes}.IsRunning(target);
}

TEST(ProcProcessSnapshot, FindsAProcessByTheEndOfItsFirstWordIgnoringCaseWhileItRuns) {
    // A Windows path as Wine shows its programs, which no other process has.
    const std::string name = "C:\\Program Files\\Tapelark Test " + std::to_string(getpid()) + "\\VGS.EXE";
    ASSERT_FALSE(Running(name));
    {
        ChildProcess emulator("/bin/sleep", {name, "1000"});
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
// longer than any in none; a longer name is known by its first 259.
TEST(ProcProcessSnapshot, NamesAreCutTo259Characters) {
    EXPECT_TRUE(Running(""));
    EXPECT_FALSE(Running(std::string(260, 'x')));
    const std::string name = "/" + std::string(300, 'v') + std::to_string(getpid());
    ChildProcess longName("/bin/sleep", {name, "1000"});
    EXPECT_TRUE(Running(name.substr(0, 259)));
    EXPECT_FALSE(Running(name));
}

TEST(ProcProcessSnapshot, ASnapshotEndsWithItsReleaseAndNoProcMeansNoEntries) {
    ProcProcessSnapshot processes;
    ProcessEntry entry;
    SnapshotHandle snapshot = processes.Take(kSnapshotProcesses);
    ASSERT_TRUE(processes.First(snapshot, entry));
    processes.Release(snapshot);
    EXPECT_FALSE(processes.Next(snapshot, entry));
    EXPECT_FALSE(processes.First(snapshot, entry));

    ProcProcessSnapshot nowhere("/nonexistent-proc");
    snapshot = nowhere.Take(kSnapshotProcesses);
    EXPECT_FALSE(nowhere.First(snapshot, entry));
    nowhere.Release(snapshot);
    EXPECT_FALSE(ProcessPresence{nowhere}.IsRunning(""));
}

}  // namespace
}  // namespace tapelark::testing
