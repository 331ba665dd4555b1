// SPDX-License-Identifier: MIT
#pragma once

namespace tapelark::testing {

// What the X server on DISPLAY says about focus; 0 without a display. Kept
// apart from the tests: Xlib's macros clash with GoogleTest's names.

// The window that has the input focus.
unsigned long FocusedWindow();
// The window that the window manager calls active (_NET_ACTIVE_WINDOW).
unsigned long ActiveWindow();
// Blocks until a window manager runs on the display; false at the deadline.
bool AwaitWindowManager();

}  // namespace tapelark::testing
