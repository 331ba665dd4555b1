// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace tapelark {

// The contract of kernel32's GetShortPathNameA: writes the short form of
// `path` into `buffer` (capacity in characters, NUL included) and returns its
// length without the NUL; 0 on failure (nothing at the path); more than the
// capacity when the buffer is too small.
class ShortPaths {
public:
    virtual ~ShortPaths() = default;
    virtual std::uint32_t Query(const char* path, char* buffer, std::uint32_t capacity) = 0;
};

}  // namespace tapelark
