// SPDX-License-Identifier: MIT
// Composition, not a platform service: the programs' emulator input, over
// the launcher's registry reader.
#include "platform/linux/WineEmulatorProgram.h"

#include <iostream>
#include <memory>

#include "launcher/EmulatorStarter.h"
#include "launcher/RegistryStringReader.h"
#include "platform/linux/WineRegistry.h"

namespace tapelark {

namespace {

// The emulator's executable, wherever it was installed.
constexpr const char* kEmulatorExecutable = "VGS.EXE";

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

NamedProgram EmulatorProgram(std::function<std::string()> location) {
    return {kEmulatorInput, [location = std::move(location)]() -> ProgramMatch {
                std::string at = location ? location() : std::string();
                if (!at.empty()) return {at, ""};
                // Players keep several Wine prefixes, and a desktop action
                // names none: the executable's name still finds it.
                return {kEmulatorExecutable, "by executable name: no install location is registered"};
            }};
}

NamedProgram WineEmulatorProgram() {
    auto wine = std::make_shared<WineLocationReader>();
    return EmulatorProgram(
        [wine] { return wine->reader.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue); });
}

}  // namespace tapelark
