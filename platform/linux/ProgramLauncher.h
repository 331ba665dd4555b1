// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

namespace tapelark {

// The arguments that start a command line taken from the registry, with no
// shell in between: the program is the quoted first part, else the text up
// to the first ".exe" that ends a word, else the whole text (a location may
// hold blanks); what follows is split into arguments at blanks outside
// quotes. A Windows program (a drive or UNC path, a backslash, or ".exe") is
// handed to `wine`. Empty when the text is blank. Text after a NUL is not
// part of the command line.
std::vector<std::string> LaunchArguments(const std::string& commandLine);

// Starts the program in its own session and does not wait for it; the
// process that forks it is reaped at once, so no zombie is left behind.
// False when the program cannot be found or executed.
bool LaunchDetached(const std::vector<std::string>& arguments);

}  // namespace tapelark
