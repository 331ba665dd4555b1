#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tapelark {

// The keys of a text in send-keys notation, as X keysyms, one press and
// release each: "~" is Enter, "{NAME}" a named key ("{ENTER}", "{TAB}",
// "{ESC}", "{F1}", "{~}" ...), any other printable ASCII character itself.
// Nothing when the text holds what is not supported here (the modifiers
// + ^ % and their groups), so that a text is sent whole or not at all.
std::optional<std::vector<std::uint32_t>> ParseSendKeys(const std::string& keys);

}  // namespace tapelark
