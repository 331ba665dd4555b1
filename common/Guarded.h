// SPDX-License-Identifier: MIT
#pragma once

namespace tapelark {

// Runs one step of a procedure whose steps go on when an earlier one failed:
// an error ends that step only. Returns whether the step ran to its end.
template <typename Step>
bool Guarded(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace tapelark
