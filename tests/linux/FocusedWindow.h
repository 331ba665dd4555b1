#pragma once

namespace tapelark::testing {

// The X window that has the input focus on DISPLAY; 0 without a display.
// Kept apart from the tests: Xlib's macros clash with GoogleTest's names.
unsigned long FocusedWindow();

}  // namespace tapelark::testing
