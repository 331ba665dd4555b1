// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>

namespace tapelark {

// Hands `size` bytes to `write` until all are taken. `write(data, size)`
// returns how many bytes it took, 0 or less when it failed; an interrupted
// call is for `write` itself to repeat. Returns whether every byte went.
// Allocates nothing, so it may run between fork and exec.
template <typename Write>
bool WriteAll(Write&& write, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const auto taken = write(bytes, size);
        if (taken <= 0) return false;
        bytes += taken;
        size -= static_cast<std::size_t>(taken);
    }
    return true;
}

}  // namespace tapelark
