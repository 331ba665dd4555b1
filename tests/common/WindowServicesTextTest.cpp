// SPDX-License-Identifier: MIT
// The two halves of activating a window by title and sending it keys that
// both platforms share.
#include "common/SendKeysNotation.h"
#include "common/WindowTitleMatch.h"

#include <gtest/gtest.h>

namespace tapelark {
namespace {

constexpr KeyStroke Char(char c, bool shift = false, bool control = false, bool alt = false) {
    return {NamedKey::Character, c, shift, control, alt};
}
constexpr KeyStroke Key(NamedKey key, bool shift = false, bool control = false) {
    return {key, 0, shift, control, false};
}

TEST(SendKeysNotation, ReadsEveryFormOfKeyAndRefusesAWholeTextForAnyFault) {
    const std::pair<const char*, std::vector<KeyStroke>> cases[] = {
        {"", {}},
        {"~", {Key(NamedKey::Enter)}},
        {"{ENTER}{enter}{Esc}{tab}{bs}",
         {Key(NamedKey::Enter), Key(NamedKey::Enter), Key(NamedKey::Escape), Key(NamedKey::Tab),
          Key(NamedKey::Backspace)}},
        {"{F1}{f12}{F16}", {Key(NamedKey::F1), Key(NamedKey::F12), Key(NamedKey::F16)}},
        {"{~}{+}{^}{%}{(}{)}{{}{}}{ }",
         {Char('~'), Char('+'), Char('^'), Char('%'), Char('('), Char(')'), Char('{'), Char('}'), Char(' ')}},
        {"{LEFT 3}{x 2}{UP 0}",
         {Key(NamedKey::Left), Key(NamedKey::Left), Key(NamedKey::Left), Char('x'), Char('x')}},
        {"+a^b%c", {Char('a', true), Char('b', false, true), Char('c', false, false, true)}},
        {"^+{F4}x", {Key(NamedKey::F4, true, true), Char('x')}},
        {"+(ab)c", {Char('a', true), Char('b', true), Char('c')}},
        {"%(^(x)y)", {Char('x', false, true, true), Char('y', false, false, true)}},
        {"(ab)", {Char('a'), Char('b')}},
    };
    for (const auto& [text, keys] : cases) EXPECT_EQ(ParseSendKeys(text), keys) << text;
    for (const char* text :
         {"a{NOSUCHKEY}", "{ENTER", "{}", "}", "a+", "^", "+)", "(ab", "ab)", "{F0}", "{F17}", "{F01}",
          "{LEFT x}", "{LEFT -1}", "{LEFT 1000}", "tab\there", "caf\xc3\xa9"})
        EXPECT_EQ(ParseSendKeys(text), std::nullopt) << text;
}

TEST(WindowTitleMatch, PicksTheExactTitleFirstThenAVisibleBeginning) {
    const std::string vgs = "Connectix Virtual Game Station";
    const struct {
        const char* what;
        std::vector<TitledWindow> windows;
        std::optional<std::uintptr_t> picked;
    } cases[] = {
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
