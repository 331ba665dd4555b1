// SPDX-License-Identifier: MIT
#include "platform/qt/QtProgram.h"

namespace tapelark {

QtProgram::QtProgram(const CaptureInput& input) {
    mci_.SetCaptureInput(input);
    mci_.SetNamedProgram(EmulatorProgram(
        [this] { return launch_.reader.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue); }));
    window_.SetHandlers(HandlersOf(form_));
}

}  // namespace tapelark
