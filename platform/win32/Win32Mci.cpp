#include "platform/win32/Win32Mci.h"

#include <windows.h>
#include <mmsystem.h>

namespace tapelark {
namespace {

// "close all" unloads the waveaudio driver while the wave-input callback it
// registered can still be called from the audio thread (seen under Wine: the
// program then jumps into unloaded code). Keeping the driver loaded for the
// life of the program makes that late call harmless.
void KeepWaveDriverLoaded() {
    static bool pinned = false;
    if (pinned) return;
    HMODULE driver = nullptr;
    pinned = GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "mciwave.dll", &driver) != 0;
}

}  // namespace

std::uint32_t Win32Mci::SendString(const char* command, char* reply, std::uint32_t replyLength,
                                   std::uintptr_t callbackWindow) {
    const MCIERROR result = mciSendStringA(command, replyLength == 0 ? nullptr : reply, replyLength,
                                           reinterpret_cast<HWND>(callbackWindow));
    if (result == 0) KeepWaveDriverLoaded();
    return result;
}

}  // namespace tapelark
