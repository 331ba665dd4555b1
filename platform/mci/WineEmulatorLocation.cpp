// SPDX-License-Identifier: MIT
// Part of mcisend, not of the engine's library: it wires in the launcher.
#include "platform/mci/WineEmulatorLocation.h"

#include <iostream>
#include <memory>

#include "launcher/EmulatorStarter.h"
#include "launcher/RegistryStringReader.h"
#include "platform/linux/WineRegistry.h"

namespace tapelark {

namespace {

class StderrMessages final : public MessageBoxes {
public:
    void Show(const std::string& text, int, const std::string& caption) override {
        std::cerr << caption << ": " << text << '\n';
    }
};

struct WineLocationReader {
    WineRegistry registry;
    StderrMessages messages;
    RegistryStringReader reader{registry, messages};
};

}  // namespace

EmulatorLocation WineEmulatorLocation() {
    auto wine = std::make_shared<WineLocationReader>();
    return [wine] {
        return wine->reader.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue);
    };
}

}  // namespace tapelark
