// SPDX-License-Identifier: MIT
#pragma once
#include "platform/MessageBoxes.h"

namespace tapelark {

// Message boxes over the program's active window: OK only, no icon for
// style 0, the warning icon for style 48. Text is shown as plain text.
class QtMessageBoxes final : public MessageBoxes {
public:
    void Show(const std::string& text, int style, const std::string& caption) override;
};

}  // namespace tapelark
