// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "platform/MessageBoxes.h"
#include "platform/Registry.h"

namespace tapelark {

// Reads one string value of the registry; empty text when it cannot be read.
// Only a failed close of the key is reported, in a message box.
class RegistryStringReader {
public:
    RegistryStringReader(Registry& registry, MessageBoxes& messages);

    std::string ReadRegistryString(RegistryKey root, const std::string& subKey, const std::string& valueName);

private:
    Registry& registry_;
    MessageBoxes& messages_;
};

}  // namespace tapelark
