#include "platform/win32/SendKeys.h"

#include <algorithm>
#include <cctype>

namespace tapelark {
namespace {

// Virtual-key codes as winuser.h numbers them; this file stays free of it so
// the parsing can be tested anywhere.
constexpr unsigned short kReturn = 0x0D, kTab = 0x09, kEscape = 0x1B, kBack = 0x08;

unsigned short NamedKey(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (name == "ENTER") return kReturn;
    if (name == "TAB") return kTab;
    if (name == "ESC" || name == "ESCAPE") return kEscape;
    if (name == "BACKSPACE" || name == "BS") return kBack;
    return 0;
}

}  // namespace

std::vector<KeyStroke> ParseSendKeys(const std::string& keys) {
    std::vector<KeyStroke> strokes;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const char c = keys[i];
        if (c == '~') {
            strokes.push_back({kReturn, 0});
        } else if (c == '{') {
            // "{}}" names the brace itself, so the name runs to the next '}' after one character.
            const std::size_t close = keys.find('}', i + 2);
            if (close == std::string::npos) {
                strokes.push_back({0, c});
                continue;
            }
            const std::string name = keys.substr(i + 1, close - i - 1);
            if (name.size() == 1) {
                strokes.push_back({0, name[0]});
            } else if (const unsigned short key = NamedKey(name)) {
                strokes.push_back({key, 0});
            }
            i = close;
        } else {
            strokes.push_back({0, c});
        }
    }
    return strokes;
}

}  // namespace tapelark
