// SPDX-License-Identifier: MIT
// Stands in for the emulator, a program of its own: a window titled with the
// command line that counts the Enter keys it receives and answers
// kEnterKeysMessage with the count.
#include <windows.h>

#include "tests/win32/WineHelpers.h"

LRESULT enterKeys = 0;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) ++enterKeys;
    if (message == tapelark::testing::kEnterKeysMessage) return enterKeys;
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR title, int) {
    WNDCLASSA windowClass{0, Procedure, 0, 0, instance};
    windowClass.lpszClassName = "TapelarkStandInEmulator";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                    nullptr, nullptr, instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
