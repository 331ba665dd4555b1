#pragma once
#include <string>
#include <vector>

namespace tapelark {

// One key press: a virtual key, or else a character typed as itself.
struct KeyStroke {
    unsigned short virtualKey = 0;
    char character = 0;
    bool operator==(const KeyStroke&) const = default;
};

// The send-keys notation the launcher speaks: "~" and "{ENTER}" are Enter,
// {TAB}, {ESC}, {BACKSPACE} their keys, "{~}" and the like the character
// itself; any other character is typed. An unknown {NAME} is skipped.
std::vector<KeyStroke> ParseSendKeys(const std::string& keys);

}  // namespace tapelark
