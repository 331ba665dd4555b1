// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace tapelark::testing {

struct FakeShell : Shell {
    struct Call {
        std::string file;
    };
    std::intptr_t Execute(std::uintptr_t, const char*, const char* file, const char*, const char*, int) override {
        calls.push_back({file});
        if (fail) throw FileError("no handler for web addresses");
        return 42;
    }
    std::vector<Call> calls;
    bool fail = false;
};

}  // namespace tapelark::testing
