// SPDX-License-Identifier: MIT
#pragma once
#include <fstream>
#include <iterator>
#include <string>

namespace tapelark::testing {

inline void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

// The file's bytes; nothing for a file that is not there.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tapelark::testing
