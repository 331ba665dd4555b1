// SPDX-License-Identifier: MIT
// comdlg32's save dialog and user32's message boxes, driven as a user would:
// a hook sees each dialog come up, notes what it shows and presses a button.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32ProgramEnvironment.h"
#include "platform/win32/Win32SaveFileDialog.h"
#include "tests/win32/WineHelpers.h"
#include "window/ShowSaveDialog.h"

namespace tapelark {
namespace {

struct SeenDialog {
    std::string title;
    std::set<std::string> texts;  // of every visible child window
    bool icon = false;            // a picture control showing an icon
};

// Presses the given buttons in the dialogs that come up, Cancel after them.
struct DialogDriver {
    explicit DialogDriver(std::vector<int> buttons) : presses(std::move(buttons)) { current = this; }
    ~DialogDriver() { UnhookWindowsHookEx(hook); }

    static BOOL CALLBACK NoteChild(HWND child, LPARAM seen) {
        auto& dialog = *reinterpret_cast<SeenDialog*>(seen);
        if (!IsWindowVisible(child)) return TRUE;
        dialog.texts.insert(testing::TextOf(child));
        const bool picture = (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        dialog.icon |= picture && SendMessageA(child, STM_GETICON, 0, 0);
        return TRUE;
    }

    // Runs once the dialog has nothing else to do: it is filled in by then.
    static void CALLBACK OnDialogIdle(HWND window, UINT, UINT_PTR timer, DWORD) {
        KillTimer(window, timer);
        std::vector<SeenDialog>& seen = current->seen;
        seen.push_back({testing::TextOf(window)});
        EnumChildWindows(window, NoteChild, reinterpret_cast<LPARAM>(&seen.back()));
        const int button =
            seen.size() <= current->presses.size() ? current->presses[seen.size() - 1] : IDCANCEL;
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }

    // The save dialog comes up again when its question closes; a dialog that
    // closes first never gets to its idle moment.
    static LRESULT CALLBACK OnWindowEvent(int code, WPARAM wParam, LPARAM lParam) {
        char className[64] = {};
        if (code == HCBT_ACTIVATE && GetClassNameA(reinterpret_cast<HWND>(wParam), className, 64) &&
            std::string(className) == "#32770")
            SetTimer(reinterpret_cast<HWND>(wParam), 1, 0, OnDialogIdle);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline DialogDriver* current = nullptr;
    std::vector<int> presses;
    std::vector<SeenDialog> seen;
    HHOOK hook = SetWindowsHookExA(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
};

TEST(SaveDialogTest, OpensWithTheProposedNameAsksBeforeReplacingAndGivesBackTheFullPath) {
    testing::TempFolder folder{"tapelark save"};
    const std::string path = folder / "audio.wav";
    Win32SaveFileDialog dialog;
    Win32ProgramEnvironment environment;
    const struct {
        std::vector<int> presses;  // accept the name, then answer the question
        std::string answer;
        std::size_t dialogs;  // the dialog, and its question when the file is there
    } cases[] = {
        {{IDOK, IDYES}, path, 1},
        {{IDOK, IDYES}, path, 2},
        {{IDOK, IDNO, IDCANCEL}, "", 3},  // refusing to replace, then cancelling, gives nothing
    };
    for (const auto& ask : cases) {
        DialogDriver dialogs{ask.presses};
        EXPECT_EQ(ShowSaveDialog(dialog, environment, 0, "Wave Audio (*.wav)|*.wav", "Save As",
                                 folder.path() + "\\", "audio.wav"),
                  ask.answer);
        ASSERT_EQ(dialogs.seen.size(), ask.dialogs);
        EXPECT_EQ(dialogs.seen[0].title, "Save As");
        EXPECT_TRUE(dialogs.seen[0].texts.contains("audio.wav") &&
                    dialogs.seen[0].texts.contains("Wave Audio (*.wav)"));
        testing::WriteFile(path, "an older take");
    }
}

TEST(MessageBoxTest, ShowsTextAndCaptionWithTheIconTheStyleAsksFor) {
    const std::string text = "Saving file failed, file name was: C:\\take.wav";
    for (const int style : {kStyleOk, kStyleExclamation}) {
        DialogDriver dialogs{{IDOK}};
        Win32MessageBoxes().Show(text, style, "Tapelark");
        ASSERT_EQ(dialogs.seen.size(), 1u) << "the box waits for its OK";
        EXPECT_EQ(dialogs.seen[0].title, "Tapelark");
        EXPECT_TRUE(dialogs.seen[0].texts.contains(text));
        EXPECT_EQ(dialogs.seen[0].icon, style == kStyleExclamation);
    }
}

// Where the save dialog opens: the program's folder, or the user's when that may not be written.
TEST(ProgramEnvironmentTest, FolderOfTheExecutableAndWhetherItMayBeWritten) {
    EXPECT_EQ(FolderOfFile("C:\\tapelark.exe"), "C:\\");
    Win32ProgramEnvironment environment;
    const std::string folder = environment.ProgramFolder();
    EXPECT_FALSE(folder.ends_with('\\'));
    EXPECT_NE(GetFileAttributesA((folder + "\\win32_platform_test.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(environment.FolderWritable(folder));
    EXPECT_FALSE(environment.FolderWritable(folder + "\\no such folder"));
}

}  // namespace
}  // namespace tapelark
