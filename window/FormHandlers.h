// SPDX-License-Identifier: MIT
#pragma once
#include <functional>

#include "window/FormView.h"

namespace tapelark {

class formPlay;

// What a window reports to the main window's logic: a click on a control
// that takes clicks (see ControlLayout::clickable) and a tick of the status timer.
struct FormHandlers {
    std::function<void(Control)> clicked;
    std::function<void()> ticked;
};

// Each clickable control's click and the timer's tick to their handler of `form`.
FormHandlers HandlersOf(formPlay& form);

}  // namespace tapelark
