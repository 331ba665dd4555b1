// SPDX-License-Identifier: MIT
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace tapelark::testing {

// Records every call as one line; the emulator's window answers when told.
class FakeWindowSystem final : public WindowSystem {
public:
    bool windowAnswers = false, throwOnActivate = false;
    std::vector<std::string> calls;

    bool ActivateByTitle(const std::string& title, bool wait) override {
        calls.push_back("activate " + title + (wait ? " wait" : " nowait"));
        if (throwOnActivate) throw std::runtime_error("no display");
        return windowAnswers;
    }
    bool SendKeystrokes(const std::string& keys, bool wait) override {
        calls.push_back("keys " + keys + (wait ? " wait" : " nowait"));
        return true;
    }
    bool Launch(const std::string& commandLine, int windowStyle) override {
        calls.push_back("launch " + commandLine + " style " + std::to_string(windowStyle));
        return !commandLine.empty();
    }
};

}  // namespace tapelark::testing
