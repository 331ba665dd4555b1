// SPDX-License-Identifier: MIT
#pragma once
#include "common/SendKeysNotation.h"

namespace tapelark {

inline constexpr unsigned short kVirtualKeyShift = 0x10;    // VK_SHIFT
inline constexpr unsigned short kVirtualKeyControl = 0x11;  // VK_CONTROL
inline constexpr unsigned short kVirtualKeyAlt = 0x12;      // VK_MENU

// The virtual key of a named key of the send-keys notation; 0 for a
// character, which is typed as itself.
unsigned short VirtualKeyOf(NamedKey key);

}  // namespace tapelark
