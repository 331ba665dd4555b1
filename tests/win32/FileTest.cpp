// SPDX-License-Identifier: MIT
// File services over kernel32, on Wine's real file system.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProgramEnvironment.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

class FileTest : public ::testing::Test {
protected:
    TempFolder folder{"tapelark files"};  // a blank in every path below
    Win32FileSystem files;
};

TEST_F(FileTest, ReplacePutsTheNewFileInTheOldOnesPlaceKeepingItHidden) {
    const std::string path = folder / "take.wav", fresh = folder / "new take.wav";
    WriteFile(path, "old");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(fresh, "new");
    files.Replace(fresh, path);
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_FALSE(files.Exists(fresh));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    try {
        files.Replace(fresh, path);
        ADD_FAILURE() << "put nothing in its place";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadFile(path), "new");
}

TEST(ProgramEnvironmentTest, FolderOfTheExecutableAndWhetherItMayBeWritten) {
    EXPECT_EQ(FolderOfFile("C:\\Games\\Tapelark\\tapelark.exe"), "C:\\Games\\Tapelark");
    EXPECT_EQ(FolderOfFile("C:\\tapelark.exe"), "C:\\");

    Win32ProgramEnvironment environment;
    const std::string folder = environment.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    Win32FileSystem files;
    EXPECT_TRUE(files.Exists(folder + "\\" + "win32_platform_test.exe"));
    EXPECT_EQ(environment.InstanceHandle(), reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));

    TempFolder scratch{"tapelark writable"};
    EXPECT_TRUE(environment.FolderWritable(scratch.path()));
    EXPECT_FALSE(environment.FolderWritable(scratch / "no such folder"));
    EXPECT_FALSE(environment.UserSaveFolder().empty());
}

}  // namespace
}  // namespace tapelark
