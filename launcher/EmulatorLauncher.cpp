#include "launcher/EmulatorLauncher.h"

#include "launcher/Guarded.h"

namespace tapelark {

namespace {
constexpr const char* kWakeKeys = "~";  // Enter
}  // namespace

EmulatorLauncher::EmulatorLauncher(WindowSystem& windows, Registry& registry,
                                   ProcessSnapshot& processes, MessageBoxService& messages)
    : windows_(windows), registry_(registry), processes_(processes), messages_(messages) {}

bool EmulatorLauncher::StartEmulator() {
    // Only the activation decides between waking and launching: an emulator
    // whose window does not answer to the title is left to the process check.
    bool activated = false;
    Guarded([&] { activated = windows_.ActivateByTitle(kEmulatorTitle, false); });

    if (activated) {
        Guarded([&] { windows_.SendKeystrokes(kWakeKeys, false); });
    } else {
        std::string location;
        Guarded([&] {
            location = ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue);
        });
        bool running = false;
        Guarded([&] { running = IsRunning(location); });
        if (!running) Guarded([&] { windows_.Launch(location, kShowNormal); });
    }
    return true;
}

}  // namespace tapelark
