// SPDX-License-Identifier: MIT
// comdlg32's save dialog, through the record the save command fills, and
// user32's message boxes, each driven as a user would: a hook on this thread
// sees each dialog come up, notes what it shows and presses a button.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
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
    std::vector<std::string> texts;  // of every visible child window
    bool icon = false;               // a picture control showing an icon

    bool Shows(const std::string& text) const { return std::ranges::find(texts, text) != texts.end(); }
};

class DialogDriver {
public:
    DialogDriver() {
        current = this;
        hook_ = SetWindowsHookExA(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
    }
    ~DialogDriver() {
        UnhookWindowsHookEx(hook_);
        current = nullptr;
    }
    bool Installed() const { return hook_ != nullptr; }

    // The buttons to press in turn, from the next dialog on; Cancel after them.
    void Press(std::vector<int> buttons) {
        presses_ = std::move(buttons);
        next_ = 0;
        seen.clear();
    }
    std::vector<SeenDialog> seen;

private:
    static BOOL CALLBACK NoteChild(HWND child, LPARAM seen) {
        auto& dialog = *reinterpret_cast<SeenDialog*>(seen);
        if (!IsWindowVisible(child)) return TRUE;
        const std::string text = testing::TextOf(child);
        if (!text.empty()) dialog.texts.push_back(text);
        const bool picture = (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (picture && SendMessageA(child, STM_GETICON, 0, 0)) dialog.icon = true;
        return TRUE;
    }

    // Runs once the dialog has nothing else to do: it is filled in by then.
    static void CALLBACK OnDialogIdle(HWND window, UINT, UINT_PTR timer, DWORD) {
        KillTimer(window, timer);
        SeenDialog dialog;
        dialog.title = testing::TextOf(window);
        EnumChildWindows(window, NoteChild, reinterpret_cast<LPARAM>(&dialog));
        current->seen.push_back(dialog);
        const auto& presses = current->presses_;
        const int button = current->next_ < presses.size() ? presses[current->next_++] : IDCANCEL;
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }

    static LRESULT CALLBACK OnWindowEvent(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current) {
            HWND window = reinterpret_cast<HWND>(wParam);
            char className[64] = {};
            GetClassNameA(window, className, sizeof(className));
            // The save dialog comes up again when its question closes; a dialog
            // that closes first never gets to its idle moment.
            if (std::string(className) == "#32770") SetTimer(window, 1, 0, OnDialogIdle);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline DialogDriver* current = nullptr;
    HHOOK hook_ = nullptr;
    std::vector<int> presses_;
    std::size_t next_ = 0;
};

TEST(SaveDialogTest, OpensWithTheProposedNameAsksBeforeReplacingAndGivesBackTheFullPath) {
    DialogDriver dialogs;
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

    testing::WriteFile(folder / "audio.wav", "an older take");
    dialogs.Press({IDOK, IDYES});
    EXPECT_EQ(ask(), folder / "audio.wav");
    EXPECT_EQ(dialogs.seen.size(), 2u) << "the dialog, then its question";

    dialogs.Press({IDOK, IDNO, IDCANCEL});
    EXPECT_EQ(ask(), "") << "refusing to replace, then cancelling, gives nothing";
}

TEST(MessageBoxTest, ShowsTextAndCaptionWithTheIconTheStyleAsksFor) {
    DialogDriver dialogs;
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
