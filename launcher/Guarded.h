#pragma once

namespace tapelark {

// Runs one step of an operation whose failures must not reach its caller: a
// step that throws is skipped and the operation goes on with the next one.
template <typename Step>
void Guarded(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace tapelark
