// SPDX-License-Identifier: MIT
// The Windows program: Win32Program wires it together, as QtProgram does on Linux.
#include <windows.h>

#include <exception>

#include "common/ApplicationTitle.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace tapelark;
    // Real pixels, so the twip rectangles are converted with the screen's own dpi.
    SetProcessDPIAware();
    try {
        Win32Program program(reinterpret_cast<std::uintptr_t>(instance));
        program.Window().Show();
        return program.Window().RunUntilClosed();
    } catch (const std::exception& error) {
        Win32MessageBoxes().Show(error.what(), kStyleExclamation, kApplicationTitle);
        return 1;
    }
}
