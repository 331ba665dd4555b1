// SPDX-License-Identifier: MIT
// Part of mcisend, not of the engine's library: it wires in the launcher.
#include "platform/mci/WineEmulatorLocation.h"

#include <iostream>
#include <memory>

#include "launcher/EmulatorLauncher.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "platform/linux/WineRegistry.h"
#include "platform/linux/X11WindowSystem.h"

namespace tapelark {

namespace {

class StderrMessages final : public MessageBoxService {
public:
    void Show(const std::string& text, int, const std::string& caption) override {
        std::cerr << caption << ": " << text << '\n';
    }
};

struct WineLauncher {
    X11WindowSystem windows;
    WineRegistry registry;
    ProcProcessSnapshot processes;
    StderrMessages messages;
    EmulatorLauncher launcher{windows, registry, processes, messages};
};

}  // namespace

EmulatorLocation WineEmulatorLocation() {
    auto wine = std::make_shared<WineLauncher>();
    return [wine] {
        return wine->launcher.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue);
    };
}

}  // namespace tapelark
