// SPDX-License-Identifier: MIT
// Prints the engine's error codes and their texts as man page paragraphs, so
// the page lists exactly the codes the engine has.
#include <cstdint>
#include <iostream>
#include <string>

#include "platform/mci/MciEngine.h"

namespace {

std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    return out;
}

}  // namespace

int main() {
    const std::string unknown = tapelark::MciErrorText(0xFFFFFFFFu);
    const std::string unknownStart = unknown.substr(0, unknown.find_first_of("0123456789"));
    for (std::uint32_t code = 1; code < 1024; ++code) {
        const std::string text = tapelark::MciErrorText(code);
        if (text.rfind(unknownStart, 0) == 0) continue;
        std::cout << ".TP\n.B " << code << "\n" << Roff(text) << "\n";
    }
}
