// SPDX-License-Identifier: MIT
#include <optional>

#include <gtest/gtest.h>

#include "tests/capture/Harness.h"

namespace tapelark::testing {
namespace {

using Files = std::map<std::string, std::string>;

// A multimedia system that writes the file it is told to save: whole, or
// when it refuses, nothing or (as some do) a piece of it.
struct WritingMci : FakeMciChannel {
    FakeFileSystem* files = nullptr;
    bool refuses = false, leavesPiece = false;
    std::uint32_t SendString(const char* command, char* reply, std::uint32_t length,
                             std::uintptr_t window) override {
        FakeMciChannel::SendString(command, reply, length, window);
        std::string path = std::string(command).substr(std::string("save capture ").size());
        if (path.front() == '"') path = path.substr(1, path.size() - 2);
        if (!refuses || leavesPiece) files->files[path] = refuses ? "half" : "new take";
        return refuses ? 275 : 0;
    }
};

class Save : public ::testing::Test, public CaptureHarness<WritingMci> {
protected:
    Save() { mci.files = &files; }
};

TEST_F(Save, OverAFileWithContentTheNewOneIsWrittenBesideAndThenTakesItsPlace) {
    const struct {
        std::string path;
        std::optional<std::string> old;  // what the path held
        std::string leftover;            // what an earlier save left beside
        bool held;                       // still open, so that it cannot be removed
        std::string sent;
    } cases[] = {
        {"/music/audio.wav", std::nullopt, "", false, "save capture /music/audio.wav"},
        {"/my music/a.wav", std::nullopt, "", false, "save capture \"/my music/a.wav\""},
        {"/m/a b.wav", "", "", false, "save capture \"/m/a b.wav\""},
        {"/music/audio.wav", "old take", "", false, "save capture /music/.tapelark-save-1.wav"},
        {"/my music/a.wav", "old take", "", false, "save capture \"/my music/.tapelark-save-1.wav\""},
        {"a.wav", "old take", "", false, "save capture .tapelark-save-1.wav"},
        {"/m/a.wav", "old take", "/m/.tapelark-save-1.wav", false, "save capture /m/.tapelark-save-1.wav"},
        {"C:\\rec\\a.wav", "old take", "C:\\rec\\.tapelark-save-1.wav", true,
         "save capture C:\\rec\\.tapelark-save-2.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        files.files.clear();
        files.failing.clear();
        mci.calls.clear();
        if (c.old) files.files[c.path] = *c.old;
        if (!c.leftover.empty()) files.files[c.leftover] = "an earlier take";
        if (c.held) files.failing.insert("remove " + c.leftover);
        engine.SaveCaptureAs(c.path);
        EXPECT_EQ(mci.Commands(), std::vector<std::string>{c.sent});
        Files expected{{c.path, "new take"}};
        if (c.held) expected[c.leftover] = "an earlier take";
        EXPECT_EQ(files.files, expected);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Save, ARefusedSaveLeavesTheFilesAsTheyWereAndSaysSo) {
    const struct {
        std::string path;
        std::optional<std::string> old;
        bool leavesPiece;
    } cases[] = {
        {"/m/a.wav", "old take", false},
        {"/m/a.wav", "old take", true},
        {"/my music/a.wav", std::nullopt, false},  // no empty file made for a short path
    };
    mci.refuses = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        files.files.clear();
        messages.shown.clear();
        if (c.old) files.files[c.path] = *c.old;
        mci.leavesPiece = c.leavesPiece;
        const Files before = files.files;
        engine.SaveCaptureAs(c.path);
        EXPECT_EQ(files.files, before);
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Saving file failed, file name was: " + c.path});
    }
}

TEST_F(Save, AReplaceThatFailsIsRaisedAndTheNewFileRemoved) {
    files.files["/m/a.wav"] = "old take";
    files.failing.insert("replace /m/.tapelark-save-1.wav");
    EXPECT_THROW(engine.SaveCaptureAs("/m/a.wav"), FileError);
    EXPECT_EQ(files.files, (Files{{"/m/a.wav", "old take"}}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Save, ShortPathOfReturnsExactlyTheAnswer) {
    files.files["/a b"] = "x";
    shortPaths.forms["/a b"] = "/AB~1";
    EXPECT_EQ(engine.ShortPathOf("/a b"), "/AB~1");
    const std::string longPath = "/x y/" + std::string(300, 'n');
    files.files[longPath] = "";
    EXPECT_EQ(engine.ShortPathOf(longPath), std::string(255, ' '));  // did not fit: the buffer as it was
}

}  // namespace
}  // namespace tapelark::testing
