// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "common/WindowTitleMatch.h"

namespace tapelark {
namespace {

TEST(WindowTitleMatchTest, PicksTheExactTitleFirstThenAVisibleBeginning) {
    const std::string vgs = "Connectix Virtual Game Station";
    const struct {
        const char* what;
        std::vector<TitledWindow> windows;
        std::optional<std::uintptr_t> picked;
    } cases[] = {
        {"exact title", {{1, "Other", true}, {2, vgs, true}}, 2},
        {"case ignored", {{1, "CONNECTIX virtual GAME station", true}}, 1},
        {"exact title over an earlier beginning", {{1, vgs + " - [game]", true}, {2, vgs, true}}, 2},
        {"an exact title counts even when hidden", {{1, vgs, false}}, 1},
        {"a hidden window does not answer by its beginning",
         {{1, vgs + " - [hidden]", false}, {2, vgs + " - [shown]", true}},
         2},
        {"the first of several beginnings", {{1, vgs + " - [a]", true}, {2, vgs + " - [b]", true}}, 1},
        {"text longer than the title", {{1, "Connectix", true}}, std::nullopt},
        {"title holds the text but does not begin with it", {{1, "About " + vgs, true}}, std::nullopt},
        {"no window", {}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(PickWindowByTitle(c.windows, vgs), c.picked) << c.what;
    EXPECT_EQ(PickWindowByTitle({{1, "", true}, {2, vgs, true}}, ""), std::nullopt) << "empty text";
}

}  // namespace
}  // namespace tapelark
