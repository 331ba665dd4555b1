// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tapelark {

// One value of a Wine registry file, in the form the 8-bit query returns it:
// strings as UTF-8 with their terminating NUL, everything else as stored.
struct WineRegValue {
    std::uint32_t type = 0;
    std::string data;
};

// Values of one key, by lower-cased name ("" is the key's default value).
using WineRegValues = std::map<std::string, WineRegValue>;

// The values of `keyPath` (backslash-separated, case ignored) in the text of
// a Wine registry file such as system.reg; nothing when the key is not there.
std::optional<WineRegValues> FindWineRegKey(const std::string& fileText, const std::string& keyPath);

// Whether the file was written for a 64-bit prefix ("#arch=win64").
bool IsWin64RegFile(const std::string& fileText);

}  // namespace tapelark
