// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace tapelark {

// The contract of shell32's ShellExecuteA; null pointers stand for "none".
class Shell {
public:
    virtual ~Shell() = default;
    virtual std::intptr_t Execute(std::uintptr_t owner, const char* verb, const char* file,
                                  const char* parameters, const char* directory, int showCommand) = 0;
};

}  // namespace tapelark
