// SPDX-License-Identifier: MIT
#include "platform/mci/TakeDescription.h"

#include <sstream>

namespace tapelark {

std::string FormatTakeDescription(const TakeDescription& d) {
    std::string input = d.input;  // one line, whatever a program's name holds
    for (char& c : input)
        if (c == '\n' || c == '\r') c = ' ';
    std::ostringstream out;
    out << "tapelark take\n"
        << "format " << d.format.channels << ' ' << d.format.bitsPerSample << ' ' << d.format.samplesPerSec << ' '
        << d.format.blockAlign << ' ' << d.format.bytesPerSec << '\n'
        << "started " << d.started << '\n'
        << "owner " << d.owner << '\n'
        << "input " << input << '\n';
    return out.str();
}

std::optional<TakeDescription> ParseTakeDescription(const std::string& text) {
    TakeDescription d;
    bool formatSeen = false;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "format") {
            unsigned channels = 0, bits = 0, align = 0;
            std::uint32_t rate = 0, bytes = 0;
            if (words >> channels >> bits >> rate >> align >> bytes && channels <= 0xFFFF && bits <= 0xFFFF &&
                align <= 0xFFFF) {
                d.format = {static_cast<std::uint16_t>(channels), static_cast<std::uint16_t>(bits), rate,
                            static_cast<std::uint16_t>(align), bytes};
                formatSeen = CheckWaveFormat(d.format) == 0;
            }
        } else if (key == "started") {
            words >> d.started;
        } else if (key == "owner") {
            words >> d.owner;
        } else if (key == "input" && line.size() > 6) {
            d.input = line.substr(6);
        }
    }
    if (!formatSeen) return std::nullopt;
    return d;
}

}  // namespace tapelark
