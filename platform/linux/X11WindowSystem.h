// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "platform/WindowSystem.h"

namespace tapelark {

// The launcher's window services over X11: activation through the window
// manager, or by raising the window and giving it the input focus ourselves
// where there is none or it ignores the request; keystrokes through XTest;
// launching a program without a shell. Each call opens its own connection to
// the display in DISPLAY, so no display simply means that activation and
// keystrokes fail; launching works without one.
class X11WindowSystem final : public WindowSystem {
public:
    X11WindowSystem() = default;
    // A display name other than DISPLAY's.
    explicit X11WindowSystem(std::string displayName);

    bool ActivateByTitle(const std::string& title, bool wait) override;
    bool SendKeystrokes(const std::string& keys, bool wait) override;
    bool Launch(const std::string& commandLine, int windowStyle) override;

private:
    std::string displayName_;
    // The window that we gave the focus ourselves, for the keystrokes that follow.
    unsigned long focusedByUs_ = 0;
};

}  // namespace tapelark
