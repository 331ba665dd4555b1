// SPDX-License-Identifier: MIT
#pragma once
#include "launcher/ProcessPresence.h"
#include "launcher/RegistryStringReader.h"
#include "platform/WindowSystem.h"

namespace tapelark {

inline constexpr const char* kEmulatorTitle = "Connectix Virtual Game Station";
inline constexpr const char* kEmulatorKey = "SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General";
inline constexpr const char* kEmulatorLocationValue = "Location";

// "Start VGS": wake the emulator's window with Enter, or else launch it from
// its install location unless it already runs. Holds nothing between calls.
class EmulatorStarter {
public:
    EmulatorStarter(WindowSystem& windows, RegistryStringReader& registry, ProcessPresence& processes);

    bool StartEmulator();

private:
    WindowSystem& windows_;
    RegistryStringReader& registry_;
    ProcessPresence& processes_;
};

}  // namespace tapelark
