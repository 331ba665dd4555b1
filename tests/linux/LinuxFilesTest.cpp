// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "capture/WaveRecording.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxShortPaths.h"
#include "tests/fakes/FakeMciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"
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
}

// The save sequence on the real file system, with a multimedia system that
// writes (or refuses) the file.
class RealSave : public RealFiles {
protected:
    struct Writer : FakeMciChannel {
        bool refuse = false;
        std::uint32_t SendString(const char* c, char* r, std::uint32_t l, std::uintptr_t w) override {
            FakeMciChannel::SendString(c, r, l, w);
            std::string path = std::string(c).substr(std::string("save capture ").size());
            if (path.size() > 1 && path.front() == '"') path = path.substr(1, path.size() - 2);
            if (refuse) return 275;
            return std::ofstream(path) << "new take" ? 0 : 275;
        }
    } mci;
    FakeMessageBoxes messages;
    WaveRecording engine{mci, messages, files, shortPaths};
};

TEST_F(RealSave, ReplacesTheOldFileAndLeavesNothingBeside) {
    const std::string path = Write("my music/audio.wav", "old take");
    engine.SaveCaptureAs(path);
    EXPECT_EQ(ReadFile(path), "new take");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "my music"), fs::directory_iterator{}), 1);
    EXPECT_TRUE(messages.shown.empty());
}

// A failed save gives an old file back, makes no folder and leaves no empty
// file where there was none.
TEST_F(RealSave, AFailedSaveLeavesTheFolderAsItWasAndIsReported) {
    const std::string missing = dir / "no such folder/a b.wav";
    engine.SaveCaptureAs(missing);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Saving file failed, file name was: " + missing});
    mci.refuse = true;
    const std::string path = Write("audio.wav", "old take");
    engine.SaveCaptureAs(path);
    EXPECT_EQ(ReadFile(path), "old take");
    engine.SaveCaptureAs(dir / "my takes/a.wav");
    EXPECT_EQ(mci.calls.back().command, "save capture \"" + dir / "my takes/.tapelark-save-1.wav\"");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"audio.wav"});
    EXPECT_EQ(messages.shown.size(), 3u);
}

}  // namespace
}  // namespace tapelark::testing
