// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <string>

#include "platform/mci/CaptureInput.h"

namespace tapelark {

// The name under which the programs offer the emulator as an input.
inline constexpr const char* kEmulatorInput = "emulator";

// The emulator as the engine records it, found afresh at each record: the
// program at the install location that `location` reads (as "Start VGS"
// reads it), or, with none registered, any whose executable is VGS.EXE.
NamedProgram EmulatorProgram(std::function<std::string()> location);

// mcisend's: the location from the Wine prefix's registry (WINEPREFIX, else
// ~/.wine); a failure to close the key is told on standard error.
NamedProgram WineEmulatorProgram();

}  // namespace tapelark
