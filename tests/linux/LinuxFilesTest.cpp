// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxShortPaths.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempFolder.h"

namespace tapelark::testing {
namespace {

namespace fs = std::filesystem;

// The capture engine's file services on the real file system.
class RealFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& content) {
        const std::string path = dir / name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << content;
        return path;
    }

    TempFolder dir{"tapelark-files"};
    LinuxFileSystem files;
    LinuxShortPaths shortPaths;
};

TEST_F(RealFiles, ShortPathsAndFileStepsReportFailuresAndNeverReplaceContent) {
    const std::string path = Write("with blank/a b.wav", "x");
    char buffer[255];
    EXPECT_EQ(shortPaths.Query(path.c_str(), buffer, 255), path.size());
    EXPECT_STREQ(buffer, path.c_str());
    EXPECT_EQ(shortPaths.Query((dir / "missing").c_str(), buffer, 255), 0u);
    // A buffer too small is told how much room the answer needs.
    EXPECT_EQ(shortPaths.Query(path.c_str(), buffer, 4), path.size() + 1);

    try {
        files.CreateEmptyAndClose(dir / "no such folder/a.wav");
        ADD_FAILURE() << "created a file in a missing folder";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos);
    }
    EXPECT_THROW(files.LengthOf(dir / "missing"), FileError);
    EXPECT_THROW(files.LengthOf(dir.path()), FileError);
    EXPECT_THROW(files.Remove(dir / "missing"), FileError);

    const std::string a = Write("a", "take one"), b = Write("b", "take two");
    files.CreateEmptyAndClose(a);
    EXPECT_EQ(ReadFile(a), "take one");
    EXPECT_THROW(files.Rename(a, b), FileError);
    EXPECT_EQ(ReadFile(b), "take two");
    files.Rename(a, dir / "c");
    EXPECT_FALSE(files.Exists(a));
    EXPECT_EQ(ReadFile(dir / "c"), "take one");

    // Replace: the new file takes the old one's name and mode in one step.
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(b, mode);
    files.Replace(dir / "c", b);
    EXPECT_EQ(ReadFile(b), "take one");
    EXPECT_EQ(fs::status(b).permissions(), mode);
    EXPECT_THROW(files.Replace(dir / "c", b), FileError) << "nothing to put in its place";
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"b", "with blank"}));
}

}  // namespace
}  // namespace tapelark::testing
