// SPDX-License-Identifier: MIT
// File and short-path services over kernel32, on Wine's real file system.
#include <gtest/gtest.h>

#include <string>

#include "tests/fakes/FakeMessageBoxes.h"
#include "capture/WaveRecording.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MciChannel.h"
#include "platform/win32/Win32ProgramEnvironment.h"
#include "platform/win32/Win32ShortPaths.h"
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
    Win32ShortPaths shortPaths;
    Win32MciChannel mci;
    testing::FakeMessageBoxes messages;
    WaveRecording capture{mci, messages, files, shortPaths};
};

TEST_F(FileTest, ShortPathsHaveNoBlankAndAMissingFileIsMadeForTheMomentOfTheQuestion) {
    const std::string path = folder / "a long name.wav";
    WriteFile(path, "content");
    char buffer[255], small[4];
    const std::uint32_t n = shortPaths.Query(path.c_str(), buffer, sizeof(buffer));
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, sizeof(buffer));
    const std::string shortPath(buffer, n);
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_EQ(ReadFile(shortPath), "content");
    EXPECT_EQ(shortPaths.Query(path.c_str(), small, sizeof(small)), n + 1) << "the length needed";

    const std::string missing = folder / "not yet here.wav";
    EXPECT_EQ(shortPaths.Query(missing.c_str(), buffer, sizeof(buffer)), 0u);
    EXPECT_EQ(capture.ShortPathOf(missing).find(' '), std::string::npos);
    EXPECT_FALSE(capture.ShortPathOf(missing).empty());
    EXPECT_FALSE(files.Exists(missing)) << "the stand-in file is removed again";
}

TEST_F(FileTest, LengthCreateRemoveAndRenameKeepTheirContractsAndFailuresNameThePath) {
    const std::string path = folder / "data file.bin";
    WriteFile(path, std::string(1000, 'a'));
    EXPECT_EQ(files.LengthOf(path), 1000);

    files.CreateEmptyAndClose(path);
    EXPECT_EQ(files.LengthOf(path), 1000) << "an existing file keeps its contents";

    const std::string other = folder / "other file.bin";
    files.CreateEmptyAndClose(other);
    EXPECT_TRUE(files.Exists(other));
    EXPECT_EQ(files.LengthOf(other), 0);
    EXPECT_THROW(files.Rename(path, other), FileError) << "the target must not exist";

    files.Remove(other);
    files.Rename(path, other);
    EXPECT_FALSE(files.Exists(path));
    EXPECT_EQ(ReadFile(other), std::string(1000, 'a'));

    // Failures are file errors that name the path.
    const std::string missing = folder / "missing.bin";
    try {
        files.Remove(missing);
        FAIL() << "removing nothing succeeded";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
    }
    EXPECT_THROW(files.LengthOf(missing), FileError);
    EXPECT_THROW(files.LengthOf(folder.path()), FileError) << "a folder has no length";
    EXPECT_THROW(files.CreateEmptyAndClose(folder / "no folder\\x.bin"), FileError);
    EXPECT_FALSE(files.Exists(missing));
}

TEST_F(FileTest, ReplacePutsTheNewFileInTheOldOnesPlaceKeepingItHidden) {
    const std::string path = folder / "take.wav", fresh = folder / "new take.wav";
    WriteFile(path, "old");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(fresh, "new");
    files.Replace(fresh, path);
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_FALSE(files.Exists(fresh));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_THROW(files.Replace(fresh, path), FileError) << "nothing to put in its place";
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
