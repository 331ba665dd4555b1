// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "capture/WaveRecording.h"
#include "tests/fakes/FakeMciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxShortPaths.h"

namespace fs = std::filesystem;
using namespace tapelark;

namespace {

class RealFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tapelark-files-XXXXXX";
        dir = mkdtemp(pattern);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    std::string Write(const std::string& name, const std::string& content) {
        std::string path = dir + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << content;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string dir;
    LinuxFileSystem files;
    LinuxShortPaths shortPaths;
};

TEST_F(RealFiles, ShortPathIsThePathWhileSomethingIsThere) {
    std::string path = Write("with blank/a b.wav", "x");
    char buffer[255];
    EXPECT_EQ(shortPaths.Query(path.c_str(), buffer, 255), path.size());
    EXPECT_STREQ(buffer, path.c_str());
    EXPECT_EQ(shortPaths.Query((dir + "/missing").c_str(), buffer, 255), 0u);
    // A buffer too small is told how much room the answer needs.
    EXPECT_EQ(shortPaths.Query(path.c_str(), buffer, 4), path.size() + 1);
}

TEST_F(RealFiles, FileStepsReportWhyTheyFailed) {
    try {
        files.CreateEmptyAndClose(dir + "/no such folder/a.wav");
        FAIL() << "created a file in a missing folder";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos);
    }
    EXPECT_THROW(files.LengthOf(dir + "/missing"), FileError);
    EXPECT_THROW(files.LengthOf(dir), FileError);
    EXPECT_THROW(files.Remove(dir + "/missing"), FileError);
}

TEST_F(RealFiles, CreateKeepsContentAndRenameNeverReplaces) {
    std::string a = Write("a", "take one");
    std::string b = Write("b", "take two");
    files.CreateEmptyAndClose(a);
    EXPECT_EQ(Read(a), "take one");
    EXPECT_THROW(files.Rename(a, b), FileError);
    EXPECT_EQ(Read(b), "take two");
    files.Rename(a, dir + "/c");
    EXPECT_FALSE(files.Exists(a));
    EXPECT_EQ(Read(dir + "/c"), "take one");
}

// The save sequence on a real file system, with a multimedia system that
// writes (or refuses) the file.
class RealSave : public RealFiles {
protected:
    struct Writer : tapelark::testing::FakeMciChannel {
        bool refuse = false;
        std::uint32_t SendString(const char* c, char* r, std::uint32_t l, std::uintptr_t w) override {
            FakeMciChannel::SendString(c, r, l, w);
            std::string path = std::string(c).substr(std::string("save capture ").size());
            if (path.size() > 1 && path.front() == '"') path = path.substr(1, path.size() - 2);
            if (refuse) return 275;
            std::ofstream out(path);
            out << "new take";
            return out ? 0 : 275;
        }
    } mci;
    tapelark::testing::FakeMessageBoxes messages;
    WaveRecording engine{mci, messages, files, shortPaths};
};

TEST_F(RealSave, ReplacesTheOldFileAndLeavesNothingBeside) {
    std::string path = Write("my music/audio.wav", "old take");
    engine.SaveCaptureAs(path);
    EXPECT_EQ(Read(path), "new take");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir + "/my music"), fs::directory_iterator{}), 1);
    EXPECT_TRUE(messages.shown.empty());
}

// A refused save gives an old file back, and leaves no empty file where there was none.
TEST_F(RealSave, ARefusedSaveLeavesTheFolderAsItWas) {
    mci.refuse = true;
    std::string path = Write("audio.wav", "old take");
    engine.SaveCaptureAs(path);
    EXPECT_EQ(Read(path), "old take");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    std::string blank = dir + "/a b.wav";
    engine.SaveCaptureAs(blank);
    EXPECT_FALSE(fs::exists(blank));
    EXPECT_EQ(mci.calls.back().command, "save capture \"" + blank + "\"");
}

TEST_F(RealSave, ASaveIntoAMissingFolderIsReported) {
    engine.SaveCaptureAs(dir + "/no such folder/a b.wav");
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Saving file failed, file name was: " + dir +
                                                          "/no such folder/a b.wav"}));
    EXPECT_FALSE(fs::exists(dir + "/no such folder"));
}

}  // namespace
