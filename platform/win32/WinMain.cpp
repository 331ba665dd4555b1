// The Windows program: the real services, the engine, the launcher and the window.
#include <windows.h>

#include "capture/WaveRecording.h"
#include "common/ApplicationTitle.h"
#include "launcher/EmulatorLaunch.h"
#include "platform/win32/Win32FileServices.h"
#include "platform/win32/Win32FormWindow.h"
#include "platform/win32/Win32Mci.h"
#include "platform/win32/Win32MessageBox.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32ProgramEnvironment.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SaveFileDialog.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32ShortPath.h"
#include "platform/win32/Win32WindowSystem.h"
#include "window/formPlay.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace tapelark;
    // Real pixels, so the twip rectangles are converted with the screen's own dpi.
    SetProcessDPIAware();

    Win32Mci mci;
    Win32MessageBox messages;
    Win32FileServices files;
    Win32ShortPath shortPaths;
    Win32Registry registry;
    Win32ProcessSnapshot processes;
    Win32WindowSystem windows;
    Win32Shell shell;
    Win32SaveFileDialog saveDialog;
    Win32ProgramEnvironment environment;

    WaveRecording capture(mci, messages, files, shortPaths);
    EmulatorLaunch launch(windows, registry, processes, messages);
    try {
        Win32FormWindow window(reinterpret_cast<std::uintptr_t>(instance));
        formPlay form(window, capture, launch.starter, saveDialog, environment, shell, messages);
        window.SetHandlers(HandlersOf(form));
        window.Show();
        return window.RunUntilClosed();
    } catch (const std::exception& error) {
        messages.Show(error.what(), kStyleExclamation, kApplicationTitle);
        return 1;
    }
}
