// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "platform/ProcessSnapshot.h"

namespace tapelark {

// Whether a running process's executable name ends with a given text,
// compared without ASCII case.
class ProcessPresence {
public:
    explicit ProcessPresence(ProcessSnapshot& processes);

    bool IsRunning(const std::string& myName);

private:
    ProcessSnapshot& processes_;
};

}  // namespace tapelark
