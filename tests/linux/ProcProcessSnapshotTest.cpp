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

// Names hold at most 259 characters: a longer name is known by its first 259. No /proc, no names (the
// empty target is in every name).
TEST(ProcProcessSnapshot, FindsAProcessByItsFirstWordCutTo259CharactersWhileItRuns) {
    // A Windows path as Wine shows its programs, which no other process has, and a name too long.
    const std::string name = "C:\\Program Files\\Tapelark Test " + std::to_string(getpid()) + "\\VGS.EXE";
    const std::string longName = "/" + std::string(300, 'v') + std::to_string(getpid());
    ASSERT_FALSE(Running(name));
    {
        ChildProcess emulator("/bin/sleep", {name, "1000"}), other("/bin/sleep", {longName, "1000"});
        EXPECT_TRUE(Running(name));
        EXPECT_FALSE(Running(name + " 1000"));  // only the first word is the name
        EXPECT_TRUE(Running(longName.substr(0, 259)));
        EXPECT_FALSE(Running(longName));
    }
    EXPECT_FALSE(Running(name));
    ProcProcessSnapshot nowhere("/nonexistent-proc");
    EXPECT_FALSE(ProcessPresence{nowhere}.IsRunning(""));
}

}  // namespace
}  // namespace tapelark::testing
