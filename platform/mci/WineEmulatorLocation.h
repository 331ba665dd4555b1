// SPDX-License-Identifier: MIT
#pragma once
#include "platform/mci/CaptureInput.h"

namespace tapelark {

// mcisend's emulator location: read as "Start VGS" reads it, from the Wine
// prefix's registry (WINEPREFIX, else ~/.wine), afresh on every call; a
// failure to close the key is told on standard error.
EmulatorLocation WineEmulatorLocation();

}  // namespace tapelark
