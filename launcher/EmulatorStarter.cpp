// SPDX-License-Identifier: MIT
#include "launcher/EmulatorStarter.h"

#include "common/Guarded.h"

namespace tapelark {

namespace {
constexpr const char* kWakeKeys = "~";  // Enter
}  // namespace

EmulatorStarter::EmulatorStarter(WindowSystem& windows, RegistryStringReader& registry,
                                 ProcessPresence& processes)
    : windows_(windows), registry_(registry), processes_(processes) {}

bool EmulatorStarter::StartEmulator() {
    // Only the activation decides between waking and launching: an emulator
    // whose window does not answer to the title is left to the process check.
    bool activated = false;
    Guarded([&] { activated = windows_.ActivateByTitle(kEmulatorTitle, false); });

    if (activated) {
        Guarded([&] { windows_.SendKeystrokes(kWakeKeys, false); });
    } else {
        std::string location;
        Guarded([&] {
            location = registry_.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue);
        });
        bool running = false;
        Guarded([&] { running = processes_.IsRunning(location); });
        if (!running) Guarded([&] { windows_.Launch(location, kShowNormal); });
    }
    return true;
}

}  // namespace tapelark
