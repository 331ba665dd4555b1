// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/WindowTitleMatch.h"

namespace tapelark {
namespace {

const std::string kVgs = "Connectix Virtual Game Station";

TEST(WindowTitleMatchTest, PicksTheExactTitleFirstThenAVisibleBeginning) {
    const struct {
        const char* what;
        std::vector<TitledWindow> windows;
        std::optional<std::uintptr_t> picked;
    } cases[] = {
        {"exact title", {{1, "Other", true}, {2, kVgs, true}}, 2},
        {"case ignored", {{1, "CONNECTIX virtual GAME station", true}}, 1},
        {"exact title over an earlier beginning", {{1, kVgs + " - [game]", true}, {2, kVgs, true}}, 2},
        {"an exact title counts even when hidden", {{1, kVgs, false}}, 1},
        {"a hidden window does not answer by its beginning",
         {{1, kVgs + " - [hidden]", false}, {2, kVgs + " - [shown]", true}}, 2},
        {"the first of several beginnings", {{1, kVgs + " - [a]", true}, {2, kVgs + " - [b]", true}}, 1},
        {"text longer than the title", {{1, "Connectix", true}}, std::nullopt},
        {"title holds the text but does not begin with it", {{1, "About " + kVgs, true}}, std::nullopt},
        {"no window", {}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(PickWindowByTitle(c.windows, kVgs), c.picked) << c.what;
    EXPECT_EQ(PickWindowByTitle({{1, "", true}, {2, kVgs, true}}, ""), std::nullopt) << "empty text";
}

}  // namespace
}  // namespace tapelark
