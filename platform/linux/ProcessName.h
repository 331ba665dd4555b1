// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string>

namespace tapelark {

// A process's executable name as the process list gives it: the first word
// of its command line as the kernel holds it (argv[0]); for a Windows program
// under Wine that is its Windows path. Empty for a kernel thread or a zombie;
// nothing when the process has ended or is hidden from us.
std::optional<std::string> ReadProcessName(const std::string& procRoot, const std::string& pid);

}  // namespace tapelark
