#include "tests/linux/FocusedWindow.h"

#include <X11/Xlib.h>

namespace tapelark::testing {

unsigned long FocusedWindow() {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    XCloseDisplay(d);
    return focus;
}

}  // namespace tapelark::testing
