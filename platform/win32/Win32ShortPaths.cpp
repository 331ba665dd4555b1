// SPDX-License-Identifier: MIT
#include "platform/win32/Win32ShortPaths.h"

#include <windows.h>

namespace tapelark {

std::uint32_t Win32ShortPaths::Query(const char* path, char* buffer, std::uint32_t capacity) {
    return GetShortPathNameA(path, buffer, capacity);
}

}  // namespace tapelark
