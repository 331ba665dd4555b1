// SPDX-License-Identifier: MIT
#pragma once
#include "platform/ShortPaths.h"

namespace tapelark {

// Linux paths have no short form: the path itself stands in for one when
// something exists there, and the query fails (0) when nothing does, as the
// Windows call does.
class LinuxShortPaths final : public ShortPaths {
public:
    std::uint32_t Query(const char* path, char* buffer, std::uint32_t capacity) override;
};

}  // namespace tapelark
