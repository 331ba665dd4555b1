// SPDX-License-Identifier: MIT
#pragma once
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture/WaveRecording.h"
#include "launcher/EmulatorLaunch.h"
#include "tests/fakes/FakeCaptureServices.h"
#include "tests/fakes/FakeLauncherServices.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/fakes/FakeProgramEnvironment.h"
#include "platform/SaveFileDialog.h"
#include "platform/Shell.h"
#include "window/FormLayout.h"
#include "window/formPlay.h"

namespace tapelark::testing {

// The services only the window uses are faked here with it. The save dialog
// answers with the path typed, or fails, which the window takes as a cancel.
struct FakeSaveFileDialog : SaveFileDialog {
    int Run(SaveFileRecord& record) override {
        asked.push_back(record);
        if (fail) throw std::runtime_error("no display");
        record.file.replace(0, answer.size() + 1, answer.c_str(), answer.size() + 1);
        return 1;
    }
    std::vector<SaveFileRecord> asked;
    bool fail = false;
    std::string answer;
};

// Opening a file or address fails, as where no browser is set up: the window must say nothing.
struct FakeShell : Shell {
    std::intptr_t Execute(std::uintptr_t, const char*, const char* file, const char*, const char*,
                          int) override {
        calls.push_back(file);
        throw FileError("no handler for web addresses");
    }
    std::vector<std::string> calls;  // the files asked to open
};

// Everything below the window: fakes of the platform, with the real capture
// logic and launcher on them. Each toolkit's window tests put their view on top.
struct FormServices {
    FormServices() { mci.device = true; }

    FakeMciChannel mci;
    FakeMessageBoxes messages;
    FakeFileSaving saving;
    FakeSaveFileDialog saveDialog;
    FakeProgramEnvironment environment;
    FakeShell shell;
    FakeWindowSystem windows;
    FakeRegistry registry;
    FakeProcessSnapshot processes;
    WaveRecording capture{mci, messages, saving};
    EmulatorLaunch launch{windows, registry, processes, messages};

    // The commands sent since the last call, without the status queries.
    std::vector<std::string> EngineCommands() {
        std::vector<std::string> result;
        for (; seen_ < mci.calls.size(); ++seen_) {
            const std::string& command = mci.calls[seen_];
            if (!command.starts_with("status ") && !command.starts_with("set capture time format"))
                result.push_back(command);
        }
        return result;
    }
    void Forget() { seen_ = mci.calls.size(); }

private:
    std::size_t seen_ = 0;
};

// Starts as the window does: the enabled states and status text of the layout.
struct FakeView : FormView {
    FakeView() {
        for (const auto& control : FormControls()) enabled[control.name] = control.enabledAtStart;
        status = LayoutOf(Control::lblStatus).caption;
    }
    void SetEnabled(Control button, bool on) override { enabled[button] = on; }
    void StartTimer() override { timer = true; }
    void StopTimer() override { timer = false; }
    bool TimerRunning() override { return timer; }
    void SetStatusText(const std::string& text) override { status = text; }
    std::uintptr_t OwnerHandle() override { return 0x4711; }

    std::map<Control, bool> enabled;
    bool timer = false;
    std::string status;
};

struct TestWindow : FormServices {
    FakeView view;
    formPlay form{view, capture, launch.starter, saveDialog, environment, shell, messages};
};

}  // namespace tapelark::testing
