#include "platform/linux/SendKeysNotation.h"

#include <map>

#include "platform/linux/WineRegFile.h"

namespace tapelark {

namespace {

constexpr std::uint32_t kReturn = 0xff0d;

std::optional<std::uint32_t> NamedKey(const std::string& name) {
    static const std::map<std::string, std::uint32_t> keys = {
        {"enter", kReturn},   {"tab", 0xff09},    {"esc", 0xff1b},      {"escape", 0xff1b},
        {"bs", 0xff08},       {"bksp", 0xff08},   {"backspace", 0xff08}, {"del", 0xffff},
        {"delete", 0xffff},   {"ins", 0xff63},    {"insert", 0xff63},   {"home", 0xff50},
        {"end", 0xff57},      {"pgup", 0xff55},   {"pgdn", 0xff56},     {"left", 0xff51},
        {"up", 0xff52},       {"right", 0xff53},  {"down", 0xff54},
    };
    if (name.size() == 1 && name[0] >= 0x20 && name[0] < 0x7f) {
        return static_cast<std::uint32_t>(name[0]);  // "{+}", "{~}", "{{}" ...
    }
    const std::string lowered = LowerAscii(name);
    if (auto key = keys.find(lowered); key != keys.end()) return key->second;
    if (lowered.size() >= 2 && lowered[0] == 'f') {
        const std::string digits = lowered.substr(1);
        if (digits.find_first_not_of("0123456789") == std::string::npos && digits.size() <= 2) {
            const int n = std::stoi(digits);
            if (n >= 1 && n <= 12) return 0xffbe + static_cast<std::uint32_t>(n - 1);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint32_t>> ParseSendKeys(const std::string& keys) {
    std::vector<std::uint32_t> result;
    for (std::size_t at = 0; at < keys.size(); ++at) {
        const char c = keys[at];
        if (c == '~') {
            result.push_back(kReturn);
        } else if (c == '{') {
            // "{}}" names the closing brace itself.
            const std::size_t close = keys.find('}', at + 2);
            if (close == std::string::npos) return std::nullopt;
            auto key = NamedKey(keys.substr(at + 1, close - at - 1));
            if (!key) return std::nullopt;
            result.push_back(*key);
            at = close;
        } else if (c == '+' || c == '^' || c == '%' || c == '(' || c == ')' || c == '}' || c < 0x20 ||
                   c >= 0x7f) {
            return std::nullopt;
        } else {
            result.push_back(static_cast<std::uint32_t>(c));
        }
    }
    return result;
}

}  // namespace tapelark
