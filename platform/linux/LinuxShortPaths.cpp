// SPDX-License-Identifier: MIT
#include "platform/linux/LinuxShortPaths.h"

#include <sys/stat.h>

#include <cstring>

namespace tapelark {

std::uint32_t LinuxShortPaths::Query(const char* path, char* buffer, std::uint32_t capacity) {
    struct stat info {};
    if (path == nullptr || ::lstat(path, &info) != 0) return 0;
    std::size_t length = std::strlen(path);
    // Too small a buffer: like the Windows call, say how much room it needs.
    if (length + 1 > capacity) return static_cast<std::uint32_t>(length + 1);
    std::memcpy(buffer, path, length + 1);
    return static_cast<std::uint32_t>(length);
}

}  // namespace tapelark
