// SPDX-License-Identifier: MIT
#pragma once
#include "platform/WindowSystem.h"

namespace tapelark {

// Activation by title, keystrokes through SendInput, launching by command line.
class Win32WindowSystem : public WindowSystem {
public:
    bool ActivateByTitle(const std::string& title, bool wait) override;
    bool SendKeystrokes(const std::string& keys, bool wait) override;
    bool Launch(const std::string& commandLine, int windowStyle) override;
};

}  // namespace tapelark
