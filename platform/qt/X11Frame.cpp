// SPDX-License-Identifier: MIT
#include "platform/qt/X11Frame.h"

#include <QtGui/QGuiApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tapelark {
namespace {

Display* X11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

}  // namespace

bool X11FrameExtentsKnowable() { return X11Display() != nullptr; }

std::optional<X11Framing> X11FramingOf(WId window) {
    Display* display = X11Display();
    if (!display) return std::nullopt;
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", True);
    if (extents == None) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, static_cast<Window>(window), extents, 0, 4, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) != Success)
        return std::nullopt;
    std::optional<X11Framing> framing;
    XWindowAttributes attributes{};
    if (data && format == 32 && count == 4 &&
        XGetWindowAttributes(display, static_cast<Window>(window), &attributes) != 0) {
        // left, right, top, bottom; Xlib hands 32-bit items over as longs
        const long* v = reinterpret_cast<const long*>(data);
        framing = X11Framing{QSize(attributes.width, attributes.height),
                             QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]))};
    }
    if (data) XFree(data);
    return framing;
}

void X11MoveWindow(WId window, QPoint topLeft) {
    Display* display = X11Display();
    if (!display) return;
    const Window x11Window = static_cast<Window>(window);
    // Static gravity: the window manager reads the point as the window's own
    // corner, not its frame's.
    XSizeHints hints{};
    long supplied = 0;
    XGetWMNormalHints(display, x11Window, &hints, &supplied);
    hints.flags |= PWinGravity;
    hints.win_gravity = StaticGravity;
    XSetWMNormalHints(display, x11Window, &hints);
    XMoveWindow(display, x11Window, topLeft.x(), topLeft.y());
    XFlush(display);
}

}  // namespace tapelark
