// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tapelark {

// How a command asked to notify ended; winmm's MCI_NOTIFY_* values.
enum class MciNotify : std::uint32_t { Successful = 1, Superseded = 2, Aborted = 4, Failure = 8 };

inline const char* MciNotifyName(MciNotify n) {
    switch (n) {
    case MciNotify::Successful: return "successful";
    case MciNotify::Superseded: return "superseded";
    case MciNotify::Aborted: return "aborted";
    case MciNotify::Failure: return "failure";
    }
    return "failure";
}

// Receives notifications: the callback the command was sent with (the
// window handle of winmm's MM_MCINOTIFY), the device's alias and the outcome.
// Called on the commanding thread or the sound server's thread, never with
// the engine's lock held by the caller of the sink; must not call back in.
using MciNotifySink = std::function<void(std::uintptr_t callback, const std::string& alias, MciNotify result)>;

}  // namespace tapelark
