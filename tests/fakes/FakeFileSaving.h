// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "platform/FileSaving.h"

namespace tapelark::testing {

// Has the file written at the user's path, or at `beside` as winmm's saves
// need; with `fails`, the step after the save fails.
struct FakeFileSaving : FileSaving {
    std::uint32_t SaveAs(const std::string& path, const Save& save) override {
        const std::uint32_t code = save(beside.empty() ? path : beside);
        if (fails) throw FileError("cannot put the new file in the place of " + path);
        return code;
    }
    std::string beside;
    bool fails = false;
};

}  // namespace tapelark::testing
