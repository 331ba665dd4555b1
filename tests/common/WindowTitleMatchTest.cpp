// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/WindowTitleMatch.h"

namespace tapelark {
namespace {

constexpr const char* kVgs = "Connectix Virtual Game Station";

struct Case {
    const char* what;
    std::vector<TitledWindow> windows;
    std::string text;
    std::optional<std::uintptr_t> picked;
};

TEST(WindowTitleMatchTest, PicksTheExactTitleFirstThenAVisibleBeginning) {
    const Case cases[] = {
        {"exact title", {{1, "Other", true}, {2, kVgs, true}}, kVgs, 2},
        {"case ignored", {{1, "CONNECTIX virtual GAME station", true}}, kVgs, 1},
        {"title that begins with the text", {{1, "Connectix Virtual Game Station - [game]", true}}, kVgs, 1},
        {"an exact title wins over an earlier beginning",
         {{1, "Connectix Virtual Game Station - [game]", true}, {2, kVgs, true}}, kVgs, 2},
        {"an exact title counts even when hidden", {{1, kVgs, false}}, kVgs, 1},
        {"a hidden window does not answer by its beginning",
         {{1, "Connectix Virtual Game Station - [hidden]", false},
          {2, "Connectix Virtual Game Station - [shown]", true}},
         kVgs, 2},
        {"the first of several beginnings",
         {{1, "Connectix Virtual Game Station - [a]", true}, {2, "Connectix Virtual Game Station - [b]", true}},
         kVgs, 1},
        {"text longer than the title", {{1, "Connectix", true}}, kVgs, std::nullopt},
        {"title holds the text but does not begin with it", {{1, "About Connectix Virtual Game Station", true}},
         kVgs, std::nullopt},
        {"no window", {}, kVgs, std::nullopt},
        {"empty text picks nothing", {{1, "", true}, {2, kVgs, true}}, "", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(PickWindowByTitle(c.windows, c.text), c.picked) << c.what;
}

}  // namespace
}  // namespace tapelark
