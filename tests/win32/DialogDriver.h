// SPDX-License-Identifier: MIT
#pragma once
// Drives the system's modal dialogs as a user would: a hook on this thread
// sees each dialog come up, notes what it shows and presses a button.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace tapelark::testing {

struct SeenDialog {
    std::string title;
    std::vector<std::string> texts;  // of every visible child window
    bool icon = false;               // a picture control showing an icon

    bool Shows(const std::string& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

// Installs the hook for the life of the object.
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
        char text[512] = {};
        GetWindowTextA(child, text, sizeof(text));
        if (text[0]) dialog.texts.push_back(text);
        const bool picture = (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (picture && SendMessageA(child, STM_GETICON, 0, 0)) dialog.icon = true;
        return TRUE;
    }

    // Runs once the dialog has nothing else to do: it is filled in by then.
    static void CALLBACK OnDialogIdle(HWND window, UINT, UINT_PTR timer, DWORD) {
        KillTimer(window, timer);
        SeenDialog dialog;
        char title[256] = {};
        GetWindowTextA(window, title, sizeof(title));
        dialog.title = title;
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

}  // namespace tapelark::testing
