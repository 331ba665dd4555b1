// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/linux/LinuxFileSystem.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempFolder.h"

namespace tapelark::testing {
namespace {

namespace fs = std::filesystem;

// The capture engine's file services on the real file system.
TEST(RealFiles, ReplaceTakesTheOldNameAndModeAndFailuresSayWhy) {
    TempFolder dir{"tapelark-files"};
    LinuxFileSystem files;
    try {
        files.Remove(dir / "missing");
        ADD_FAILURE() << "removed nothing";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos);
    }
    const std::string a = dir / "a", b = dir / "b";
    WriteFile(a, "take one");
    WriteFile(b, "take two");
    EXPECT_TRUE(files.Exists(a));
    // The new file takes the old one's name and mode in one step.
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(b, mode);
    files.Replace(a, b);
    EXPECT_EQ(ReadFile(b), "take one");
    EXPECT_EQ(fs::status(b).permissions(), mode);
    EXPECT_THROW(files.Replace(a, b), FileError) << "nothing to put in its place";
    EXPECT_FALSE(files.Exists(a));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"b"}));
}

}  // namespace
}  // namespace tapelark::testing
