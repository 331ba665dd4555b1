// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "common/SendKeysNotation.h"

namespace tapelark {

inline constexpr std::uint32_t kKeysymShift = 0xffe1;    // XK_Shift_L
inline constexpr std::uint32_t kKeysymControl = 0xffe3;  // XK_Control_L
inline constexpr std::uint32_t kKeysymAlt = 0xffe9;      // XK_Alt_L

// The X keysym of a key of the send-keys notation.
std::uint32_t KeysymOf(const KeyStroke& press);

}  // namespace tapelark
