// SPDX-License-Identifier: MIT
#include "platform/win32/Win32WindowSystem.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "common/WindowTitleMatch.h"
#include "platform/win32/Win32KeyTable.h"

namespace tapelark {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    std::string title(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    title.resize(static_cast<std::size_t>(GetWindowTextA(window, title.data(), static_cast<int>(title.size()))));
    reinterpret_cast<std::vector<TitledWindow>*>(list)->push_back(
        {reinterpret_cast<std::uintptr_t>(window), std::move(title), IsWindowVisible(window) != FALSE});
    return TRUE;
}

// Whether the window is in front with the keyboard focus in it: keys go to
// the focus, and a window active without one takes them as Alt keys.
bool HasKeyboard(HWND window) {
    if (GetForegroundWindow() != window) return false;
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) return false;
    return thread.hwndFocus == window || IsChild(window, thread.hwndFocus);
}

// Another program's window comes to the front some time after
// SetForegroundWindow returns (under Wine always): keys sent before then go to
// the window that was in front.
bool CameForward(HWND window) {
    const ULONGLONG giveUp = GetTickCount64() + 1000;
    while (!HasKeyboard(window)) {
        if (GetTickCount64() >= giveUp) return false;
        // This thread's windows may be asked to step back meanwhile: answer
        // what is sent to them, leave what is posted for the message loop.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

}  // namespace

bool Win32WindowSystem::ActivateByTitle(const std::string& title, bool /*wait*/) {
    // The top-level windows, frontmost first.
    std::vector<TitledWindow> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    const auto picked = PickWindowByTitle(windows, title);
    if (!picked) return false;
    const HWND window = reinterpret_cast<HWND>(*picked);
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    const bool activated = SetForegroundWindow(window) || GetForegroundWindow() == window;
    activated_ = activated ? reinterpret_cast<std::uintptr_t>(window) : 0;
    return activated;
}

bool Win32WindowSystem::SendKeystrokes(const std::string& keys, bool /*wait*/) {
    const HWND target = reinterpret_cast<HWND>(std::exchange(activated_, 0));
    const auto presses = ParseSendKeys(keys);
    if (!presses) return false;
    if (target && !CameForward(target)) return false;
    std::vector<INPUT> inputs;
    auto add = [&](WORD virtualKey, WORD character, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.wScan = character;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (const KeyStroke& press : *presses) {
        std::vector<WORD> held;
        if (press.shift) held.push_back(kVirtualKeyShift);
        if (press.control) held.push_back(kVirtualKeyControl);
        if (press.alt) held.push_back(kVirtualKeyAlt);
        for (WORD key : held) add(key, 0, 0);
        if (const WORD key = VirtualKeyOf(press.key)) {
            add(key, 0, 0);
            add(key, 0, KEYEVENTF_KEYUP);
        } else {
            const auto character = static_cast<unsigned char>(press.character);
            add(0, character, KEYEVENTF_UNICODE);
            add(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        }
        for (auto key = held.rbegin(); key != held.rend(); ++key) add(*key, 0, KEYEVENTF_KEYUP);
    }
    if (inputs.empty()) return true;
    // SendInput only queues the keys: nothing here waits for them to be handled.
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

bool Win32WindowSystem::Launch(const std::string& commandLine, int windowStyle) {
    if (commandLine.empty()) return false;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');  // CreateProcessA may write into its command line
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace tapelark
