// SPDX-License-Identifier: MIT
#include "platform/win32/Win32MciChannel.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "common/AsciiText.h"
#include "platform/win32/FilesHeldBySound.h"
#include "platform/win32/WaveDriverThreads.h"

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

bool IsCloseAll(std::string_view command) {
    command = TrimBlanks(command);
    if (!StartsWithIgnoringAsciiCase(command, "close ")) return false;
    const std::string_view rest = TrimBlanks(command.substr(6));
    return EqualsIgnoringAsciiCase(rest.substr(0, rest.find(' ')), "all");
}

std::string Ask(const std::string& command) {
    char reply[128] = "";
    return mciSendStringA(command.c_str(), reply, sizeof(reply), nullptr) == 0 ? reply : "";
}

// Wine's waveaudio driver crashes when a device that records or plays is
// closed: its worker thread still uses the device's data after the close has
// freed it. Every open device is stopped, and the driver's threads are let
// end, before "close all" goes to winmm.
void StopOpenDevicesForClose() {
    const int count = std::atoi(Ask("sysinfo all quantity open").c_str());
    for (int i = 1; i <= count; ++i) {
        const std::string name = Ask("sysinfo all name " + std::to_string(i) + " open");
        if (!name.empty()) Ask("stop " + name);
    }
    AwaitWaveDriverThreads(2000);
}

}  // namespace

std::uint32_t Win32MciChannel::SendString(const char* command, char* reply, std::uint32_t replyLength,
                                   std::uintptr_t callbackWindow) {
    static const bool underWine = RunningUnderWine();
    const bool closeAll = command && IsCloseAll(command);
    if (underWine && closeAll) StopOpenDevicesForClose();
    const MCIERROR result = mciSendStringA(command, replyLength == 0 ? nullptr : reply, replyLength,
                                           reinterpret_cast<HWND>(callbackWindow));
    if (result == 0) KeepWaveDriverLoaded();
    if (result == 0 && closeAll) RemoveReleasedFiles();
    return result;
}

Win32MciChannel::~Win32MciChannel() {
    if (!AnyFileAwaitsRelease()) return;
    SendString("close all", nullptr, 0, 0);
}

}  // namespace tapelark
