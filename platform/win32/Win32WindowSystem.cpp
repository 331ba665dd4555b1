#include "platform/win32/Win32WindowSystem.h"

#include <windows.h>

#include <vector>

#include "common/WindowTitleMatch.h"
#include "platform/win32/SendKeys.h"

namespace tapelark {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    std::string title(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    title.resize(static_cast<std::size_t>(GetWindowTextA(window, title.data(), static_cast<int>(title.size()))));
    reinterpret_cast<std::vector<TitledWindow>*>(list)->push_back(
        {reinterpret_cast<std::uintptr_t>(window), std::move(title), IsWindowVisible(window) != FALSE});
    return TRUE;
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
    return SetForegroundWindow(window) || GetForegroundWindow() == window;
}

bool Win32WindowSystem::SendKeystrokes(const std::string& keys, bool /*wait*/) {
    std::vector<INPUT> inputs;
    for (const KeyStroke& stroke : ParseSendKeys(keys)) {
        for (const bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            if (stroke.virtualKey) {
                input.ki.wVk = stroke.virtualKey;
            } else {
                input.ki.wScan = static_cast<unsigned char>(stroke.character);
                input.ki.dwFlags = KEYEVENTF_UNICODE;
            }
            if (up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
            inputs.push_back(input);
        }
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
