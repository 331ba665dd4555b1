// SPDX-License-Identifier: MIT
#pragma once
#include "platform/Shell.h"

namespace tapelark {

// Opens a file or web address with the desktop's default handler. Verb,
// parameters, folder and show command have no meaning here and are ignored.
class QtShell final : public Shell {
public:
    std::intptr_t Execute(std::uintptr_t owner, const char* verb, const char* file,
                          const char* parameters, const char* directory, int showCommand) override;
};

}  // namespace tapelark
