// SPDX-License-Identifier: MIT
// A stand-in for the emulator's window: a top-level X window with the given
// title that writes to REPORT its id once it is on screen, then every key it
// gets ("press Return"), until the release of Escape or a deadline.
// Usage: emulator_window_helper TITLE REPORT [--net-wm-name-only]
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    Display* d = argc > 2 ? XOpenDisplay(nullptr) : nullptr;
    FILE* report = d ? std::fopen(argv[2], "w") : nullptr;
    if (report == nullptr) return 1;
    alarm(30);
    const std::string title = argv[1];
    const int screen = DefaultScreen(d);
    const Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 10, 10, 320, 200, 0, BlackPixel(d, screen),
                                         WhitePixel(d, screen));
    if (argc < 4 || std::string(argv[3]) != "--net-wm-name-only") XStoreName(d, w, title.c_str());
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
    XSelectInput(d, w, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapWindow(d, w);
    std::setvbuf(report, nullptr, _IOLBF, 0);
    for (XEvent event;;) {
        XNextEvent(d, &event);
        if (event.type == MapNotify) std::fprintf(report, "%lu\n", static_cast<unsigned long>(w));
        if (event.type != KeyPress && event.type != KeyRelease) continue;
        const KeySym keysym = XLookupKeysym(&event.xkey, 0);
        const char* name = XKeysymToString(keysym);
        std::fprintf(report, "%s %s\n", event.type == KeyPress ? "press" : "release", name ? name : "?");
        if (event.type == KeyRelease && keysym == XK_Escape) break;
    }
    XCloseDisplay(d);
    return 0;
}
