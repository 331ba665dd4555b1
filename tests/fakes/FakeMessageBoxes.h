// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace tapelark::testing {

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        int style;
    };
    void Show(const std::string& text, int style, const std::string&) override {
        shown.push_back({text, style});
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& s : shown) out.push_back(s.text);
        return out;
    }
    std::vector<Shown> shown;
};

}  // namespace tapelark::testing
