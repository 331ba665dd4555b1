// SPDX-License-Identifier: MIT
#pragma once
#include <optional>

#include <QtCore/QMargins>
#include <QtCore/QPoint>
#include <QtCore/QSize>
#include <QtGui/qwindowdefs.h>

namespace tapelark {

// Whether the window system is X11, where a window manager announces the
// frame it puts around a window.
bool X11FrameExtentsKnowable();

// The window's own size and the frame around it as its X11 window manager
// announces it (_NET_FRAME_EXTENTS), in device pixels; nothing before it has
// framed the window, or off X11.
struct X11Framing {
    QSize window;
    QMargins frame;
};
std::optional<X11Framing> X11FramingOf(WId window);

// Asks the window manager to put the window's own top-left corner (inside
// its frame) at `topLeft`, in device pixels. Straight to the X server: Qt's idea of where the
// window is may not have caught up with the framing yet, and would skip it.
void X11MoveWindow(WId window, QPoint topLeft);

}  // namespace tapelark
