// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <functional>
#include <thread>

namespace tapelark::testing {

// Waits for a state another process brings about; gives up after a generous
// while, so that a fault fails the test instead of hanging it.
inline bool Eventually(const std::function<bool()>& reached, int seconds = 30) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!reached()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace tapelark::testing
