// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "capture/WaveRecording.h"
#include "launcher/EmulatorLaunch.h"
#include "platform/win32/Win32FileSaving.h"
#include "platform/win32/Win32FormWindow.h"
#include "platform/win32/Win32MciChannel.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32ProcessSnapshot.h"
#include "platform/win32/Win32ProgramEnvironment.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SaveFileDialog.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32WindowSystem.h"
#include "window/formPlay.h"

namespace tapelark {

// The whole program on Windows: the real services, the window and its logic,
// wired together as QtProgram does on Linux. `instance` holds the images.
class Win32Program {
public:
    explicit Win32Program(std::uintptr_t instance) : window_(instance) { window_.SetHandlers(HandlersOf(form_)); }
    Win32Program(const Win32Program&) = delete;
    Win32Program& operator=(const Win32Program&) = delete;

    Win32FormWindow& Window() { return window_; }
    formPlay& Form() { return form_; }

private:
    Win32MciChannel mci_;
    Win32MessageBoxes messages_;
    Win32FileSaving saving_;
    WaveRecording capture_{mci_, messages_, saving_};
    Win32WindowSystem windows_;
    Win32Registry registry_;
    Win32ProcessSnapshot processes_;
    EmulatorLaunch launch_{windows_, registry_, processes_, messages_};
    Win32SaveFileDialog saveDialog_;
    Win32ProgramEnvironment environment_;
    Win32Shell shell_;
    Win32FormWindow window_;
    formPlay form_{window_, capture_, launch_.starter, saveDialog_, environment_, shell_, messages_};
};

}  // namespace tapelark
