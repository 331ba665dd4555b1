// SPDX-License-Identifier: MIT
// The process check over the toolhelp snapshot, finding this very test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "common/AsciiText.h"
#include "launcher/ProcessPresence.h"
#include "platform/win32/Win32ProcessSnapshot.h"

namespace tapelark {
namespace {

std::string OwnExecutableName() {
    char path[MAX_PATH];
    const std::string full(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return full.substr(full.find_last_of('\\') + 1);
}

TEST(ProcessTest, FindsItsOwnExecutableByTheTailOfItsNameWhateverTheCase) {
    Win32ProcessSnapshot processes;
    ProcessPresence launcher{processes};
    const std::string name = OwnExecutableName();
    ASSERT_GT(name.size(), 4u);
    const struct {
        std::string name;
        bool running;
    } cases[] = {
        {name, true},
        {AsciiUpperCase(name), true},
        {AsciiUpperCase(name.substr(1)), true},
        {"no such program " + std::to_string(GetCurrentProcessId()) + ".exe", false},
        {"C:\\elsewhere\\" + name, false},
    };
    for (const auto& check : cases) EXPECT_EQ(launcher.IsRunning(check.name), check.running) << check.name;
}

TEST(ProcessTest, TheSnapshotListsEveryProcessWithANulEndedName) {
    Win32ProcessSnapshot processes;
    const SnapshotHandle snapshot = processes.Take(kSnapshotProcesses);
    ProcessEntry entry;
    entry.size = 296;  // what the logic puts there: the 32-bit record's size
    int count = 0;
    bool sawSelf = false;
    for (bool more = processes.First(snapshot, entry); more; more = processes.Next(snapshot, entry)) {
        ++count;
        ASSERT_NE(std::find(std::begin(entry.exeFile), std::end(entry.exeFile), '\0'), std::end(entry.exeFile));
        sawSelf |= std::string(entry.exeFile) == OwnExecutableName();
    }
    processes.Release(snapshot);
    EXPECT_GT(count, 1);
    EXPECT_TRUE(sawSelf);

    const SnapshotHandle failed = reinterpret_cast<SnapshotHandle>(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(processes.First(failed, entry)) << "a failed snapshot yields no entry";
    processes.Release(failed);
}

}  // namespace
}  // namespace tapelark
