// SPDX-License-Identifier: MIT
// The process check over the real /proc, with children that run under a
// chosen first word of their command line, as `exec -a` gives one.
#include <gtest/gtest.h>
#include <unistd.h>

#include "launcher/ProcessPresence.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "tests/support/ChildProcess.h"

namespace tapelark::testing {
namespace {

bool Running(const std::string& target) {
    ProcProcessSnapshot processes;
    return ProcessPresence{processes}.IsRunning(target);
}

TEST(ProcProcessSnapshot, FindsAProcessByItsFirstWordWhileItRuns) {
    // A Windows path as Wine shows its programs, which no other process has.
    const std::string name = "C:\\Program Files\\Tapelark Test " + std::to_string(getpid()) + "\\VGS.EXE";
    ASSERT_FALSE(Running(name));
    {
        ChildProcess emulator("/bin/sleep", {name, "1000"});
        EXPECT_TRUE(Running(name));
        EXPECT_FALSE(Running(name + " 1000"));  // only the first word is the name
    }
    EXPECT_FALSE(Running(name));
}

// Names hold at most 259 characters: a longer name is known by its first 259. No /proc, no names (the
// empty target is in every name).
TEST(ProcProcessSnapshot, NamesAreCutTo259CharactersAndNoProcHasNone) {
    ProcProcessSnapshot nowhere("/nonexistent-proc");
    EXPECT_FALSE(ProcessPresence{nowhere}.IsRunning(""));
    const std::string name = "/" + std::string(300, 'v') + std::to_string(getpid());
    ChildProcess longName("/bin/sleep", {name, "1000"});
    EXPECT_TRUE(Running(name.substr(0, 259)));
    EXPECT_FALSE(Running(name));
}

}  // namespace
}  // namespace tapelark::testing
