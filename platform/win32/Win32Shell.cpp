// SPDX-License-Identifier: MIT
#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace tapelark {

std::intptr_t Win32Shell::Execute(std::uintptr_t owner, const char* verb, const char* file,
                                  const char* parameters, const char* directory, int showCommand) {
    return reinterpret_cast<std::intptr_t>(ShellExecuteA(reinterpret_cast<HWND>(owner), verb, file,
                                                         parameters, directory, showCommand));
}

}  // namespace tapelark
