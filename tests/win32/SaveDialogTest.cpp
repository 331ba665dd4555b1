// SPDX-License-Identifier: MIT
// comdlg32's save dialog through the record the save command fills, driven
// as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Win32ProgramEnvironment.h"
#include "platform/win32/Win32SaveFileDialog.h"
#include "tests/win32/DialogDriver.h"
#include "tests/win32/WineHelpers.h"
#include "window/ShowSaveDialog.h"

namespace tapelark {
namespace {

using testing::Driver;
using testing::DialogDriver;

class SaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(hook.Installed()); }
    std::string Ask() {
        return ShowSaveDialog(dialog, environment, 0, "Wave Audio (*.wav)|*.wav", "Save As",
                              folder.path() + "\\", "audio.wav");
    }

    Driver state;
    DialogDriver hook{state};
    testing::ScratchFolder folder{"tapelark save"};
    Win32SaveFileDialog dialog;
    Win32ProgramEnvironment environment;
};

TEST_F(SaveDialogTest, OpensInTheFolderWithTheProposedNameAndGivesBackTheFullPath) {
    state.presses = {IDOK, IDYES};  // accept the name; agree to create the file
    EXPECT_EQ(Ask(), folder / "audio.wav");
    ASSERT_GE(state.seen.size(), 1u);
    EXPECT_EQ(state.seen[0].title, "Save As");
    EXPECT_EQ(state.seen[0].fileName, "audio.wav");
    EXPECT_EQ(state.seen[0].fileType, "Wave Audio (*.wav)");
    EXPECT_FALSE(state.seen[0].readOnlyShown);
}

TEST_F(SaveDialogTest, AsksBeforeReplacingAnExistingFile) {
    testing::WriteFile(folder / "audio.wav", "an older take");
    state.presses = {IDOK, IDYES};
    EXPECT_EQ(Ask(), folder / "audio.wav");
    ASSERT_EQ(state.seen.size(), 2u) << "the dialog, then its question";
    EXPECT_NE(state.seen[1].title, "");

    state.presses = {IDOK, IDNO, IDCANCEL};
    state.next = 0;
    state.seen.clear();
    EXPECT_EQ(Ask(), "") << "refusing to replace, then cancelling, gives nothing";
}

TEST_F(SaveDialogTest, CancelGivesNothing) {
    state.presses = {IDCANCEL};
    EXPECT_EQ(Ask(), "");
    EXPECT_EQ(state.seen.size(), 1u);
}

}  // namespace
}  // namespace tapelark
