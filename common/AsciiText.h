// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tapelark {

// ASCII only, whatever the locale: lower-casing the single bytes of a UTF-8
// or ANSI name with std::tolower could change letters outside ASCII.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiLowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string AsciiUpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The whole of `tail` stands at the end of `text`; an empty tail ends every text.
inline bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - tail.size()), tail);
}

// Without the blanks (character 32) at either end.
inline std::string_view TrimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Blanks, tabs and line ends at one end or both.
inline constexpr std::string_view kAsciiWhitespace = " \t\r\n\f\v";

inline std::string_view TrimLeadingWhitespace(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kAsciiWhitespace);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

inline std::string_view TrimTrailingWhitespace(std::string_view text) {
    return text.substr(0, text.find_last_not_of(kAsciiWhitespace) + 1);
}

inline std::string_view TrimWhitespace(std::string_view text) {
    return TrimTrailingWhitespace(TrimLeadingWhitespace(text));
}

// A fixed text field as the platform fills it: what stands before its first NUL.
inline std::string_view UpToNul(std::string_view field) { return field.substr(0, field.find('\0')); }

}  // namespace tapelark
