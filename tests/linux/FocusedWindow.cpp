// SPDX-License-Identifier: MIT
#include "tests/linux/FocusedWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace tapelark::testing {

namespace {

int IgnoreError(Display*, XErrorEvent*) { return 0; }

unsigned long WindowProperty(Display* d, Window w, const char* name) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    unsigned long value = 0;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
        value = *reinterpret_cast<unsigned long*>(data);
    }
    if (data != nullptr) XFree(data);
    return value;
}

}  // namespace

unsigned long FocusedWindow() {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    XCloseDisplay(d);
    return focus;
}

unsigned long ActiveWindow() {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 0;
    const unsigned long active = WindowProperty(d, DefaultRootWindow(d), "_NET_ACTIVE_WINDOW");
    XCloseDisplay(d);
    return active;
}

bool AwaitWindowManager() {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return false;
    auto previous = XSetErrorHandler(IgnoreError);
    bool runs = false;
    for (int tries = 0; tries < 3000 && !runs; ++tries) {
        const unsigned long check = WindowProperty(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK");
        runs = check != 0 && WindowProperty(d, check, "_NET_SUPPORTING_WM_CHECK") == check;
        if (!runs) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return runs;
}

}  // namespace tapelark::testing
