#include "platform/win32/Win32MessageBox.h"

#include <windows.h>

namespace tapelark {

void Win32MessageBox::Show(const std::string& text, int style, const std::string& caption) {
    MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), static_cast<UINT>(style));
}

}  // namespace tapelark
