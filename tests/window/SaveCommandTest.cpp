// SPDX-License-Identifier: MIT
#include <string>

#include <gtest/gtest.h>

#include "tests/window/TestWindow.h"
#include "window/ShowSaveDialog.h"

namespace tapelark::testing {
namespace {

bool Sent(const TestWindow& w, const std::string& command) {
    for (const auto& c : w.mci.sent)
        if (c == command) return true;
    return false;
}

int SaveCommands(const TestWindow& w) {
    int n = 0;
    for (const auto& c : w.mci.sent) n += c.rfind("save capture", 0) == 0;
    return n;
}

TestWindow* Stopped(TestWindow& w) {
    w.form.btnWaveRec_Click();
    w.form.btnStopWave_Click();
    return &w;
}

TEST(SaveCommand, CancelCallsNothingAndShowsNothing) {
    TestWindow w;
    Stopped(w);
    w.saveDialog.cancel = true;
    w.form.btnSaveWave_Click();
    ASSERT_EQ(w.saveDialog.asked.size(), 1u);
    EXPECT_EQ(SaveCommands(w), 0);
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST(SaveCommand, TheDialogIsAskedAsTheSaveCommandWantsIt) {
    TestWindow w;
    Stopped(w);
    w.saveDialog.cancel = true;
    w.form.btnSaveWave_Click();
    const SaveFileRecord& r = w.saveDialog.asked.at(0);
    EXPECT_EQ(r.structSize, 76u);
    EXPECT_EQ(r.owner, w.view.OwnerHandle());
    EXPECT_EQ(r.instance, 0x400000u);
    EXPECT_EQ(r.filter, std::string("Wave Audio (*.wav)\0*.wav\0", 25));
    EXPECT_EQ(r.file, "audio.wav" + std::string(254 - 9, ' '));
    EXPECT_EQ(r.maxFile, 255u);
    EXPECT_EQ(r.fileTitle, std::string(254, ' '));
    EXPECT_EQ(r.maxFileTitle, 255u);
    EXPECT_EQ(r.initialDir, "/opt/tapelark/");
    EXPECT_EQ(r.title, "Save As");
    EXPECT_EQ(r.flags, 8198u);
}

TEST(SaveCommand, TheChosenPathReachesTheSaveExactly) {
    TestWindow w;
    Stopped(w);
    w.saveDialog.answer = "/tmp/a.wav";  // shorter than the proposed name
    w.form.btnSaveWave_Click();
    EXPECT_TRUE(Sent(w, "save capture /tmp/a.wav"));
    EXPECT_EQ(SaveCommands(w), 1);
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST(SaveCommand, ANameWithoutExtensionGetsNone) {
    TestWindow w;
    Stopped(w);
    w.saveDialog.answer = "/home/player/take";
    w.form.btnSaveWave_Click();
    EXPECT_TRUE(Sent(w, "save capture /home/player/take"));
}

TEST(SaveCommand, APathTooLongForTheBufferSavesNothing) {
    TestWindow w;
    Stopped(w);
    w.saveDialog.answer = "/" + std::string(260, 'x') + ".wav";
    w.form.btnSaveWave_Click();
    EXPECT_EQ(SaveCommands(w), 0);
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST(SaveCommand, SavingWhileRecordingAgainGoesAheadAndLeavesTheState) {
    TestWindow w;
    Stopped(w);
    w.form.btnWaveRec_Click();
    w.saveDialog.answer = "/tmp/b.wav";
    w.form.btnSaveWave_Click();
    EXPECT_TRUE(Sent(w, "save capture /tmp/b.wav"));
    EXPECT_TRUE(w.view.timer);
    EXPECT_TRUE(w.view.enabled[Control::btnSaveWave]);
    EXPECT_FALSE(w.view.enabled[Control::btnPlayWave]);
}

TEST(SaveCommand, AFailingFileStepIsShownWithThePathAndTheReason) {
    TestWindow w;
    Stopped(w);
    w.files.existing["/music/audio.wav"] = true;
    w.files.failWith = "Permission denied";
    w.saveDialog.answer = "/music/audio.wav";
    EXPECT_NO_THROW(w.form.btnSaveWave_Click());
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text,
              "Saving file failed, file name was: /music/audio.wav\r\nPermission denied");
    EXPECT_EQ(w.messages.shown[0].style, 0);
    EXPECT_EQ(w.messages.shown[0].caption, "Tapelark");
    EXPECT_EQ(SaveCommands(w), 1);  // the new file was written, but could not take the old one's place
}

TEST(SaveFolder, TheProgramsFolderWhenItMayBeWritten) {
    FakeEnvironment env;
    EXPECT_EQ(SaveDialogFolder(env), "/opt/tapelark/");
}

TEST(SaveFolder, TheUsersFolderWhenTheProgramsMayNotBeWritten) {
    FakeEnvironment env;
    env.programFolder = "/usr/bin";
    EXPECT_EQ(SaveDialogFolder(env), "/home/player/Music/");
}

TEST(SaveFolder, AFolderEndingInTheSeparatorGetsNoSecond) {
    FakeEnvironment env;
    env.programFolder = env.writable = "/";
    EXPECT_EQ(SaveDialogFolder(env), "/");
}

TEST(SaveDialogWrapper, FilterPairsAreNulSeparatedAndEndedOnce) {
    EXPECT_EQ(NulSeparatedFilter("Wave Audio (*.wav)|*.wav"),
              std::string("Wave Audio (*.wav)\0*.wav\0", 25));
    EXPECT_EQ(NulSeparatedFilter("A|*.a|"), std::string("A\0*.a\0", 6));
    EXPECT_EQ(NulSeparatedFilter("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0", 12));
}

TEST(SaveDialogWrapper, TheResultIsTrimmedAndEndsAtTheFirstNul) {
    struct BlankPadded : SaveFileDialog {
        int Run(SaveFileRecord& r) override {
            r.file = "  /tmp/x y.wav  " + std::string(1, '\0') + "audio.wav";
            return 1;
        }
    } dialog;
    FakeEnvironment env;
    EXPECT_EQ(ShowSaveDialog(dialog, env, 0, "A|*.a", "T", "/", "audio.wav"), "/tmp/x y.wav");
}

TEST(SaveDialogWrapper, ADialogThatFailsIsACancel) {
    struct Throwing : SaveFileDialog {
        int Run(SaveFileRecord&) override { throw std::runtime_error("no display"); }
    } dialog;
    FakeEnvironment env;
    EXPECT_EQ(ShowSaveDialog(dialog, env, 0, "A|*.a", "T", "/", "audio.wav"), "");
}

TEST(SaveDialogWrapper, AProposedNameLongerThanTheBufferIsCut) {
    FakeSaveDialog dialog;
    dialog.cancel = true;
    FakeEnvironment env;
    ShowSaveDialog(dialog, env, 0, "A|*.a", "T", "/", std::string(300, 'n'));
    EXPECT_EQ(dialog.asked.at(0).file, std::string(254, 'n'));
}

}  // namespace
}  // namespace tapelark::testing
