// SPDX-License-Identifier: MIT
// A stand-in for the emulator's window: a top-level X window with the given
// title that reports on stdout when it is on screen ("ready WINDOW-ID") and
// every key it gets ("press Return"), until the release of Escape.
// Usage: emulator_window_helper TITLE [--net-wm-name-only]
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string title = argv[1];
    const bool netNameOnly = argc > 2 && std::string(argv[2]) == "--net-wm-name-only";
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 1;
    const int screen = DefaultScreen(d);
    const Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 10, 10, 320, 200, 0,
                                         BlackPixel(d, screen), WhitePixel(d, screen));
    if (!netNameOnly) XStoreName(d, w, title.c_str());
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False),
                    8, PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XSelectInput(d, w, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapWindow(d, w);

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    for (;;) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == MapNotify) {
            std::printf("ready %lu\n", static_cast<unsigned long>(w));
        } else if (event.type == KeyPress || event.type == KeyRelease) {
            const KeySym keysym = XLookupKeysym(&event.xkey, 0);
            const char* name = XKeysymToString(keysym);
            std::printf("%s %s\n", event.type == KeyPress ? "press" : "release", name ? name : "?");
            if (event.type == KeyRelease && keysym == XK_Escape) break;
        }
    }
    // Gone from the display before the report ends.
    XDestroyWindow(d, w);
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
