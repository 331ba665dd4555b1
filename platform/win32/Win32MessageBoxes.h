// SPDX-License-Identifier: MIT
#pragma once
#include "platform/MessageBoxes.h"

namespace tapelark {

// MessageBoxA, modal to the window that is active in this program.
class Win32MessageBoxes : public MessageBoxes {
public:
    void Show(const std::string& text, int style, const std::string& caption) override;
};

}  // namespace tapelark
