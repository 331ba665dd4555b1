#include <gtest/gtest.h>

#include "Harness.h"

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

TEST_F(Save, ExistingFileIsReplacedOnlyOnceTheSaveSucceeded) {
    files.files["/music/audio.wav"] = "old take";
    engine.SaveCaptureAs("/music/audio.wav");
    EXPECT_EQ(files.log, (Strings{"length /music/audio.wav", "rename /music/audio.wav",
                                  "remove /music/audio.wav.tapelark-old"}));
    EXPECT_EQ(mci.Commands(), (Strings{"save capture /music/audio.wav"}));
    EXPECT_TRUE(files.files.empty());  // the fake system wrote nothing; the old copy is gone
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Save, OldFileSurvivesAFailedSave) {
    files.files["/music/audio.wav"] = "old take";
    SaveWrites("/music/audio.wav", 275);
    engine.SaveCaptureAs("/music/audio.wav");
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"/music/audio.wav", "old take"}}));
    EXPECT_EQ(messages.Texts(), (Strings{"Saving file failed, file name was: /music/audio.wav"}));
    EXPECT_EQ(messages.shown[0].style, 0);
}

TEST_F(Save, AsideNameAvoidsFilesAlreadyThere) {
    files.files["/m/a.wav"] = "old";
    files.files["/m/a.wav.tapelark-old"] = "someone's";
    engine.SaveCaptureAs("/m/a.wav");
    EXPECT_EQ(files.files.at("/m/a.wav.tapelark-old"), "someone's");
    EXPECT_EQ(files.log.at(2), "remove /m/a.wav.tapelark-old2");
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

TEST_F(Save, BlankAndContentMovesTheOldFileAsideToo) {
    files.files["/my music/a.wav"] = "old";
    engine.SaveCaptureAs("/my music/a.wav");
    EXPECT_EQ(files.log, (Strings{"length /my music/a.wav", "rename /my music/a.wav",
                                  "remove /my music/a.wav.tapelark-old"}));
    EXPECT_EQ(mci.Commands(), (Strings{"save capture \"/my music/a.wav\""}));
}

TEST_F(Save, OldFileThatCannotBeMovedAsideIsRaisedWithNothingSent) {
    files.files["/ro/a.wav"] = "old";
    files.failing.insert("rename /ro/a.wav");
    EXPECT_THROW(engine.SaveCaptureAs("/ro/a.wav"), FileError);
    EXPECT_TRUE(mci.calls.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"/ro/a.wav", "old"}}));
}

TEST_F(Save, OldFileThatCannotBeRemovedAfterwardsIsNamed) {
    files.files["/m/a.wav"] = "old";
    files.failing.insert("remove /m/a.wav.tapelark-old");
    engine.SaveCaptureAs("/m/a.wav");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("/m/a.wav.tapelark-old"), std::string::npos);
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
