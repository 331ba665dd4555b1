// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace tapelark {

// A modal box with a question and Yes and No buttons.
class Questions {
public:
    virtual ~Questions() = default;
    // Whether the user answered Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
};

}  // namespace tapelark
