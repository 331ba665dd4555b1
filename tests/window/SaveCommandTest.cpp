// SPDX-License-Identifier: MIT
#include <string>

#include <gtest/gtest.h>

#include "tests/window/TestWindow.h"
#include "window/ShowSaveDialog.h"

namespace tapelark::testing {
namespace {

TEST(SaveCommand, TheDialogIsAskedAndTheChosenPathAndOnlyItSavedLeavingTheButtonsAlone) {
    const struct {
        bool recordingAgain, cancel;
        std::string answer;
        std::vector<std::string> saves;
    } cases[] = {
        {false, true, "/tmp/a.wav", {}},
        // Blanks around are trimmed and the buffer, longer than the path, cut at its NUL.
        {false, false, "  /tmp/a.wav  ", {"save capture /tmp/a.wav"}},
        {false, false, "/home/player/take", {"save capture /home/player/take"}},  // no extension added
        {false, false, "/" + std::string(260, 'x') + ".wav", {}},                 // too long for the buffer
        {true, false, "/tmp/b.wav", {"save capture /tmp/b.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        TestWindow w;
        w.form.btnWaveRec_Click();
        w.form.btnStopWave_Click();
        if (c.recordingAgain) w.form.btnWaveRec_Click();
        const auto enabled = w.view.enabled;
        const bool timer = w.view.timer;
        w.Forget();
        w.saveDialog.cancel = c.cancel;
        w.saveDialog.answer = c.answer;
        w.form.btnSaveWave_Click();
        const SaveFileRecord& asked = w.saveDialog.asked.at(0);
        EXPECT_EQ(asked.owner, w.view.OwnerHandle());
        EXPECT_EQ(asked.filter, std::string("Wave Audio (*.wav)\0*.wav\0", 25));
        EXPECT_EQ(asked.file, "audio.wav" + std::string(254 - 9, ' '));
        EXPECT_EQ(asked.initialDir, "/opt/tapelark/");
        EXPECT_EQ(asked.title, "Save As");
        EXPECT_EQ(asked.flags, 8198u);  // ask before replacing and before creating
        EXPECT_EQ(w.EngineCommands(), c.saves);
        EXPECT_EQ(w.view.enabled, enabled);
        EXPECT_EQ(w.view.timer, timer);
        EXPECT_TRUE(w.messages.shown.empty());
    }
}

TEST(SaveCommand, AFailingFileStepIsShownWithThePathAndTheReason) {
    TestWindow w;
    w.form.btnWaveRec_Click();
    w.form.btnStopWave_Click();
    w.saving.fails = true;
    w.saveDialog.answer = "/music/audio.wav";
    EXPECT_NO_THROW(w.form.btnSaveWave_Click());
    const std::string told = "Saving file failed, file name was: /music/audio.wav\r\n"
                             "cannot put the new file in the place of /music/audio.wav";
    EXPECT_EQ(w.messages.Texts(), std::vector<std::string>{told});
}

TEST(SaveDialogWrapper, TheUsersFolderWhenTheProgramsMayNotBeWrittenEndingInOneSeparator) {
    const struct {
        std::string programFolder, writable, expected;
    } cases[] = {
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

TEST(SaveDialogWrapper, AProposedNameLongerThanTheBufferIsCutAndAFailingDialogIsACancel) {
    FakeSaveFileDialog dialog;
    dialog.fail = true;
    FakeProgramEnvironment env;
    EXPECT_EQ(ShowSaveDialog(dialog, env, 0, "A|*.a|", "T", "/", std::string(300, 'n')), "");
    EXPECT_EQ(dialog.asked.at(0).file, std::string(254, 'n'));
    EXPECT_EQ(NulSeparatedFilter("A|*.a|"), std::string("A\0*.a\0", 6));  // ended once
}

}  // namespace
}  // namespace tapelark::testing
