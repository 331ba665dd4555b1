// SPDX-License-Identifier: MIT
// comdlg32's save dialog, through the record the save command fills, and
// user32's message boxes, each driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32ProgramEnvironment.h"
#include "platform/win32/Win32SaveFileDialog.h"
#include "tests/win32/DialogDriver.h"
#include "tests/win32/WineHelpers.h"
#include "window/ShowSaveDialog.h"

namespace tapelark {
namespace {

TEST(SaveDialogTest, OpensWithTheProposedNameAsksBeforeReplacingAndGivesBackTheFullPath) {
    testing::DialogDriver dialogs;
    ASSERT_TRUE(dialogs.Installed());
    testing::TempFolder folder{"tapelark save"};
    Win32SaveFileDialog dialog;
    Win32ProgramEnvironment environment;
    const auto ask = [&] {
        return ShowSaveDialog(dialog, environment, 0, "Wave Audio (*.wav)|*.wav", "Save As",
                              folder.path() + "\\", "audio.wav");
    };

    dialogs.Press({IDOK, IDYES});  // accept the name; agree to create the file
    EXPECT_EQ(ask(), folder / "audio.wav");
    ASSERT_GE(dialogs.seen.size(), 1u);
    EXPECT_EQ(dialogs.seen[0].title, "Save As");
    EXPECT_TRUE(dialogs.seen[0].Shows("audio.wav"));
    EXPECT_TRUE(dialogs.seen[0].Shows("Wave Audio (*.wav)"));

    dialogs.Press({IDCANCEL});
    EXPECT_EQ(ask(), "");

    testing::WriteFile(folder / "audio.wav", "an older take");
    dialogs.Press({IDOK, IDYES});
    EXPECT_EQ(ask(), folder / "audio.wav");
    EXPECT_EQ(dialogs.seen.size(), 2u) << "the dialog, then its question";

    dialogs.Press({IDOK, IDNO, IDCANCEL});
    EXPECT_EQ(ask(), "") << "refusing to replace, then cancelling, gives nothing";
}

TEST(MessageBoxTest, ShowsTextAndCaptionWithTheIconTheStyleAsksFor) {
    testing::DialogDriver dialogs;
    ASSERT_TRUE(dialogs.Installed());
    dialogs.Press({IDOK, IDOK});
    Win32MessageBoxes messages;

    messages.Show("Saving file failed, file name was: C:\\take.wav", kStyleOk, "Tapelark");
    messages.Show("RegCloseKey Failed: SOFTWARE\\Connectix", kStyleExclamation, "Tapelark");

    ASSERT_EQ(dialogs.seen.size(), 2u) << "each box waits for its OK";
    EXPECT_EQ(dialogs.seen[0].title, "Tapelark");
    EXPECT_TRUE(dialogs.seen[0].Shows("Saving file failed, file name was: C:\\take.wav"));
    EXPECT_FALSE(dialogs.seen[0].icon);
    EXPECT_EQ(dialogs.seen[1].title, "Tapelark");
    EXPECT_TRUE(dialogs.seen[1].Shows("RegCloseKey Failed: SOFTWARE\\Connectix"));
    EXPECT_TRUE(dialogs.seen[1].icon) << "the exclamation icon";
}

}  // namespace
}  // namespace tapelark
