// SPDX-License-Identifier: MIT
#pragma once
#include <map>
#include <string>

#include "window/FormLayout.h"
#include "window/FormView.h"

namespace tapelark::testing {

// Starts as the window does: the enabled states and status text of the layout.
class FakeView : public FormView {
public:
    FakeView() {
        for (const auto& control : FormControls()) enabled[control.name] = control.enabledAtStart;
        status = LayoutOf(Control::lblStatus).caption;
    }
    void SetEnabled(Control button, bool on) override { enabled[button] = on; }
    void StartTimer() override { timer = true; }
    void StopTimer() override { timer = false; }
    bool TimerRunning() override { return timer; }
    void SetStatusText(const std::string& text) override { status = text; }
    std::uintptr_t OwnerHandle() override { return 0x4711; }

    std::map<Control, bool> enabled;
    bool timer = false;
    std::string status;
};

}  // namespace tapelark::testing
