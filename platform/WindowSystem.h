// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace tapelark {

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL: a normal window with the focus

// The window-system services the emulator launcher needs.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // Brings the top-level window with this title to the front; false when no
    // window answers to it. `wait` false: do not wait for our own focus first.
    virtual bool ActivateByTitle(const std::string& title, bool wait) = 0;
    // Sends keys in send-keys notation (common/SendKeysNotation.h; "~" is
    // Enter) to the active window; false, sending nothing, for a text it cannot read.
    virtual bool SendKeystrokes(const std::string& keys, bool wait) = 0;
    // Starts a program from a command line without waiting for it.
    virtual bool Launch(const std::string& commandLine, int windowStyle) = 0;
};

}  // namespace tapelark
