// SPDX-License-Identifier: MIT
#pragma once
#include "launcher/EmulatorStarter.h"
#include "launcher/ProcessPresence.h"
#include "launcher/RegistryStringReader.h"

namespace tapelark {

// "Start VGS" as a program puts it together: the starter on the registry
// reader and the process check, each over its own services.
struct EmulatorLaunch {
    EmulatorLaunch(WindowSystem& windows, Registry& registry, ProcessSnapshot& processes,
                   MessageBoxes& messages)
        : reader(registry, messages), presence(processes), starter(windows, reader, presence) {}
    EmulatorLaunch(const EmulatorLaunch&) = delete;
    EmulatorLaunch& operator=(const EmulatorLaunch&) = delete;

    RegistryStringReader reader;
    ProcessPresence presence;
    EmulatorStarter starter;
};

}  // namespace tapelark
