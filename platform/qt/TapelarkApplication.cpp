// SPDX-License-Identifier: MIT
#include "platform/qt/TapelarkApplication.h"

namespace tapelark {

TapelarkApplication::TapelarkApplication(const CaptureInput& input) {
    mci_.SetCaptureInput(input);
    mci_.SetEmulatorLocation([this] {
        return registryReader_.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue);
    });
    window_.SetHandlers(HandlersOf(form_));
}

}  // namespace tapelark
