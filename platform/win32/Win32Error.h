// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace tapelark {

// The system's own words for a Win32 error code, without the line break.
std::string SystemErrorText(unsigned long code);

}  // namespace tapelark
