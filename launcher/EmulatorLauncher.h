#pragma once
#include <string>

#include "platform/MessageBoxService.h"
#include "platform/ProcessSnapshot.h"
#include "platform/Registry.h"
#include "platform/WindowSystem.h"

namespace tapelark {

inline constexpr const char* kEmulatorTitle = "Connectix Virtual Game Station";
inline constexpr const char* kEmulatorKey = "SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General";
inline constexpr const char* kEmulatorLocationValue = "Location";
// Caption of the registry reader's message box: the application's title.
inline constexpr const char* kLauncherCaption = "Tapelark";

// "Start VGS": wake the emulator's window with Enter, or else launch it from
// its install location unless it already runs. Holds nothing between calls.
class EmulatorLauncher {
public:
    EmulatorLauncher(WindowSystem& windows, Registry& registry, ProcessSnapshot& processes,
                     MessageBoxService& messages);

    bool StartEmulator();
    std::string ReadRegistryString(RegistryKey root, const std::string& subKey,
                                   const std::string& valueName);
    bool IsRunning(const std::string& myName);

private:
    WindowSystem& windows_;
    Registry& registry_;
    ProcessSnapshot& processes_;
    MessageBoxService& messages_;
};

}  // namespace tapelark
