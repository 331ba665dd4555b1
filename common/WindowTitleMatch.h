// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tapelark {

// A top-level window as the window system lists it; the handle is the
// platform's own (an HWND, an X11 window id).
struct TitledWindow {
    std::uintptr_t handle = 0;
    std::string title;
    bool visible = false;
};

// The window that activation by title picks, case ignored: the first whose
// title is the text, otherwise the first visible one whose title begins with
// it ("Connectix Virtual Game Station - [game]"). An empty text picks none.
std::optional<std::uintptr_t> PickWindowByTitle(const std::vector<TitledWindow>& windows,
                                                 std::string_view text);

}  // namespace tapelark
