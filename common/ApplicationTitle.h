// SPDX-License-Identifier: MIT
#pragma once

namespace tapelark {

// The caption of the window and of every message box the program shows.
inline constexpr const char* kApplicationTitle = "Tapelark";

}  // namespace tapelark
