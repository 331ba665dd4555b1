#include "platform/win32/Win32ShortPath.h"

#include <windows.h>

namespace tapelark {

std::uint32_t Win32ShortPath::Query(const char* path, char* buffer, std::uint32_t capacity) {
    return GetShortPathNameA(path, buffer, capacity);
}

}  // namespace tapelark
