// SPDX-License-Identifier: MIT
// Part of mcisend, not of the engine's library: it wires in the launcher.
#include "platform/mci/WineEmulatorLocation.h"

#include <iostream>
#include <memory>

#include "launcher/EmulatorLauncher.h"
#include "platform/linux/ProcProcessSnapshot.h"
#include "platform/linux/WineRegistry.h"

namespace tapelark {

namespace {

class StderrMessages final : public MessageBoxService {
public:
    void Show(const std::string& text, int, const std::string& caption) override {
        std::cerr << caption << ": " << text << '\n';
    }
};

// Reading the registry needs no window; mcisend has none to offer.
class NoWindows final : public WindowSystem {
public:
    bool ActivateByTitle(const std::string&, bool) override { return false; }
    bool SendKeystrokes(const std::string&, bool) override { return false; }
    bool Launch(const std::string&, int) override { return false; }
};

struct WineLauncher {
    NoWindows windows;
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
