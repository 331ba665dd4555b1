// SPDX-License-Identifier: MIT
// The process check over the toolhelp snapshot, finding this very test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "tests/fakes/FakeMessageBoxes.h"
#include "launcher/ProcessPresence.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowSystem.h"

namespace tapelark {
namespace {

std::string OwnExecutableName() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path, length);
    return full.substr(full.find_last_of('\\') + 1);
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

class ProcessTest : public ::testing::Test {
protected:
    Win32ProcessSnapshot processes;
    ProcessPresence launcher{processes};
};

TEST_F(ProcessTest, FindsItsOwnExecutableByTheTailOfItsNameWhateverTheCase) {
    const std::string name = OwnExecutableName();
    ASSERT_GT(name.size(), 4u);
    EXPECT_TRUE(launcher.IsRunning(name));
    EXPECT_TRUE(launcher.IsRunning(Upper(name)));
    EXPECT_TRUE(launcher.IsRunning(Upper(name.substr(1))));
}

TEST_F(ProcessTest, ANameNoProcessHasIsNotRunning) {
    EXPECT_FALSE(launcher.IsRunning("no such program " + std::to_string(GetCurrentProcessId()) + ".exe"));
    EXPECT_FALSE(launcher.IsRunning("C:\\elsewhere\\" + OwnExecutableName()));
}

TEST_F(ProcessTest, TheSnapshotListsEveryProcessWithANulEndedName) {
    const SnapshotHandle snapshot = processes.Take(kSnapshotProcesses);
    ProcessEntry entry;
    entry.size = 296;  // what the logic puts there: the 32-bit record's size
    int count = 0;
    bool sawSelf = false;
    for (bool more = processes.First(snapshot, entry); more; more = processes.Next(snapshot, entry)) {
        ++count;
        const auto end = std::find(std::begin(entry.exeFile), std::end(entry.exeFile), '\0');
        ASSERT_NE(end, std::end(entry.exeFile));
        sawSelf |= std::string(entry.exeFile) == OwnExecutableName();
    }
    processes.Release(snapshot);
    EXPECT_GT(count, 1);
    EXPECT_TRUE(sawSelf);
}

TEST_F(ProcessTest, AFailedSnapshotYieldsNoEntry) {
    ProcessEntry entry;
    const SnapshotHandle invalid = reinterpret_cast<SnapshotHandle>(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(processes.First(invalid, entry));
    processes.Release(invalid);
}

}  // namespace
}  // namespace tapelark
