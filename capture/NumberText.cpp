// SPDX-License-Identifier: MIT
#include "capture/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <system_error>

#include "common/AsciiText.h"

namespace tapelark {

std::string NumberText(double value) {
    if (!std::isfinite(value)) return value != value ? " NaN" : (value < 0 ? "-Inf" : " Inf");
    std::string sign = std::signbit(value) && value != 0 ? "-" : " ";
    value = std::fabs(value);
    if (value == 0) return " 0";

    // Round to 15 significant digits first, then lay the digits out in plain
    // notation; to_chars is locale-independent.
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    if (ec != std::errc()) return sign + "0";
    std::string_view sci(buf, static_cast<std::size_t>(end - buf));
    std::size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.') digits += c;
    int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    int pointAt = exponent + 1;  // digits before the decimal point
    if (pointAt <= 0) {
        out = "0." + std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    } else if (static_cast<std::size_t>(pointAt) >= digits.size()) {
        out = digits + std::string(static_cast<std::size_t>(pointAt) - digits.size(), '0');
    } else {
        out = digits.substr(0, static_cast<std::size_t>(pointAt)) + "." +
              digits.substr(static_cast<std::size_t>(pointAt));
    }
    return sign + out;
}

std::optional<double> ParseNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                     std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<long> ParseWhole32(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace tapelark
