#include "platform/win32/Win32Mci.h"

#include <windows.h>
#include <mmsystem.h>

namespace tapelark {

std::uint32_t Win32Mci::SendString(const char* command, char* reply, std::uint32_t replyLength,
                                   std::uintptr_t callbackWindow) {
    return mciSendStringA(command, replyLength == 0 ? nullptr : reply, replyLength,
                          reinterpret_cast<HWND>(callbackWindow));
}

}  // namespace tapelark
