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
// with one line that names the window system asked for and not found,
// instead of the toolkit's own plugin message.
void WatchToolkitStart();
void EndToolkitStartWatch();

// What the arguments ask for, once --record-from is taken out of them.
struct CommandLine {
    bool help = false;
    std::optional<std::string> screenshot;  // --screenshot FILE
    std::string error;                      // the one-line usage error; empty when none
};
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace tapelark
