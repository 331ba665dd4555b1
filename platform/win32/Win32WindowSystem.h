// SPDX-License-Identifier: MIT
#pragma once
#include "platform/WindowSystem.h"

#include <cstdint>

namespace tapelark {

// Activation by title, keystrokes through SendInput, launching by command line.
// Keys sent after an activation go only to the window activated: they wait
// until it is in front (up to a second) and are dropped if it never comes.
class Win32WindowSystem : public WindowSystem {
public:
    bool ActivateByTitle(const std::string& title, bool wait) override;
    bool SendKeystrokes(const std::string& keys, bool wait) override;
    bool Launch(const std::string& commandLine, int windowStyle) override;

private:
    std::uintptr_t activated_ = 0;  // the window the next keys are for, if any
};

}  // namespace tapelark
