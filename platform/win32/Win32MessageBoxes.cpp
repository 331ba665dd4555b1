// SPDX-License-Identifier: MIT
#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

namespace tapelark {

void Win32MessageBoxes::Show(const std::string& text, int style, const std::string& caption) {
    MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), static_cast<UINT>(style));
}

}  // namespace tapelark
