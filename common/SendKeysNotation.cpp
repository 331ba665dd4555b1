// SPDX-License-Identifier: MIT
#include "common/SendKeysNotation.h"

#include <charconv>
#include <string>

#include "common/AsciiText.h"

namespace tapelark {
namespace {

// More than any window needs; keeps a mistyped count from flooding the system.
constexpr int kMostRepeats = 999;

struct Name {
    std::string_view text;
    NamedKey key;
};

constexpr Name kNames[] = {
    {"ENTER", NamedKey::Enter},
    {"TAB", NamedKey::Tab},
    {"ESC", NamedKey::Escape},
    {"ESCAPE", NamedKey::Escape},
    {"BACKSPACE", NamedKey::Backspace},
    {"BS", NamedKey::Backspace},
    {"BKSP", NamedKey::Backspace},
    {"DELETE", NamedKey::Delete},
    {"DEL", NamedKey::Delete},
    {"INSERT", NamedKey::Insert},
    {"INS", NamedKey::Insert},
    {"HOME", NamedKey::Home},
    {"END", NamedKey::End},
    {"PGUP", NamedKey::PageUp},
    {"PGDN", NamedKey::PageDown},
    {"LEFT", NamedKey::Left},
    {"UP", NamedKey::Up},
    {"RIGHT", NamedKey::Right},
    {"DOWN", NamedKey::Down},
    {"BREAK", NamedKey::Break},
    {"CAPSLOCK", NamedKey::CapsLock},
    {"NUMLOCK", NamedKey::NumLock},
    {"SCROLLLOCK", NamedKey::ScrollLock},
    {"PRTSC", NamedKey::PrintScreen},
    {"HELP", NamedKey::Help},
    {"ADD", NamedKey::Add},
    {"SUBTRACT", NamedKey::Subtract},
    {"MULTIPLY", NamedKey::Multiply},
    {"DIVIDE", NamedKey::Divide},
};

bool Printable(char c) { return c >= 0x20 && c < 0x7f; }

std::optional<KeyStroke> Named(std::string_view name) {
    if (name.size() == 1 && Printable(name[0])) return KeyStroke{NamedKey::Character, name[0]};
    for (const Name& known : kNames)
        if (EqualsIgnoringAsciiCase(name, known.text)) return KeyStroke{known.key};
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int n = 0;
        const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
        if (error == std::errc() && end == name.data() + name.size() && n >= 1 && n <= 16 && name[1] != '0')
            return KeyStroke{static_cast<NamedKey>(static_cast<int>(NamedKey::F1) + n - 1)};
    }
    return std::nullopt;
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    // Keys up to the end of the text, or up to the ")" that closes a group.
    bool Keys(std::vector<KeyStroke>& out, bool inGroup) {
        while (at_ < text_.size()) {
            if (text_[at_] == ')') {
                if (!inGroup) return false;
                ++at_;
                return true;
            }
            if (!Key(out)) return false;
        }
        return !inGroup;
    }

private:
    bool Key(std::vector<KeyStroke>& out) {
        KeyStroke held;
        while (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '^' || text_[at_] == '%')) {
            (text_[at_] == '+' ? held.shift : text_[at_] == '^' ? held.control : held.alt) = true;
            ++at_;
        }
        if (at_ == text_.size() || text_[at_] == ')') return false;  // a modifier of nothing

        const std::size_t first = out.size();
        const char c = text_[at_++];
        if (c == '(') {
            if (!Keys(out, true)) return false;
        } else if (c == '{') {
            if (!Braced(out)) return false;
        } else if (c == '~') {
            out.push_back({NamedKey::Enter});
        } else if (c == '}' || !Printable(c)) {
            return false;
        } else {
            out.push_back({NamedKey::Character, c});
        }
        for (std::size_t i = first; i < out.size(); ++i) {
            out[i].shift |= held.shift;
            out[i].control |= held.control;
            out[i].alt |= held.alt;
        }
        return true;
    }

    // After "{": a name, perhaps a count, and "}". "{}}" names the brace itself.
    bool Braced(std::vector<KeyStroke>& out) {
        const std::size_t close = text_.find('}', at_ + 1);
        if (close == std::string_view::npos) return false;
        std::string_view inside = text_.substr(at_, close - at_);
        at_ = close + 1;

        int count = 1;
        if (const std::size_t blank = inside.rfind(' '); blank != std::string_view::npos && blank > 0) {
            const std::string_view digits = inside.substr(blank + 1);
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
            if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || count < 0 ||
                count > kMostRepeats)
                return false;
            inside = inside.substr(0, blank);
        }
        const std::optional<KeyStroke> key = Named(inside);
        if (!key) return false;
        out.insert(out.end(), static_cast<std::size_t>(count), *key);
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<std::vector<KeyStroke>> ParseSendKeys(std::string_view text) {
    std::vector<KeyStroke> keys;
    if (!Reader(text).Keys(keys, false)) return std::nullopt;
    return keys;
}

}  // namespace tapelark
