// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string>

namespace tapelark {

inline constexpr const char* kNoDisplayLine =
    "tapelark: no display to open the window on (neither X11 nor Wayland is running); "
    "to record without a window, use mcisend.";

// Whether a window can be shown at all: an X11 or Wayland display, or a Qt
// platform chosen by the user.
bool DisplayAvailable();

// While the toolkit starts: a failure to reach the display ends the program
// with kNoDisplayLine instead of the toolkit's own plugin message.
void WatchToolkitStart();
void EndToolkitStartWatch();

// "--screenshot FILE" among the arguments: FILE; "" when FILE is missing.
std::optional<std::string> ScreenshotArgument(int argc, char** argv);

}  // namespace tapelark
