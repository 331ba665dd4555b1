// SPDX-License-Identifier: MIT
#pragma once
#include "capture/WaveRecording.h"
#include "launcher/EmulatorLaunch.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "platform/linux/WineEmulatorProgram.h"
#include "platform/linux/WineRegistry.h"
#include "platform/linux/X11WindowSystem.h"
#include "platform/mci/EngineFileSaving.h"
#include "platform/mci/MciEngine.h"
#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtProgramEnvironment.h"
#include "platform/qt/QtSaveFileDialog.h"
#include "platform/qt/QtShell.h"
#include "window/formPlay.h"

namespace tapelark {

// The whole program on Linux: the real services, the window and its logic,
// wired together as Win32Program does on Windows. Needs a QApplication.
// `input` is what recordings hear; the emulator's install location, for the
// input "emulator", comes from the launcher's registry reader.
class QtProgram {
public:
    explicit QtProgram(const CaptureInput& input = {});
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    QtFormWindow& Window() { return window_; }
    formPlay& Form() { return form_; }

private:
    MciEngine mci_;
    QtMessageBoxes messages_;
    EngineFileSaving saving_;
    WaveRecording capture_{mci_, messages_, saving_};
    X11WindowSystem windows_;
    WineRegistry registry_;
    ProcProcessSnapshot processes_;
    EmulatorLaunch launch_{windows_, registry_, processes_, messages_};
    QtSaveFileDialog saveDialog_;
    QtProgramEnvironment environment_;
    QtShell shell_;
    QtFormWindow window_;
    formPlay form_{window_, capture_, launch_.starter, saveDialog_, environment_, shell_, messages_};
};

}  // namespace tapelark
