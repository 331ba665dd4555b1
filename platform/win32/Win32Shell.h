// SPDX-License-Identifier: MIT
#pragma once
#include "platform/Shell.h"

namespace tapelark {

class Win32Shell : public Shell {
public:
    std::intptr_t Execute(std::uintptr_t owner, const char* verb, const char* file,
                          const char* parameters, const char* directory, int showCommand) override;
};

}  // namespace tapelark
