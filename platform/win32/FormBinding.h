#pragma once
#include "platform/win32/Win32FormWindow.h"
#include "window/formPlay.h"

namespace tapelark {

// Each control's click and the timer's tick to their handler of `form`.
Win32FormWindow::Handlers HandlersOf(formPlay& form);

}  // namespace tapelark
