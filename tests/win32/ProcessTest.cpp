// SPDX-License-Identifier: MIT
// The process check over the toolhelp snapshot, finding this very test.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/AsciiText.h"
#include "launcher/ProcessPresence.h"
#include "platform/win32/Win32ProcessSnapshot.h"

namespace tapelark {
namespace {

TEST(ProcessTest, FindsItsOwnExecutableByTheTailOfItsNameWhateverTheCase) {
    Win32ProcessSnapshot processes;
    ProcessPresence launcher{processes};
    char path[MAX_PATH];
    const std::string full(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    const std::string name = full.substr(full.find_last_of('\\') + 1);
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

    // The check goes on to the first entry whatever the snapshot gave.
    ProcessEntry entry;
    const SnapshotHandle failed = reinterpret_cast<SnapshotHandle>(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(processes.First(failed, entry)) << "a failed snapshot yields no entry";
    processes.Release(failed);
}

}  // namespace
}  // namespace tapelark
