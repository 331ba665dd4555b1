// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace tapelark::testing {

struct FakeShell : Shell {
    struct Call {
        std::uintptr_t owner;
        bool verbNull;
        std::string file;
        bool parametersNull, directoryNull;
        int show;
    };
    std::intptr_t Execute(std::uintptr_t owner, const char* verb, const char* file,
                          const char* parameters, const char* directory, int show) override {
        calls.push_back({owner, verb == nullptr, file ? file : "", parameters == nullptr,
                         directory == nullptr, show});
        if (fail) throw FileError("no handler for web addresses");
        return 42;
    }
    std::vector<Call> calls;
    bool fail = false;
};

}  // namespace tapelark::testing
