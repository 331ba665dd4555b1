// SPDX-License-Identifier: MIT
#include "common/WindowTitleMatch.h"

#include "common/AsciiText.h"

namespace tapelark {

std::optional<std::uintptr_t> PickWindowByTitle(const std::vector<TitledWindow>& windows,
                                                 std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::optional<std::uintptr_t> byBeginning;
    for (const TitledWindow& window : windows) {
        if (EqualsIgnoringAsciiCase(window.title, text)) return window.handle;
        if (!byBeginning && window.visible && StartsWithIgnoringAsciiCase(window.title, text))
            byBeginning = window.handle;
    }
    return byBeginning;
}

}  // namespace tapelark
