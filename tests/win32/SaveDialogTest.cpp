// comdlg32's save dialog through the record the save command fills, driven
// as a user would: a hook on this thread sees each dialog come up, reads it
// and presses a button.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <string>
#include <vector>

#include "platform/win32/Win32ProgramEnvironment.h"
#include "platform/win32/Win32SaveFileDialog.h"
#include "win32/WineHelpers.h"
#include "window/ShowSaveDialog.h"

namespace tapelark {
namespace {

struct SeenDialog {
    std::string title, fileName, fileType;
    bool readOnlyShown = false;
};

// What the hook saw, and the buttons it presses in turn.
struct Driver {
    std::vector<SeenDialog> seen;
    std::vector<int> presses;
    std::size_t next = 0;
    HHOOK hook = nullptr;
};
Driver* driver = nullptr;

std::string ItemText(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

// Runs once the dialog has nothing else to do: it is filled in by then.
void CALLBACK OnDialogIdle(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    SeenDialog dialog;
    char title[256] = {};
    GetWindowTextA(window, title, sizeof(title));
    dialog.title = title;
    dialog.fileName = ItemText(window, cmb13);
    if (dialog.fileName.empty()) dialog.fileName = ItemText(window, edt1);
    if (HWND types = GetDlgItem(window, cmb1)) {
        const LRESULT selected = SendMessageA(types, CB_GETCURSEL, 0, 0);
        char type[256] = {};
        if (selected != CB_ERR) SendMessageA(types, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(type));
        dialog.fileType = type;
    }
    HWND readOnly = GetDlgItem(window, chx1);
    dialog.readOnlyShown = readOnly && IsWindowVisible(readOnly);
    driver->seen.push_back(dialog);
    const int button =
        driver->next < driver->presses.size() ? driver->presses[driver->next++] : IDCANCEL;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

LRESULT CALLBACK OnWindowEvent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && driver) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[64] = {};
        GetClassNameA(window, className, sizeof(className));
        // The save dialog comes up again when its question closes; a dialog
        // that closes first never gets to its idle moment.
        if (std::string(className) == "#32770") SetTimer(window, 1, 0, OnDialogIdle);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class SaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver = &state;
        state.hook = SetWindowsHookExA(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
        ASSERT_NE(state.hook, nullptr);
    }
    void TearDown() override {
        UnhookWindowsHookEx(state.hook);
        driver = nullptr;
    }
    std::string Ask() {
        return ShowSaveDialog(dialog, environment, 0, "Wave Audio (*.wav)|*.wav", "Save As",
                              folder.path() + "\\", "audio.wav");
    }

    Driver state;
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
