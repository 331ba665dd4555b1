// SPDX-License-Identifier: MIT
#include "platform/linux/WineRegFile.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "common/AsciiText.h"
#include "platform/Registry.h"

namespace tapelark {

namespace {

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Wine keeps text as UTF-16; the 8-bit view of it here is UTF-8. A lone
// surrogate has no 8-bit form and becomes '?', as a code-page conversion does.
std::string Utf16ToUtf8(const std::u16string& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += '?';
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

// A raw byte sequence outside ASCII: UTF-8 when it is well formed, else the
// single byte as Latin-1 (how Wine itself reads an unescaped byte).
std::size_t DecodeRaw(std::string_view text, std::size_t at, std::u16string& out) {
    const auto b0 = static_cast<unsigned char>(text[at]);
    const int length = b0 >= 0xF0 && b0 < 0xF5 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 1;
    if (length > 1 && at + length <= text.size()) {
        char32_t c = b0 & (0x7F >> length);
        bool ok = true;
        for (int k = 1; k < length && ok; ++k) {
            const auto b = static_cast<unsigned char>(text[at + k]);
            ok = (b & 0xC0) == 0x80;
            c = (c << 6) | (b & 0x3F);
        }
        if (ok && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF &&
            c >= (length == 2 ? 0x80u : length == 3 ? 0x800u : 0x10000u)) {
            AppendUtf16(out, c);
            return length;
        }
    }
    out += static_cast<char16_t>(b0);
    return 1;
}

// Reads an escaped text up to the unescaped `end` character, starting just
// after its opening delimiter. Returns the position after `end`, or npos when
// the text is not closed.
std::size_t ParseEscaped(std::string_view text, std::size_t at, char end, std::u16string& out) {
    while (at < text.size()) {
        const char c = text[at];
        if (c == end) return at + 1;
        if (c != '\\') {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += static_cast<char16_t>(c);
                ++at;
            } else {
                at += DecodeRaw(text, at, out);
            }
            continue;
        }
        if (++at >= text.size()) return std::string_view::npos;
        const char e = text[at];
        switch (e) {
        case 'a': out += u'\a'; ++at; break;
        case 'b': out += u'\b'; ++at; break;
        case 'e': out += u'\x1b'; ++at; break;
        case 'f': out += u'\f'; ++at; break;
        case 'n': out += u'\n'; ++at; break;
        case 'r': out += u'\r'; ++at; break;
        case 't': out += u'\t'; ++at; break;
        case 'v': out += u'\v'; ++at; break;
        case 'x': {
            ++at;
            char16_t unit = 0;
            int digits = 0;
            for (; digits < 4 && at < text.size() && HexDigit(text[at]) >= 0; ++digits, ++at) {
                unit = static_cast<char16_t>(unit * 16 + HexDigit(text[at]));
            }
            if (digits == 0) out += u'x';
            else out += unit;
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                char16_t unit = 0;
                for (int digits = 0; digits < 3 && at < text.size() && text[at] >= '0' && text[at] <= '7';
                     ++digits, ++at) {
                    unit = static_cast<char16_t>(unit * 8 + (text[at] - '0'));
                }
                out += unit;
            } else if (static_cast<unsigned char>(e) < 0x80) {
                // Any other escaped character stands for itself: \\ \" \[ \]
                out += static_cast<char16_t>(e);
                ++at;
            } else {
                at += DecodeRaw(text, at, out);
            }
        }
    }
    return std::string_view::npos;
}

// "aa,bb,..." as bytes; false on anything else.
bool ParseHexBytes(std::string_view s, std::string& out) {
    std::size_t at = 0;
    s = TrimWhitespace(s);
    while (at < s.size()) {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
        if (at >= s.size()) break;
        const int hi = HexDigit(s[at]);
        const int lo = at + 1 < s.size() ? HexDigit(s[at + 1]) : -1;
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        at += 2;
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
        if (at < s.size()) {
            if (s[at] != ',') return false;
            ++at;
        }
    }
    return true;
}

// The data part of a value line, after '='.
std::optional<WineRegValue> ParseData(std::string_view data) {
    WineRegValue value;
    if (data.starts_with("str(")) {
        const std::size_t close = data.find("):\"");
        if (close == std::string_view::npos) return std::nullopt;
        value.type = 0;
        for (std::size_t i = 4; i < close; ++i) {
            const int d = HexDigit(data[i]);
            if (d < 0) return std::nullopt;
            value.type = value.type * 16 + static_cast<std::uint32_t>(d);
        }
        data.remove_prefix(close + 2);
    } else {
        value.type = kRegSz;
    }
    if (data.starts_with("\"")) {
        std::u16string units;
        if (ParseEscaped(data, 1, '"', units) == std::string_view::npos) return std::nullopt;
        units += u'\0';
        value.data = Utf16ToUtf8(units);
        return value;
    }
    if (data.starts_with("dword:")) {
        data.remove_prefix(6);
        data = TrimTrailingWhitespace(data);
        std::uint32_t number = 0;
        if (data.empty() || data.size() > 8) return std::nullopt;
        for (char c : data) {
            const int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            number = number * 16 + static_cast<std::uint32_t>(d);
        }
        value.type = kRegDword;
        for (int k = 0; k < 4; ++k) value.data += static_cast<char>((number >> (8 * k)) & 0xFF);
        return value;
    }
    if (data.starts_with("hex")) {
        data.remove_prefix(3);
        value.type = kRegBinary;
        if (data.starts_with("(")) {
            const std::size_t close = data.find(')');
            if (close == std::string_view::npos || close == 1) return std::nullopt;
            value.type = 0;
            for (std::size_t i = 1; i < close; ++i) {
                const int d = HexDigit(data[i]);
                if (d < 0) return std::nullopt;
                value.type = value.type * 16 + static_cast<std::uint32_t>(d);
            }
            data.remove_prefix(close + 1);
        }
        if (!data.starts_with(":")) return std::nullopt;
        std::string bytes;
        if (!ParseHexBytes(data.substr(1), bytes)) return std::nullopt;
        if (IsStringType(value.type)) {
            std::u16string units;
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
                units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                               (static_cast<unsigned char>(bytes[i + 1]) << 8));
            }
            value.data = Utf16ToUtf8(units);
        } else {
            value.data = std::move(bytes);
        }
        return value;
    }
    return std::nullopt;
}

// One logical line: a hex value continues on the next line after a trailing
// backslash.
std::string_view NextLine(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    const std::size_t end = text.find('\n', at);
    at = end == std::string_view::npos ? text.size() : end + 1;
    return TrimTrailingWhitespace(text.substr(start, (end == std::string_view::npos ? text.size() : end) - start));
}

// The key name of a "[...]" header line, unescaped and lower-cased.
std::optional<std::string> HeaderKey(std::string_view line) {
    std::u16string units;
    if (ParseEscaped(line, 1, ']', units) == std::string_view::npos) return std::nullopt;
    return AsciiLowerCase(Utf16ToUtf8(units));
}

WineRegValues ParseValues(std::string_view text, std::size_t at) {
    WineRegValues values;
    while (at < text.size()) {
        std::string_view line = NextLine(text, at);
        if (line.starts_with("[")) break;
        std::string joined;
        if (line.ends_with("\\") && line.find("=hex") != std::string_view::npos) {
            joined.assign(line.substr(0, line.size() - 1));
            while (at < text.size()) {
                std::string_view more = TrimLeadingWhitespace(NextLine(text, at));
                const bool goesOn = more.ends_with("\\");
                joined += goesOn ? more.substr(0, more.size() - 1) : more;
                if (!goesOn) break;
            }
            line = joined;
        }
        std::string name;
        std::size_t rest;
        if (line.starts_with("@=")) {
            rest = 2;
        } else if (line.starts_with("\"")) {
            std::u16string units;
            const std::size_t after = ParseEscaped(line, 1, '"', units);
            if (after == std::string_view::npos || after >= line.size() || line[after] != '=') continue;
            name = AsciiLowerCase(Utf16ToUtf8(units));
            rest = after + 1;
        } else {
            continue;  // blank, a comment or a "#time=" style note
        }
        if (auto value = ParseData(line.substr(rest))) values[name] = std::move(*value);
    }
    return values;
}

}  // namespace

bool IsWin64RegFile(const std::string& fileText) {
    // The note stands in the file's head, before the first key.
    const std::size_t firstKey = fileText.find("\n[");
    const std::size_t arch = fileText.find("#arch=win64");
    return arch != std::string::npos && (firstKey == std::string::npos || arch < firstKey);
}

std::optional<WineRegValues> FindWineRegKey(const std::string& fileText, const std::string& keyPath) {
    const std::string wanted = AsciiLowerCase(keyPath);
    const std::string_view text(fileText);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::string_view line = NextLine(text, at);
        if (!line.starts_with("[")) continue;
        const auto key = HeaderKey(line);
        if (key && *key == wanted) return ParseValues(text, at);
    }
    return std::nullopt;
}

}  // namespace tapelark
