// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace tapelark {

// One text command to the multimedia system, with the contract of winmm's
// mciSendStringA: the answer is written into `reply` (at most `replyLength`
// characters including the closing NUL; nothing when the length is 0) and
// 0 means success, anything else failure.
class MciChannel {
public:
    virtual ~MciChannel() = default;
    virtual std::uint32_t SendString(const char* command, char* reply, std::uint32_t replyLength,
                                     std::uintptr_t callbackWindow) = 0;
};

}  // namespace tapelark
