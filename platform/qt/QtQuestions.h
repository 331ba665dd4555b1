// SPDX-License-Identifier: MIT
#pragma once
#include "platform/Questions.h"

namespace tapelark {

// A question box over the program's active window, with Yes and No.
class QtQuestions final : public Questions {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override;
};

}  // namespace tapelark
