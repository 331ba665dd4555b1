// SPDX-License-Identifier: MIT
#pragma once
// The main window's logic on fakes, with the real capture engine and launcher
// between them.
#include <string>
#include <vector>

#include "capture/WaveRecording.h"
#include "launcher/EmulatorStarter.h"
#include "tests/fakes/FakeMessageBox.h"
#include "tests/fakes/FakeProcessSnapshot.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeWindowSystem.h"
#include "tests/window/WindowFakes.h"
#include "window/formPlay.h"

namespace tapelark::testing {

// Everything below the window: fakes of the platform, with the real capture
// engine and launcher on them. Each toolkit's window tests put their view on top.
struct FormServices {
    FakeMci mci;
    FakeMessageBox messages;
    FakeFiles files;
    FakeShortPaths shortPaths;
    FakeSaveDialog saveDialog;
    FakeEnvironment environment;
    FakeShell shell;
    FakeWindowSystem windows;
    FakeRegistry registry;
    FakeProcessSnapshot processes;
    WaveRecording capture{mci, messages, files, shortPaths};
    RegistryStringReader registryReader{registry, messages};
    ProcessPresence processCheck{processes};
    EmulatorStarter launcher{windows, registryReader, processCheck};

    // The commands sent since the last call, without the status queries.
    std::vector<std::string> EngineCommands() {
        std::vector<std::string> result;
        for (std::size_t i = seen_; i < mci.sent.size(); ++i)
            if (!IsStatusQuery(mci.sent[i])) result.push_back(mci.sent[i]);
        seen_ = mci.sent.size();
        return result;
    }
    void Forget() { seen_ = mci.sent.size(); }

    static bool IsStatusQuery(const std::string& command) {
        return command.rfind("status ", 0) == 0 || command.rfind("set capture time format", 0) == 0;
    }

private:
    std::size_t seen_ = 0;
};

struct TestWindow : FormServices {
    FakeView view;
    formPlay form{view, capture, launcher, saveDialog, environment, shell, messages};
};

}  // namespace tapelark::testing
