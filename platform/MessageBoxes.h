// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace tapelark {

// Styles as the platform numbers them.
inline constexpr int kStyleOk = 0;          // an OK button, no icon
inline constexpr int kStyleExclamation = 48; // an OK button with the warning icon

// A modal message box; Show returns once the user has closed it.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Show(const std::string& text, int style, const std::string& caption) = 0;
};

}  // namespace tapelark
