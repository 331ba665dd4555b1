// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <ostream>

namespace tapelark {

// mcisend's options for takes that a dead program left behind:
//   --list-recoverable      ID<TAB>SECONDS<TAB>STARTED<TAB>INPUT, one per take
//   --recover ID PATH       saves the take as a WAVE file, then forgets it
//   --discard ID            throws it away
// Runs the one that argv names and returns the exit status (0, 1 with a
// one-line reason on `err`, 2 for a usage error); nothing when argv names none.
std::optional<int> RunRecoveryOption(int argc, char** argv, std::ostream& out, std::ostream& err);

// Their lines for mcisend --help.
extern const char* const kRecoveryUsage;

}  // namespace tapelark
