// SPDX-License-Identifier: MIT
#include "platform/linux/ProcessName.h"

#include <fstream>

namespace tapelark {

std::optional<std::string> ReadProcessName(const std::string& procRoot, const std::string& pid) {
    std::ifstream file(procRoot + "/" + pid + "/cmdline", std::ios::binary);
    if (!file) return std::nullopt;
    std::string word;
    std::getline(file, word, '\0');
    return word;
}

}  // namespace tapelark
