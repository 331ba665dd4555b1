// SPDX-License-Identifier: MIT
#pragma once
// The main window's logic on fakes, with the real capture engine and launcher
// between them.
#include <string>
#include <vector>

#include "capture/WaveRecording.h"
#include "launcher/EmulatorLaunch.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeMciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/fakes/FakeProcessSnapshot.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeWindowSystem.h"
#include "tests/fakes/FakeProgramEnvironment.h"
#include "tests/fakes/FakeSaveFileDialog.h"
#include "tests/fakes/FakeShell.h"
#include "tests/window/FakeView.h"
#include "window/formPlay.h"

namespace tapelark::testing {

// Everything below the window: fakes of the platform, with the real capture
// engine and launcher on them. Each toolkit's window tests put their view on top.
struct FormServices {
    FormServices() { mci.device = true; }

    FakeMciChannel mci;
    FakeMessageBoxes messages;
    FakeFileSystem files;
    FakeShortPaths shortPaths{files};
    FakeSaveFileDialog saveDialog;
    FakeProgramEnvironment environment;
    FakeShell shell;
    FakeWindowSystem windows;
    FakeRegistry registry;
    FakeProcessSnapshot processes;
    WaveRecording capture{mci, messages, files, shortPaths};
    EmulatorLaunch launch{windows, registry, processes, messages};

    // The commands sent since the last call, without the status queries.
    std::vector<std::string> EngineCommands() {
        std::vector<std::string> result;
        for (std::size_t i = seen_; i < mci.calls.size(); ++i)
            if (!IsStatusQuery(mci.calls[i].command)) result.push_back(mci.calls[i].command);
        seen_ = mci.calls.size();
        return result;
    }
    void Forget() { seen_ = mci.calls.size(); }

    static bool IsStatusQuery(const std::string& command) {
        return command.rfind("status ", 0) == 0 || command.rfind("set capture time format", 0) == 0;
    }

private:
    std::size_t seen_ = 0;
};

struct TestWindow : FormServices {
    FakeView view;
    formPlay form{view, capture, launch.starter, saveDialog, environment, shell, messages};
};

}  // namespace tapelark::testing
