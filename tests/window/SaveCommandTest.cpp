// SPDX-License-Identifier: MIT
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "tests/window/TestWindow.h"
#include "window/ShowSaveDialog.h"

namespace tapelark::testing {
namespace {

std::vector<std::string> Saves(TestWindow& w) {
    std::vector<std::string> saves;
    for (const std::string& c : w.EngineCommands())
        if (c.rfind("save capture", 0) == 0) saves.push_back(c);
    return saves;
}

TEST(SaveCommand, TheDialogIsAskedAsTheSaveCommandWantsIt) {
    TestWindow w;
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

TEST(SaveCommand, TheChosenPathAndOnlyItIsSaved) {
    const struct {
        bool cancel;
        std::string answer;
        std::vector<std::string> saves;
    } cases[] = {
        {true, "/tmp/a.wav", {}},
        {false, "/tmp/a.wav", {"save capture /tmp/a.wav"}},  // shorter than the proposed name
        {false, "/home/player/take", {"save capture /home/player/take"}},  // no extension added
        {false, "/" + std::string(260, 'x') + ".wav", {}},  // too long for the buffer
    };
    for (const auto& c : cases) {
        TestWindow w;
        w.form.btnWaveRec_Click();
        w.form.btnStopWave_Click();
        w.Forget();
        w.saveDialog.cancel = c.cancel;
        w.saveDialog.answer = c.answer;
        w.form.btnSaveWave_Click();
        EXPECT_EQ(Saves(w), c.saves) << c.answer;
        EXPECT_TRUE(w.messages.shown.empty()) << c.answer;
    }
}

TEST(SaveCommand, SavingWhileRecordingAgainGoesAheadAndLeavesTheState) {
    TestWindow w;
    w.form.btnWaveRec_Click();
    w.form.btnStopWave_Click();
    w.form.btnWaveRec_Click();
    w.Forget();
    w.saveDialog.answer = "/tmp/b.wav";
    w.form.btnSaveWave_Click();
    EXPECT_EQ(Saves(w), std::vector<std::string>{"save capture /tmp/b.wav"});
    EXPECT_TRUE(w.view.timer);
    EXPECT_TRUE(w.view.enabled[Control::btnSaveWave]);
    EXPECT_FALSE(w.view.enabled[Control::btnPlayWave]);
}

TEST(SaveCommand, AFailingFileStepIsShownWithThePathAndTheReason) {
    TestWindow w;
    w.form.btnWaveRec_Click();
    w.form.btnStopWave_Click();
    w.files.files["/music/audio.wav"] = "RIFF";
    w.files.failing.insert("replace /music/.tapelark-save-1.wav");
    w.saveDialog.answer = "/music/audio.wav";
    EXPECT_NO_THROW(w.form.btnSaveWave_Click());
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, "Saving file failed, file name was: /music/audio.wav\r\n"
                                        "replace failed: /music/.tapelark-save-1.wav");
    EXPECT_EQ(w.messages.shown[0].style, 0);
    EXPECT_EQ(w.messages.shown[0].caption, "Tapelark");
    // The new file was written, but could not take the old one's place.
    EXPECT_EQ(Saves(w), std::vector<std::string>{"save capture /music/.tapelark-save-1.wav"});
}

TEST(SaveDialogWrapper, TheProgramsFolderWhenItMayBeWrittenElseTheUsers) {
    const struct {
        std::string programFolder, writable, expected;
    } cases[] = {
        {"/opt/tapelark", "/opt/tapelark", "/opt/tapelark/"},
        {"/usr/bin", "/opt/tapelark", "/home/player/Music/"},
        {"/", "/", "/"},  // no second separator
    };
    for (const auto& c : cases) {
        FakeProgramEnvironment env;
        env.programFolder = c.programFolder;
        env.writable = c.writable;
        EXPECT_EQ(SaveDialogFolder(env), c.expected) << c.programFolder;
    }
}

TEST(SaveDialogWrapper, FilterPairsAreNulSeparatedAndEndedOnce) {
    EXPECT_EQ(NulSeparatedFilter("A|*.a|"), std::string("A\0*.a\0", 6));
    EXPECT_EQ(NulSeparatedFilter("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0", 12));
}

TEST(SaveDialogWrapper, TheResultIsTrimmedAndEndsAtTheFirstNulAndAFailureIsACancel) {
    struct Answering : SaveFileDialog {
        bool fail = false;
        int Run(SaveFileRecord& r) override {
            if (fail) throw std::runtime_error("no display");
            r.file = "  /tmp/x y.wav  " + std::string(1, '\0') + "audio.wav";
            return 1;
        }
    } dialog;
    FakeProgramEnvironment env;
    EXPECT_EQ(ShowSaveDialog(dialog, env, 0, "A|*.a", "T", "/", "audio.wav"), "/tmp/x y.wav");
    dialog.fail = true;
    EXPECT_EQ(ShowSaveDialog(dialog, env, 0, "A|*.a", "T", "/", "audio.wav"), "");
}

TEST(SaveDialogWrapper, AProposedNameLongerThanTheBufferIsCut) {
    FakeSaveFileDialog dialog;
    dialog.cancel = true;
    FakeProgramEnvironment env;
    ShowSaveDialog(dialog, env, 0, "A|*.a", "T", "/", std::string(300, 'n'));
    EXPECT_EQ(dialog.asked.at(0).file, std::string(254, 'n'));
}

}  // namespace
}  // namespace tapelark::testing
