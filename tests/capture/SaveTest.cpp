// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "tests/capture/Harness.h"

using namespace tapelark;
using namespace tapelark::testing;
using Strings = std::vector<std::string>;

namespace {

class Save : public ::testing::Test, public CaptureHarness {
protected:
    // The multimedia system writes the file when the save succeeds.
    void SaveWrites(const std::string& target, std::uint32_t code = 0) {
        mci.Script("save capture " + target, {{code, ""}});
    }
};

TEST_F(Save, PlainPathIsSentAsItIs) {
    engine.SaveCaptureAs("/music/audio.wav");
    EXPECT_EQ(mci.Commands(), (Strings{"save capture /music/audio.wav"}));
    EXPECT_FALSE(mci.calls[0].hasField);
    EXPECT_EQ(mci.calls[0].length, 0u);
    EXPECT_TRUE(shortPaths.asked.empty());
    EXPECT_TRUE(messages.shown.empty());
}

// The multimedia system writes the file it is told to save: whole when it
// succeeds, or (as some do) a piece of it when it fails.
struct WritingMci : FakeMciChannel {
    FakeFileSystem* files = nullptr;
    bool leavesPieceOnFailure = false;
    std::uint32_t SendString(const char* command, char* reply, std::uint32_t length,
                             std::uintptr_t callback) override {
        std::uint32_t code = FakeMciChannel::SendString(command, reply, length, callback);
        std::string path = std::string(command).substr(std::string("save capture ").size());
        if (path.size() > 1 && path.front() == '"') path = path.substr(1, path.size() - 2);
        if (code == 0 || leavesPieceOnFailure) files->files[path] = code == 0 ? "new take" : "half";
        return code;
    }
};

class SaveOver : public ::testing::Test {
protected:
    SaveOver() { mci.files = &files; }
    WritingMci mci;
    FakeMessageBoxes messages;
    FakeFileSystem files;
    FakeShortPaths shortPaths{files};
    WaveRecording engine{mci, messages, files, shortPaths};
};

TEST_F(SaveOver, TheNewFileIsWrittenBesideAndThenTakesTheOldOnesPlace) {
    struct Case {
        std::string path, leftover;  // a file an earlier save left beside, held open
        std::string sent;
    } cases[] = {
        {"/music/audio.wav", "", "save capture /music/.tapelark-save-1.wav"},
        {"/my music/a.wav", "", "save capture \"/my music/.tapelark-save-1.wav\""},
        {"C:\\rec\\a.wav", "C:\\rec\\.tapelark-save-1.wav", "save capture C:\\rec\\.tapelark-save-2.wav"},
        {"a.wav", "", "save capture .tapelark-save-1.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        files.files = {{c.path, "old take"}};
        files.failing.clear();
        if (!c.leftover.empty()) {
            files.files[c.leftover] = "held";
            files.failing.insert("remove " + c.leftover);
        }
        mci.calls.clear();
        engine.SaveCaptureAs(c.path);
        EXPECT_EQ(mci.Commands(), Strings{c.sent});
        EXPECT_EQ(files.files.at(c.path), "new take");
        EXPECT_EQ(files.files.size(), c.leftover.empty() ? 1u : 2u) << "nothing else left beside it";
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(SaveOver, ALeftoverOfAnEarlierSaveIsRemovedOnceNothingHoldsIt) {
    files.files = {{"/m/a.wav", "old take"}, {"/m/.tapelark-save-1.wav", "an earlier take"}};
    engine.SaveCaptureAs("/m/a.wav");
    EXPECT_EQ(mci.Commands(), Strings{"save capture /m/.tapelark-save-1.wav"});
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"/m/a.wav", "new take"}}));
}

TEST_F(SaveOver, AFailedSaveLeavesTheOldFileAndNothingBeside) {
    for (bool leavesPiece : {false, true}) {
        files.files = {{"/m/a.wav", "old take"}};
        messages.shown.clear();
        mci.leavesPieceOnFailure = leavesPiece;
        mci.Script("save capture /m/.tapelark-save-1.wav", {{275, ""}});
        engine.SaveCaptureAs("/m/a.wav");
        EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"/m/a.wav", "old take"}}));
        EXPECT_EQ(messages.Texts(), (Strings{"Saving file failed, file name was: /m/a.wav"}));
        EXPECT_EQ(messages.shown[0].style, 0);
    }
}

TEST_F(SaveOver, AReplaceThatFailsIsRaisedAndTheNewFileRemoved) {
    files.files["/m/a.wav"] = "old take";
    files.failing.insert("replace /m/.tapelark-save-1.wav");
    EXPECT_THROW(engine.SaveCaptureAs("/m/a.wav"), FileError);
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"/m/a.wav", "old take"}}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Save, APathWithABlankGoesInQuotesWithoutTouchingTheDisk) {
    SaveWrites("\"/my music/a.wav\"", 275);
    engine.SaveCaptureAs("/my music/a.wav");
    EXPECT_EQ(mci.Commands(), (Strings{"save capture \"/my music/a.wav\""}));
    EXPECT_EQ(files.log, (Strings{"length /my music/a.wav"}));
    EXPECT_TRUE(shortPaths.asked.empty());
    EXPECT_TRUE(files.files.empty());  // no empty file left behind
    EXPECT_EQ(messages.Texts(), (Strings{"Saving file failed, file name was: /my music/a.wav"}));
}

TEST_F(Save, EmptyExistingFileIsLeftForTheSaveToWriteOver) {
    files.files["/m/a b.wav"] = "";
    engine.SaveCaptureAs("/m/a b.wav");
    EXPECT_EQ(files.log, (Strings{"length /m/a b.wav"}));
    EXPECT_EQ(mci.Commands(), (Strings{"save capture \"/m/a b.wav\""}));
}

TEST_F(Save, ShortPathOfReturnsExactlyTheAnswer) {
    files.files["/a b"] = "x";
    shortPaths.forms["/a b"] = "/AB~1";
    EXPECT_EQ(engine.ShortPathOf("/a b"), "/AB~1");
    EXPECT_EQ(engine.ShortPathOf("/nothing here"), "/nothing~here");
    EXPECT_FALSE(files.Exists("/nothing here"));  // made for the question only
    std::string longPath = "/x y/" + std::string(300, 'n');
    files.files[longPath] = "";
    EXPECT_EQ(engine.ShortPathOf(longPath), std::string(255, ' '));  // did not fit: the buffer as it was
}

TEST_F(Save, FileExistsOnlyForContent) {
    files.files["/full"] = "x";
    files.files["/empty"] = "";
    EXPECT_TRUE(engine.FileExists("/full"));
    EXPECT_FALSE(engine.FileExists("/empty"));
    EXPECT_FALSE(engine.FileExists("/missing"));
}

}  // namespace
