// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string_view>
#include <vector>

namespace tapelark {

// The keys that have names in the notation ("{ENTER}", "{F5}", ...); every
// platform maps each of them to its own key code.
enum class NamedKey {
    Character,  // no name: a character, typed as itself
    Enter,
    Tab,
    Escape,
    Backspace,
    Delete,
    Insert,
    Home,
    End,
    PageUp,
    PageDown,
    Left,
    Up,
    Right,
    Down,
    Break,
    CapsLock,
    NumLock,
    ScrollLock,
    PrintScreen,
    Help,
    Add,
    Subtract,
    Multiply,
    Divide,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    F13,
    F14,
    F15,
    F16,
};

// One press and release, with the modifiers held around it.
struct KeyStroke {
    NamedKey key = NamedKey::Character;
    char character = 0;  // printable ASCII, when key is Character
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool operator==(const KeyStroke&) const = default;
};

// Reads a text in send-keys notation: "+" Shift, "^" Ctrl and "%" Alt hold
// for the next key or the parenthesised group after them, "~" is Enter,
// "{NAME}" a named key or a character that is otherwise special ("{+}",
// "{~}", "{}}"), "{NAME n}" that key n times; any other printable ASCII
// character is typed as itself. A text with anything else (an unknown name,
// an unclosed brace or group, a modifier with nothing after it, a control
// or non-ASCII character) is nothing at all, so it is sent whole or not at all.
std::optional<std::vector<KeyStroke>> ParseSendKeys(std::string_view text);

}  // namespace tapelark
