// SPDX-License-Identifier: MIT
#pragma once
#include "platform/FileSaving.h"

namespace tapelark {

// winmm's save deletes an old file before it writes the new one, and moves
// the file it saved last when the take is saved again: its saves go to a
// name beside the user's, which then takes the user's name in one step.
// Failures carry the system's own words.
class Win32FileSaving : public FileSaving {
public:
    std::uint32_t SaveAs(const std::string& path, const Save& save) override;
};

}  // namespace tapelark
