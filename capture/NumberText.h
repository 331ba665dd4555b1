// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tapelark {

// A number as the status line shows it: a blank in place of the sign (or
// "-"), plain decimal with "." whatever the locale, at most 15 significant
// digits, no trailing zeros, no point for a whole value. 0.5 reads " 0.5".
std::string NumberText(double value);

// Reads a decimal number that may have blanks around it ("  123 ", "-4.5").
// Anything else, an empty text included, is no number.
std::optional<double> ParseNumber(std::string_view text);

// Reads a whole number that fits 32 bits signed, blanks around allowed.
std::optional<long> ParseWhole32(std::string_view text);

}  // namespace tapelark
