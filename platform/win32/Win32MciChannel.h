// SPDX-License-Identifier: MIT
#pragma once
#include "platform/MciChannel.h"

namespace tapelark {

// winmm's own command-string interface.
class Win32MciChannel : public MciChannel {
public:
    Win32MciChannel() = default;
    Win32MciChannel(const Win32MciChannel&) = delete;
    Win32MciChannel& operator=(const Win32MciChannel&) = delete;
    // Closes the devices only when one still holds a file that a save left.
    ~Win32MciChannel() override;
    std::uint32_t SendString(const char* command, char* reply, std::uint32_t replyLength,
                             std::uintptr_t callbackWindow) override;
};

}  // namespace tapelark
