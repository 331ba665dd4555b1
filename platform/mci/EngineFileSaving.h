// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>

#include "platform/FileSaving.h"
#include "platform/mci/MciEngine.h"

namespace tapelark {

// The engine's own save replaces a file in one step, so it writes straight
// to the user's path. The window's message names only the path; the
// engine's reason for a refusal goes to standard error.
class EngineFileSaving final : public FileSaving {
public:
    std::uint32_t SaveAs(const std::string& path, const Save& save) override {
        const std::uint32_t code = save(path);
        if (code != 0)
            std::fprintf(stderr, "tapelark: %s was not saved: %s\n", path.c_str(), MciErrorText(code).c_str());
        return code;
    }
};

}  // namespace tapelark
