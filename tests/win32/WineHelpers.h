// SPDX-License-Identifier: MIT
#pragma once
// Small helpers for tests that run inside Wine (or Windows) itself.
#include <windows.h>

#include <string>

#include "tests/support/FileContents.h"
#include "tests/support/TempFolder.h"

namespace tapelark::testing {

// Asks stand_in_emulator.exe's window how many Enter keys it has received.
inline constexpr UINT kEnterKeysMessage = WM_APP + 1;

// Runs a command line (Wine's own reg.exe, for instance) and waits for it;
// the exit code, or -1 when it could not start.
inline int RunAndWait(std::string line) {
    STARTUPINFOA startup{sizeof(STARTUPINFOA)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

inline std::string TextOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Hands this thread's queued messages to its windows until `done` holds,
// waiting for more up to five seconds; once, without a `done`.
template <typename Done = bool (*)()>
void Pump(Done done = [] { return true; }) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    for (int round = 0; round < 100 && !done(); ++round) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

}  // namespace tapelark::testing
