// SPDX-License-Identifier: MIT
#pragma once
#include "platform/MciChannel.h"

namespace tapelark {

// winmm's own command-string interface.
class Win32MciChannel : public MciChannel {
public:
    std::uint32_t SendString(const char* command, char* reply, std::uint32_t replyLength,
                             std::uintptr_t callbackWindow) override;
};

}  // namespace tapelark
