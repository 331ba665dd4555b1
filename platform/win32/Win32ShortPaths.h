// SPDX-License-Identifier: MIT
#pragma once
#include "platform/ShortPaths.h"

namespace tapelark {

class Win32ShortPaths : public ShortPaths {
public:
    std::uint32_t Query(const char* path, char* buffer, std::uint32_t capacity) override;
};

}  // namespace tapelark
